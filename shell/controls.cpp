#include "shell/controls.h"

#include <QIcon>

namespace vpl {

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& picture, PictureButtonSize size) {
    QPushButton* button = namedButton(parent, name, caption);
    button->setIcon(QIcon(":/pictures/" + picture));
    button->setIconSize(size.icon);
    button->setMinimumHeight(size.minimumHeight);
    return button;
}

}  // namespace vpl

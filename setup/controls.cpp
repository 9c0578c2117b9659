#include "setup/controls.h"

#include <QIcon>

namespace vpl::setup {

QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& picture) {
    auto* button = new QPushButton(QIcon(":/pictures/" + picture), caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setIconSize(QSize(24, 24));
    button->setMinimumHeight(36);
    return button;
}

}  // namespace vpl::setup

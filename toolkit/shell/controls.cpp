#include "shell/controls.h"

#include <QIcon>
#include <QValidator>
#include <limits>

namespace vpl {

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

namespace {

class LengthValidator : public QValidator {
  public:
    LengthValidator(int length, QObject* parent) : QValidator(parent), length_(length) {}
    State validate(QString& text, int&) const override {
        return text.size() > length_ ? Invalid : Acceptable;
    }

  private:
    int length_;
};

}  // namespace

QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setValidator(new LengthValidator(maxLength, box));
    box->setMaxLength(std::numeric_limits<int>::max());  // the box's own limit cuts silently
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

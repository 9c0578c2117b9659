#pragma once

#include <QLineEdit>
#include <QPushButton>

namespace vpl::setup {

// A text box under its control name that takes at most `maxLength` characters,
// typed or pasted.
QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength);

// A command button with its picture from the program's resources. It never acts
// on Enter pressed in a text box: only a click or its access key runs it.
QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& picture);

}  // namespace vpl::setup

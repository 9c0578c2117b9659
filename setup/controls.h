#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <functional>

namespace vpl {
class Program;
}

namespace vpl::setup {

// A text box under its control name that takes at most `maxLength` characters,
// typed or pasted.
QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength);

// A command button with its picture from the program's resources. It never acts
// on Enter pressed in a text box: only a click or its access key runs it.
QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& picture);

// What became of the save that leaving a window runs.
enum class Leaving {
    Saved,    // written, or nothing to write: the file is read-only
    Unsaved,  // the save failed and the user chose to close anyway
    Stay,     // the save failed and the user keeps the window and the typing
};

// Runs `save` before a window closes. A failed save shows its message and asks
// whether to close without saving; No, the box's default, stays. A read-only data
// file is never written: the window just closes.
Leaving saveToLeave(QWidget* window, const Program& program, const std::function<void()>& save);

}  // namespace vpl::setup

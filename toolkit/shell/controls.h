#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSize>
#include <QString>
#include <string>
#include <vector>

namespace vpl {

// A text the store or core holds (UTF-8) as the controls show it.
inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A label under its control name.
QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text);

// A text box under its control name that takes at most `maxLength` characters: a key or a
// paste that would make the text longer is refused whole (the box emits inputRejected),
// never cut. A longer text stored before is shown, and kept, as it is.
QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength);

// A command button under its control name. It never acts on Enter: Enter belongs to the
// window's text boxes, grid and printer box, so only a click or its access key runs it.
QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption);

// A command button with its picture from the program's resources (":/pictures/<picture>"),
// its icon at `size.icon`, the button at least `size.minimumHeight` high to hold it.
struct PictureButtonSize {
    QSize icon;
    int minimumHeight;
};
QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& picture, PictureButtonSize size);

// Word-wrapped notes under a window's controls, one under the other. A label in a layout
// asks the whole window for a layout pass at every new text, a key's cost in a window whose
// notes follow the typing; this box places its notes itself and asks its window for a
// layout pass only when the height they need changes. An empty note takes no room.
class NoteArea : public QWidget {
  public:
    explicit NoteArea(QWidget* parent);
    QLabel* addNote(const QString& name);
    // Nothing is laid out or repainted when the note already says `text`.
    void setNote(QLabel* note, const QString& text);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Note {
        QLabel* label;
        QString shape;  // its text with every digit as 0, as last measured
        int width = -1;  // the width it was measured at
        int height = 0;
    };
    void placeNotes();
    int heightOf(Note& note);
    std::vector<Note> notes_;
};

// The set-up windows' picture buttons: one row under the text boxes.
inline const PictureButtonSize kSetupButtonSize{QSize(24, 24), 36};

}  // namespace vpl

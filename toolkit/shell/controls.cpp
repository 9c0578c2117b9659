#include "shell/controls.h"

#include <QIcon>
#include <QValidator>
#include <algorithm>
#include <limits>

#include "shell/fonts.h"

namespace vpl {

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

NoteArea::NoteArea(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);  // a new note repaints this box, not the window behind it
    setFixedHeight(0);
}

QLabel* NoteArea::addNote(const QString& name) {
    QLabel* note = namedLabel(this, name, QString());
    note->setWordWrap(true);
    paintWithoutShaping(note);  // a note's numbers may change at every key
    notes_.push_back(Note{note, QString(), -1, 0});
    return note;
}

void NoteArea::setNote(QLabel* note, const QString& text) {
    if (note->text() == text) return;
    note->setText(text);
    placeNotes();
}

void NoteArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeNotes();
}

void NoteArea::placeNotes() {
    if (width() <= 0) return;  // placed at the first resize
    constexpr int kSpacing = 4;
    int y = 0;
    for (Note& note : notes_) {
        const bool shown = !note.label->text().isEmpty();
        const int height = shown ? heightOf(note) : 0;
        note.label->setGeometry(0, y, width(), height);
        note.label->setVisible(shown);
        if (shown) y += height + kSpacing;
    }
    const int needed = std::max(0, y - kSpacing);
    if (needed != this->height()) setFixedHeight(needed);
}

// Measuring a wrapped text lays it out whole. The notes change in their numbers as the user
// types, and the program's fonts give every digit the same width: a text that differs from
// the one measured only in its digits wraps the same way.
int NoteArea::heightOf(Note& note) {
    QString shape = note.label->text();
    for (QChar& c : shape)
        if (c.isDigit()) c = u'0';
    if (shape != note.shape || width() != note.width) {
        note.height = note.label->heightForWidth(width());
        note.shape = std::move(shape);
        note.width = width();
    }
    return note.height;
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

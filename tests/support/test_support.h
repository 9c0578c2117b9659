#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "shell/program.h"
#include "store/database.h"

namespace vpl::test {

// A program folder of its own with a freshly delivered data file, and a Program
// over it with the database open, as start-up leaves it.
class Fixture {
  public:
    explicit Fixture(core::NumberLocale locale = {});
    QString dir() const { return dir_.path(); }
    Program& program() { return *program_; }
    store::Database& db() { return program_->db(); }
    // Closes and reopens the data file, to see what was really written.
    void reopen();
    // Damages the open file with `sql`; an empty text leaves the program without a
    // database, as a failed start-up does.
    void damage(const QString& sql);
    // Makes the data file read-only and reopens it as start-up then does. It is also
    // opened for reading explicitly, since permission bits do not stop root.
    void reopenReadOnly();

  private:
    QTemporaryDir dir_;
    std::unique_ptr<Program> program_;
};

// The child of `window` with this objectName; fails the test when missing.
template <class T>
T* child(QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromUtf8(name));
    if (!found) qFatal("control %s not found", name);
    return found;
}

// Acts on the next modal window once it is up: the only way to reach a window
// that an opener runs with exec().
inline void whenModal(std::function<void(QWidget&)> act, int attempts = 200) {
    QTimer::singleShot(0, [act = std::move(act), attempts] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(*modal);
        } else if (attempts > 0) {
            QTimer::singleShot(10, [act, attempts] { whenModal(act, attempts - 1); });
        }
    });
}

// Runs `examine` on the next modal window as soon as it is up, then closes it; the
// result tells whether one came up at all.
inline std::shared_ptr<bool> examineNextModal(std::function<void(QWidget&)> examine,
                                              int attempts = 500) {
    auto seen = std::make_shared<bool>(false);
    whenModal(
        [=](QWidget& modal) {
            *seen = true;
            examine(modal);
            modal.close();
        },
        attempts);
    return seen;
}

// The rows of a column "idioma": each language's stored code.
inline void addLanguageRows() {
    QTest::addColumn<int>("idioma");
    QTest::newRow("English") << 1;
    QTest::newRow("Spanish") << 2;
    QTest::newRow("Portuguese") << 3;
}

// Messages recorded instead of shown, none yet, and one printer, "PDF", the default: the
// printing service is never asked, so a window that lists printers opens at once.
void recordMessagesWithOnePdfPrinter();

}  // namespace vpl::test

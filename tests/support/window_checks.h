#pragma once

#include <QLabel>
#include <QString>
#include <QTest>
#include <QWidget>
#include <utility>

#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "tests/support/test_support.h"

namespace vpl::test {

// A window as its opener leaves it after a good load, not yet shown.
template <class Window>
class Loaded : public Window {
  public:
    template <class... Args>
    explicit Loaded(Args&&... args) : Window(std::forward<Args>(args)...) {
        Window::Form_Load();
    }
};

// Opens `Window` as the menu does and tells whether it came up at all; `args` are its
// family's table row, if any.
template <class Window, class... Args>
bool opensModally(Program& program, Args&&... args) {
    const auto shown = examineNextModal([](QWidget&) {}, 5);
    openModal<Window>(program, nullptr, std::forward<Args>(args)...);
    QTest::qWait(100);
    return *shown;
}

// Exactly one message came up, titled "Erro", and its text holds `part` when one is given.
inline void verifyOneError(const QString& part = QString()) {
    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown box = MessageBox::shown().first();
    QCOMPARE(box.title, "Erro");
    if (!part.isNull()) QVERIFY2(box.text.contains(part), qPrintable(box.text));
}

// Opening `Window` as the menu does brings up no window, only one error holding `part`.
template <class Window, class... Args>
void verifyOpensOnlyAnError(Program& program, const QString& part, Args&&... args) {
    QVERIFY(!opensModally<Window>(program, std::forward<Args>(args)...));
    verifyOneError(part);
}

// The text of the label named `name`.
inline QString text(QWidget& window, const char* name) {
    return child<QLabel>(window, name)->text();
}

}  // namespace vpl::test

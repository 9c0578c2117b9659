#pragma once

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
    bool shown = false;
    whenModal(
        [&](QWidget& modal) {
            shown = true;
            modal.close();
        },
        5);
    openModal<Window>(program, nullptr, std::forward<Args>(args)...);
    QTest::qWait(100);
    return shown;
}

// Exactly one message came up, titled "Erro", and its text holds `part` when one is given.
inline void verifyOneError(const QString& part = QString()) {
    QCOMPARE(MessageBox::shown().size(), 1);
    const MessageBox::Shown box = MessageBox::shown().first();
    QCOMPARE(box.title, "Erro");
    if (!part.isNull()) QVERIFY2(box.text.contains(part), qPrintable(box.text));
}

}  // namespace vpl::test

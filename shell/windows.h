#pragma once

#include <QWidget>
#include <optional>
#include <utility>

#include "shell/message_box.h"
#include "shell/program.h"
#include "store/database.h"

namespace vpl {

// A stored number field as the program reads it: a number the engine holds, or a text
// that is a number by the user's locale; nothing for NULL or any other text.
std::optional<double> storedNumber(const store::Value& value, core::NumberLocale locale);

// The analysis window for a factor count: 2 to 8 (4.0 matches 4); anything else none.
std::optional<WindowId> analysisWindowForCount(double count);
// The analysis window for the stored factor count of Parametro: a value that is
// not a number (a text that does not read as one, NULL) counts as 4.
std::optional<WindowId> analysisWindowFor(const store::Value& fatores, const Program& program);

// Shows a store failure as a message box; the window it came from stays usable.
void showStoreError(QWidget* parent, const std::exception& error);

// Runs one event's work; a store failure ends it with a message instead of a crash.
template <class Work>
bool guarded(QWidget* parent, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        showStoreError(parent, e);
        return false;
    }
}

// Every window is loaded afresh at each opening: built, loaded, run modally,
// destroyed. A load that fails shows its message and the window is not shown.
// `args` go to the window between the program and the parent: a family's table row.
template <class Window, class... Args>
void openModal(Program& program, QWidget* parent, Args&&... args) {
    Window window(program, std::forward<Args>(args)..., parent);
    if (!guarded(parent, [&] { window.Form_Load(); })) return;
    window.exec();
}

}  // namespace vpl

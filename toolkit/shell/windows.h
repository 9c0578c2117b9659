#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

#include "shell/message_box.h"
#include "shell/program.h"
#include "decision/decision.h"
#include "store/database.h"

namespace vpl {

// The analysis window for a factor count: 2 to 8 (4.0 matches 4); anything else none.
std::optional<WindowId> analysisWindowForCount(double count);
// The factor count an analysis window is for; none for the other windows.
std::optional<int> factorCountOfWindow(WindowId id);

using decision::InvalidDataError;

// Each failure worded by its origin: the store's, the data's, or the program's own fault.
QString storeErrorText(const std::exception& error);
QString invalidDataText(const std::exception& error);
void showStoreError(QWidget* parent, const std::exception& error);
void showInvalidData(QWidget* parent, const std::exception& error);
void showProgramFault(QWidget* parent, const std::exception& error);

// Runs one event's work; a failure ends it with a message instead of a crash.
template <class Work>
bool guarded(QWidget* parent, Work&& work) {
    try {
        work();
        return true;
    } catch (const store::StoreError& e) {
        showStoreError(parent, e);
    } catch (const InvalidDataError& e) {
        showInvalidData(parent, e);
    } catch (const std::exception& e) {
        showProgramFault(parent, e);
    }
    return false;
}

// Paints now what the window's widgets have asked to repaint, as the event loop would at
// its next turn.
void paintPendingNow(QWidget* widget);

// What became of the save that leaving a window runs.
enum class Leaving {
    Saved,    // written, or nothing to write: the file is read-only
    Unsaved,  // the save failed and the user chose to close anyway
    Stay,     // the save failed and the user keeps the window and the typing
};

// Runs `save` before a window closes. A failed save tells why and asks whether to close
// without saving; No, the box's default, stays, so that a failing save never traps the
// user and never loses the typing unasked. A read-only data file is never written.
Leaving saveToLeave(QWidget* window, const Program& program, const std::function<void()>& save);

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

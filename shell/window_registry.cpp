#include "shell/window_registry.h"

#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"

namespace vpl {

namespace {

void openWindow(Program& program, WindowId id, QWidget* parent) {
    (void)program;
    switch (id) {
        // Each window is added here as it is built.
        default:
            MessageBox::show(parent, QStringLiteral("Esta janela ainda não está disponível."),
                             QStringLiteral("Aviso"), MessageBox::Icon::Warning);
    }
}

}  // namespace

void installWindows(Program& program) {
    program.opener = [&program](WindowId id, QWidget* parent) { openWindow(program, id, parent); };
}

}  // namespace vpl

#include <QApplication>

#include "app/window_registry.h"
#include "shell/Menu.h"
#include "shell/message_box.h"
#include "shell/program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // End-to-end tests read the message boxes from a file instead of a screen.
    if (qEnvironmentVariableIsSet("VPL_TEST_MESSAGE_LOG"))
        vpl::MessageBox::setLogFile(qEnvironmentVariable("VPL_TEST_MESSAGE_LOG"));
    vpl::Program program(QCoreApplication::applicationDirPath(), vpl::systemNumberLocale());
    vpl::installWindows(program);
    vpl::Menu menu(program);
    if (menu.Form_Load() == vpl::Menu::StartUp::Quit) return 0;
    menu.show();
    return app.exec();
}

#include <QApplication>

#include "shell/Menu.h"
#include "shell/program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vpl::Program program(QCoreApplication::applicationDirPath(), vpl::systemNumberLocale());
    vpl::Menu menu(program);
    if (menu.Form_Load() == vpl::Menu::StartUp::Quit) return 0;
    menu.show();
    return app.exec();
}

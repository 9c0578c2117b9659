#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <filesystem>

#include "app/window_registry.h"
#include "main/Menu.h"
#include "shell/data_location.h"
#include "shell/message_box.h"
#include "shell/printers.h"
#include "shell/program.h"

namespace {

// The folder of the executable, known before the application object exists.
QString programFolder(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return QString::fromStdString(self.parent_path().string());
    return QString::fromStdString(std::filesystem::absolute(argv0, error).parent_path().string());
}

}  // namespace

int main(int argc, char** argv) {
    // Names the user's data folder, which an installed program keeps its data in; it is
    // needed before the application object exists.
    QCoreApplication::setApplicationName(QString::fromUtf8(vpl::kApplicationName));
    QApplication app(argc, argv);
    // `vpl FILE` opens that data file (a double click in the file manager); with none named
    // the program opens its own. The options Qt knows are gone from the arguments by now.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 2)
        qWarning("vpl: one data file at a time; %s is opened", qUtf8Printable(arguments.at(1)));
    vpl::Program program(programFolder(argv[0]), vpl::systemNumberLocale(),
                         arguments.value(1));
    // The data file is opened on a worker thread while the main window is built; a second
    // instance on the same file never opens it here.
    if (program.claimSingleInstance()) program.startOpening();

    // The desktop matches the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VPL_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/vpl_icon.svg")));
    // End-to-end tests read the message boxes from a file instead of a screen.
    if (qEnvironmentVariableIsSet("VPL_TEST_MESSAGE_LOG"))
        vpl::MessageBox::setLogFile(qEnvironmentVariable("VPL_TEST_MESSAGE_LOG"));
    vpl::installWindows(program);
    vpl::Menu menu(program);
    if (menu.Form_Load() == vpl::Menu::StartUp::Quit) return 0;
    menu.show();
    // The printer list is wanted only by the analysis window: asked off the GUI thread, once
    // the start-up's own work is done.
    QTimer::singleShot(500, [] { vpl::Printers::askInBackground(); });
    // The start-up benchmark measures the way to the shown window and no further.
    if (qEnvironmentVariableIsSet("VPL_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

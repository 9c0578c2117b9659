#include <QGuiApplication>
#include <iostream>

#include "app/cli.h"
#include "shell/data_location.h"
#include "shell/program.h"

int main(int argc, char** argv) {
    // Scripts read stderr for the command's own line: Qt's notes on the environment are
    // not for them. Its critical and fatal messages still go through.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    // It never opens a window; the report's painting needs a platform, and this one
    // works on a machine without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setApplicationName(QString::fromUtf8(vpl::kApplicationName));
    QGuiApplication app(argc, argv);
    const vpl::Program program(QCoreApplication::applicationDirPath());
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return vpl::cli::Run(arguments, program.dataFilePath(), std::cout, std::cerr);
}

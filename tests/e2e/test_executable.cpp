// Runs the real executable from a program folder of its own.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "store/schema.h"

namespace {

class Installation {
  public:
    explicit Installation(bool withData) {
        exe = QDir(dir.path()).filePath("vpl");
        QFile::copy(VPL_EXECUTABLE, exe);
        if (withData)
            vpl::store::createDeliveredFile(QDir(dir.path()).filePath("VPLData.mdb").toStdString());
    }
    // Starts the program with the platform and the message log of the tests.
    void start(QProcess& process, const QString& log) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VPL_TEST_MESSAGE_LOG", log);
        process.setProcessEnvironment(env);
        process.start(exe, {});
    }
    QString path(const char* name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    QString exe;
};

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

class ExecutableTest : public QObject {
    Q_OBJECT
  private slots:
    void secondInstanceWarnsAndEnds() {
        Installation install(true);
        QProcess first;
        install.start(first, install.path("first.log"));
        QVERIFY(first.waitForStarted());
        // The first instance has opened its database once its shared-memory file exists.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.path("VPLData.mdb-shm")), 20000);

        QProcess second;
        install.start(second, install.path("second.log"));
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(
            readAll(install.path("second.log")),
            QString("Programa Paralizado! | Programa ativo pela segunda vez, será fechado!\n"));

        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(readAll(install.path("first.log")), QString());
        first.kill();
        first.waitForFinished();
    }

    void missingDataFileIsReportedAndTheWindowStays() {
        Installation install(false);
        QProcess program;
        install.start(program, install.path("run.log"));
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!readAll(install.path("run.log")).isEmpty(), 20000);
        const QString log = readAll(install.path("run.log"));
        QVERIFY2(
            log.startsWith("Erro | Ocorreu um erro na Abertura de Arquivos.\\nComo referência, "
                           "anote a seguinte mensagem: \\nRef.: unable to open database file"),
            qPrintable(log));
        QVERIFY(!program.waitForFinished(1500));  // the main window is still shown
        QVERIFY(!QFile::exists(install.path("VPLData.mdb")));
        program.kill();
        program.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(ExecutableTest)
#include "test_executable.moc"

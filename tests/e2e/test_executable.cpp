// Runs the real executable from a program folder of its own.
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
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
    // Starts the program with the platform and the message log of the tests. A user
    // without root's rights sees what cannot be written as such: root writes anything.
    void start(QProcess& process, const QString& log, bool asPlainUser = false,
               const QStringList& arguments = {}) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VPL_TEST_MESSAGE_LOG", log);
        env.insert("XDG_CONFIG_HOME", path("config"));  // the recent files' list
        process.setProcessEnvironment(env);
        if (asPlainUser && geteuid() == 0)
            process.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", exe});
        else
            process.start(exe, arguments);
    }
    QString path(const char* name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    QString exe;
};

QByteArray checksum(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

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

    // `vpl FILE` works on that file, never on the program's own; a second program asked for
    // a file in use offers to read it only, and (answered No, as the log answers) ends.
    void aNamedFileIsOpenedAndHeldForOneProgram() {
        Installation install(true);
        QTemporaryDir elsewhere;
        const QString named = QDir(elsewhere.path()).filePath("obra.mdb");
        vpl::store::createDeliveredFile(named.toStdString());
        QProcess first;
        install.start(first, install.path("first.log"), false, {named});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(named + "-shm"), 20000);
        QVERIFY(!QFile::exists(install.path("VPLData.mdb-shm")));

        QProcess second;
        install.start(second, install.path("second.log"), false, {named});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        const QString asked = readAll(install.path("second.log"));
        QVERIFY2(asked.startsWith("Aviso | O arquivo de dados está aberto") &&
                     asked.contains("obra.mdb") && asked.count('\n') == 1,
                 qPrintable(asked));
        // The program's own file is another file: a program on it starts beside the first.
        QProcess third;
        install.start(third, install.path("third.log"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(install.path("VPLData.mdb-shm")), 20000);
        QCOMPARE(readAll(install.path("third.log")), QString());
        QCOMPARE(readAll(install.path("first.log")), QString());
        for (QProcess* p : {&first, &third}) {
            QCOMPARE(p->state(), QProcess::Running);
            p->kill();
            p->waitForFinished();
        }
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

    // A FIFO in place of the data file, which no program writes to, would hang the start-up
    // were it read: it is refused at once and the window stays.
    void aFifoAsTheDataFileIsRefusedAtOnce() {
        Installation install(false);
        const QString data = install.path("VPLData.mdb");
        QCOMPARE(::mkfifo(QFile::encodeName(data).constData(), 0600), 0);
        QProcess program;
        install.start(program, install.path("run.log"));
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!readAll(install.path("run.log")).isEmpty(), 20000);
        const QString log = readAll(install.path("run.log"));
        QVERIFY2(log.startsWith("Erro | Ocorreu um erro na Abertura de Arquivos.") &&
                     log.contains("arquivo comum"),
                 qPrintable(log));
        QVERIFY(!program.waitForFinished(1000));  // the main window is shown
        program.kill();
        program.waitForFinished();
        QVERIFY(!QFile::exists(data + "-wal"));
    }

    // Files that cannot be used, or only read: start-up says so, the window stays, and
    // the file keeps every byte.
    void unusableOrReadOnlyDataFileKeepsItsBytes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString failure = "Erro | Ocorreu um erro na Abertura de Arquivos.";
        const QString readOnly = "Aviso | O arquivo de dados não pode ser gravado";
        QTest::newRow("zero-length") << "zero-length" << failure;
        QTest::newRow("truncated") << "truncated" << failure;
        QTest::newRow("foreign") << "foreign" << failure;
        QTest::newRow("wrong key") << "wrong key" << failure;
        QTest::newRow("read-only file") << "read-only file" << readOnly;
        QTest::newRow("read-only folder") << "read-only folder" << readOnly;
    }
    void unusableOrReadOnlyDataFileKeepsItsBytes() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        Installation install(file.startsWith("read-only") || file == "truncated");
        const QString data = install.path("VPLData.mdb");
        if (file == "zero-length") QFile(data).open(QIODevice::WriteOnly);
        if (file == "truncated") QFile::resize(data, 3000);
        if (file == "foreign") {
            QFile f(data);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("Nome;Idade\nAna;31\n").repeated(200));
        }
        if (file == "wrong key") vpl::store::createDeliveredFile(data.toStdString(), "Outra");
        const QByteArray before = checksum(data);
        QFile::setPermissions(data, file == "read-only file"
                                        ? QFile::ReadOwner | QFile::ReadOther
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const auto folderRights = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                  QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup;
        const auto writableFolder =
            folderRights | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(install.dir.path(),
                              file == "read-only folder" ? folderRights : writableFolder);
        QTemporaryDir logs;
        QFile::setPermissions(logs.path(), QFile::Permissions(0x7777));
        const QString log = QDir(logs.path()).filePath("run.log");

        QProcess program;
        install.start(program, log, true);
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!readAll(log).isEmpty(), 20000);
        QVERIFY2(readAll(log).startsWith(message), qPrintable(readAll(log)));
        QVERIFY(!program.waitForFinished(1000));  // no crash: the main window is shown
        program.kill();
        program.waitForFinished();
        QFile::setPermissions(install.dir.path(), folderRights | QFile::WriteOwner);
        QCOMPARE(checksum(data), before);
        QVERIFY(!QFile::exists(data + "-wal"));
    }
};

QTEST_GUILESS_MAIN(ExecutableTest)
#include "test_executable.moc"

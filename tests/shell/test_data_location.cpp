// Where the data file lives: beside a portable or development copy, in the user's data
// folder for an installed program, copied there once from the installed template.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/data_location.h"

using namespace vpl;

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write");
}

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

constexpr auto kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner;
constexpr auto kWritableFolder = kReadOnlyFolder | QFile::WriteOwner;

}  // namespace

class DataLocationTest : public QObject {
    Q_OBJECT
  private slots:
    // The rule, given whether the program folder may hold the data.
    void dataFileIsChosenAndCopiedOnce_data() {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<QByteArray>("userFile");  // empty: none yet
        QTest::addColumn<bool>("templateInstalled");
        QTest::addColumn<QString>("chosen");  // "program" or "user" folder
        QTest::addColumn<QByteArray>("userFileAfter");
        QTest::newRow("writable program folder")
            << true << QByteArray() << true << "program" << QByteArray("<none>");
        QTest::newRow("first start of an installed program")
            << false << QByteArray() << true << "user" << QByteArray("template");
        QTest::newRow("the user's data is never replaced")
            << false << QByteArray("decisions") << true << "user" << QByteArray("decisions");
        QTest::newRow("no template: nothing to copy, the opening will say so")
            << false << QByteArray() << false << "user" << QByteArray("<none>");
    }
    void dataFileIsChosenAndCopiedOnce() {
        QFETCH(bool, beside);
        QFETCH(QByteArray, userFile);
        QFETCH(bool, templateInstalled);
        QFETCH(QString, chosen);
        QFETCH(QByteArray, userFileAfter);
        QTemporaryDir root;
        const QString program = root.filePath("bin");
        const QString user = root.filePath("home/.local/share/vpl");  // not there yet
        const QString templateFile = root.filePath("share/vpl/VPLData.mdb");
        QDir().mkpath(program);
        if (templateInstalled) write(templateFile, "template");
        if (!userFile.isEmpty()) write(user + "/VPLData.mdb", userFile);

        const QString file = chooseDataFile(program, beside, user, templateFile);

        QCOMPARE(file, (chosen == "program" ? program : user) + "/VPLData.mdb");
        QCOMPARE(read(user + "/VPLData.mdb"), userFileAfter);
        // The copy leaves no temporary file behind, and the program folder is not written.
        const QStringList left = QDir(user).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, userFileAfter == "<none>" ? QStringList() : QStringList{"VPLData.mdb"});
        QCOMPARE(QDir(program).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(read(templateFile), templateInstalled ? "template" : "<none>");
    }

    // The probe that feeds the rule.
    void dataStaysBesideOnlyAPortableCopy_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("dataBeside");
        QTest::addColumn<bool>("templateInstalled");
        QTest::addColumn<bool>("beside");
        QTest::newRow("development copy") << true << false << false << true;
        QTest::newRow("installed in a writable prefix") << true << false << true << false;
        QTest::newRow("installed, a stray file beside") << false << true << true << false;
        QTest::newRow("portable copy on a read-only medium") << false << true << false << true;
        QTest::newRow("read-only folder without data") << false << false << false << false;
    }
    void dataStaysBesideOnlyAPortableCopy() {
        QFETCH(bool, writable);
        QFETCH(bool, dataBeside);
        QFETCH(bool, templateInstalled);
        QFETCH(bool, beside);
        QTemporaryDir root;
        const QString program = root.filePath("bin");
        const QString templateFile = root.filePath("share/vpl/VPLData.mdb");
        QDir().mkpath(program);
        if (dataBeside) write(program + "/VPLData.mdb", "data");
        if (templateInstalled) write(templateFile, "template");
        QFile::setPermissions(program, writable ? kWritableFolder : kReadOnlyFolder);
        if (!writable && geteuid() == 0 && !dataBeside && !templateInstalled) {
            QFile::setPermissions(program, kWritableFolder);
            QSKIP("root writes into any folder");
        }

        QCOMPARE(keepsDataBeside(program, templateFile), beside);

        QFile::setPermissions(program, kWritableFolder);
        const QStringList expected = dataBeside ? QStringList{"VPLData.mdb"} : QStringList();
        QCOMPARE(QDir(program).entryList(QDir::Files | QDir::Hidden), expected);
    }
};

QTEST_GUILESS_MAIN(DataLocationTest)
#include "test_data_location.moc"

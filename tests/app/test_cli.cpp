// Runs the real vpl-cli over data files of its own.
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <map>

#include "decision/decision.h"
#include "engine/logical_state.h"
#include "engine/paraconsistent.h"
#include "survey/survey_file.h"
#include "store/database.h"
#include "store/schema.h"
#include "tests/support/workbook_reader.h"

namespace {

using vpl::store::Database;

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

Run cli(const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");  // the decimal point
    p.setProcessEnvironment(env);
    p.start(VPL_CLI, arguments);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

// As a user without root's rights, who cannot read what only root may: nobody, when the
// tests run as root.
Run cliAsPlainUser(const QStringList& arguments) {
    if (geteuid() != 0) return cli(arguments);
    QProcess p;
    p.start("setpriv",
            QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", VPL_CLI} + arguments);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("no file");
}

QByteArray checksum(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// A four-factor decision in English: factor i has the pair pairs[i] and, for factor 1,
// three propositions whose texts need quoting in a CSV file.
class DataFile {
  public:
    DataFile() {
        vpl::store::createDeliveredFile(path.toStdString());
        auto db = Database::open(path.toStdString(), vpl::store::kDatabaseKey);
        db->execute("UPDATE Parametro SET Fatores = 4, Idioma = 1");
        db->execute("UPDATE Fatores SET Prop = '0', Fator = 'Fator ' || Id");
        const double pairs[4][2] = {{0.75, 0.125}, {0.5, 0.5}, {1, 0}, {0.25, 0.75}};
        for (int i = 0; i < 4; ++i)
            db->update("Fatores", i + 1, {{"Mi1", pairs[i][0]}, {"Mi2", pairs[i][1]}});
        db->update("Fatores", 1, {{"Fator", "Custos"}, {"Prop", "3"}});
        db->update(
            "Prop1", 1,
            {{"Proposicao", "Custo, prazo e \"risco\""}, {"N01", 5}, {"N02", 123}, {"N05", 2}});
        db->update("Prop1", 2, {{"Proposicao", "Ação imediata"}, {"N03", 7}});
        db->update("Prop1", 3, {{"Proposicao", "Sem respostas"}});
    }
    QString file(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString path = dir.filePath("VPLData.mdb");
};

}  // namespace

class CliTest : public QObject {
    Q_OBJECT
  private slots:
    void analyseJsonCarriesEveryDegreeAndTheState() {
        DataFile data;
        const Run run = cli({"analyse", "--json", "--data", data.path});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["factors"].toInt(), 4);
        QCOMPARE(json["network"].toString(), "four-factor");
        // (1 OR 2) AND (3 OR 4) on both sides: lambdaR = min(0.5, 0.75), muR = min(0.75, 1).
        const QJsonObject degrees = json["degrees"].toObject();
        const struct {
            const char* label;
            double value;
            const char* text;
        } expected[] = {{"lblF1G1", 0.75, "0.7500"}, {"lblF4G2", 0.75, "0.7500"},
                        {"lblMax1", 0.5, "0.50"},    {"lblMax4", 1, "1.00"},
                        {"lblMin1", 0.5, "0.50"},    {"lblMin2", 0.75, "0.75"}};
        for (const auto& e : expected) {
            const QJsonObject d = degrees[e.label].toObject();
            QVERIFY2(d["value"].toDouble() == e.value && d["text"].toString() == e.text, e.label);
        }
        QCOMPARE(degrees.size(), 14);
        QCOMPARE(json["certainty"].toObject()["value"].toDouble(), 0.25);
        QCOMPARE(json["contradiction"].toObject()["text"].toString(), "0.2500");
        QCOMPARE(json["G1n"].toObject()["value"].toDouble(), 0.625);
        QCOMPARE(json["G2n"].toObject()["text"].toString(), "0.6250");
        QCOMPARE(json["sentence"].toString(),
                 QString::fromStdString(vpl::core::QualidadeDosDados(0.625f, 0.625)));
        QCOMPARE(json["verdicts"].toObject()["opinion"].toString(),
                 QString::fromUtf8(vpl::core::VereditoCerteza("0.6250", {'.'}).data()));
        // Gc = Gct = 0.25: certainty first at equal magnitude; in the stored language.
        QCOMPARE(json["state"].toObject()["key"].toString(), "quasi-true-tending-to-inconsistent");
        QCOMPARE(json["state"].toObject()["text"].toString(), "Quasi-true tending to Inconsistent");
    }

    // The requirement level decides: the stored one, or --level for one run without writing;
    // the barycentre weighs the factors by their stored weights.
    void analyseDecidesAtTheLevelAndWeighsTheBarycentre() {
        DataFile data;  // Gc = Gct = 0.25
        const auto decided = [&](const QStringList& extra) {
            const Run run = cli(QStringList{"analyse", "--json", "--data", data.path} + extra);
            return QJsonDocument::fromJson(run.out).object();
        };
        struct Case {
            QStringList arguments;
            const char* verdict;
            QJsonValue caveat;
        } cases[] = {
            {{}, "inconclusive", QJsonValue()},  // the default 0.50
            {{"--level", "0.25"}, "feasible", "too-contradictory"},
            {{"--level", "0.26"}, "inconclusive", QJsonValue()},
            {{"--level", "0"}, "feasible", "too-contradictory"},
        };
        const QByteArray before = checksum(data.path);
        for (const Case& c : cases) {
            const QJsonObject decision = decided(c.arguments)["decision"].toObject();
            QCOMPARE(decision["key"].toString(), c.verdict);
            QCOMPARE(decision["caveat"], c.caveat);
        }
        QCOMPARE(checksum(data.path), before);
        QCOMPARE(cli({"analyse", "--level", "1.5", "--data", data.path}).status, 64);
        // At 0.50 the state is today's.
        QCOMPARE(decided({})["state"].toObject()["key"].toString(),
                 "quasi-true-tending-to-inconsistent");
        QCOMPARE(decided({})["barycentre"].toObject()["mu"].toDouble(), 0.625);

        {
            auto db = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
            const vpl::decision::FactorsForm form = vpl::decision::ReadFactorsForm(*db);
            vpl::decision::FactorsForm changed = form;
            changed.settings.requirement = 20;
            changed.settings.weights[2] = 10;  // factor 3, the pair 1 and 0
            vpl::decision::SaveFactorsForm(*db, form, changed, db->dataVersion());
        }
        const QJsonObject stored = decided({});
        QCOMPARE(stored["level"].toDouble(), 0.2);
        QCOMPARE(stored["decision"].toObject()["key"].toString(), "feasible");
        const QJsonObject barycentre = stored["barycentre"].toObject();
        QVERIFY(qAbs(barycentre["mu"].toDouble() - 11.5 / 13) < 1e-12);
        QVERIFY(qAbs(barycentre["lambda"].toDouble() - 1.375 / 13) < 1e-12);
        QCOMPARE(barycentre["decision"].toObject()["key"].toString(), "feasible");
    }

    // How sure the decision is: draws only where the stored degrees follow from the answers;
    // a decision far from the level holds in every draw, and the same seed draws alike.
    void sensitivityDrawsTheRespondentsAgain() {
        DataFile typed;  // pairs typed by hand: no draws, the rest all the same
        const QJsonObject none =
            QJsonDocument::fromJson(cli({"sensitivity", "--json", "--data", typed.path}).out).object();
        QCOMPARE(none["resampled"].toBool(), false);
        QVERIFY(!none["notResampled"].toArray().isEmpty());
        QCOMPARE(none["network"].toObject()["withoutFactor"].toArray().size(), 4);

        DataFile sure;
        {
            auto db = Database::open(sure.path.toStdString(), vpl::store::kDatabaseKey);
            for (int factor = 1; factor <= 4; ++factor)  // 40 of 44 respondents agree fully
                vpl::decision::ReplacePropositions(
                    *db, factor, {{"Concordam", {1, 1, 2, 0, 40}}, {"Também", {0, 1, 1, 2, 40}}});
        }
        const QByteArray before = checksum(sure.path);
        const Run first = cli({"sensitivity", "--json", "--data", sure.path});
        QCOMPARE(first.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(first.out).object();
        QCOMPARE(json["resampled"].toBool(), true);
        const QJsonObject network = json["network"].toObject();
        QCOMPARE(network["decision"].toObject()["key"].toString(), "feasible");
        QCOMPARE(network["shares"].toObject()["feasible"].toDouble(), 1.0);
        QVERIFY(!network["region"].toArray().isEmpty());
        QCOMPARE(cli({"sensitivity", "--json", "--data", sure.path}).out, first.out);
        QCOMPARE(checksum(sure.path), before);
    }

    // A factor of degrees 0 whose answers cannot be read (no valid number of propositions)
    // is in the barycentre of both commands alike.
    void sensitivityWeighsTheFactorsAsAnalyseDoes() {
        DataFile data;
        {
            auto db = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
            db->update("Fatores", 2, {{"Mi1", 0.0}, {"Mi2", 0.0}, {"Prop", "abc"}});
        }
        const auto json = [&](const char* command) {
            return QJsonDocument::fromJson(cli({command, "--json", "--data", data.path}).out)
                .object()["barycentre"]
                .toObject();
        };
        const QJsonObject analysed = json("analyse");
        const double certainty = analysed["mu"].toDouble() - analysed["lambda"].toDouble();
        QVERIFY(qAbs(json("sensitivity")["certainty"].toDouble() - certainty) < 1e-4);
    }

    // The lattice and the network saved as pictures of either kind; a target that cannot be
    // written is a failure that leaves no file and no temporary file behind.
    void pictureSavesTheLatticeAndTheNetwork() {
        DataFile data;
        const struct {
            QStringList arguments;
            const char* file;
            QByteArray start;
            QByteArray holds;  // the factors' degrees are drawn as texts in the SVG
        } cases[] = {
            {{"--svg"}, "reticulado.svg", "<?xml", "viewBox=\"0 0 6400 5900\""},
            {{"--png"}, "reticulado.png", "\x89PNG", {}},
            {{"--network", "--svg"}, "rede.svg", "<?xml", "0.75"},
            {{"--network", "--png"}, "rede.png", "\x89PNG", {}},
        };
        for (const auto& c : cases) {
            const QString target = data.file(c.file);
            const Run run = cli(QStringList{"picture"} + c.arguments +
                                QStringList{target, "--data", data.path});
            QCOMPARE(run.status, 0);
            QFile written(target);
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QByteArray bytes = written.readAll();
            QVERIFY2(bytes.startsWith(c.start), c.file);
            QVERIFY2(bytes.contains(c.holds), c.file);
        }
        const QString missing = data.file("no-folder/x.png");
        QCOMPARE(cli({"picture", "--png", missing, "--data", data.path}).status, 2);
        QVERIFY(QDir(data.dir.path()).entryList({"*.png", "*.svg"}).size() == 4);
        QCOMPARE(cli({"picture", "--data", data.path}).status, 64);
    }

    // Decisions side by side: ranked by certainty, each as `analyse` gives it (the family
    // network on the own pairs), one that cannot be read last, and every file left as it was.
    void compareRanksDecisionsAndWritesNothing() {
        DataFile four;  // Gc 0.25
        const QString sure = four.file("certa.mdb");
        const QString three = four.file("tres.mdb");
        const QString broken = four.file("quebrada.mdb");
        for (const QString& f : {sure, three}) vpl::store::createDeliveredFile(f.toStdString());
        {
            auto db = Database::open(sure.toStdString(), vpl::store::kDatabaseKey);
            db->execute("UPDATE Parametro SET Fatores = 4");
            db->execute("UPDATE Fatores SET Mi1 = 0.9, Mi2 = 0.1");  // Gc 0.8
            db = Database::open(three.toStdString(), vpl::store::kDatabaseKey);
            db->execute("UPDATE Parametro SET Fatores = 3");
            db->execute("UPDATE Fatores SET Mi1 = 0.2, Mi2 = 0.6");  // Gc below 0
        }
        writeFile(broken, QByteArray("no data file").repeated(100));
        std::map<QString, QByteArray> before;
        for (const QString& f : {four.path, sure, three, broken}) before[f] = checksum(f);

        const Run run = cli({"compare", "--json", four.path, broken, three, sure});
        QCOMPARE(run.status, 2);  // one file could not be analysed
        const QJsonArray rows = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(rows.size(), 4);
        const QStringList order{sure, four.path, three, broken};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject row = rows[i].toObject();
            QCOMPARE(row["file"].toString(), order[i]);
            QCOMPARE(row["rank"].toInt(), i + 1);
            QStringList analyse{"analyse", "--json", "--data", order[i]};
            if (row["factors"].toInt() != 4) analyse << "--own";
            const QJsonObject alone = QJsonDocument::fromJson(cli(analyse).out).object();
            QCOMPARE(row["certainty"].toDouble(), alone["certainty"].toObject()["value"].toDouble());
            QCOMPARE(row["contradiction"].toDouble(),
                     alone["contradiction"].toObject()["value"].toDouble());
            QCOMPARE(row["state"].toString(), alone["state"].toObject()["key"].toString());
            QCOMPARE(row["decision"].toString(), alone["decision"].toObject()["key"].toString());
        }
        QCOMPARE(rows[3].toObject()["file"].toString(), broken);
        QVERIFY(!rows[3].toObject()["failure"].toString().isEmpty());
        for (const auto& [file, sum] : before) QCOMPARE(checksum(file), sum);
        QVERIFY(!QFile::exists(sure + "-wal"));

        QCOMPARE(cli({"compare", sure}).status, 64);  // two files at least
        const Run text = cli({"compare", sure, four.path});
        QCOMPARE(text.status, 0);
        QCOMPARE(text.out.count('\n'), 3);  // a heading and a row per file
    }

    // Three factors: the reference table by default, the factors' own pairs with --own.
    void ownFactorsRunThroughTheFamilyNetwork() {
        DataFile data;
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->execute("UPDATE Parametro SET Fatores = 3");
        const auto analyse = [&](QStringList extra) {
            const Run run = cli(QStringList{"analyse", "--json", "--data", data.path} + extra);
            return QJsonDocument::fromJson(run.out).object();
        };
        QCOMPARE(analyse({})["network"].toString(), "reference-table");
        // (1 OR 2) AND 3: lambdaR = min(max(0.125, 0.5), 0) = 0, muR = min(max(0.75, 0.5), 1).
        const QJsonObject own = analyse({"--own"});
        QCOMPARE(own["network"].toString(), "own-factors");
        QCOMPARE(own["degrees"].toObject()["lblF3G1"].toObject()["text"].toString(), "1.00");
        QCOMPARE(own["certainty"].toObject()["value"].toDouble(), 0.75);
        QCOMPARE(own["contradiction"].toObject()["value"].toDouble(), -0.25);
        QCOMPARE(own["state"].toObject()["key"].toString(), "true");
    }

    // A factor without answers entered with degrees 0, and the command says so, as the
    // windows do.
    void analyseNamesTheFactorsWithoutAnswers() {
        DataFile data;  // factors 2 to 4 have no propositions
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->execute("UPDATE Fatores SET Mi1 = 0, Mi2 = 0 WHERE Id IN (2, 4)");
        const Run json = cli({"analyse", "--json", "--data", data.path});
        QCOMPARE(json.status, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out).object()["withoutAnswers"].toArray(),
                 (QJsonArray{2, 4}));

        const Run text = cli({"analyse", "--data", data.path});
        QCOMPARE(text.status, 0);
        const QStringList lines = QString::fromUtf8(text.out).split('\n');
        const QStringList named = lines.filter(QRegularExpression("^answers +\\S"));
        QCOMPARE(named.size(), 1);
        QVERIFY2(named[0].endsWith(" 2, 4"), qPrintable(named[0]));

        // Every factor answered: nothing to name.
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->execute("UPDATE Fatores SET Mi1 = 0.5 WHERE Id IN (2, 4)");
        QCOMPARE(QJsonDocument::fromJson(cli({"analyse", "--json", "--data", data.path}).out)
                     .object()["withoutAnswers"]
                     .toArray(),
                 QJsonArray());
        QVERIFY(
            !QString::fromUtf8(cli({"analyse", "--data", data.path}).out)
                 .contains(QRegularExpression("^answers ", QRegularExpression::MultilineOption)));
    }

    // Degrees that the stored answers do not give are named, and nothing is rewritten.
    void analyseNamesDegreesThatDoNotFollowFromTheAnswers() {
        DataFile data;  // factor 1: 128 contrary and 2 favourable of 137 answers; the others none
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->update("Fatores", 3, {{"Mi1", 0.0}, {"Mi2", 0.0}});  // as no answers give
        const QByteArray before = checksum(data.path);
        const Run text = cli({"analyse", "--data", data.path});
        QCOMPARE(text.status, 0);
        const QString said = QString::fromUtf8(text.out);
        QVERIFY2(said.contains("the degrees of factor 1 do not follow") &&
                     !said.contains("factor 3 do not"),
                 qPrintable(said));
        const Run json = cli({"analyse", "--json", "--data", data.path});
        QCOMPARE(QJsonDocument::fromJson(json.out).object()["staleDegrees"].toArray(),
                 (QJsonArray{1, 2, 4}));
        QCOMPARE(checksum(data.path), before);
    }

    // The program keeps its writes in the write-ahead log while it runs, and leaves them
    // there when it is killed: the command line reads them all the same.
    void readsWhatTheProgramSavedWhileItRuns() {
        DataFile data;
        auto program = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
        program->update("Fatores", 1, {{"Mi1", 0.3125}, {"Mi2", 0.5}});
        const Run run = cli({"analyse", "--json", "--data", data.path});
        QCOMPARE(run.status, 0);
        const QJsonObject degrees = QJsonDocument::fromJson(run.out).object()["degrees"].toObject();
        QCOMPARE(degrees["lblF1G1"].toObject()["text"].toString(), "0.3125");
        QCOMPARE(degrees["lblF1G2"].toObject()["text"].toString(), "0.5000");
    }
    void backupOfAKilledProgramHoldsItsSavedRows() {
        DataFile data;
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->update("Prop1", 1, {{"N01", 0}, {"N02", 0}, {"N03", 0}, {"N04", 0}, {"N05", 0}});
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VPL_CRASH_HOLD", "1");
        program.setProcessEnvironment(env);
        program.start(VPL_CRASH_CHILD, {"likert", data.dir.path()});  // types 7 into N03
        QByteArray said;
        while (!said.contains('D') && program.waitForReadyRead(60000)) said += program.readAll();
        QVERIFY2(said.contains('D'), said.constData());
        program.kill();
        QVERIFY(program.waitForFinished(30000));
        const qint64 log = QFileInfo(data.path + "-wal").size();
        QVERIFY(log > 0);

        const QString copy = data.file("copia.mdb");
        const Run run = cli({"backup", copy, "--data", data.path});
        QCOMPARE(run.status, 0);
        // A reader never folds the log back: killing one can leave nothing half-folded.
        QCOMPARE(QFileInfo(data.path + "-wal").size(), log);
        QCOMPARE(cli({"analyse", "--data", data.path}).status, 0);
        QCOMPARE(QFileInfo(data.path + "-wal").size(), log);
        QVERIFY(!QFile::exists(copy + "-wal"));
        auto backup = Database::open(copy.toStdString(), vpl::store::kDatabaseKey);
        QCOMPARE(backup->firstRow("Prop1", {"N03"}).value("N03"), vpl::store::Value(7));
        QCOMPARE(backup->firstRow("Fatores", {"Fator"}).text("Fator"), std::string("Custos"));
    }

    void badFilesAndArgumentsEndWithOneLine_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QStringList>("arguments");  // DATA stands for the data file
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QStringList analyse{"analyse", "--data", "DATA"};
        QTest::newRow("missing") << "remove" << analyse << 2 << "does not exist";
        QTest::newRow("not a database") << "garble" << analyse << 2 << "cannot be opened";
        QTest::newRow("another key") << "rekey" << analyse << 2 << "cannot be opened";
        QTest::newRow("table gone") << "DROP TABLE Fatores" << analyse << 2 << "damaged";
        QTest::newRow("count opens nothing")
            << "UPDATE Parametro SET Fatores = 9" << analyse << 1 << "opens no analysis";
        QTest::newRow("fractional count opens nothing")
            << "UPDATE Parametro SET Fatores = 4.5" << analyse << 1 << "opens no analysis";
        QTest::newRow("negative count, import")
            << "UPDATE Parametro SET Fatores = -3"
            << QStringList{"import", "--factor", "1", "x.csv", "--dry-run", "--data", "DATA"} << 1
            << "count -3";
        QTest::newRow("negative count, export")
            << "UPDATE Parametro SET Fatores = -3"
            << QStringList{"export", "--csv", "--factor", "1", "--data", "DATA"} << 1 << "count -3";
        QTest::newRow("report of 3 factors")
            << "UPDATE Parametro SET Fatores = 3"
            << QStringList{"report", "--pdf", "x.pdf", "--data", "DATA"} << 1 << "four-factor";
        QTest::newRow("no command") << "" << QStringList{} << 64 << "usage:";
        QTest::newRow("unknown option") << "" << QStringList{"analyse", "--pdf"} << 64 << "usage:";
        QTest::newRow("report without --pdf") << "" << QStringList{"report"} << 64 << "usage:";
        QTest::newRow("backup without a file") << "" << QStringList{"backup"} << 64 << "usage:";
        QTest::newRow("backup over the data file")
            << "" << QStringList{"backup", "DATA", "--data", "DATA"} << 2 << "cannot write";
        QTest::newRow("factor beyond the count")
            << "" << QStringList{"export", "--csv", "--factor", "5", "--data", "DATA"} << 64
            << "factors 1 to 4";
        QTest::newRow("export of neither kind")
            << "" << QStringList{"export", "--data", "DATA"} << 64 << "either --csv";
        QTest::newRow("a spreadsheet of one factor")
            << "" << QStringList{"export", "--xlsx", "x.xlsx", "--factor", "1", "--data", "DATA"}
            << 64 << "either --csv";
        QTest::newRow("spreadsheet, count opens nothing")
            << "UPDATE Parametro SET Fatores = 9"
            << QStringList{"export", "--xlsx", "x.xlsx", "--data", "DATA"} << 1
            << "opens no analysis";
    }
    void badFilesAndArgumentsEndWithOneLine() {
        QFETCH(QString, damage);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        DataFile data;
        if (damage == "remove") {
            QFile::remove(data.path);
        } else if (damage == "garble") {
            QFile f(data.path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else if (damage == "rekey") {
            QFile::remove(data.path);
            vpl::store::createDeliveredFile(data.path.toStdString(), "another key");
        } else if (!damage.isEmpty()) {
            Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
                ->execute(damage.toStdString());
        }
        arguments.replaceInStrings("DATA", data.path);
        const Run run = cli(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
        QCOMPARE(run.err.count('\n'), says == "usage:" && !arguments.isEmpty() ? 2 : 1);
        QVERIFY(run.out.isEmpty());
    }

    void reportPdfReadsBack() {
        DataFile data;
        const QString pdf = data.file("report.pdf");
        const Run run = cli({"report", "--pdf", pdf, "--data", data.path});
        QCOMPARE(run.status, 0);
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString report = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(report.contains(QRegularExpression("Fator:\\s+1\\.Custos")), qPrintable(report));
        QVERIFY(report.contains(QRegularExpression("Sem respostas\\s+00\\s+00\\s+00\\s+00\\s+00")));
        QVERIFY(report.contains("0.6250"));
        // The data file speaks English; the report is in Portuguese all through.
        QVERIFY(report.contains(
            QString::fromUtf8("Estado lógico: Quase-verdadeiro tendendo ao Inconsistente")));
    }

    // A write that fails part way (here the file size limit, as a full disk would) leaves
    // the PDF that was there, and says so.
    void aReportPdfIsWholeOrNotWritten() {
        DataFile data;
        const QString pdf = data.file("report.pdf");
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older report");
        old.close();
        QProcess limited;
        limited.start("bash", {"-c", "trap '' XFSZ; ulimit -f 24; exec \"$0\" \"$@\"", VPL_CLI,
                               "report", "--pdf", pdf, "--data", data.path});
        QVERIFY(limited.waitForFinished(60000));
        const QString err = QString::fromUtf8(limited.readAllStandardError());
        QCOMPARE(limited.exitCode(), 2);
        QVERIFY2(err.contains("cannot write") && err.count('\n') == 1, qPrintable(err));
        QVERIFY(limited.readAllStandardOutput().isEmpty());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("an older report"));
        QCOMPARE(QDir(data.dir.path()).entryList({"report.pdf*"}, QDir::Files),
                 QStringList{"report.pdf"});
    }

    // A factor without a number of propositions is left out of the export, and said so.
    void exportLeavesOutAFactorWithoutAPropositionCount() {
        DataFile data;
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->update("Fatores", 2, {{"Prop", ""}});
        const Run all = cli({"export", "--csv", "--data", data.path});
        QCOMPARE(all.status, 0);
        QVERIFY2(
            all.err.contains("factor 2 has no number of propositions") && all.err.count('\n') == 1,
            qPrintable(all.err));
        QVERIFY(all.out.contains("Custos") || all.out.contains("Custo, prazo"));
        const Run one = cli({"export", "--csv", "--factor", "2", "--data", data.path});
        QCOMPARE(one.status, 1);
        QVERIFY(one.err.contains("factors window"));
    }

    void exportThenImportRoundTrips() {
        DataFile data;
        const Run exported = cli({"export", "--csv", "--factor", "1", "--data", data.path});
        QCOMPARE(exported.status, 0);
        const QString csv = data.file("factor1.csv");
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(exported.out);
        file.close();

        // A dry run prints what it understood and writes nothing.
        const QByteArray before = checksum(data.path);
        const Run dry = cli({"import", "--factor", "2", csv, "--dry-run", "--data", data.path});
        QCOMPARE(dry.status, 0);
        const QString said = QString::fromUtf8(dry.out);
        QVERIFY2(said.contains("1\tCusto, prazo e \"risco\"\t5\t123\t0\t0\t2\n"), qPrintable(said));
        QVERIFY(said.contains(QString::fromUtf8("2\tAção imediata\t0\t0\t7\t0\t0\n")));
        QVERIFY(!said.contains("not understood"));
        QCOMPARE(checksum(data.path), before);

        QCOMPARE(cli({"import", "--factor", "2", csv, "--data", data.path}).status, 0);
        const Run again = cli({"export", "--csv", "--factor", "2", "--data", data.path});
        QCOMPARE(again.out, exported.out);
    }

    // Only regular files are read, the survey's and the data file: a FIFO without a writer, a
    // device without end and a folder are refused at once.
    void whatIsNoRegularFileIsRefusedAtOnce_data() {
        QTest::addColumn<bool>("asData");   // else as the survey file
        QTest::addColumn<QString>("file");  // FIFO and FOLDER stand for the test's own
        QTest::addColumn<QString>("says");
        for (const bool asData : {false, true}) {
            const char* role = asData ? "data file" : "survey";
            QTest::addRow("%s: a device", role) << asData << "/dev/zero"
                                                << "not a regular file";
            QTest::addRow("%s: a FIFO", role) << asData << "FIFO"
                                              << "not a regular file";
            QTest::addRow("%s: a folder", role) << asData << "FOLDER"
                                                << "folder";
        }
    }
    void whatIsNoRegularFileIsRefusedAtOnce() {
        QFETCH(bool, asData);
        QFETCH(QString, file);
        QFETCH(QString, says);
        DataFile data;
        const QString csv = data.file("factor1.csv");
        writeFile(csv, cli({"export", "--csv", "--factor", "1", "--data", data.path}).out);
        if (file == "FIFO") {
            file = data.file("fifo");
            QCOMPARE(::mkfifo(file.toLocal8Bit().constData(), 0600), 0);
        } else if (file == "FOLDER") {
            file = data.file("folder");
            QVERIFY(QDir().mkdir(file));
        }
        const QByteArray before = checksum(data.path);
        QElapsedTimer timer;
        timer.start();
        const Run run = cli(
            {"import", "--factor", "2", asData ? csv : file, "--data", asData ? file : data.path});
        QCOMPARE(run.status, 2);
        QVERIFY2(timer.elapsed() < 20000, "refused at once");
        QVERIFY2(run.err.contains(says) && run.err.contains(file), qPrintable(run.err));
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(checksum(data.path), before);
    }

    // A survey file far larger than the memory the command may take is read as it comes and
    // counted right: 300 MB of respondents within 256 MB of address space, the program and
    // its libraries included, and less than 64 MB of it ever in memory.
    void aSurveyLargerThanItsMemoryIsImported() {
#ifdef VPL_SANITIZED
        QSKIP("the address sanitizer reserves more address space than any limit allows");
#endif
        DataFile data;
        const QString csv = data.file("respondents.csv");
        constexpr int kStatements = 20;
        constexpr qint64 kRespondents = 1600000;  // each about 190 bytes
        {
            static const char* kAnswers[] = {"1", "Discordo", "3", "Concordo",
                                             "Concordo totalmente"};
            QFile file(csv);
            QVERIFY(file.open(QIODevice::WriteOnly));
            std::string rows = "Carimbo,Contato";
            for (int q = 1; q <= kStatements; ++q) rows += ",Q" + std::to_string(q);
            rows += "\r\n";
            for (qint64 r = 0; r < kRespondents; ++r) {
                // An address of each respondent's own, in a column no tool names.
                rows += "2026-11-02 09:14,p" + std::to_string(r) + "@x.org";
                for (int q = 0; q < kStatements; ++q)
                    (rows += ',') += q == 0 && r % 1000 == 0 ? "talvez" : kAnswers[(r + q) % 5];
                rows += "\r\n";
                if (rows.size() > (4 << 20) || r + 1 == kRespondents) {
                    QCOMPARE(file.write(rows.data(), qint64(rows.size())), qint64(rows.size()));
                    rows.clear();
                }
            }
            QVERIFY(file.size() > (qint64(280) << 20));
        }
        const QString peak = data.file("peak");
        QProcess p;
        p.start("time", {"-o", peak, "-f", "%M", "prlimit", "--as=268435456", VPL_CLI, "import",
                         "--factor", "1", csv, "--data", data.path});
        QVERIFY(p.waitForFinished(120000));
        const QString said = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(p.exitCode() == 0, qPrintable(p.readAllStandardError()));
        QVERIFY2(said.contains("1600000 respondents read"), qPrintable(said.left(200)));
        QCOMPARE(said.count("\nnot understood: row "), int(vpl::core::kUnreadListed));
        QVERIFY(said.contains("\nnot understood: and 600 more\n"));
        QVERIFY(said.contains("skipped: column 2 \"Contato\": holds e-mail addresses"));
        QFile kilobytes(peak);
        QVERIFY(kilobytes.open(QIODevice::ReadOnly));
        const qint64 resident = kilobytes.readAll().trimmed().toLongLong();
        QVERIFY2(resident > 0 && resident < 64 * 1024, qPrintable(QString::number(resident)));

        auto db = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
        QCOMPARE(db->rowByKey("Fatores", {"Prop"}, 1)->text("Prop"), std::to_string(kStatements));
        const int each = int(kRespondents / 5);
        const auto rows =
            db->firstRows("Prop1", {"Proposicao", "N01", "N02", "N03", "N04", "N05"}, kStatements);
        for (int q = 0; q < kStatements; ++q) {
            QCOMPARE(rows[q].text("Proposicao"), "Q" + std::to_string(q + 1));
            for (int j = 1; j <= 5; ++j)
                QCOMPARE(rows[q].value("N0" + std::to_string(j)),
                         vpl::store::Value(each - (q == 0 && j == 1 ? 1600 : 0)));
        }
    }

    // A text that a spreadsheet would run as a formula is exported behind an apostrophe, and
    // the import takes it off again.
    void formulasAreExportedInertAndImportBack() {
        DataFile data;
        const QString formula = "=cmd|' /C calc'!A0";
        Database::open(data.path.toStdString(), vpl::store::kDatabaseKey)
            ->update("Prop1", 3, {{"Proposicao", formula.toStdString()}});
        const Run exported = cli({"export", "--csv", "--factor", "1", "--data", data.path});
        QVERIFY2(exported.out.contains("\r\n'" + formula.toUtf8() + ",0,0,0,0,0\r\n"),
                 exported.out.constData());
        const Run every = cli({"export", "--csv", "--data", data.path});
        QVERIFY2(every.out.contains("\r\n1,'" + formula.toUtf8() + ","), every.out.constData());

        const QString csv = data.file("factor1.csv");
        writeFile(csv, exported.out);
        QCOMPARE(cli({"import", "--factor", "2", csv, "--data", data.path}).status, 0);
        auto db = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
        QCOMPARE(db->firstRows("Prop2", {"Proposicao"}, 3)[2].text("Proposicao"),
                 formula.toStdString());
        QCOMPARE(cli({"export", "--csv", "--factor", "2", "--data", data.path}).out, exported.out);

        // In the spreadsheet it is a text, not a formula.
        const QString xlsx = data.file("analysis.xlsx");
        QCOMPARE(cli({"export", "--xlsx", xlsx, "--data", data.path}).status, 0);
        const auto sheets = vpl::test::readWorkbook(xlsx);
        QVERIFY(sheets);
        for (const int factor : {0, 1}) {
            const vpl::test::ReadSheet& sheet = (*sheets)[factor];
            const int row = sheet.rowOf(1, formula);
            QVERIFY2(row >= 0, qPrintable(sheet.name));
            QCOMPARE(sheet.at(row, 1).type, QString("s"));
        }
    }

    void spreadsheetHoldsEveryDegreeAsANumber_data() {
        QTest::addColumn<int>("factors");
        QTest::addColumn<bool>("own");
        QTest::addColumn<int>("factorSheets");
        QTest::newRow("four factors") << 4 << false << 4;
        QTest::newRow("reference table") << 3 << false << 4;
        QTest::newRow("own factors") << 7 << true << 7;
    }
    // Whatever the analysis, the spreadsheet holds the degrees `analyse` prints, as numbers.
    void spreadsheetHoldsEveryDegreeAsANumber() {
        QFETCH(int, factors);
        QFETCH(bool, own);
        QFETCH(int, factorSheets);
        DataFile data;
        {
            auto db = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
            db->execute("UPDATE Parametro SET Fatores = " + std::to_string(factors));
            const double pairs[3][2] = {{0.6, 0.3}, {0.125, 0.875}, {0.4, 0.2}};
            for (int i = 0; i < 3; ++i)
                db->update("Fatores", i + 5, {{"Mi1", pairs[i][0]}, {"Mi2", pairs[i][1]}});
        }
        QStringList options{"--data", data.path};
        if (own) options << "--own";
        const Run analysed = cli(QStringList{"analyse", "--json"} + options);
        QCOMPARE(analysed.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(analysed.out).object();
        const QString xlsx = data.file("analysis.xlsx");
        const Run exported = cli(QStringList{"export", "--xlsx", xlsx} + options);
        QVERIFY2(exported.status == 0, qPrintable(exported.err));

        const auto sheets = vpl::test::readWorkbook(xlsx);
        QVERIFY(sheets);
        QCOMPARE(sheets->size(), factorSheets + 2);
        const auto network = vpl::test::namedDegrees((*sheets)[factorSheets]);
        const QJsonObject degrees = json["degrees"].toObject();
        QVERIFY(!degrees.isEmpty());
        for (auto d = degrees.begin(); d != degrees.end(); ++d) {
            const vpl::test::ReadCell cell = network.value(d.key(), {QJsonValue(), "missing"});
            const QJsonValue value = d.value().toObject()["value"];
            // A degree without a text is an empty cell; any other a number, to the 16
            // significant digits a spreadsheet holds.
            QVERIFY2(cell.type == "n" && cell.value.isNull() == value.isNull() &&
                         std::abs(cell.value.toDouble() - value.toDouble()) <= 1e-15,
                     qPrintable(d.key() + ": " + cell.type));
        }
        // Every factor's pair stands on its own sheet too.
        for (int f = 1; f <= factorSheets; ++f) {
            const vpl::test::ReadSheet& sheet = (*sheets)[f - 1];
            const QString factor = "lblF" + QString::number(f);
            QCOMPARE(sheet.at(int(sheet.rows.size()) - 2, 2).value, network.value(factor + "G1").value);
            QCOMPARE(sheet.at(int(sheet.rows.size()) - 1, 2).value, network.value(factor + "G2").value);
        }

        const vpl::test::ReadSheet& result = sheets->last();
        const auto line = [&](const char* key) {
            const int row = result.rowOf(2, key);
            return row < 0 ? vpl::test::ReadCell{} : result.at(row, 1);
        };
        const struct {
            const char* line;
            QJsonValue value;
        } numbers[] = {
            {"G1", json["certainty"].toObject()["value"]},
            {"G2", json["contradiction"].toObject()["value"]},
            {"G1n", json["G1n"].toObject()["value"]},
            {"~G2n", json["G2n"].toObject()["value"]},
            {"level", json["level"]},
            {"barycentre mu", json["barycentre"].toObject()["mu"]},
            {"barycentre G2", json["barycentre"].toObject()["contradiction"]},
        };
        for (const auto& n : numbers) {
            QVERIFY2(line(n.line).type == "n", n.line);
            QVERIFY2(std::abs(line(n.line).value.toDouble() - n.value.toDouble()) <= 1e-15, n.line);
        }
        QCOMPARE(line("opinion").value.toString(),
                 json["verdicts"].toObject()["opinion"].toString());
        QCOMPARE(line("state").value.toString(), json["state"].toObject()["text"].toString());
    }

    // The propositions of a factor, their counts and their sums, as numbers.
    void spreadsheetCountsThePropositions() {
        DataFile data;
        const QString xlsx = data.file("analysis.xlsx");
        QCOMPARE(cli({"export", "--xlsx", xlsx, "--data", data.path}).status, 0);
        const auto sheets = vpl::test::readWorkbook(xlsx);
        QVERIFY(sheets);
        const vpl::test::ReadSheet& custos = sheets->first();
        QCOMPARE(custos.at(0, 1).value.toString(), "Custos");
        const int first = custos.rowOf(1, "Custo, prazo e \"risco\"");
        QVERIFY(first > 0);
        const double expected[3][6] = {{5, 123, 0, 0, 2, 130}, {0, 0, 7, 0, 0, 7}, {0, 0, 0, 0, 0, 0}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 6; ++c) {
                const vpl::test::ReadCell cell = custos.at(first + r, 2 + c);
                // The row under the three holds the sums of each column.
                const double want = r < 3 ? expected[r][c]
                                          : expected[0][c] + expected[1][c] + expected[2][c];
                QVERIFY2(cell.type == "n" && cell.value.toDouble() == want,
                         qPrintable(QString("row %1 column %2").arg(r).arg(c)));
            }
        QCOMPARE(custos.at(first + 1, 1).value.toString(), QString::fromUtf8("Ação imediata"));
    }

    void aSpreadsheetThatCannotBeWrittenLeavesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("plainUser");
        // Written, then refused at the rename: the temporary file must go again.
        QTest::newRow("a folder by that name") << "folder.xlsx" << false;
        QTest::newRow("a missing folder") << "missing/analysis.xlsx" << false;
        QTest::newRow("a folder it may not write") << "locked/analysis.xlsx" << true;
    }
    void aSpreadsheetThatCannotBeWrittenLeavesNothing() {
        QFETCH(QString, target);
        QFETCH(bool, plainUser);
        DataFile data;
        QVERIFY(QDir(data.dir.path()).mkdir("folder.xlsx"));
        QVERIFY(QDir(data.dir.path()).mkdir("locked"));
        writeFile(data.file("locked/analysis.xlsx"), "the file as it was");
        QFile::setPermissions(data.dir.path(), QFile::Permissions(0x7755));
        QFile::setPermissions(data.path, QFile::Permissions(0x6644));
        QFile::setPermissions(data.file("locked"), QFile::Permissions(0x5555));
        const auto everything = [&] {
            QStringList names;
            QDirIterator it(data.dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) names << it.next();
            names.sort();
            return names;
        };
        const QStringList before = everything();
        const QStringList arguments{"export", "--xlsx", data.file(qPrintable(target)), "--data",
                                    data.path};
        const Run run = plainUser ? cliAsPlainUser(arguments) : cli(arguments);
        QFile::setPermissions(data.file("locked"), QFile::Permissions(0x7755));
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.count('\n') == 1 && run.err.contains(target), qPrintable(run.err));
        QCOMPARE(everything(), before);
        QCOMPARE(checksum(data.file("locked/analysis.xlsx")),
                 QCryptographicHash::hash("the file as it was", QCryptographicHash::Sha256));
    }

    // What the command prints of a file's texts, and of the names it is given, reaches the
    // terminal with its control characters escaped.
    void controlCharactersArePrintedEscaped() {
        DataFile data;
        const QString csv = data.file("survey.csv");
        writeFile(
            csv,
            "P,DT,D,I,C,CT\r\n\"\x1b]0;owned\x07Risco\",1,2,3,4,5\r\nPrazo,x\x1b[2J,0,0,0,0\r\n");
        const Run dry = cli({"import", "--factor", "2", csv, "--dry-run", "--data", data.path});
        QCOMPARE(dry.status, 0);
        QVERIFY(!dry.out.contains('\x1b') && !dry.out.contains('\x07'));
        QVERIFY2(dry.out.contains("1\t\\x1b]0;owned\\x07Risco\t1\t2"), dry.out.constData());
        QVERIFY2(dry.out.contains("\"x\\x1b[2J\""), dry.out.constData());  // not understood

        const Run missing =
            cli({"import", "--factor", "2", data.file("no\x1b[31m.csv"), "--data", data.path});
        QCOMPARE(missing.status, 2);
        QVERIFY(!missing.err.contains('\x1b'));
        QVERIFY2(missing.err.contains("no\\x1b[31m.csv"), qPrintable(missing.err));
    }

    // A file that another program holds is locked, not damaged; nothing is written.
    void aHeldFileIsLockedNotDamaged() {
        DataFile data;
        const QString csv = data.file("factor1.csv");
        writeFile(csv, cli({"export", "--csv", "--factor", "1", "--data", data.path}).out);
        auto other = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
        other->execute("BEGIN EXCLUSIVE");
        const Run run = cli({"import", "--factor", "2", csv, "--data", data.path});
        other->rollback();
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("locked") && !run.err.contains("damaged"), qPrintable(run.err));
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(other->rowByKey("Fatores", {"Prop"}, 2)->text("Prop"), std::string("0"));
    }

    // A file the user may not read is named as given, not as the engine was asked to open it.
    void anUnreadableDataFileIsNamedAsGiven() {
        DataFile data;
        QFile::setPermissions(data.dir.path(), QFile::Permissions(0x7755));
        QFile::setPermissions(data.path, geteuid() == 0 ? QFile::ReadOwner | QFile::WriteOwner
                                                        : QFile::Permissions());
        const Run run = cliAsPlainUser({"analyse", "--data", data.path});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(data.path + ")") && !run.err.contains("file:") &&
                     !run.err.contains("immutable"),
                 qPrintable(run.err));
        QFile::setPermissions(data.path, QFile::ReadOwner | QFile::WriteOwner);
    }

    // The export of every factor is no factor's survey: refused in one line, dry run or not,
    // and nothing is written.
    void importRefusesTheExportOfEveryFactor() {
        DataFile data;
        const Run exported = cli({"export", "--csv", "--data", data.path});
        QCOMPARE(exported.status, 0);
        const QString csv = data.file("every-factor.csv");
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(exported.out);
        file.close();
        const QByteArray before = checksum(data.path);
        for (const bool dryRun : {true, false}) {
            QStringList arguments{"import", "--factor", "2", csv, "--data", data.path};
            if (dryRun) arguments << "--dry-run";
            const Run run = cli(arguments);
            QCOMPARE(run.status, 1);  // the data does not allow it
            QCOMPARE(run.err.count('\n'), 1);
            QVERIFY2(run.err.contains("import per factor"), qPrintable(run.err));
            QVERIFY(run.out.isEmpty());
        }
        QCOMPARE(checksum(data.path), before);
    }

    // One Google Forms survey of three grids into three factors at once, by a map: each
    // column into its factor, one reversed, the titles set; the stored counts are those
    // printed. Factor 1, which held data, is said to be replaced.
    void importAllFillsEveryFactorOfTheMap() {
        DataFile data;
        const QString csv = data.file("forms.csv");
        writeFile(csv,
                  "Timestamp,Email Address,Cost [Cheap],Cost [Expensive],Time [Fast],"
                  "Risk [Safe]\r\n"
                  "2026/11/02 9:14:03,a@example.org,Agree,Agree,Strongly agree,Disagree\r\n"
                  "2026/11/02 9:15:03,b@example.org,Agree,Strongly disagree,Agree,Neutral\r\n"
                  "2026/11/02 9:16:03,c@example.org,Strongly agree,Disagree,Agree,\r\n");
        const QString map = data.file("map.json");
        writeFile(map, R"({"columns": [{"column": 3, "factor": 1}, {"column": 4, "factor": 1,
                  "reversed": true}, {"column": 5, "factor": 3}, {"column": 6, "factor": 2}],
                  "titles": {"1": "Cost", "3": "Time"}})");
        const QByteArray before = checksum(data.path);
        const Run dry = cli({"import", "--all", csv, "--map", map, "--dry-run", "--data", data.path});
        QCOMPARE(dry.status, 0);
        QVERIFY2(dry.out.contains("export of Google Forms\n"), dry.out.constData());
        QVERIFY2(dry.out.contains("factor 1 \"Cost\": 2 propositions\n1\tCheap\t0\t0\t0\t2\t1\n"
                                  "2\tExpensive\t0\t1\t0\t1\t1\n"),
                 dry.out.constData());
        QCOMPARE(checksum(data.path), before);

        const Run run = cli({"import", "--all", csv, "--map", map, "--data", data.path});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(run.out.contains("factor 1: its propositions and answers are replaced\n"));
        QVERIFY(!run.out.contains("factor 2: its"));
        auto db = Database::open(data.path.toStdString(), vpl::store::kDatabaseKey);
        const auto factors = vpl::decision::ReadFactors(*db, 4);
        QCOMPARE(factors[0].titleText(), std::string("Cost"));
        QCOMPARE(factors[1].titleText(), std::string("Fator 2"));  // no title in the map
        QCOMPARE(factors[2].titleText(), std::string("Time"));
        QCOMPARE(factors[1].prop, vpl::store::Value("1"));
        const auto risk = vpl::decision::ReadPropositions(*db, 2, 1);
        QCOMPARE(risk[0].counts(), (vpl::core::Counts{0, 1, 1, 0, 0}));
        QCOMPARE(vpl::decision::ReadPropositions(*db, 3, 1)[0].counts(),
                 (vpl::core::Counts{0, 0, 0, 2, 1}));
    }

    // Codes whose order is not plain are asked for: without a map nothing is imported, and
    // the message names them; a workbook under a password is refused as one.
    void importRefusesWhatItCannotCount() {
        DataFile data;
        const QString csv = data.file("codes.csv");
        writeFile(csv, "P1,P2\r\nA1,A2\r\nA2,A4\r\nA4,A4\r\n");
        const QByteArray before = checksum(data.path);
        const Run codes = cli({"import", "--factor", "2", csv, "--data", data.path});
        QCOMPARE(codes.status, 1);
        QVERIFY2(codes.err.contains("\"A1\", \"A2\", \"A4\" have no point"), qPrintable(codes.err));

        const QString xlsx = data.file("locked.xlsx");
        QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        ole.append(QByteArray(504, '\0'));
        for (const char c : QByteArray("EncryptedPackage")) ole.append(c).append('\0');
        writeFile(xlsx, ole);
        const Run locked = cli({"import", "--factor", "2", xlsx, "--data", data.path});
        QCOMPARE(locked.status, 2);
        QVERIFY2(locked.err.contains("protected by a password"), qPrintable(locked.err));
        QCOMPARE(checksum(data.path), before);

        const Run usage = cli({"import", "--all", csv, "--data", data.path});
        QCOMPARE(usage.status, 64);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"

#include <QComboBox>
#include <QTemporaryDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

#include "analysis/frmAnalise4f.h"
#include "analysis/frmEsquema.h"
#include "analysis/picture_boxes.h"
#include "report/scheme_picture.h"
#include "analysis_family/frmAnaliseFamilia.h"
#include "report/printing_surface.h"
#include "report/report.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/pictures.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"
#include "tests/support/keyboard_checks.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"
#include "tests/support/workbook_reader.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;
using vpl::test::text;

namespace {

// PLikert rows by key; every other row holds no answers.
using Counts = QList<int>;
using LikertRows = QMap<int, Counts>;
using Texts = QMap<QString, QString>;

// Rows beyond the delivered keys are added, to show that they are never read.
void storeLikert(Fixture& f, const LikertRows& rows) {
    f.db().execute("UPDATE PLikert SET N01 = 0, N02 = 0, N03 = 0, N04 = 0, N05 = 0");
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        std::vector<store::Value> values{store::Value(it.key())};
        for (int count : it.value()) values.emplace_back(count);
        f.db().execute(
            "INSERT OR REPLACE INTO PLikert (Id, N01, N02, N03, N04, N05) "
            "VALUES (?, ?, ?, ?, ?, ?)",
            values);
    }
}

// One row at the head of each block: the worked case of the family.
const LikertRows kWorkedCase{
    {1, {2, 2, 2, 2, 2}}, {21, {1, 1, 2, 3, 3}}, {41, {0, 1, 1, 4, 4}}, {61, {3, 3, 2, 1, 1}}};

const char* const kConflicting = "Não-Contradição conflitante.";
const char* const kUndetermined = "Certeza não determinada, indeterminação.";
const char* const kLow = "Não-Contradição baixa: os sujeitos possuem opinião quase consistente.";

// The labels of `expected` show their texts; a label named with an empty text shows none.
void verifyTexts(QWidget& window, const Texts& expected) {
    for (auto it = expected.begin(); it != expected.end(); ++it)
        QVERIFY2(text(window, qPrintable(it.key())) == it.value(),
                 qPrintable(it.key() + ": " + text(window, qPrintable(it.key()))));
}

// The labels shown over the picture; every one lies on it, none over another.
QList<QLabel*> labelsOnPicture(QWidget& window) {
    auto* box = child<NetworkTableBox>(window, "Picture2");
    QList<QLabel*> shown;
    for (QLabel* label : box->findChildren<QLabel*>())
        if (label->isVisibleTo(&window)) shown << label;
    for (QLabel* label : shown) {
        if (!box->rect().contains(label->geometry()))
            qFatal("%s off the picture", qPrintable(label->objectName()));
        for (QLabel* other : shown)
            if (label != other && label->geometry().intersects(other->geometry()))
                qFatal("%s over %s", qPrintable(label->objectName()),
                       qPrintable(other->objectName()));
    }
    return shown;
}

// Mi1 and Mi2 of Fatores rows 1, 2, ...; a missing value stays NULL.
void storePairs(Fixture& f, const QList<std::optional<core::EvidencePair>>& pairs) {
    f.db().execute("UPDATE Fatores SET Mi1 = NULL, Mi2 = NULL");
    for (int i = 0; i < pairs.size(); ++i)
        if (pairs[i])
            f.db().update("Fatores", i + 1, {{"Mi1", pairs[i]->Mi1}, {"Mi2", pairs[i]->Mi2}});
}

// The texts the window shows, by label name.
Texts shownTexts(QWidget& window) {
    Texts texts;
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisibleTo(&window) && !label->objectName().isEmpty())
            texts[label->objectName()] = label->text();
    return texts;
}

std::unique_ptr<test::Loaded<frmAnaliseFamilia>> load(Fixture& f, int factors) {
    return std::make_unique<test::Loaded<frmAnaliseFamilia>>(f.program(), familyMember(factors));
}

}  // namespace

class AnalysisFamilyTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { test::recordMessagesWithOnePdfPrinter(); }
    void cleanup() { Printers::clearFake(); }

    void workedCaseInEveryMember_data() {
        QTest::addColumn<int>("factors");
        QTest::addColumn<QStringList>("carried");  // the degree labels on the form
        QTest::addColumn<QStringList>("rLabels");
        QTest::addColumn<QString>("operators");  // Picture2's columns, from the factors out
        const QStringList all{"lblF1G2", "lblF2G2", "lblF3G2", "lblF4G2", "lblF1G1",
                              "lblF2G1", "lblF3G1", "lblF4G1", "lblMax1", "lblMax2",
                              "lblMin1", "lblMax3", "lblMax4", "lblMin2"};
        QTest::newRow("2f") << 2
                            << QStringList{"lblF1G2", "lblF2G2", "lblMax1", "lblMax3", "lblMax4"}
                            << QStringList{"Label3", "Label4"} << "AND";
        QStringList three = all;
        three.removeAll("lblF4G2");
        three.removeAll("lblF4G1");
        QTest::newRow("3f") << 3 << three << QStringList{"Label4", "Label5"} << "OR AND";
        QTest::newRow("5f") << 5 << all << QStringList{"Label3", "Label4"} << "OR AND AND";
        QTest::newRow("6f") << 6 << all << QStringList{"Label3", "Label4"} << "AND OR AND";
        QTest::newRow("7f") << 7 << all << QStringList{"Label3", "Label4"} << "OR AND OR";
        QTest::newRow("8f") << 8 << all << QStringList{"Label3", "Label4"} << "OR AND OR";
    }
    void workedCaseInEveryMember() {
        QFETCH(int, factors);
        QFETCH(QStringList, carried);
        QFETCH(QStringList, rLabels);
        QFETCH(QString, operators);
        Fixture f;
        storeLikert(f, kWorkedCase);
        auto window = load(f, factors);
        const QString tag = QTest::currentDataTag();
        QCOMPARE(window->objectName(), "frmAnalise" + tag);
        QCOMPARE(window->windowTitle(), QString::fromUtf8("Análise ") + tag);

        const Texts worked{{"lblF1G2", "0.40"}, {"lblF2G2", "0.20"}, {"lblF3G2", "0.10"},
                           {"lblF4G2", "0.60"}, {"lblF1G1", "0.40"}, {"lblF2G1", "0.60"},
                           {"lblF3G1", "0.80"}, {"lblF4G1", "0.20"}, {"lblMax1", "0.40"},
                           {"lblMax2", "0.60"}, {"lblMin1", "0.40"}, {"lblMax3", "0.60"},
                           {"lblMax4", "0.80"}, {"lblMin2", "0.60"}};
        // The reference table shows the member's own labels; those of the own-data network
        // stay hidden.
        for (auto it = worked.begin(); it != worked.end(); ++it) {
            auto* label = window->findChild<QLabel*>(it.key());
            const bool shown = label && label->isVisibleTo(window.get());
            QVERIFY2(shown == carried.contains(it.key()), qPrintable(it.key()));
            if (shown) QCOMPARE(label->text(), it.value());
        }
        verifyTexts(*window, {{"lblG2n", "0.5000"},
                              {"lblG1n", "0.6000"},
                              {"lblMsg2", kConflicting},
                              {"lblMsg1", kUndetermined}});
        for (const QString& r : rLabels) QCOMPARE(text(*window, qPrintable(r)), "R");
        child<SvgPictureBox>(*window, "Picture1");
        child<SvgPictureBox>(*window, "Picture3");

        // The picture is the table of the member's own factor count.
        const NetworkTablePicture& picture = child<NetworkTableBox>(*window, "Picture2")->picture();
        QCOMPARE(picture.factorCount(), factors);
        QStringList kinds;
        for (const auto& column : picture.columns())
            kinds << (column.kind == NetworkTablePicture::Operator::Or ? "OR" : "AND");
        QCOMPARE(kinds.join(' '), operators);
        // Every label lies on the picture, none over another (2f: two share one cell).
        QCOMPARE(labelsOnPicture(*window).size(), carried.size() + 2);  // and the value boxes
        QCOMPARE(MessageBox::shown().size(), 0);

        // Its scheme button opens the scheme window of its own factor count.
        QString scheme;
        test::examineNextModal([&](QWidget& modal) { scheme = modal.objectName(); });
        window->show();
        QTest::mouseClick(child<QPushButton>(*window, "cmdEsquema"), Qt::LeftButton);
        QCOMPARE(scheme, "frmEsquema" + tag);
        QTest::mouseClick(child<QPushButton>(*window, "cmdSair"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }

    void networkRules_data() {
        QTest::addColumn<int>("factors");
        QTest::addColumn<LikertRows>("likert");
        QTest::addColumn<Texts>("expected");

        // lambda 0.6, 0.5, 0.1, 0.2: lambdaR is the larger of blocks 3 and 4, which the
        // two-factor window does not show.
        QTest::newRow("two factors: blocks 3 and 4 decide")
            << 2
            << LikertRows{{1, {6, 0, 0, 4, 0}},
                          {21, {5, 0, 0, 5, 0}},
                          {41, {1, 0, 0, 9, 0}},
                          {61, {2, 0, 0, 8, 0}}}
            << Texts{{"lblMax1", "0.60"}, {"lblG2n", "0.3500"}, {"lblG1n", "0.6500"}};
        // The twentieth key of a block and the keys after the fourth block are never read.
        LikertRows unread = kWorkedCase;
        for (int key : {20, 40, 60, 80, 81, 99}) unread[key] = {100, 0, 0, 0, 0};
        QTest::newRow("keys 20 i and from 81 unread")
            << 8 << unread
            << Texts{{"lblF1G2", "0.40"}, {"lblG2n", "0.5000"}, {"lblG1n", "0.6000"}};
        // Blocks 1 and 2 without answers: step 4 carries an empty text into step 6, which
        // counts it 0 and takes it.
        QTest::newRow("block without answers in step 6")
            << 5 << LikertRows{{41, {1, 0, 0, 4, 0}}, {61, {0, 0, 0, 1, 0}}}
            << Texts{{"lblF1G2", ""},           {"lblF1G1", ""},      {"lblMax3", ""},
                     {"lblMax4", "1.00"},       {"lblMin2", ""},      {"lblMin1", ""},
                     {"lblG2n", "0.0000"},      {"lblG1n", "0.5000"}, {"lblMsg2", kLow},
                     {"lblMsg1", kUndetermined}};
        // lambda 0.125 shows 0.13, lambda 0.12496 shows 0.12: equal to four decimals, so the
        // second is chosen and lblMax1 shows lblF2G2's text.
        QTest::newRow("equal contrary degrees")
            << 3 << LikertRows{{1, {1, 0, 7, 0, 0}}, {21, {3124, 0, 21876, 0, 0}}}
            << Texts{{"lblF1G2", "0.13"}, {"lblF2G2", "0.12"}, {"lblMax1", "0.12"}};
        // Favourable maxima 0.504 and 0.496 both show 0.50: step 6 ties and carries 0.496.
        QTest::newRow("two-decimal tie in step 6")
            << 6 << LikertRows{{1, {0, 0, 124, 126, 0}}, {41, {0, 0, 126, 124, 0}}}
            << Texts{{"lblMax3", "0.50"},
                     {"lblMax4", "0.50"},
                     {"lblMin2", "0.50"},
                     {"lblG2n", "0.2480"},
                     {"lblG1n", "0.7480"}};
    }
    void networkRules() {
        QFETCH(int, factors);
        QFETCH(LikertRows, likert);
        QFETCH(Texts, expected);
        Fixture f;
        storeLikert(f, likert);
        auto window = load(f, factors);
        verifyTexts(*window, expected);
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void decimalSeparatorOfTheUser_data() {
        QTest::addColumn<char>("separator");
        QTest::newRow("point") << '.';
        QTest::newRow("comma") << ',';
    }
    void decimalSeparatorOfTheUser() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        // Step 6 reads the shown texts with the user's separator: the 0.504 / 0.496 tie.
        storeLikert(f, {{1, {0, 0, 124, 126, 0}}, {41, {0, 0, 126, 124, 0}}});
        auto window = load(f, 7);
        const auto local = [&](QString s) { return s.replace('.', QChar(separator)); };
        verifyTexts(
            *window,
            {{"lblF1G1", local("0.50")}, {"lblMin2", local("0.50")}, {"lblG1n", local("0.7480")}});
    }

    void resultWindowShowsTheAnalysisOnScreen() {
        Fixture f;
        storeLikert(f, kWorkedCase);                            // the family: muR 0.6, lambdaR 0.4
        f.db().execute("UPDATE Fatores SET Mi1 = 1, Mi2 = 0");  // four factors: G1n 1
        test::Loaded<frmAnalise4f> fourFactors(f.program());
        QCOMPARE(f.program().gG1n, 1.0);

        auto window = load(f, 5);
        window->show();
        QString g1, g2;
        QPoint point;
        test::examineNextModal([&](QWidget& result) {
            g1 = text(result, "lblG1");
            g2 = text(result, "lblG2");
            point = child<QLabel>(result, "lblPonto")->pos();
        });
        QTest::mouseClick(child<QPushButton>(*window, "cmdResutado"), Qt::LeftButton);
        QCOMPARE(g1, "0.6000");
        QCOMPARE(g2, "0.5000");
        // X = 0.6 x 4550 + 2800, Y = (1 - 0.5) x 4660 + 1090, less half the marker.
        QCOMPARE(point, QPoint(twips(5530 - 35), twips(3420 - 35)));
        QCOMPARE(f.program().gG1, core::Fixed4::FromReal(0.2));
        QCOMPARE(f.program().gG2, core::Fixed4::FromReal(0.0));

        // The four-factor window still sets its own result when it loads.
        test::Loaded<frmAnalise4f> again(f.program());
        QCOMPARE(f.program().gG1n, 1.0);
        QCOMPARE(f.program().gG2n, 0.5f);
    }

    void threeFactorsOnEitherSource() {
        Fixture f;
        storeLikert(f, kWorkedCase);  // the reference table: G1n 0.6, ~G2n 0.5
        // (1 OR 2) AND 3 of the user's pairs (mu, lambda): muR 0.6, lambdaR 0.05.
        storePairs(f, {core::EvidencePair{0.3, 0.6}, core::EvidencePair{0.8, 0.1},
                       core::EvidencePair{0.6, 0.05}});
        auto window = load(f, 3);
        window->show();
        auto* cmbFonte = child<QComboBox>(*window, "cmbFonte");
        QCOMPARE(cmbFonte->currentIndex(), 0);
        const Texts reference = shownTexts(*window);
        QCOMPARE(reference["lblG1n"], "0.6000");
        const auto resultShows = [&] {
            QString g1;
            test::examineNextModal([&](QWidget& result) { g1 = text(result, "lblG1"); });
            QTest::mouseClick(child<QPushButton>(*window, "cmdResutado"), Qt::LeftButton);
            return g1;
        };

        cmbFonte->setCurrentIndex(1);
        verifyTexts(*window, {{"lblF1G2", "0.60"},
                              {"lblF3G1", "0.60"},
                              {"lblMax1", "0.60"},
                              {"lblMax2", "0.05"},
                              {"lblMin1", "0.05"},
                              {"lblMax3", "0.80"},
                              {"lblMax4", "0.60"},
                              {"lblMin2", "0.60"},
                              {"lblG2n", "0.3250"},
                              {"lblG1n", "0.7750"},
                              {"lblMsg2", kLow},
                              {"lblMsg1", kUndetermined},
                              {"lblSemRespostas", ""}});
        QCOMPARE(resultShows(), "0.7750");

        cmbFonte->setCurrentIndex(0);
        QCOMPARE(shownTexts(*window), reference);
        QCOMPARE(resultShows(), "0.6000");

        // A store failure on the way to the own factors leaves the reference shown, and chosen.
        f.damage("DROP TABLE Fatores");
        cmbFonte->setCurrentIndex(1);
        test::verifyOneError("Fatores");
        QCOMPARE(cmbFonte->currentIndex(), 0);
        QCOMPARE(shownTexts(*window), reference);
    }

    // The spreadsheet is of the source on screen: the reference table's four blocks, or the
    // window's own factors, each with the degrees the window shows.
    void spreadsheetFollowsTheSourceOnScreen() {
        Fixture f;
        storeLikert(f, kWorkedCase);
        storePairs(f, {core::EvidencePair{0.3, 0.6}, core::EvidencePair{0.8, 0.1},
                       core::EvidencePair{0.6, 0.05}});
        auto window = load(f, 3);
        window->show();
        QTemporaryDir dir;
        const auto exported = [&](const char* name) {
            const QString path = dir.filePath(name);
            FileDialog::setFake([&](const QString&) { return path; });
            QTest::mouseClick(child<QPushButton>(*window, "cmdExportarPlanilha"), Qt::LeftButton);
            FileDialog::clearFake();
            return test::readWorkbook(path);
        };
        for (const int source : {0, 1}) {
            child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(source);
            const auto sheets = exported(source == 0 ? "reference.xlsx" : "own.xlsx");
            QVERIFY(sheets);
            const int factors = source == 0 ? 4 : 3;
            QCOMPARE(sheets->size(), factors + 2);
            const auto degrees = test::namedDegrees((*sheets)[factors]);
            for (int k = 1; k <= factors; ++k)
                for (const char* side : {"G1", "G2"}) {
                    const QString name = "lblF" + QString::number(k) + side;
                    auto* label = window->findChild<QLabel*>(name);
                    if (!label || !label->isVisibleTo(window.get()))
                        continue;  // a block the member has no label for
                    QCOMPARE(QString::number(degrees.value(name).value.toDouble(), 'f', 2),
                             text(*window, qPrintable(name)));
                }
            const test::ReadSheet& result = sheets->last();
            const test::ReadCell g1n = result.at(result.rowOf(2, "G1n"), 1);
            QCOMPARE(QString::number(g1n.value.toDouble(), 'f', 4), text(*window, "lblG1n"));
        }
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void ownFactorsInEveryMember_data() {
        QTest::addColumn<int>("factors");
        for (int factors : {2, 3, 5, 6, 7, 8})
            QTest::newRow(qPrintable(QString("%1f").arg(factors))) << factors;
    }
    void ownFactorsInEveryMember() {
        QFETCH(int, factors);
        Fixture f;
        storeLikert(f, kWorkedCase);
        QList<std::optional<core::EvidencePair>> pairs;
        for (int i = 1; i <= factors; ++i) pairs << core::EvidencePair{0.1 * i, 0.05 * i};
        storePairs(f, pairs);
        // The last factor's Mi2 is no number: it enters as 0, and the window says so.
        f.db().execute("UPDATE Fatores SET Mi2 = 'x' WHERE Id = " + std::to_string(factors));
        auto window = load(f, factors);
        const qsizetype referenceLabels = labelsOnPicture(*window).size();
        auto* cmbFonte = child<QComboBox>(*window, "cmbFonte");

        cmbFonte->setCurrentIndex(1);
        QCOMPARE(MessageBox::shown().size(), 0);
        // Both degrees of every factor and of every operator cell, and the value boxes.
        qsizetype cells = 0;
        for (const core::NetworkColumn& column : familyMember(factors).columns)
            cells += column.cells.size();
        QCOMPARE(labelsOnPicture(*window).size(), 2 * factors + 2 * cells + 2);
        QCOMPARE(text(*window, "lblF1G1"), "0.10");
        QCOMPARE(text(*window, qPrintable(QString("lblF%1G1").arg(factors))), "");
        QVERIFY(text(*window, "lblSemRespostas").endsWith(" " + QString::number(factors)));

        cmbFonte->setCurrentIndex(0);
        QCOMPARE(labelsOnPicture(*window).size(), referenceLabels);
        QCOMPARE(text(*window, "lblSemRespostas"), "");
    }

    void factorsWithoutAnswersAreNamed() {
        Fixture f;
        storeLikert(f, kWorkedCase);
        // Factor 2 has no answers, factor 3 only "I" answers, factor 5 no stored pair.
        storePairs(f, {core::EvidencePair{0.5, 0.2}, core::EvidencePair{0, 0},
                       core::EvidencePair{0, 0}, core::EvidencePair{0.4, 0.3}, std::nullopt});
        f.db().execute("UPDATE Fatores SET Prop = '3'");
        for (int i = 1; i <= 5; ++i)
            f.db().execute("UPDATE Prop" + std::to_string(i) + " SET N01 = " +
                           (i == 2 || i == 3 ? "0" : "1") + ", N03 = " + (i == 3 ? "2" : "0"));
        auto window = load(f, 5);
        auto* line = child<QLabel>(*window, "lblSemRespostas");
        QVERIFY(!line->isVisibleTo(window.get()));  // the reference table is not the user's

        child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(1);
        QVERIFY(line->isVisibleTo(window.get()));
        QVERIFY2(line->text().endsWith(" 2, 5"), qPrintable(line->text()));
        for (int factor = 1; factor <= 5; ++factor)
            QCOMPARE(!child<QLabel>(*window, qPrintable(QString("lblF%1G1").arg(factor)))
                          ->toolTip()
                          .isEmpty(),
                     factor == 2 || factor == 5);

        child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(0);
        QVERIFY(!line->isVisibleTo(window.get()));
        QVERIFY(child<QLabel>(*window, "lblF2G1")->toolTip().isEmpty());
    }

    void referenceTableIsSaidInTheLanguage() {
        Fixture f;
        storeLikert(f, kWorkedCase);
        QSet<QString> lines;
        for (Language idioma : {Language::English, Language::Spanish, Language::Portuguese}) {
            f.program().gIdioma = idioma;
            auto window = load(f, 6);
            auto* line = child<QLabel>(*window, "lblReferencia");
            QVERIFY(line->isVisibleTo(window.get()) && !line->text().isEmpty());
            lines << line->text();
            // The user's own factors are not the reference table.
            child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(1);
            QVERIFY(!line->isVisibleTo(window.get()));
        }
        QCOMPARE(lines.size(), 3);
    }

    void schemeShowsTheNetworkComputed_data() {
        QTest::addColumn<int>("factors");
        for (int factors : {2, 3, 5, 6, 7, 8})
            QTest::newRow(qPrintable(QString("%1f").arg(factors))) << factors;
    }
    void schemeShowsTheNetworkComputed() {
        QFETCH(int, factors);
        Fixture f;
        storeLikert(f, kWorkedCase);
        auto window = load(f, factors);
        window->show();
        const auto scheme = [&] {
            QString stored;
            int drawnFactors = 0;
            QStringList gates;
            test::examineNextModal([&](QWidget& w) {
                auto* box = child<PictureBox>(w, "Picture1");
                if (auto* svg = qobject_cast<SvgPictureBox*>(box)) stored = svg->source();
                if (auto* drawn = dynamic_cast<const SchemePicture*>(&box->drawing())) {
                    drawnFactors = drawn->factorCount();
                    for (const SchemePicture::Gate& g : drawn->gates())
                        gates << QString("%1%2")
                                     .arg(g.kind == core::Operator::Or ? "OR" : "AND")
                                     .arg(g.column);
                }
            });
            QTest::mouseClick(child<QPushButton>(*window, "cmdEsquema"), Qt::LeftButton);
            return std::tuple{stored, drawnFactors, gates};
        };
        // The reference table: the member's stored picture.
        const auto reference = scheme();
        QCOMPARE(std::get<0>(reference), QString(schemeMember(factors).picture));
        QCOMPARE(std::get<1>(reference), 0);

        // The user's factors: a gate for every cell that joins two or more, in its column.
        child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(1);
        const auto [stored, drawnFactors, gates] = scheme();
        QVERIFY(stored.isEmpty());
        QCOMPARE(drawnFactors, factors);
        QStringList expected;
        const auto& columns = familyMember(factors).columns;
        const auto joins = core::NetworkJoins(factors, columns);
        for (std::size_t c = 0; c < joins.size(); ++c)
            for (const core::CellJoin& cell : joins[c])
                if (cell.inputs.size() > 1)
                    expected << QString("%1%2")
                                    .arg(columns[c].kind == core::Operator::Or ? "OR" : "AND")
                                    .arg(c);
        QCOMPARE(gates, expected);
    }

    // The report of five own factors: each degree the window shows is printed inside the
    // printed picture's cell where the window shows it, each proposition once; the PDF
    // button writes it.
    void fiveOwnFactorsReportEveryDegreeAtItsCell() {
        Fixture f;
        f.db().execute("UPDATE Parametro SET Fatores = 5");
        f.db().execute("UPDATE Fatores SET Prop = '2', Fator = 'T' || Id");
        for (int i = 1; i <= 5; ++i)
            f.db().execute("UPDATE Prop" + std::to_string(i) + " SET Proposicao = 'F" +
                           std::to_string(i) + " P' || Id, N01 = 1, N02 = 2, N03 = 0, N04 = 3, N05 = 1");
        storePairs(f, {core::EvidencePair{0.3, 0.6}, core::EvidencePair{0.8, 0.1},
                       core::EvidencePair{0.5, 0.5}, core::EvidencePair{0.9, 0.2},
                       core::EvidencePair{0.1, 0.7}});
        auto window = load(f, 5);
        child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(1);
        const ReportData data = window->reportData();
        auto* box = child<NetworkTableBox>(*window, "Picture2");
        const SvgPicture decoration(":/pictures/menu_image1.svg");
        const SvgPicture logo(":/pictures/menu_image2.svg");
        RecordingSurface page(11000, 16118);
        PrintReport(page, data, {decoration, box->picture(), logo});
        const auto& ops = page.operations();
        const auto picture = std::find_if(ops.begin(), ops.end(), [&](const auto& op) {
            return op.picture == &box->picture();
        });
        QVERIFY(picture != ops.end());
        const QRectF printed = picture->rect;
        int degrees = 0;
        for (const QLabel* label : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->isHidden() || label->text().isEmpty()) continue;
            ++degrees;
            const QRectF cell = label->geometry();
            const QRectF onPage(printed.left() + cell.left() * printed.width() / box->width(),
                                printed.top() + cell.top() * printed.height() / box->height(),
                                cell.width() * printed.width() / box->width(),
                                cell.height() * printed.height() / box->height());
            const bool there = std::any_of(ops.begin(), ops.end(), [&](const auto& op) {
                page.FontSize = op.fontSize;
                page.FontBold = op.bold;
                const QPointF centre(op.x + page.TextWidth(op.text) / 2,
                                     op.y + page.TextHeight() / 2);
                return op.page == picture->page && op.text == label->text() &&
                       onPage.contains(centre);
            });
            QVERIFY2(there, qPrintable(label->objectName() + " " + label->text()));
        }
        QVERIFY(degrees >= 2 * 5 + 2);  // every factor's pair and the normalised degrees
        for (int i = 1; i <= 5; ++i)
            for (int j = 1; j <= 2; ++j) {
                const QString text = QString("F%1 P%2").arg(i).arg(j);
                QCOMPARE(std::count_if(ops.begin(), ops.end(),
                                       [&](const auto& op) { return op.text == text; }),
                         1);
            }

        // On the reference table the report lists its four blocks of counts instead.
        child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(0);
        const ReportData reference = window->reportData();
        QCOMPARE(reference.factors.size(), std::size_t(4));
        const auto blocks = decision::ReadReferenceBlocks(f.db());
        for (std::size_t i = 0; i < blocks.size(); ++i)
            QCOMPARE(reference.factors[i].propositions.size(), blocks[i].size());

        QTemporaryDir folder;
        const QString pdf = folder.filePath("cinco.pdf");
        FileDialog::setFake([&](const QString&) { return pdf; });
        QTest::mouseClick(child<QPushButton>(*window, "cmdPdf"), Qt::LeftButton);
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly) && written.read(5) == "%PDF-");
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void keyboardReachesEveryControl_data() {
        QTest::addColumn<int>("factors");
        QTest::addColumn<int>("source");
        for (int factors : {2, 3, 5, 6, 7, 8})
            for (int source : {0, 1})
                QTest::newRow(qPrintable(QString("%1f %2").arg(factors).arg(source)))
                    << factors << source;
    }
    void keyboardReachesEveryControl() {
        QFETCH(int, factors);
        QFETCH(int, source);
        Fixture f;
        storeLikert(f, kWorkedCase);
        auto window = load(f, factors);
        child<QComboBox>(*window, "cmbFonte")->setCurrentIndex(source);
        test::verifyTabChain(*window);
        test::verifyAccessKeys(*window);
    }

    void storeFailureShowsAMessageAndChangesNothing_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("NULL count") << "UPDATE PLikert SET N03 = NULL WHERE Id = 45"
                                    << "N03";
        QTest::newRow("text count") << "UPDATE PLikert SET N01 = 'x' WHERE Id = 2"
                                    << "N01";
        QTest::newRow("fraction") << "UPDATE PLikert SET N05 = 2.5 WHERE Id = 79"
                                  << "79";
        QTest::newRow("negative") << "UPDATE PLikert SET N02 = -1 WHERE Id = 61"
                                  << "61";
        QTest::newRow("no table") << "DROP TABLE PLikert"
                                  << "PLikert";
        QTest::newRow("first key absent") << "DELETE FROM PLikert WHERE Id = 41"
                                          << "41";
        QTest::newRow("block too short") << "DELETE FROM PLikert WHERE Id > 70"
                                         << "PLikert";
        QTest::newRow("no database") << ""
                                     << "não está aberto";
    }
    void storeFailureShowsAMessageAndChangesNothing() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        Fixture f;
        f.damage(damage);
        f.program().gG1n = 0.625;
        f.program().gG2n = 0.375f;
        test::verifyOpensOnlyAnError<frmAnaliseFamilia>(f.program(), message, familyMember(3));
        QCOMPARE(f.program().gG1n, 0.625);
        QCOMPARE(f.program().gG2n, 0.375f);
    }
};

QTEST_MAIN(AnalysisFamilyTest)
#include "test_analysis_family.moc"

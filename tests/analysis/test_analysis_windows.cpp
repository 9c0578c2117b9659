#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "analysis/frmAnalise4f.h"
#include "analysis/frmEsquema.h"
#include "analysis/frmResultado.h"
#include "decision/decision.h"
#include "report/network_table_picture.h"
#include "analysis/picture_boxes.h"
#include "report/scheme_picture.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
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
using Side = NetworkTablePicture::Side;

namespace {

using Network = std::vector<core::NetworkColumn>;

// mu and lambda of factors 1 to 4, stored as Mi1 and Mi2.
using Pairs = QList<QPair<double, double>>;

void storePairs(Fixture& f, const Pairs& pairs) {
    store::Key key = 1;
    for (const auto& [mu, lambda] : pairs)
        f.db().update("Fatores", key++, {{"Mi1", mu}, {"Mi2", lambda}});
    f.reopen();
}

QStringList texts(QWidget& window, std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names) list << text(window, name);
    return list;
}

QStringList gridValues(QWidget& window) {
    auto* grid = child<QTableWidget>(window, "MSFlexGrid1");
    QStringList values;
    for (int row = 0; row < 5; ++row) values << grid->item(row, 1)->text();
    return values;
}

const std::initializer_list<const char*> kNetworkLabels = {"lblMax1", "lblMax2", "lblMin1",
                                                           "lblMax3", "lblMax4", "lblMin2"};
const std::initializer_list<const char*> kFactorLabels = {
    "lblF1G1", "lblF1G2", "lblF2G1", "lblF2G2", "lblF3G1", "lblF3G2", "lblF4G1", "lblF4G2"};

}  // namespace

Q_DECLARE_METATYPE(Network)

class AnalysisWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    // The result window decides at the stored requirement level, and states the region at
    // that level; a level of 0.50 gives today's state.
    // Each factor with answers is a numbered point at its own degrees; the barycentre weighs
    // them by the stored weights and leaves out a factor without answers.
    void theResultWindowPlacesTheFactorsAndTheirBarycentre() {
        Fixture f;
        const decision::FactorsForm form = decision::ReadFactorsForm(f.db());
        decision::FactorsForm changed = form;
        changed.settings.weights[0] = 3;
        changed.titles[0] = "Custos";
        decision::SaveFactorsForm(f.db(), form, changed, f.db().dataVersion());
        f.program().gPares = {core::EvidencePair{0.8, 0.2}, std::nullopt,
                              core::EvidencePair{0.4, 0.4}};
        f.program().gParesSaoFatores = true;
        frmResultado w(f.program());
        w.Form_Load();
        // G1n 0.8 and ~G2n 0.5 for factor 1.
        const QPoint centre = child<QLabel>(w, "lblFator1")->geometry().center();
        QVERIFY(qAbs(centre.x() - twips(6440)) <= 1 && qAbs(centre.y() - twips(3420)) <= 1);
        QVERIFY(!w.findChild<QLabel*>("lblFator2"));
        QVERIFY(w.findChild<QLabel*>("lblFator3"));
        // (3 x 0.8 + 0.4) / 4 and (3 x 0.2 + 0.4) / 4: Gc 0.45, Gct -0.05.
        const QString barycentre = child<QLabel>(w, "lblBaricentro")->text();
        QVERIFY2(barycentre.contains("Gc 0.4500") && barycentre.contains("Gct -0.0500") &&
                     barycentre.contains(QString::fromUtf8("Não conclusivo")),
                 qPrintable(barycentre));
        QVERIFY(w.findChild<QLabel*>("lblPontoBaricentro"));
        const QString legend = child<QLabel>(w, "lblLegendaFatores")->text();
        QVERIFY2(legend.contains("1 Custos") && legend.contains("2 Fator 2 (sem respostas)"),
                 qPrintable(legend));
    }

    void theResultWindowDecidesAtTheStoredLevel_data() {
        QTest::addColumn<int>("level");  // hundredths
        QTest::addColumn<int>("certainty");  // ticks of Gc
        QTest::addColumn<int>("contradiction");
        QTest::addColumn<QString>("decision");
        QTest::addColumn<QString>("state");
        QTest::newRow("0.50 at +level") << 50 << 5000 << 0 << "Viável" << "Verdadeiro";
        QTest::newRow("0.50 one tick inside")
            << 50 << 4999 << 0 << "Não conclusivo" << "Quase-verdadeiro tendendo ao Inconsistente";
        QTest::newRow("0.50 at -level") << 50 << -5000 << 1000 << "Inviável" << "Falso";
        QTest::newRow("0.30 decides sooner") << 30 << 3000 << -500 << "Viável" << "Verdadeiro";
        QTest::newRow("0.30 too incomplete")
            << 30 << 500 << -3000 << "Não conclusivo (dados incompletos" << "Paracompleto";
    }
    void theResultWindowDecidesAtTheStoredLevel() {
        QFETCH(int, level);
        QFETCH(int, certainty);
        QFETCH(int, contradiction);
        QFETCH(QString, decision);
        QFETCH(QString, state);
        Fixture f;
        const decision::FactorsForm form = decision::ReadFactorsForm(f.db());
        decision::FactorsForm changed = form;
        changed.settings.requirement = level;
        decision::SaveFactorsForm(f.db(), form, changed, f.db().dataVersion());
        f.program().gG1 = core::Fixed4::FromTicks(certainty);
        f.program().gG2 = core::Fixed4::FromTicks(contradiction);
        frmResultado w(f.program());
        w.Form_Load();
        QVERIFY2(child<QLabel>(w, "lblDecisao")->text().startsWith("Decisão: " + decision),
                 qPrintable(child<QLabel>(w, "lblDecisao")->text()));
        QCOMPARE(child<QLabel>(w, "lblEstado")->text(), "Estado lógico: " + state);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void init() { test::recordMessagesWithOnePdfPrinter(); }
    void cleanup() { Printers::clearFake(); }

    // ------------------------------------------------------------------ four factors

    void networkOverTheStoredPairs_data() {
        QTest::addColumn<Pairs>("pairs");
        QTest::addColumn<QStringList>("network");  // lblMax1, lblMax2, lblMin1, lblMax3, ...
        QTest::addColumn<QStringList>("grid");     // G2, G1, empty, ~G2n, G1n
        QTest::addColumn<double>("gG1");
        QTest::addColumn<double>("gG2");

        // Equal contrary degrees: the favourable OR takes the second factor's mu.
        QTest::newRow("equal contrary degrees")
            << Pairs{{0.4, 0.25}, {0.7, 0.25}, {0.2, 0.1}, {0.6, 0.3}}
            << QStringList{"0.25", "0.30", "0.25", "0.70", "0.20", "0.20"}
            << QStringList{"-0.5500", "-0.0500", "", "0.2250", "0.4750"} << -0.05 << -0.55;
        // The favourable OR follows the smaller contrary degree, not the larger mu.
        QTest::newRow("OR by contrary degrees")
            << Pairs{{0.3, 0.1}, {0.6, 0.2}, {0.9, 0.5}, {0.8, 0.4}}
            << QStringList{"0.20", "0.50", "0.20", "0.30", "0.80", "0.30"}
            << QStringList{"-0.5000", "0.1000", "", "0.2500", "0.5500"} << 0.1 << -0.5;
        // 0.5010 and 0.4990 both show 0.50: the AND ties and carries Max4's 0.4990.
        QTest::newRow("two-decimal tie")
            << Pairs{{0.1, 0}, {0.501, 0}, {0.9, 0}, {0.499, 0}}
            << QStringList{"0.00", "0.00", "0.00", "0.50", "0.50", "0.50"}
            << QStringList{"-0.5010", "0.4990", "", "0.2495", "0.7495"} << 0.499 << -0.501;
        QTest::newRow("full agreement")
            << Pairs{{1, 0}, {1, 0}, {1, 0}, {1, 0}}
            << QStringList{"0.00", "0.00", "0.00", "1.00", "1.00", "1.00"}
            << QStringList{"0.0000", "1.0000", "", "0.5000", "1.0000"} << 1.0 << 0.0;
    }
    void networkOverTheStoredPairs() {
        QFETCH(Pairs, pairs);
        QFETCH(QStringList, network);
        QFETCH(QStringList, grid);
        QFETCH(double, gG1);
        QFETCH(double, gG2);
        Fixture f;
        storePairs(f, pairs);
        test::Loaded<frmAnalise4f> window(f.program());

        QStringList factorTexts;
        for (const auto& [mu, lambda] : pairs)
            factorTexts << QString::number(mu, 'f', 4) << QString::number(lambda, 'f', 4);
        QCOMPARE(texts(window, kFactorLabels), factorTexts);
        QCOMPARE(texts(window, kNetworkLabels), network);
        QCOMPARE(gridValues(window), grid);
        // The value boxes of the picture repeat the normalised degrees.
        QCOMPARE(text(window, "lblG2n"), grid[3]);
        QCOMPARE(text(window, "lblG1n"), grid[4]);

        const Program& p = f.program();
        QCOMPARE(p.gG1, core::Fixed4::FromReal(gG1));
        QCOMPARE(p.gG2, core::Fixed4::FromReal(gG2));
        QCOMPARE(p.gG1n, (gG1 + 1) / 2);
        QCOMPARE(p.gG2n, static_cast<float>((gG2 + 1) / 2));
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void fullAgreementLeavesTheResultValues() {
        Fixture f;
        storePairs(f, {{1, 0}, {1, 0}, {1, 0}, {1, 0}});
        test::Loaded<frmAnalise4f> window(f.program());
        QCOMPARE(f.program().gG1.Ticks(), 10000);
        QCOMPARE(f.program().gG2.Ticks(), 0);
        QCOMPARE(f.program().gG1n, 1.0);
        QCOMPARE(f.program().gG2n, 0.5f);
    }

    void decimalSeparatorOfTheUser_data() {
        QTest::addColumn<QChar>("separator");
        QTest::newRow("point") << QChar('.');
        QTest::newRow("comma") << QChar(',');
    }
    void decimalSeparatorOfTheUser() {
        QFETCH(QChar, separator);
        Fixture f(core::NumberLocale{separator.toLatin1()});
        storePairs(f, {{0.3, 0.1}, {0.6, 0.2}, {0.9, 0.5}, {0.8, 0.4}});
        test::Loaded<frmAnalise4f> window(f.program());
        const auto local = [&](QString s) { return s.replace('.', separator); };
        QCOMPARE(text(window, "lblF1G1"), local("0.3000"));
        QCOMPARE(text(window, "lblF2G2"), local("0.2000"));
        QCOMPARE(text(window, "lblMax1"), local("0.20"));
        QCOMPARE(text(window, "lblMax3"), local("0.30"));
        QCOMPARE(text(window, "lblMin2"), local("0.30"));
        QCOMPARE(gridValues(window), (QStringList{local("-0.5000"), local("0.1000"), "",
                                                  local("0.2500"), local("0.5500")}));
        // The comparisons read the texts with the user's separator: the same result.
        QCOMPARE(f.program().gG1, core::Fixed4::FromReal(0.1));
        QCOMPARE(f.program().gG1n, 0.55);
    }

    void captionsFollowTheStoredLanguage_data() {
        QTest::addColumn<int>("idioma");
        QTest::addColumn<int>("gIdioma");
        QTest::addColumn<QStringList>("captions");  // title, cmdEsquema, cmdResutado, ...
        QTest::newRow("English") << 1 << 1 << QStringList{"LP 4f Analysis", "&Scheme used",
                                                          "&Result:",       "&Print out",
                                                          "Save P&DF...",   "Disbelief",
                                                          "Belief"};
        QTest::newRow("Spanish") << 2 << 2 << QStringList{"Análisis LP 4f",  "&Esquema utilizado",
                                                          "&Resultado",      "&Imprimir",
                                                          "&Guardar PDF...", "Incredulidad",
                                                          "Creencia"};
        QTest::newRow("other") << 5 << 3
                               << QStringList{"Análise LP 4f", "&Esquema Utilizado", "&Resultado",
                                              "&Imprimir",     "Salvar &PDF...",     "Descrença",
                                              "Crença"};
    }
    void captionsFollowTheStoredLanguage() {
        QFETCH(int, idioma);
        QFETCH(int, gIdioma);
        QFETCH(QStringList, captions);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", idioma}});
        test::Loaded<frmAnalise4f> window(f.program());
        QCOMPARE(int(f.program().gIdioma), gIdioma);
        QStringList shown{window.windowTitle()};
        for (const char* name : {"cmdEsquema", "cmdResutado", "cmdPrinter", "cmdPdf"})
            shown << child<QPushButton>(window, name)->text();
        shown << text(window, "Label1") << text(window, "Label2");
        QCOMPARE(shown, captions);
        // Not translated in any language.
        QCOMPARE(child<QPushButton>(window, "cmdSair")->text(), "Re&turn");
        QCOMPARE(text(window, "Label7"), "Pri&nter:");
        QCOMPARE(child<QTableWidget>(window, "MSFlexGrid1")->item(0, 0)->text(),
                 "Grau de Contradição G2 [-1;1]");
    }

    void gridShowsEveryRowWithoutScrolling() {
        Fixture f;
        test::Loaded<frmAnalise4f> window(f.program());
        auto* grid = child<QTableWidget>(window, "MSFlexGrid1");
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->columnCount(), 2);
        window.show();
        QVERIFY(grid->viewport()->height() >= 5 * grid->rowHeight(0));
        QVERIFY(grid->viewport()->width() >= grid->columnWidth(0) + grid->columnWidth(1));
    }

    void printerListShowsTheDefaultAndEveryPrinter_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("defaultName");
        QTest::newRow("three") << QStringList{"HP LaserJet 4", "PDF", "Xerox WorkCentre"}
                               << "Xerox WorkCentre";
        QTest::newRow("none") << QStringList{} << "";
    }
    void printerListShowsTheDefaultAndEveryPrinter() {
        QFETCH(QStringList, installed);
        QFETCH(QString, defaultName);
        Printers::setFake(installed, defaultName);
        Fixture f;
        test::Loaded<frmAnalise4f> window(f.program());
        auto* combo = child<QComboBox>(window, "Combo1");
        QCOMPARE(combo->currentText(), defaultName);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        QCOMPARE(items, installed);
        QVERIFY(combo->isEditable());
    }

    void unusualStoredDataEndsSoundly_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("factorTexts");  // as kFactorLabels
        QTest::newRow("count not a number") << "UPDATE Parametro SET Fatores = 'abc'"
                                            << QStringList{"0.3000", "0.1000", "0.6000", "0.2000",
                                                           "0.9000", "0.5000", "0.8000", "0.4000"};
        QTest::newRow("count NULL") << "UPDATE Parametro SET Fatores = NULL"
                                    << QStringList{"0.3000", "0.1000", "0.6000", "0.2000",
                                                   "0.9000", "0.5000", "0.8000", "0.4000"};
        QTest::newRow("two factors")
            << "UPDATE Parametro SET Fatores = 2"
            << QStringList{"0.3000", "0.1000", "0.6000", "0.2000", "", "", "", ""};
        QTest::newRow("eight factors") << "UPDATE Parametro SET Fatores = 8"
                                       << QStringList{"0.3000", "0.1000", "0.6000", "0.2000",
                                                      "0.9000", "0.5000", "0.8000", "0.4000"};
        QTest::newRow("NULL and text degrees")
            << "UPDATE Fatores SET Mi1 = NULL WHERE Id = 2; UPDATE Fatores SET Mi2 = 'x' "
               "WHERE Id = 3"
            << QStringList{"0.3000", "0.1000", "", "", "", "", "0.8000", "0.4000"};
        QTest::newRow("fewer rows")
            << "DELETE FROM Fatores WHERE Id > 2"
            << QStringList{"0.3000", "0.1000", "0.6000", "0.2000", "", "", "", ""};
        QTest::newRow("no rows") << "DELETE FROM Fatores"
                                 << QStringList{"", "", "", "", "", "", "", ""};
        QTest::newRow("NULL language") << "UPDATE Parametro SET Idioma = NULL"
                                       << QStringList{"0.3000", "0.1000", "0.6000", "0.2000",
                                                      "0.9000", "0.5000", "0.8000", "0.4000"};
    }
    void unusualStoredDataEndsSoundly() {
        QFETCH(QString, sql);
        QFETCH(QStringList, factorTexts);
        Fixture f;
        storePairs(f, {{0.3, 0.1}, {0.6, 0.2}, {0.9, 0.5}, {0.8, 0.4}});
        f.db().execute(sql.toStdString());
        frmAnalise4f window(f.program());
        QVERIFY(guarded(&window, [&] { window.Form_Load(); }));
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(texts(window, kFactorLabels), factorTexts);
        // The network ran: the result degrees are shown, whatever was missing.
        QVERIFY(!gridValues(window)[4].isEmpty());
    }

    void failedLoadShowsAMessageAndKeepsTheLastResult_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("engineMessage");
        QTest::newRow("no Fatores table") << "DROP TABLE Fatores"
                                          << "no such table: Fatores";
        QTest::newRow("no Mi1 field")
            << "DROP TABLE Fatores; CREATE TABLE Fatores (Id INTEGER PRIMARY KEY, Mi2 REAL); "
               "INSERT INTO Fatores (Id, Mi2) VALUES (1, 0.5)"
            << "no such column: Mi1";
        QTest::newRow("no Parametro table") << "DROP TABLE Parametro"
                                            << "Parametro";
        QTest::newRow("no Parametro row") << "DELETE FROM Parametro"
                                          << "Parametro";
        QTest::newRow("no database") << ""
                                     << "não está aberto";
    }
    void failedLoadShowsAMessageAndKeepsTheLastResult() {
        QFETCH(QString, damage);
        QFETCH(QString, engineMessage);
        Fixture f;
        f.damage(damage);
        f.program().gG1 = core::Fixed4::FromReal(0.25);
        f.program().gG1n = 0.625;
        f.program().gG2n = 0.375f;

        // As the opener runs the load: a failure is a message, and the window is not shown.
        frmAnalise4f window(f.program());
        QVERIFY(!guarded(&window, [&] { window.Form_Load(); }));
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown box = MessageBox::shown().first();
        QCOMPARE(box.icon, MessageBox::Icon::Critical);
        QVERIFY2(box.text.contains(engineMessage), qPrintable(box.text));
        QCOMPARE(f.program().gG1, core::Fixed4::FromReal(0.25));
        QCOMPARE(f.program().gG1n, 0.625);
        QCOMPARE(f.program().gG2n, 0.375f);
    }

    void labelsSitOverTheirCellsWithoutOverlapping() {
        Fixture f;
        frmAnalise4f window(f.program());
        auto* picture = child<NetworkTableBox>(window, "Picture2");
        QList<QLabel*> labels;
        for (const char* name : kFactorLabels) labels << child<QLabel>(window, name);
        for (const char* name : kNetworkLabels) labels << child<QLabel>(window, name);
        labels << child<QLabel>(window, "lblG2n") << child<QLabel>(window, "lblG1n");
        for (QLabel* label : labels) {
            QCOMPARE(label->parentWidget(), picture);
            QVERIFY2(picture->rect().contains(label->geometry()), qPrintable(label->objectName()));
            for (QLabel* other : labels)
                if (other != label)
                    QVERIFY2(!label->geometry().intersects(other->geometry()),
                             qPrintable(label->objectName() + " " + other->objectName()));
        }
        // Each network result sits over its operator's cell.
        const NetworkTablePicture& p = picture->picture();
        QVERIFY(picture->cellRect(p.operatorCell(Side::Contrary, 1, 0))
                    .contains(child<QLabel>(window, "lblMin1")->geometry().center()));
        QVERIFY(picture->cellRect(p.operatorCell(Side::Favourable, 0, 1))
                    .contains(child<QLabel>(window, "lblMax4")->geometry().center()));
        QVERIFY(picture->cellRect(p.contraryCell(3))
                    .contains(child<QLabel>(window, "lblF3G2")->geometry().center()));
    }

    void buttonsOpenTheSchemeAndTheResult() {
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", 1}});
        storePairs(f, {{1, 0}, {1, 0}, {1, 0}, {1, 0}});
        test::Loaded<frmAnalise4f> window(f.program());
        window.show();

        QString schemeWindow, heading;
        auto seen = test::examineNextModal([&](QWidget& w) {
            schemeWindow = w.objectName();
            heading = text(w, "Label1");
        });
        QTest::mouseClick(child<QPushButton>(window, "cmdEsquema"), Qt::LeftButton);
        QVERIFY(*seen);
        QCOMPARE(schemeWindow, "frmEsquema4f");
        QCOMPARE(heading, "Paraconsistent Logic Scheme Used");

        QString sentence, g1n, state;
        seen = test::examineNextModal([&](QWidget& w) {
            QCOMPARE(w.objectName(), "frmResultado");
            sentence = text(w, "lblResultado");
            g1n = text(w, "lblG1");
            state = text(w, "lblEstado");
        });
        QTest::mouseClick(child<QPushButton>(window, "cmdResutado"), Qt::LeftButton);
        QVERIFY(*seen);
        QCOMPARE(sentence, "Dados consistentes,  forte concordância.");
        QCOMPARE(g1n, "1.0000");
        // Of G1 = 1, G2 = 0; in Portuguese like the rest of the window, whatever the language.
        QCOMPARE(state, QString::fromUtf8("Estado lógico: Verdadeiro"));

        QVERIFY(window.isVisible());
        QTest::mouseClick(child<QPushButton>(window, "cmdSair"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    // The spreadsheet holds what the window shows; a file that cannot be written is said so
    // and leaves nothing.
    void spreadsheetButtonWritesWhatTheWindowShows() {
        Fixture f;
        storePairs(f, {{0.3, 0.1}, {0.6, 0.2}, {0.9, 0.5}, {0.8, 0.4}});
        test::Loaded<frmAnalise4f> window(f.program());
        QTemporaryDir dir;
        QString answer = dir.filePath("analise.xlsx");
        QString proposed;
        FileDialog::setFake([&](const QString& p) {
            proposed = p;
            return answer;
        });
        QTest::mouseClick(child<QPushButton>(window, "cmdExportarPlanilha"), Qt::LeftButton);
        QVERIFY2(proposed.endsWith(".xlsx"), qPrintable(proposed));
        QCOMPARE(MessageBox::shown().size(), 0);

        const auto sheets = test::readWorkbook(answer);
        QVERIFY(sheets);
        QCOMPARE(sheets->size(), 6);
        const auto degrees = test::namedDegrees((*sheets)[4]);
        for (const char* name : kFactorLabels)
            QCOMPARE(QString::number(degrees.value(name).value.toDouble(), 'f', 4), text(window, name));
        for (const char* name : kNetworkLabels)
            QCOMPARE(QString::number(degrees.value(name).value.toDouble(), 'f', 2), text(window, name));
        const test::ReadSheet& result = sheets->last();
        const QStringList grid = gridValues(window);
        const struct {
            const char* line;
            int row;
        } shown[] = {{"G2", 0}, {"G1", 1}, {"~G2n", 3}, {"G1n", 4}};
        for (const auto& s : shown) {
            const test::ReadCell cell = result.at(result.rowOf(2, s.line), 1);
            QVERIFY2(cell.type == "n", s.line);
            QCOMPARE(QString::number(cell.value.toDouble(), 'f', 4), grid[s.row]);
        }

        answer = dir.filePath("missing/analise.xlsx");
        QTest::mouseClick(child<QPushButton>(window, "cmdExportarPlanilha"), Qt::LeftButton);
        FileDialog::clearFake();
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().front().icon, MessageBox::Icon::Critical);
        QVERIFY(MessageBox::shown().front().text.contains(answer));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"analise.xlsx"});
    }

    void factorWithoutAnswersIsNamed_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QList<int>>("named");
        QTest::newRow("all answered") << "" << QList<int>{};
        QTest::newRow("no answers")
            << "UPDATE Fatores SET Mi1 = 0, Mi2 = 0 WHERE Id = 3; UPDATE Prop3 SET N01 = 0"
            << QList<int>{3};
        // Only "I" answers: degrees 0 of its own.
        QTest::newRow("indifferent answers")
            << "UPDATE Fatores SET Mi1 = 0, Mi2 = 0 WHERE Id = 3; UPDATE Prop3 SET N01 = 0, "
               "N03 = 4"
            << QList<int>{};
        QTest::newRow("no pair") << "UPDATE Fatores SET Mi1 = NULL WHERE Id = 2" << QList<int>{2};
        // Factors 3 and 4 are no factors of a two-factor problem.
        QTest::newRow("beyond the factor count")
            << "UPDATE Parametro SET Fatores = 2; UPDATE Fatores SET Mi1 = 0, Mi2 = 0 WHERE Id = "
               "3; UPDATE Prop3 SET N01 = 0"
            << QList<int>{};
    }
    void factorWithoutAnswersIsNamed() {
        QFETCH(QString, sql);
        QFETCH(QList<int>, named);
        Fixture f;
        storePairs(f, {{0.3, 0.1}, {0.6, 0.2}, {0.9, 0.5}, {0.8, 0.4}});
        f.db().execute("UPDATE Fatores SET Prop = '2'");
        for (int i = 1; i <= 4; ++i)
            f.db().execute("UPDATE Prop" + std::to_string(i) + " SET N01 = 1, N03 = 0");
        if (!sql.isEmpty()) f.db().execute(sql.toStdString());
        test::Loaded<frmAnalise4f> window(f.program());

        auto* line = child<QLabel>(window, "lblSemRespostas");
        QCOMPARE(line->isVisibleTo(&window), !named.isEmpty());
        QStringList numbers;
        for (int n : named) numbers << QString::number(n);
        if (!named.isEmpty())
            QVERIFY2(line->text().endsWith(" " + numbers.join(", ")), qPrintable(line->text()));
        for (int factor = 1; factor <= 4; ++factor)
            for (const char* side : {"G1", "G2"}) {
                auto* label =
                    child<QLabel>(window, qPrintable(QString("lblF%1%2").arg(factor).arg(side)));
                QCOMPARE(!label->toolTip().isEmpty(), named.contains(factor));
            }
    }

    void accessKeysAreOneControlEach_data() { test::addLanguageRows(); }
    void accessKeysAreOneControlEach() {
        QFETCH(int, idioma);
        Fixture f;
        f.db().update("Parametro", 1, {{"Idioma", idioma}});
        test::Loaded<frmAnalise4f> window(f.program());
        test::verifyAccessKeys(window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // Alt+R opens the result, and only it.
        QString opened;
        auto seen = test::examineNextModal([&](QWidget& w) { opened = w.objectName(); });
        QTest::keyClick(&window, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(*seen);  // an access key clicks the button a moment later
        QCOMPARE(opened, "frmResultado");
        QVERIFY(window.isVisible());
        window.activateWindow();  // back from the result
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QChar back = test::accessKey(child<QPushButton>(window, "cmdSair")->text());
        QTest::keyClick(&window, Qt::Key(Qt::Key_A + (back.unicode() - 'a')), Qt::AltModifier);
        QTRY_VERIFY(!window.isVisible());
    }

    void tabReachesEveryControlInReadingOrder_data() {
        QTest::addColumn<QString>("window");
        for (const char* w : {"frmAnalise4f", "frmResultado", "frmEsquema4f", "drawn scheme"})
            QTest::newRow(w) << QString(w);
    }
    void tabReachesEveryControlInReadingOrder() {
        QFETCH(QString, window);
        Fixture f;
        std::unique_ptr<QDialog> dialog;
        if (window == "frmAnalise4f")
            dialog = std::make_unique<test::Loaded<frmAnalise4f>>(f.program());
        else if (window == "frmResultado")
            dialog = std::make_unique<test::Loaded<frmResultado>>(f.program());
        else if (window == "frmEsquema4f")
            dialog = std::make_unique<test::Loaded<frmEsquema>>(f.program(), schemeMember(4));
        else
            dialog = std::make_unique<test::Loaded<frmEsquema>>(
                f.program(), schemeMember(5),
                std::vector<core::NetworkColumn>{{core::Operator::Or, {{1, 2}, {3, 4}}},
                                                 {core::Operator::And, {{1, 4}}},
                                                 {core::Operator::And, {{1, 5}}}});
        test::verifyTabChain(*dialog);
        test::verifyAccessKeys(*dialog);
    }

    // ------------------------------------------------------------------ result window

    void resultPointAndSentence_data() {
        QTest::addColumn<float>("v");
        QTest::addColumn<double>("g");
        QTest::addColumn<int>("X");
        QTest::addColumn<int>("Y");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QStringList>("values");  // lblG1, lblG2, lblG1n, lblG2n
        QTest::newRow("conflicting, agreement")
            << 0.75f << 1.0 << 7350 << 2255 << "Dados conflitantes,  forte concordância."
            << QStringList{"1.0000", "0.7500", "1", "0.75"};
        QTest::newRow("centre") << 0.5f << 0.5 << 5075 << 3420
                                << "Dados consistentes,  indeterminação."
                                << QStringList{"0.5000", "0.5000", "0.5", "0.5"};
        QTest::newRow("0.7 is still consistent")
            << 0.7f << 0.8 << 6440 << 2488 << "Dados consistentes,  forte concordância."
            << QStringList{"0.8000", "0.7000", "0.8", "0.7"};
        QTest::newRow("very contradictory")
            << 0.95f << 0.1 << 3255 << 1323 << "Dados muito contraditórios,  forte discordância."
            << QStringList{"0.1000", "0.9500", "0.1", "0.95"};
        QTest::newRow("digits of G1n")
            << 0.2495f << 0.7495 << 6210 << 4587 << "Dados incompletos,  indeterminação."
            << QStringList{"0.7495", "0.2495", "0.7495", "0.2495"};
    }
    void resultPointAndSentence() {
        QFETCH(float, v);
        QFETCH(double, g);
        QFETCH(int, X);
        QFETCH(int, Y);
        QFETCH(QString, sentence);
        QFETCH(QStringList, values);
        Fixture f;
        f.program().gG2n = v;
        f.program().gG1n = g;
        frmResultado window(f.program());
        const int g1Top = child<QLabel>(window, "lblG1")->y();
        const int g2Left = child<QLabel>(window, "lblG2")->x();
        window.Form_Load();

        QCOMPARE(text(window, "lblResultado"), sentence);
        QCOMPARE(texts(window, {"lblG1", "lblG2", "lblG1n", "lblG2n"}), values);
        const QLabel* ponto = child<QLabel>(window, "lblPonto");
        QCOMPARE(ponto->pos(), QPoint(twips(X - 35), twips(Y - 35)));
        QCOMPARE(child<QLabel>(window, "lblG1")->pos(), QPoint(twips(X + 50), g1Top));
        QCOMPARE(child<QLabel>(window, "lblG2")->pos(), QPoint(g2Left, twips(Y + 50)));

        // The guides move through the point and keep their design extents.
        auto* line1 = child<LineControl>(window, "Line1");
        auto* line2 = child<LineControl>(window, "Line2");
        QCOMPARE(line1->end1(), QPoint(2475, Y));
        QCOMPARE(line1->end2(), QPoint(7950, Y));
        QCOMPARE(line2->end1(), QPoint(X, 750));
        QCOMPARE(line2->end2(), QPoint(X, 6150));
        QCOMPARE(line1->geometry().top(), twips(Y));
        QCOMPARE(line2->geometry().left(), twips(X));
        QCOMPARE(line1->width(), twips(7950) - twips(2475) + 1);
        QCOMPARE(line2->height(), twips(6150) - twips(750) + 1);
    }

    void resultBeforeAnyAnalysisSitsAtTheLowerLeftCorner() {
        Fixture f;  // a fresh run: the result values are 0
        test::Loaded<frmResultado> window(f.program());
        QCOMPARE(text(window, "lblResultado"), "Dados ignorados,  forte discordância.");
        QCOMPARE(child<QLabel>(window, "lblPonto")->pos(),
                 QPoint(twips(2800 - 35), twips(5750 - 35)));
        QCOMPARE(text(window, "lblG1n"), "0");
        QCOMPARE(text(window, "lblG2"), "0.0000");
    }

    void resultNumbersUseTheDecimalComma() {
        Fixture f(core::NumberLocale{','});
        f.program().gG2n = 0.75f;
        f.program().gG1n = 0.625;
        test::Loaded<frmResultado> window(f.program());
        QCOMPARE(texts(window, {"lblG1", "lblG2", "lblG1n", "lblG2n"}),
                 (QStringList{"0,6250", "0,7500", "0,625", "0,75"}));
    }

    void resultWindowIsLaidOutOnTheLattice() {
        Fixture f;
        frmResultado window(f.program());

        // The lattice square of the picture lands on X 2800..7350, Y 1090..5750.
        auto* image = child<LocaleSvgPictureBox>(window, "Image1");
        const QRectF viewBox = image->renderer()->viewBoxF();
        const auto toWindow = [&](QPointF twipsPoint) {
            return QPointF(
                image->x() + (twipsPoint.x() - viewBox.x()) * image->width() / viewBox.width(),
                image->y() + (twipsPoint.y() - viewBox.y()) * image->height() / viewBox.height());
        };
        for (const QPointF corner : {QPointF(2800, 1090), QPointF(7350, 5750)}) {
            const QPointF at = toWindow(corner);
            QVERIFY2(qAbs(at.x() - twips(corner.x())) <= 1, qPrintable(QString::number(at.x())));
            QVERIFY2(qAbs(at.y() - twips(corner.y())) <= 1, qPrintable(QString::number(at.y())));
        }
        // The pictures are shown undistorted.
        for (const char* name : {"Image1", "Picture1"}) {
            auto* box = child<LocaleSvgPictureBox>(window, name);
            const QRectF drawing = box->renderer()->viewBoxF();
            QVERIFY2(qAbs(double(box->width()) / box->height() -
                          drawing.width() / drawing.height()) < 0.01,
                     name);
        }
        // The point is drawn over the lines, and the lines over the lattice.
        const QObjectList order = window.children();
        auto* regions = child<QWidget>(window, "LatticeRegions");
        QVERIFY(order.indexOf(image) < order.indexOf(regions));
        QVERIFY(order.indexOf(regions) < order.indexOf(child<LineControl>(window, "Line1")));
        QCOMPARE(regions->geometry().topLeft(), QPoint(twips(2800), twips(1090)));
        QVERIFY(order.indexOf(child<LineControl>(window, "Line2")) <
                order.indexOf(child<QLabel>(window, "lblPonto")));
        // Everything fits in the window.
        for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(window.rect().contains(w->geometry()), qPrintable(w->objectName()));
    }

    void resultPicturesWriteNumbersAsTheLabels_data() {
        QTest::addColumn<char>("separator");
        QTest::newRow("point") << '.';
        QTest::newRow("comma") << ',';
    }
    void resultPicturesWriteNumbersAsTheLabels() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        f.program().gG2n = 0.4023f;
        f.program().gG1n = 0.7031;
        test::Loaded<frmResultado> window(f.program());
        static const QRegularExpression decimal("\\d([.,])\\d");
        const auto separators = [&](const QString& s) {
            QSet<QChar> found;
            for (const auto& m : decimal.globalMatch(s)) found << m.captured(1)[0];
            return found;
        };
        QSet<QChar> shown;
        for (QLabel* label : window.findChildren<QLabel*>()) shown += separators(label->text());
        QString pictureTexts;
        static const QRegularExpression text("<text[^>]*>([^<]*)");
        for (const char* name : {"Image1", "Picture1"})
            for (const auto& m :
                 text.globalMatch(child<LocaleSvgPictureBox>(window, name)->document()))
                pictureTexts += m.captured(1) + '\n';
        const QSet<QChar> drawn = separators(pictureTexts);
        QVERIFY(!shown.isEmpty() && !drawn.isEmpty());
        QCOMPARE(shown + drawn, QSet<QChar>{QChar(separator)});
        QVERIFY(child<LocaleSvgPictureBox>(window, "Image1")->renderer()->isValid());
    }

    void decimalsOfSvgTextsOnly_data() {
        QTest::addColumn<QString>("svg");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "<text x=\"7.5\">0,70</text>" << '.'
                              << "<text x=\"7.5\">0.70</text>";
        QTest::newRow("tspan") << "<text>11 a <tspan dy=\"1.5\">29.99</tspan></text>" << ','
                               << "<text>11 a <tspan dy=\"1.5\">29,99</tspan></text>";
        QTest::newRow("a list, not a number")
            << "<text>1, 2 e 3.</text>" << '.' << "<text>1, 2 e 3.</text>";
        QTest::newRow("drawing untouched")
            << "<style>.a{stroke-width:0.5}</style><path d=\"M1.5,2.5\"/>" << ','
            << "<style>.a{stroke-width:0.5}</style><path d=\"M1.5,2.5\"/>";
    }
    void decimalsOfSvgTextsOnly() {
        QFETCH(QString, svg);
        QFETCH(char, separator);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromUtf8(SvgWithDecimalSeparator(svg.toUtf8(), separator)), expected);
    }

    // A picture's texts are drawn by the painter where the renderer would draw them: at the
    // anchor they name, in the fill of the group around them. A text the painter cannot
    // follow (here one with a transform) stays with the renderer, and is drawn too.
    void svgTextsAreDrawnAtTheirAnchors_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("painterTexts");
        QTest::addColumn<int>("inkFrom");  // where the ink starts and ends, roughly
        QTest::addColumn<int>("inkTo");
        QTest::newRow("start") << "<text x='100' y='30'>WWW</text>" << 1 << 100 << 160;
        QTest::newRow("middle") << "<text x='100' y='30' text-anchor='middle'>WWW</text>" << 1
                                << 70 << 130;
        QTest::newRow("end") << "<text x='100' y='30' text-anchor='end'>WWW</text>" << 1 << 40
                             << 100;
        QTest::newRow("transform") << "<text x='100' y='30' transform='translate(0 0)'>WWW</text>"
                                   << 0 << 100 << 160;
    }
    void svgTextsAreDrawnAtTheirAnchors() {
        QFETCH(QString, text);
        QFETCH(int, painterTexts);
        QFETCH(int, inkFrom);
        QFETCH(int, inkTo);
        const QString svg = "<svg xmlns='http://www.w3.org/2000/svg' width='200' height='40' "
                            "viewBox='0 0 200 40'><g font-family='Arial' font-size='20' "
                            "fill='#d00000'>" + text + "</g></svg>";
        const SvgDocumentPicture picture(svg.toUtf8());
        QCOMPARE(int(picture.texts().size()), painterTexts);
        QImage image(200, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.paint(painter, QRectF(0, 0, 200, 40));
        painter.end();
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 80 && c.blue() < 80) {  // the group's red
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
            }
        QVERIFY2(first >= 0, "the text is drawn in its group's fill");
        QVERIFY2(qAbs(first - inkFrom) <= 6 && qAbs(last - inkTo) <= 8,
                 qPrintable(QString("ink from %1 to %2").arg(first).arg(last)));
    }

    void resultReturnCloses() {
        Fixture f;
        test::Loaded<frmResultado> window(f.program());
        window.show();
        QTest::mouseClick(child<QPushButton>(window, "cmdSair"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    // ------------------------------------------------------------------ scheme windows

    void schemeHeadingFollowsTheLanguageAtEachOpening() {
        Fixture f;
        for (auto [idioma, heading] : {std::pair{1, "Paraconsistent Logic Scheme Used"},
                                       {2, "Esquema de Lógica Paraconsistente utilizado"},
                                       {3, "Esquema de Lógica Paraconsistente Utilizado "}}) {
            f.program().gIdioma = static_cast<Language>(idioma);
            test::Loaded<frmEsquema> window(f.program(), schemeMember(4));
            QCOMPARE(text(window, "Label1"), QString::fromUtf8(heading));
        }
    }

    void schemeWindowsShowTheirPictures_data() {
        QTest::addColumn<int>("factors");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("2f") << 2 << "scheme_2f" << QSize(333, 427);
        QTest::newRow("3f") << 3 << "scheme_3f" << QSize(466, 465);
        QTest::newRow("4f") << 4 << "scheme_4f" << QSize(406, 310);
        QTest::newRow("5f") << 5 << "scheme_4f" << QSize(406, 310);
        QTest::newRow("6f") << 6 << "scheme_4f" << QSize(406, 310);
        QTest::newRow("7f") << 7 << "scheme_4f" << QSize(406, 310);
        QTest::newRow("8f") << 8 << "scheme_4f" << QSize(406, 310);
    }
    void schemeWindowsShowTheirPictures() {
        QFETCH(int, factors);
        QFETCH(QString, picture);
        QFETCH(QSize, pixels);
        Fixture f;
        f.program().gIdioma = Language::English;  // only the four-factor window is translated
        const QString tag = QTest::currentDataTag();
        auto window =
            std::make_unique<test::Loaded<frmEsquema>>(f.program(), schemeMember(factors));
        const QString caption = "Esquema " + tag;
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->objectName(), "frmEsquema" + tag);
        auto* box = child<SvgPictureBox>(*window, "Picture1");
        QCOMPARE(box->source(), ":/pictures/" + picture + ".svg");
        QVERIFY(box->renderer()->isValid());
        QCOMPARE(box->size(), QSize(twips(pixels.width() * 15), twips(pixels.height() * 15)));
        if (tag != "4f")
            QCOMPARE(text(*window, "Label1"), "Esquema de Lógica Paraconsistente Utilizado ");

        window->show();
        QTest::mouseClick(child<QPushButton>(*window, "cmdSair"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }

    void drawnSchemeFollowsItsNetwork_data() {
        using Op = core::Operator;
        QTest::addColumn<int>("factors");
        QTest::addColumn<Network>("network");
        QTest::addColumn<QString>("gates");  // contrary side, column by column
        QTest::newRow("2f") << 2 << Network{{Op::And, {{1, 2}}}} << "AND";
        // A cell of one row passes its factor on.
        QTest::newRow("3f") << 3 << Network{{Op::Or, {{1, 2}, {3, 3}}}, {Op::And, {{1, 3}}}}
                            << "OR AND";
        QTest::newRow("4f") << 4 << Network{{Op::Or, {{1, 2}, {3, 4}}}, {Op::And, {{1, 4}}}}
                            << "OR OR AND";
        QTest::newRow("6f") << 6
                            << Network{{Op::And, {{1, 2}, {3, 4}, {5, 6}}},
                                       {Op::Or, {{1, 4}, {5, 6}}},
                                       {Op::And, {{1, 6}}}}
                            << "AND AND AND OR AND";
        QTest::newRow("8f") << 8
                            << Network{{Op::Or, {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
                                       {Op::And, {{1, 4}, {5, 8}}},
                                       {Op::Or, {{1, 8}}}}
                            << "OR OR OR OR AND AND OR";
    }
    void drawnSchemeFollowsItsNetwork() {
        QFETCH(int, factors);
        QFETCH(Network, network);
        QFETCH(QString, gates);
        const SchemePicture p(factors, network);
        QStringList kinds;
        int column = 0;
        for (const SchemePicture::Gate& g : p.gates()) {
            kinds << (g.kind == core::Operator::Or ? "OR" : "AND");
            QVERIFY(g.column >= column);  // column by column
            column = g.column;
        }
        QCOMPARE(kinds.join(' '), gates);

        // Nothing overlaps, everything lies inside; each gate takes its degrees within it.
        const QRectF whole(QPointF(0, 0), p.size());
        QList<QRectF> shapes;
        for (int f = 1; f <= factors; ++f) shapes << p.factorBox(f);
        for (const SchemePicture::Gate& g : p.gates()) {
            shapes << g.rect << p.mirrored(g.rect);
            for (double y : g.inputs) QVERIFY(y > g.rect.top() && y < g.rect.bottom());
            QVERIFY(g.rect.right() < p.factorBox(1).left());
        }
        shapes << p.lattice();
        for (const QRectF& a : shapes) {
            QVERIFY(whole.contains(a));
            for (const QRectF& b : shapes)
                if (&a != &b) QVERIFY(!a.intersects(b));
        }
        QVERIFY(p.lattice().top() > p.factorBox(factors).bottom());
    }

    // ------------------------------------------------------------------ pictures

    void storedPicturesAreValidDrawings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSizeF>("proportions");  // the size they are shown or printed at
        QTest::newRow("lattice") << "lattice" << QSizeF(6400, 5900);
        QTest::newRow("legend") << "legend" << QSizeF(5400, 2700);
        QTest::newRow("scheme 2f") << "scheme_2f" << QSizeF(333, 427);
        QTest::newRow("scheme 3f") << "scheme_3f" << QSizeF(466, 465);
        QTest::newRow("scheme 4f") << "scheme_4f" << QSizeF(406, 310);
        QTest::newRow("menu image") << "menu_image1" << QSizeF(300, 200);
        QTest::newRow("logo") << "menu_image2" << QSizeF(280, 100);
    }
    void storedPicturesAreValidDrawings() {
        QFETCH(QString, name);
        QFETCH(QSizeF, proportions);
        QSvgRenderer renderer(":/pictures/" + name + ".svg");
        QVERIFY(renderer.isValid());
        const QRectF box = renderer.viewBoxF();
        QVERIFY(qAbs(box.width() / box.height() - proportions.width() / proportions.height()) <
                0.01);
        // It draws something at any scale, down to a thumbnail.
        for (double scale : {0.25, 1.0, 3.0}) {
            QImage image((box.size() * scale / qMax(box.width(), box.height()) * 400).toSize(),
                         QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            int painted = 0;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4) painted += qAlpha(image.pixel(x, y)) > 0;
            QVERIFY(painted > 0);
        }
    }

    void networkTableCellsFallWhereTheReportWrites() {
        // The report prints the picture at X 2500, 7000 x 3500 twips, and writes each degree
        // at these positions (left edge and top of the text).
        const NetworkTablePicture p = NetworkTablePicture::fourFactor();
        QCOMPARE(p.size(), QSizeF(7000, 3500));
        const auto at = [](double x, double y) { return QPointF(x - 2500 + 60, y + 90); };
        const struct {
            QPointF point;
            QRectF cell;
        } writes[] = {
            {at(5000, 1120), p.contraryCell(1)},
            {at(6450, 1120), p.favourableCell(1)},
            {at(4400, 1245), p.operatorCell(Side::Contrary, 0, 0)},
            {at(7200, 1245), p.operatorCell(Side::Favourable, 0, 0)},
            {at(5000, 1370), p.contraryCell(2)},
            {at(6450, 1370), p.favourableCell(2)},
            {at(3850, 1495), p.operatorCell(Side::Contrary, 1, 0)},
            {at(7750, 1495), p.operatorCell(Side::Favourable, 1, 0)},
            {at(5000, 1605), p.contraryCell(3)},
            {at(6450, 1605), p.favourableCell(3)},
            {at(4400, 1730), p.operatorCell(Side::Contrary, 0, 1)},
            {at(7200, 1730), p.operatorCell(Side::Favourable, 0, 1)},
            {at(5000, 1855), p.contraryCell(4)},
            {at(6450, 1855), p.favourableCell(4)},
            {at(5700, 2305), p.degreeValueCell(0)},
            {at(5700, 2530), p.degreeValueCell(1)},
        };
        for (const auto& w : writes)
            QVERIFY2(w.cell.contains(w.point),
                     qPrintable(QString("%1,%2").arg(w.point.x()).arg(w.point.y())));
    }

    void networkTableIsParametric() {
        using Op = NetworkTablePicture::Operator;
        // Eight factors, OR, AND, OR from the factor columns outwards.
        const NetworkTablePicture p(8, {{Op::Or, {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
                                        {Op::And, {{1, 4}, {5, 8}}},
                                        {Op::Or, {{1, 8}}}});
        const NetworkTablePicture four = NetworkTablePicture::fourFactor();
        QCOMPARE(p.size().width(), four.size().width() + 2 * 580);
        for (int f = 1; f <= 8; ++f) {
            QCOMPARE(p.contraryCell(f).top(), p.favourableCell(f).top());
            QCOMPARE(p.contraryCell(f).right(), p.factorNumberCell(f).left());
            QCOMPARE(p.factorNumberCell(f).right(), p.favourableCell(f).left());
            if (f > 1) QCOMPARE(p.contraryCell(f).top(), p.contraryCell(f - 1).bottom());
        }
        // An operator cell spans exactly the rows it joins; columns go outwards, mirrored.
        QCOMPARE(p.operatorCell(Side::Contrary, 1, 1).top(), p.contraryCell(5).top());
        QCOMPARE(p.operatorCell(Side::Contrary, 1, 1).bottom(), p.contraryCell(8).bottom());
        QCOMPARE(p.operatorCell(Side::Contrary, 0, 0).right(), p.contraryCell(1).left());
        QCOMPARE(p.operatorCell(Side::Contrary, 2, 0).right(),
                 p.operatorCell(Side::Contrary, 1, 0).left());
        QCOMPARE(p.operatorCell(Side::Favourable, 0, 0).left(), p.favourableCell(1).right());
        const double middle = p.factorNumberCell(1).center().x();
        for (int c = 0; c < 3; ++c) {
            const QRectF left = p.operatorCell(Side::Contrary, c, 0);
            const QRectF right = p.operatorCell(Side::Favourable, c, 0);
            QCOMPARE(middle - left.right(), right.left() - middle);
            QCOMPARE(left.height(), right.height());
        }
        // Every cell lies inside the picture.
        const QRectF whole(QPointF(0, 0), p.size());
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < static_cast<int>(p.columns()[c].cells.size()); ++i)
                for (Side side : {Side::Contrary, Side::Favourable})
                    QVERIFY(whole.contains(p.operatorCell(side, c, i)));
        QVERIFY(whole.contains(p.contraryCell(8)));
        QVERIFY(whole.contains(p.favourableCell(8)));

        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 NetworkTablePicture(3, {{Op::Or, {{2, 4}}}}));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, NetworkTablePicture(0, {}));
    }

    void networkTableTintsItsOperatorCells() {
        using Op = NetworkTablePicture::Operator;
        const NetworkTablePicture p(3, {{Op::Or, {{1, 2}}}, {Op::And, {{1, 3}}}});
        const double scale = 0.2;
        QImage image((p.size() * scale).toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        p.paint(painter, QRectF(QPointF(0, 0), p.size() * scale));
        painter.end();
        const auto colourAt = [&](const QRectF& cell) {
            return QColor(image.pixel((cell.center() * scale).toPoint()));
        };
        // OR light cyan, AND light orange, a row no cell joins white, on both sides.
        for (Side side : {Side::Contrary, Side::Favourable}) {
            const QColor orCell = colourAt(p.operatorCell(side, 0, 0));
            QVERIFY(orCell.blue() > orCell.red() && orCell.green() > orCell.red());
            const QColor andCell = colourAt(p.operatorCell(side, 1, 0));
            QVERIFY(andCell.red() > andCell.blue());
        }
        const QRectF orColumn = p.operatorCell(Side::Contrary, 0, 0);
        const QRectF uncovered(orColumn.left(), p.contraryCell(3).top(), orColumn.width(),
                               p.contraryCell(3).height());
        QCOMPARE(colourAt(uncovered), QColor(Qt::white));
    }
};

QTEST_MAIN(AnalysisWindowsTest)
#include "test_analysis_windows.moc"

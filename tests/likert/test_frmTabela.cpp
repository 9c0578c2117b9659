#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "decision/factor_import.h"
#include "likert/frmTabela.h"
#include "shell/flex_grid.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"
#include "store/schema.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

namespace {

const QColor kCountColor(200, 224, 230);
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

// A number text as the user's locale writes it.
QString local(QString text, char separator) {
    return text.replace('.', QChar(separator));
}

void addLocaleRows() {
    QTest::addColumn<char>("separator");
    QTest::newRow("decimal point") << '.';
    QTest::newRow("decimal comma") << ',';
}

// The separator column and, for each case, one row under each locale; `values` streams the
// case's other columns.
template <class Values>
void addRowsForBothLocales(const char* name, Values values) {
    for (const char separator : {'.', ','}) {
        QTestData& row =
            QTest::addRow("%s, decimal %s", name, separator == '.' ? "point" : "comma");
        row << separator;
        values(row);
    }
}

// Types every character as its own key, letters beyond ASCII included.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
}

void setProp(Fixture& f, int factor, const store::Value& prop) {
    f.db().update("Fatores", factor, {{"Prop", prop}});
}

void setRow(Fixture& f, int factor, int key, std::array<int, 5> counts, const char* text = "") {
    store::Assignments fields{{"Proposicao", store::Value(text)}};
    for (int j = 1; j <= store::kLikertPoints; ++j)
        fields.emplace_back(store::likertField(j), counts[j - 1]);
    f.db().update(store::propositionTable(factor), key, fields);
}

// What the data file really holds, read over a fresh connection.
store::Row storedRow(Fixture& f, int factor, int key) {
    f.reopen();
    std::vector<std::string> fields{"Proposicao"};
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    return *f.db().rowByKey(store::propositionTable(factor), fields, key);
}

QList<double> storedCounts(Fixture& f, int factor, int key) {
    const store::Row row = storedRow(f, factor, key);
    QList<double> counts;
    for (int j = 1; j <= store::kLikertPoints; ++j) counts << row.number(store::likertField(j));
    return counts;
}

QString storedText(Fixture& f, int factor, int key) {
    return QString::fromStdString(storedRow(f, factor, key).text("Proposicao"));
}

double storedDegree(Fixture& f, int factor, const char* field) {
    f.reopen();
    return f.db().rowByKey("Fatores", {field}, factor)->number(field);
}

constexpr int kFirstFactor = 0;

// The window as the opener leaves it: loaded and shown; given an item, that factor is chosen.
class Tabela {
  public:
    explicit Tabela(Fixture& f) : window(f.program()) {
        window.Form_Load();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not shown");
    }
    Tabela(Fixture& f, int item) : Tabela(f) { choose(item); }

    FlexGrid& grid() { return *child<FlexGrid>(window, "MSFlexGrid1"); }
    QComboBox& combo() { return *child<QComboBox>(window, "cmbFator"); }
    QString label(const char* name) { return child<QLabel>(window, name)->text(); }
    QString cell(int row, int col) { return grid().textAt(row, col); }
    QPoint current() { return QPoint(grid().col(), grid().row()); }

    void choose(int item) {
        combo().setCurrentIndex(item);
        emit combo().activated(item);
    }
    void click(int row, int col) {
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().visualItemRect(grid().item(row, col)).center());
    }
    void type(const QString& keys) { typeText(&grid(), keys); }
    void key(Qt::Key key) { QTest::keyClick(&grid(), key); }
    void typeRow(int row, const QStringList& counts) {
        click(row, 1);
        for (int j = 0; j < counts.size(); ++j) {
            if (j > 0) key(Qt::Key_Return);
            type(counts[j]);
        }
    }
    QStringList evidence() {
        return {label("lblCf"), label("lblDf"), label("lblTotal"), label("lblMi2"),
                label("lblMi1")};
    }
    // Every text and background of the grid, to see that an event changed nothing.
    QStringList snapshot() {
        QStringList all;
        for (int r = 0; r < grid().rows(); ++r)
            for (int c = 0; c < grid().cols(); ++c)
                all << cell(r, c) + "|" + grid().cellBackground(r, c).name();
        return all;
    }

    frmTabela window;
};

}  // namespace

// Counts the layout passes a window is asked for.
struct LayoutRequests : QObject {
    explicit LayoutRequests(QWidget& window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) ++count;
        return false;
    }
    int count = 0;
};

class TabelaTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void loadOffersTheFactorsAndEmptyRows_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("fatores");
        QTest::addColumn<int>("rows");
        addRowsForBothLocales("Fatores a number", [](QTestData& r) { r << QString("3") << 6; });
        addRowsForBothLocales("Fatores not a number",
                              [](QTestData& r) { r << QString("'x'") << 7; });
    }
    void loadOffersTheFactorsAndEmptyRows() {
        QFETCH(char, separator);
        QFETCH(QString, fatores);
        QFETCH(int, rows);
        Fixture f(core::NumberLocale{separator});
        f.db().execute("UPDATE Cadastro SET nFatores = 3");
        f.db().execute("UPDATE Parametro SET Fatores = " + fatores.toStdString());
        for (auto [k, title] : {std::pair{1, "Preço"}, {2, "Prazo"}, {3, "Qualidade"}})
            f.db().update("Fatores", k, {{"Fator", title}});
        Tabela t(f);

        QStringList items;
        for (int i = 0; i < t.combo().count(); ++i) items << t.combo().itemText(i);
        QCOMPARE(items, (QStringList{"1. Preço", "2. Prazo", "3. Qualidade"}));
        QCOMPARE(t.combo().currentIndex(), -1);
        QVERIFY(!t.combo().isEditable());

        FlexGrid& grid = t.grid();
        QCOMPARE(grid.rows(), rows);
        QCOMPARE(grid.cols(), 7);
        const QStringList points{"Likert Scale", "1", "2", "3", "4", "5", ""};
        const QStringList labels{"Pressupostos", "DT", "D", "I", "C", "CT", "QT"};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(t.cell(0, c), points[c]);
            QCOMPARE(t.cell(1, c), labels[c]);
            QVERIFY(grid.cellBold(0, c) && grid.cellBold(1, c) && grid.cellBold(rows - 1, c));
            QVERIFY(!grid.cellBold(2, c));
            for (int r = 2; r < rows; ++r) QCOMPARE(t.cell(r, c), QString());
        }
        QCOMPARE(grid.columnWidth(0), twips(4800));
        QCOMPARE(grid.columnWidth(3), twips(600));
        QCOMPARE(grid.columnWidth(6), twips(700));
        QCOMPARE(grid.item(2, 0)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(grid.item(1, 4)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(t.current(), QPoint(0, 2));

        QCOMPARE(t.window.windowTitle(), "Likert - Fatores");
        QCOMPARE(t.label("Label20"), "&Fator:");
        QCOMPARE(t.label("lblMsg"), "Escolha um fator para iniciar os trabalhos");
        QVERIFY(child<QLabel>(t.window, "lblMsg")->isVisible());
        QCOMPARE(t.label("Label50"), "Respostas dos entrevistados");
        QCOMPARE(child<QGroupBox>(t.window, "Frame7")->title(), "Resultados: ");
        QCOMPARE(child<QPushButton>(t.window, "cmdAnalise")->text(), "&Análise");
        QCOMPARE(child<QPushButton>(t.window, "cmdSair")->text(), "&Return");
        QVERIFY(!child<QPushButton>(t.window, "cmdSair")->icon().isNull());
        QCOMPARE(t.evidence(), QStringList(5, QString()));
        QCOMPARE(MessageBox::shown().size(), 0);

        // Choosing by the keyboard loads the factor.
        QTest::keyClick(&t.combo(), Qt::Key_Down);
        QCOMPARE(t.combo().currentIndex(), 0);
        QVERIFY(!child<QLabel>(t.window, "lblMsg")->isVisible());
        QCOMPARE(grid.rows(), 7);  // Prop is empty: 4 rows
    }

    void captionsFollowTheStoredLanguage_data() {
        QTest::addColumn<int>("idioma");
        QTest::addColumn<int>("gIdioma");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("English") << 1 << int(Language::English)
                                 << QStringList{
                                        "Likert - Factors", "Choose a factor to start the work:",
                                        "&Factor:",         "Respondents' Answers",
                                        "Results: ",        "Analysis"};
        QTest::newRow("Spanish")
            << 2 << int(Language::Spanish)
            << QStringList{"Likert - Factores", "Elija un factor para comenzar el trabajo:",
                           "&Factor:",          "Respuestas de los encuestados",
                           "Resultados: ",      "Análisis"};
        const QStringList design{"Likert - Fatores", "Escolha um fator para iniciar os trabalhos",
                                 "&Fator:",          "Respostas dos entrevistados",
                                 "Resultados: ",     "&Análise"};
        QTest::newRow("Portuguese") << 3 << int(Language::Portuguese) << design;
        QTest::newRow("unknown") << 5 << int(Language::Portuguese) << design;
    }
    void captionsFollowTheStoredLanguage() {
        QFETCH(int, idioma);
        QFETCH(int, gIdioma);
        QFETCH(QStringList, captions);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Idioma = " + std::to_string(idioma));
        Tabela t(f);
        QCOMPARE(int(f.program().gIdioma), gIdioma);
        QCOMPARE((QStringList{t.window.windowTitle(), t.label("lblMsg"), t.label("Label20"),
                              t.label("Label50"), child<QGroupBox>(t.window, "Frame7")->title(),
                              child<QPushButton>(t.window, "cmdAnalise")->text()}),
                 captions);
        QCOMPARE(child<QPushButton>(t.window, "cmdSair")->text(), "&Return");
    }

    void unusableFactorCountOffersNone_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("nFatores");
        QTest::addColumn<int>("items");
        auto both = [](const char* name, const char* nFatores, int items) {
            addRowsForBothLocales(name, [&](QTestData& r) { r << QString(nFatores) << items; });
        };
        both("NULL", "NULL", 0);
        both("text", "'abc'", 0);
        both("above the slots", "9", 0);
        both("negative", "-1", 0);
        both("fraction", "2.5", 0);
        both("number as text", "'3'", 3);
        both("none", "0", 0);
        QTest::newRow("locale text, decimal comma") << ',' << "' 2,0 '" << 2;
        QTest::newRow("locale text, decimal point") << '.' << "' 2,0 '" << 0;
    }
    void unusableFactorCountOffersNone() {
        QFETCH(char, separator);
        QFETCH(QString, nFatores);
        QFETCH(int, items);
        Fixture f(core::NumberLocale{separator});
        f.db().execute("UPDATE Cadastro SET nFatores = " + nFatores.toStdString());
        QList<WindowId> opened;
        f.program().opener = [&](WindowId id, QWidget*) { opened << id; };
        Tabela t(f);
        QCOMPARE(t.combo().count(), items);
        const bool warned = items == 0 && nFatores != "0";
        QCOMPARE(MessageBox::shown().size(), warned ? 1 : 0);
        if (warned) {
            QCOMPARE(MessageBox::shown().first().title, "Aviso");
            QVERIFY(MessageBox::shown().first().text.contains("nFatores"));
        }
        child<QPushButton>(t.window, "cmdAnalise")->click();
        QCOMPARE(opened,
                 items >= 2 ? QList<WindowId>{*analysisWindowForCount(items)} : QList<WindowId>{});
        QVERIFY(!t.window.isVisible());
    }

    void nullTitleIsOfferedEmpty() {
        Fixture f;
        f.db().execute("UPDATE Fatores SET Fator = NULL WHERE Id = 2");
        Tabela t(f);
        QCOMPARE(t.combo().itemText(1), "2. ");
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void factorFillsTheGrid_data() { addLocaleRows(); }
    void factorFillsTheGrid() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "3");
        setRow(f, 1, 1, {1, 2, 3, 4, 5}, "Preço justo");
        f.db().execute("UPDATE Prop1 SET Proposicao = NULL WHERE Id = 2");
        setRow(f, 1, 3, {0, 0, 5, 0, 0});
        Tabela t(f, kFirstFactor);

        FlexGrid& grid = t.grid();
        QCOMPARE(grid.rows(), 6);
        const QList<QStringList> expected{{"Preço justo", "01", "02", "03", "04", "05", "15"},
                                          {"", "", "", "", "", "", ""},
                                          {"", "00", "00", "05", "00", "00", "5"},
                                          {"Total", "1", "2", "8", "4", "5", "20"}};
        for (int r = 2; r < 6; ++r) {
            for (int c = 0; c < 7; ++c) {
                QCOMPARE(t.cell(r, c), expected[r - 2][c]);
                const bool countCell = r < 5 && c >= 1 && c <= store::kLikertPoints;
                QCOMPARE(grid.cellBackground(r, c) == kCountColor, countCell);
                QCOMPARE(grid.cellBold(r, c), r == 5 || c == 6);
            }
        }
        QVERIFY(!child<QLabel>(t.window, "lblMsg")->isVisible());
        // S- 3, S+ 9, S0 8: Df 7, Cf 13, total 20.
        QCOMPARE(t.evidence(),
                 (QStringList{local("007.0", separator), local("013.0", separator), "20",
                              local("0.1500", separator), local("0.4500", separator)}));
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void totalRowFollowsTheShownFactor_data() { addLocaleRows(); }
    void totalRowFollowsTheShownFactor() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "10");
        setProp(f, 2, "3");
        Tabela t(f, kFirstFactor);
        t.click(11, 2);  // a mark on the last proposition row of factor 1
        t.choose(1);
        FlexGrid& grid = t.grid();
        QCOMPARE(grid.rows(), 6);
        for (int c = 0; c < 7; ++c) QVERIFY(grid.cellBold(5, c));
        QCOMPARE(grid.cellBackground(5, 2), kWhite);
        t.choose(0);
        QCOMPARE(grid.rows(), 13);
        for (int c = 0; c < 6; ++c) QVERIFY(!grid.cellBold(5, c));  // a proposition row again
        QCOMPARE(grid.cellBackground(5, 2), kCountColor);
        // The mark survives the change of factor; the next click clears it.
        t.click(2, 1);
        QCOMPARE(grid.cellBackground(11, 2), kWhite);
        QCOMPARE(grid.cellBackground(2, 1), kYellow);
    }

    void editedRowsShowTwoDigitTotals_data() { addLocaleRows(); }
    void editedRowsShowTwoDigitTotals() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "3");
        setRow(f, 1, 1, {1, 2, 3, 4, 5});
        setRow(f, 1, 3, {0, 0, 5, 0, 0});
        Tabela t(f, kFirstFactor);

        // A click on the empty row: its QT and the clicked column's sum in "#00".
        t.click(3, 2);
        QCOMPARE(t.cell(3, 6), "00");
        QCOMPARE(t.cell(5, 2), "02");
        QCOMPARE(t.cell(3, 2), QString());
        QCOMPARE(t.grid().cellBackground(3, 2), kYellow);

        // A key that changes nothing changes nothing, not even the look of a total.
        t.key(Qt::Key_Down);
        QCOMPARE(t.current(), QPoint(2, 4));
        t.key(Qt::Key_Escape);
        QCOMPARE(t.cell(4, 6), "5");
        QVERIFY(t.window.isVisible());

        // Every sum follows the key, whatever column was clicked last; the digit typed
        // into the cell just reached replaces its count.
        t.key(Qt::Key_Return);
        QCOMPARE(t.current(), QPoint(3, 4));
        t.type("4");
        QCOMPARE(t.cell(4, 3), "4");
        QCOMPARE(t.cell(4, 6), "04");
        QCOMPARE(t.cell(5, 3), "07");
        QCOMPARE(t.cell(5, 6), "19");
        QCOMPARE(t.cell(5, 2), "02");
        QCOMPARE(t.grid().cellBackground(3, 2), kYellow);
        QCOMPARE(t.grid().cellBackground(4, 3), kCountColor);
        QCOMPARE(storedCounts(f, 1, 3), (QList<double>{0, 0, 4, 0, 0}));

        // Row 1 keeps its look: 15 either way.
        t.click(2, 5);
        QCOMPARE(t.cell(2, 6), "15");
        QCOMPARE(t.cell(5, 5), "05");
    }

    void typingAndBackspace_data() { addLocaleRows(); }
    void typingAndBackspace() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "1");
        Tabela t(f, kFirstFactor);
        t.click(2, 3);
        t.type("1");
        QCOMPARE(t.cell(2, 3), "1");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 1, 0, 0}));
        t.type("2");
        QCOMPARE(t.cell(2, 3), "12");
        QCOMPARE(t.cell(2, 6), "12");
        QCOMPARE(t.cell(3, 3), "12");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 12, 0, 0}));
        t.key(Qt::Key_Backspace);
        QCOMPARE(t.cell(2, 3), "1");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 1, 0, 0}));
        t.key(Qt::Key_Backspace);
        QCOMPARE(t.cell(2, 3), QString());
        QCOMPARE(t.cell(2, 6), "00");
        // The emptied cell is the user's 0: the screen, the stored count and the degrees
        // agree, also when the factor is shown again.
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 0, 0, 0}));
        QCOMPARE(t.label("lblTotal"), "0");
        QCOMPARE(t.label("lblMi1"), QString());
        t.choose(kFirstFactor);
        QCOMPARE(t.cell(2, 3), QString());
        QCOMPARE(t.label("lblTotal"), "0");
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void enterAndTabWalkTheGrid_data() { addLocaleRows(); }
    void enterAndTabWalkTheGrid() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");  // rows 2 and 3, the total in row 4
        Tabela t(f, kFirstFactor);
        t.click(2, 5);
        t.key(Qt::Key_Return);
        QCOMPARE(t.current(), QPoint(6, 2));
        t.key(Qt::Key_Return);
        QCOMPARE(t.current(), QPoint(0, 3));
        t.key(Qt::Key_Tab);
        QCOMPARE(t.current(), QPoint(1, 3));
        for (int i = 0; i < 5; ++i) t.key(Qt::Key_Tab);
        QCOMPARE(t.current(), QPoint(6, 3));
        // After the last proposition row Enter goes to the first one, never the total row or
        // the headings; Tab leaves the grid for the buttons.
        t.key(Qt::Key_Return);
        QCOMPARE(t.current(), QPoint(0, 2));
        t.grid().setCell(3, 6);
        t.grid().setFocus();
        t.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), "cmdImportar");
        QCOMPARE(t.current(), QPoint(6, 3));
        // Keys on the total row and in the QT column change nothing.
        const QStringList before = t.snapshot();
        t.grid().setCell(4, 2);
        t.type("7");
        t.key(Qt::Key_Backspace);
        t.grid().setCell(2, 6);
        t.type("7");
        QCOMPARE(t.snapshot(), before);
        QCOMPARE(t.cell(1, 6), "QT");
        QCOMPARE(t.cell(1, 0), "Pressupostos");
    }

    void clicksOnQtTotalsOrHeadingsChangeNothing_data() { addLocaleRows(); }
    void clicksOnQtTotalsOrHeadingsChangeNothing() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");
        setRow(f, 1, 1, {0, 0, 5, 0, 0});
        Tabela t(f, kFirstFactor);
        t.click(3, 4);
        t.key(Qt::Key_Up);  // the current cell leaves the marked one
        const QStringList before = t.snapshot();
        const QStringList evidence = t.evidence();
        t.click(2, 6);
        t.click(4, 2);
        t.click(4, 6);
        t.click(1, 3);
        t.click(0, 0);
        QCOMPARE(t.snapshot(), before);
        QCOMPARE(t.evidence(), evidence);
        QCOMPARE(t.grid().cellBackground(3, 4), kYellow);
        QCOMPARE(t.cell(2, 6), "5");  // still in the load form
    }

    void theLastClickedCellCarriesTheMark_data() { addLocaleRows(); }
    void theLastClickedCellCarriesTheMark() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");
        Tabela t(f, kFirstFactor);
        FlexGrid& grid = t.grid();
        t.click(2, 1);
        QCOMPARE(grid.cellBackground(2, 1), kYellow);
        t.click(3, 0);
        QCOMPARE(grid.cellBackground(2, 1), kWhite);  // not back to the count colour
        QCOMPARE(grid.cellBackground(3, 0), kYellow);
        QCOMPARE(grid.cellBackground(3, 1), kCountColor);
        t.click(3, 0);
        QCOMPARE(grid.cellBackground(3, 0), kYellow);
        // A click on a proposition text edits the text.
        t.type("Entrega rápida");
        QCOMPARE(t.cell(3, 0), "Entrega rápida");
        QCOMPARE(t.cell(4, 0), "Total");
    }

    void workedExample_data() { addLocaleRows(); }
    void workedExample() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");
        f.program().gProximaJanela = NextWindow::Likert;
        Tabela t(f, kFirstFactor);
        // One click, then the keyboard only: Enter after each count, twice past the QT.
        t.click(2, 1);
        for (const QString key : {"1",  "\r", "2",  "\r", "3",  "\r", "4",  "\r", "5",  "\r", "\r",
                                  "\r", "0",  "\r", "0",  "\r", "2",  "\r", "6",  "\r", "2"})
            key == "\r" ? t.key(Qt::Key_Return) : t.type(key);
        QCOMPARE(t.evidence(),
                 (QStringList{local("005.5", separator), local("019.5", separator), "25",
                              local("0.1200", separator), local("0.6800", separator)}));
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{1, 2, 3, 4, 5}));
        QCOMPARE(storedCounts(f, 1, 2), (QList<double>{0, 0, 2, 6, 2}));
        // The total row holds every column's sum, and the grand total is the evidence's.
        QStringList totals;
        for (int c = 1; c <= 6; ++c) totals << t.cell(4, c);
        QCOMPARE(totals, (QStringList{"01", "02", "05", "10", "07", "25"}));
        child<QPushButton>(t.window, "cmdSair")->click();
        QVERIFY(!t.window.isVisible());
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
        QCOMPARE(storedDegree(f, 1, "Mi1"), 0.68);
        QCOMPARE(storedDegree(f, 1, "Mi2"), 0.12);
    }

    void changingFactorStoresTheShownOne_data() { addLocaleRows(); }
    void changingFactorStoresTheShownOne() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");
        setProp(f, 2, "3");
        f.db().update("Fatores", 2, {{"Mi1", 0.5}, {"Mi2", 0.25}});
        Tabela t(f, kFirstFactor);
        t.click(2, 4);
        t.type("3");
        t.click(3, 0);
        t.type("Preço");
        QCOMPARE(t.label("lblMi1"), local("1.0000", separator));

        t.choose(1);
        QCOMPARE(storedText(f, 1, 2), "Preço");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 0, 3, 0}));
        QCOMPARE(storedDegree(f, 1, "Mi1"), 1.0);
        QCOMPARE(storedDegree(f, 1, "Mi2"), 0.0);
        QCOMPARE(t.grid().rows(), 6);
        QCOMPARE(t.cell(3, 0), QString());
        QCOMPARE(t.cell(2, 4), QString());
        // Factor 2 has no answers: no degrees shown, none of factor 1's left over.
        QCOMPARE(t.evidence(),
                 (QStringList{local("000.0", separator), local("000.0", separator), "0", "", ""}));

        t.choose(0);
        QCOMPARE(storedDegree(f, 2, "Mi1"), 0.0);
        QCOMPARE(storedDegree(f, 2, "Mi2"), 0.0);
        QCOMPARE(t.grid().rows(), 5);
        QCOMPARE(t.cell(3, 0), "Preço");
        QCOMPARE(t.cell(2, 4), "03");
        QCOMPARE(t.label("lblMi1"), local("1.0000", separator));
    }

    void choosingTheShownFactorAgainDiscardsTypedTexts_data() { addLocaleRows(); }
    void choosingTheShownFactorAgainDiscardsTypedTexts() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");
        setRow(f, 1, 1, {0, 0, 0, 0, 0}, "Antigo");
        f.db().update("Fatores", 1, {{"Mi1", 0.25}});
        Tabela t(f, kFirstFactor);
        t.click(2, 0);
        t.type(" e novo");
        t.click(2, 5);
        t.type("4");
        QCOMPARE(t.cell(2, 0), "Antigo e novo");
        t.choose(0);
        QCOMPARE(t.cell(2, 0), "Antigo");
        QCOMPARE(t.cell(2, 5), "04");
        QCOMPARE(t.label("lblMi1"), local("1.0000", separator));
        QCOMPARE(storedText(f, 1, 1), "Antigo");
        QCOMPARE(storedDegree(f, 1, "Mi1"), 1.0);  // stored with the count it follows from
    }

    void leavingBeforeAnyChoiceSavesNothing_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("button");
        addRowsForBothLocales("return", [](QTestData& r) { r << QString("cmdSair"); });
        addRowsForBothLocales("analysis", [](QTestData& r) { r << QString("cmdAnalise"); });
    }
    void leavingBeforeAnyChoiceSavesNothing() {
        QFETCH(char, separator);
        QFETCH(QString, button);
        Fixture f(core::NumberLocale{separator});
        f.db().update("Fatores", 1, {{"Mi1", 0.3}});
        f.program().gProximaJanela = NextWindow::Likert;
        QList<WindowId> opened;
        f.program().opener = [&](WindowId id, QWidget*) { opened << id; };
        Tabela t(f);
        t.click(2, 1);
        t.type("5");
        t.click(2, 0);
        t.type("Texto");
        QCOMPARE(t.cell(2, 6), "05");
        QCOMPARE(t.evidence(), QStringList(5, QString()));
        child<QPushButton>(t.window, button.toUtf8().constData())->click();
        QVERIFY(!t.window.isVisible());
        QCOMPARE(storedRow(f, 1, 1).text("Proposicao"), "");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 0, 0, 0}));
        QCOMPARE(storedDegree(f, 1, "Mi1"), 0.3);
        if (button == "cmdSair") {
            QCOMPARE(f.program().gProximaJanela, NextWindow::None);
            QVERIFY(opened.isEmpty());
        } else {
            QCOMPARE(f.program().gProximaJanela, NextWindow::Likert);
            QCOMPARE(opened, QList<WindowId>{WindowId::Analise4f});
        }
    }

    void analysisOpensAfterTheSaveAndClosesAfterIt_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<int>("nFatores");
        QTest::addColumn<int>("window");  // -1: none
        auto both = [](const char* name, int nFatores, int window) {
            addRowsForBothLocales(name, [&](QTestData& r) { r << nFatores << window; });
        };
        both("4 factors", 4, int(WindowId::Analise4f));
        both("2 factors", 2, int(WindowId::Analise2f));
        both("8 factors", 8, int(WindowId::Analise8f));
        both("1 factor", 1, -1);
    }
    void analysisOpensAfterTheSaveAndClosesAfterIt() {
        QFETCH(char, separator);
        QFETCH(int, nFatores);
        QFETCH(int, window);
        Fixture f(core::NumberLocale{separator});
        f.db().execute("UPDATE Cadastro SET nFatores = " + std::to_string(nFatores));
        setProp(f, 1, "1");
        Tabela t(f);
        QList<WindowId> opened;
        bool visibleWhileOpen = false;
        double savedBeforeOpen = -1;
        f.program().opener = [&](WindowId id, QWidget* parent) {
            opened << id;
            visibleWhileOpen = t.window.isVisible() && parent == &t.window;
            savedBeforeOpen = f.db().rowByKey("Fatores", {"Mi1"}, 1)->number("Mi1");
        };
        t.choose(0);
        t.click(2, 5);
        t.type("9");
        t.window.cmdAnalise_Click();
        QVERIFY(!t.window.isVisible());
        QCOMPARE(t.window.result(), int(QDialog::Accepted));
        QCOMPARE(storedDegree(f, 1, "Mi1"), 1.0);
        if (window < 0) {
            QVERIFY(opened.isEmpty());
        } else {
            QCOMPARE(opened, QList<WindowId>{WindowId(window)});
            QVERIFY(visibleWhileOpen);
            QCOMPARE(savedBeforeOpen, 1.0);
        }
    }

    void storeFailuresWhileChoosingKeepTheShownFactor_data() {
        QTest::addColumn<char>("separator");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        auto both = [](const char* name, const char* damage, const char* message) {
            addRowsForBothLocales(name,
                                  [&](QTestData& r) { r << QString(damage) << QString(message); });
        };
        both("missing table", "DROP TABLE Prop2", "no such table: Prop2");
        both("too few rows", "DELETE FROM Prop2 WHERE Id > 2", "Prop2");
        both("NULL count", "UPDATE Prop2 SET N03 = NULL WHERE Id = 2", "Prop2.N03");
        both("text count", "UPDATE Prop2 SET N01 = 'abc' WHERE Id = 1", "abc");
        both("missing factor", "DELETE FROM Fatores WHERE Id = 2", "Fatores");
        both("too many propositions", "UPDATE Fatores SET Prop = '150' WHERE Id = 2", "150");
        both("negative propositions", "UPDATE Fatores SET Prop = '-1' WHERE Id = 2", "-1");
        // Prop is typed text: a fraction by the user's locale.
        QTest::newRow("fractional propositions, decimal point")
            << '.' << "UPDATE Fatores SET Prop = '2.5' WHERE Id = 2"
            << "2.5";
        QTest::newRow("fractional propositions, decimal comma")
            << ',' << "UPDATE Fatores SET Prop = '2,5' WHERE Id = 2"
            << "2,5";
    }
    void storeFailuresWhileChoosingKeepTheShownFactor() {
        QFETCH(char, separator);
        QFETCH(QString, damage);
        QFETCH(QString, message);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "1");
        setProp(f, 2, "3");
        Tabela t(f, kFirstFactor);
        t.click(2, 0);
        t.type("Texto");
        t.click(2, 1);
        t.type("4");
        f.db().execute(damage.toStdString());

        t.choose(1);
        test::verifyOneError(message);
        QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::Critical);
        // Factor 1 is saved and still shown, and the choice says so.
        QCOMPARE(t.combo().currentIndex(), 0);
        QCOMPARE(t.grid().rows(), 4);
        QCOMPARE(t.cell(2, 0), "Texto");
        QCOMPARE(storedText(f, 1, 1), "Texto");
        QCOMPARE(storedDegree(f, 1, "Mi2"), 1.0);

        // The window goes on working on factor 1.
        t.click(2, 2);
        t.type("1");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{4, 1, 0, 0, 0}));
        QCOMPARE(t.label("lblTotal"), "5");
        child<QPushButton>(t.window, "cmdSair")->click();
        QVERIFY(!t.window.isVisible());
        QCOMPARE(MessageBox::shown().size(), 1);
    }

    void aFailedSaveWritesNothingAndKeepsTheWindow_data() { addLocaleRows(); }
    void aFailedSaveWritesNothingAndKeepsTheWindow() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "1");
        Tabela t(f, kFirstFactor);
        t.click(2, 0);
        t.type("Texto");
        t.click(2, 1);
        t.type("2");
        f.db().execute(
            "CREATE TRIGGER lock BEFORE UPDATE ON Prop1 BEGIN SELECT RAISE(ABORT, 'bloqueado'); "
            "END");

        child<QPushButton>(t.window, "cmdSair")->click();
        QVERIFY(t.window.isVisible());
        test::verifyOneError("bloqueado");
        QVERIFY(MessageBox::shown().first().text.endsWith("Fechar sem salvar?"));
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(storedText(f, 1, 1), "");  // the save went back whole
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{2, 0, 0, 0, 0}));
        QCOMPARE(t.cell(2, 0), "Texto");

        t.choose(1);
        QCOMPARE(MessageBox::shown().size(), 2);
        QCOMPARE(t.combo().currentIndex(), 0);
        QCOMPARE(t.cell(2, 0), "Texto");

        f.db().execute("DROP TRIGGER lock");
        t.window.close();  // the title bar's close saves like the return button
        QVERIFY(!t.window.isVisible());
        QCOMPARE(storedText(f, 1, 1), "Texto");
        QCOMPARE(storedDegree(f, 1, "Mi2"), 1.0);
    }

    void aFailedSaveClosedWithoutSavingWritesNothingMore_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("return button") << "cmdSair";
        QTest::newRow("analysis button") << "cmdAnalise";
        QTest::newRow("title bar") << "close";
    }
    void aFailedSaveClosedWithoutSavingWritesNothingMore() {
        QFETCH(QString, how);
        Fixture f;
        setProp(f, 1, "1");
        QList<WindowId> opened;
        f.program().opener = [&](WindowId id, QWidget*) { opened << id; };
        f.program().gProximaJanela = NextWindow::Likert;
        Tabela t(f, kFirstFactor);
        t.click(2, 0);
        t.type("Texto");
        t.click(2, 1);
        t.type("2");
        f.db().execute(
            "CREATE TRIGGER lock BEFORE UPDATE ON Prop1 BEGIN SELECT RAISE(ABORT, 'bloqueado'); "
            "END");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        if (how == "close")
            t.window.close();
        else
            child<QPushButton>(t.window, qPrintable(how))->click();
        test::verifyOneError("bloqueado");
        QVERIFY(!t.window.isVisible());
        QVERIFY(opened.isEmpty());  // the analysis would read degrees that were not stored
        QCOMPARE(f.program().gProximaJanela,
                 how == "cmdAnalise" ? NextWindow::Likert : NextWindow::None);
        QCOMPARE(storedText(f, 1, 1), "");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{2, 0, 0, 0, 0}));
    }

    void aFailedWriteBackKeepsTheTypedCount_data() { addLocaleRows(); }
    void aFailedWriteBackKeepsTheTypedCount() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "1");
        Tabela t(f, kFirstFactor);
        f.db().execute(
            "CREATE TRIGGER lock BEFORE UPDATE ON Prop1 BEGIN SELECT RAISE(ABORT, 'bloqueado'); "
            "END");
        t.click(2, 3);
        t.type("5");
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains("bloqueado"));
        QCOMPARE(t.cell(2, 3), "5");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 0, 0, 0}));

        f.db().execute("DROP TRIGGER lock");
        t.type("1");
        QCOMPARE(storedCounts(f, 1, 1), (QList<double>{0, 0, 51, 0, 0}));
        QCOMPARE(t.label("lblTotal"), "51");
    }

    void onlyChangedRowsAreWritten_data() { addLocaleRows(); }
    void onlyChangedRowsAreWritten() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "5");
        setRow(f, 1, 2, {1, 1, 1, 1, 1}, "Dois");
        f.db().execute("CREATE TABLE Written (Id INTEGER PRIMARY KEY, Tabela TEXT, Chave INTEGER)");
        for (const char* table : {"Prop1", "Fatores"})
            f.db().execute(std::string("CREATE TRIGGER log") + table + " AFTER UPDATE ON " + table +
                           " BEGIN INSERT INTO Written (Tabela, Chave) VALUES ('" + table +
                           "', NEW.Id); END");
        auto log = [&] {
            f.reopen();
            QStringList list;
            for (int seq = 1;; ++seq) {
                auto row = f.db().rowByKey("Written", {"Tabela", "Chave"}, seq);
                if (!row) break;
                list << QString::fromStdString(row->text("Tabela") + " " + row->text("Chave"));
            }
            return list;
        };
        Tabela t(f, kFirstFactor);
        QCOMPARE(log(), QStringList{});  // loading writes nothing
        t.click(4, 2);
        t.type("7");
        // The count and the degrees it gives, in one transaction.
        QCOMPARE(log(), (QStringList{"Prop1 3", "Fatores 1"}));
        t.key(Qt::Key_Escape);
        t.key(Qt::Key_Return);
        t.click(3, 1);
        QCOMPARE(log(), (QStringList{"Prop1 3", "Fatores 1"}));
        child<QPushButton>(t.window, "cmdSair")->click();
        QCOMPARE(log(), (QStringList{"Prop1 3", "Fatores 1"}));
        QCOMPARE(storedText(f, 1, 2), "Dois");

        // Degrees equal to the stored ones are not written again.
        Tabela again(f, kFirstFactor);
        child<QPushButton>(again.window, "cmdSair")->click();
        QCOMPARE(log(), (QStringList{"Prop1 3", "Fatores 1"}));
    }

    // With the keyboard alone: the factor box by its access key, the grid by Tab, a
    // count typed, then out of the grid again both ways.
    void theKeyboardAloneReachesEveryControl() {
        Fixture f;
        setProp(f, 2, "2");
        Tabela t(f);
        QTest::keyClick(&t.window, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), &t.combo());
        QTest::keyClick(&t.combo(), Qt::Key_Down);
        QTest::keyClick(&t.combo(), Qt::Key_Down);
        QCOMPARE(t.combo().currentIndex(), 1);
        QCOMPARE(t.grid().rows(), 5);  // factor 2 is shown
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &t.grid());
        t.key(Qt::Key_Tab);  // from the proposition to its first count
        t.type("4");
        QCOMPARE(storedCounts(f, 2, 1), (QList<double>{4, 0, 0, 0, 0}));
        QCOMPARE(storedDegree(f, 2, "Mi2"), 1.0);

        QTest::keyClick(&t.grid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), "cmdImportar");
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"cmdAnalise", "cmdSair", "cmbFator", "MSFlexGrid1"}));
        t.grid().setCell(2, 0);
        QTest::keyClick(&t.grid(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), &t.combo());
        t.grid().setFocus();
        t.grid().setCell(3, 2);
        QTest::keyClick(&t.grid(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(t.current(), QPoint(1, 3));
        QTest::keyClick(&t.grid(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), &t.combo());
    }

    // Ctrl+Z puts back one key after the other, and the stored counts and degrees follow
    // every step; a click makes the next digit a new count.
    void undoPutsBackTheStoredCounts_data() { addLocaleRows(); }
    void undoPutsBackTheStoredCounts() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "2");
        setRow(f, 1, 1, {5, 0, 0, 3, 0}, "Um");
        f.db().update("Fatores", 1, {{"Mi1", 0.375}, {"Mi2", 0.625}});
        Tabela t(f, kFirstFactor);
        const auto stored = [&] {
            return QList<double>{storedCounts(f, 1, 1)[0], storedDegree(f, 1, "Mi1"),
                                 storedDegree(f, 1, "Mi2")};
        };
        t.click(2, 1);
        t.type("12");
        QCOMPARE(t.cell(2, 1), "12");
        QCOMPARE(stored(), (QList<double>{12, 0.2, 0.8}));
        t.click(2, 1);
        t.type("7");
        QCOMPARE(t.cell(2, 1), "7");

        const auto undo = [&] { QTest::keyClick(&t.grid(), Qt::Key_Z, Qt::ControlModifier); };
        undo();
        QCOMPARE(t.cell(2, 1), "12");
        QCOMPARE(stored(), (QList<double>{12, 0.2, 0.8}));
        undo();
        undo();
        QCOMPARE(t.cell(2, 1), "05");
        QCOMPARE(t.cell(2, 6), "08");
        QCOMPARE(t.label("lblMi1"), local("0.3750", separator));
        QCOMPARE(stored(), (QList<double>{5, 0.375, 0.625}));
        undo();  // nothing more to put back
        QCOMPARE(t.cell(2, 1), "05");
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    // Propositions answered by different numbers of respondents are pointed out; rows
    // without answers yet are not counted.
    void unevenNumbersOfAnswersArePointedOut() {
        Fixture f;
        setProp(f, 1, "3");
        setRow(f, 1, 1, {10, 10, 12, 0, 0});
        setRow(f, 1, 2, {0, 0, 46, 0, 0});
        Tabela t(f, kFirstFactor);
        const QString said = t.label("lblRespostas");
        QVERIFY2(said.contains("32") && said.contains("46"), qPrintable(said));
        auto* note = child<QLabel>(t.window, "lblRespostas");
        QVERIFY(note->isVisible() && note->height() >= note->fontMetrics().height());
        QVERIFY(!note->visibleRegion().isEmpty());  // not covered by the grid
        // A new number in the note repaints it; the window is not laid out again.
        t.click(3, 3);
        t.type("3");  // the cell's 46 becomes 3, and the degrees follow the answers
        QApplication::processEvents();
        LayoutRequests layouts(t.window);
        const QString before = t.label("lblRespostas");
        t.type("4");
        QVERIFY(!before.isEmpty() && t.label("lblRespostas") != before);
        QApplication::processEvents();
        QCOMPARE(layouts.count, 0);
        t.key(Qt::Key_Backspace);
        t.key(Qt::Key_Backspace);
        t.type("32");
        QCOMPARE(t.label("lblRespostas"), QString());
        QApplication::processEvents();
        QVERIFY(!note->isVisible());
        // Drawn without shaping, the labels a key changes still take the window's font.
        t.window.setFont(QFont("Liberation Serif", 17));
        for (const char* name : {"lblRespostas", "lblTotal", "lblMi1"}) {
            const QFont font = child<QLabel>(t.window, name)->font();
            QVERIFY2(font.family() == "Liberation Serif" && font.pointSize() == 17, name);
            QVERIFY(font.styleStrategy() & QFont::PreferNoShaping);
        }
    }

    // Degrees that do not follow from the stored answers (written before every key stored
    // both) are named, rewritten only when the user changes an answer.
    void degreesThatDoNotFollowFromTheAnswersAreNamed() {
        Fixture f;
        setProp(f, 1, "1");
        setProp(f, 2, "1");
        setRow(f, 1, 1, {0, 0, 0, 4, 0});
        f.db().update("Fatores", 1, {{"Mi1", 0.9}, {"Mi2", 0.0}});
        Tabela t(f, kFirstFactor);
        QVERIFY(t.label("lblGraus").contains("1"));
        QCOMPARE(storedDegree(f, 1, "Mi1"), 0.9);
        t.choose(1);  // factor 2: no answers, degrees 0 and 0
        QCOMPARE(t.label("lblGraus"), QString());
        t.choose(0);
        t.click(2, 4);
        t.type("5");
        QCOMPARE(t.label("lblGraus"), QString());
        QCOMPARE(storedDegree(f, 1, "Mi1"), 1.0);
    }

    // Another program imports into the shown factor: the next key writes nothing over it,
    // the user is told, and the grid shows the import.
    void anotherWritersImportIsNeverWrittenOver() {
        Fixture f;
        setProp(f, 1, "2");
        setRow(f, 1, 1, {5, 0, 0, 0, 0}, "Antiga");
        Tabela t(f, kFirstFactor);
        // The other program, which also reads back what is stored: the window keeps its own
        // connection throughout, as in use.
        auto other =
            store::Database::open(f.program().dataFilePath().toStdString(), store::kDatabaseKey);
        const auto stored = [&] {
            const store::Row row = other->firstRow("Prop1", {"N01", "N04"});
            const store::Row factor = *other->rowByKey("Fatores", {"Mi2"}, 1);
            return QList<double>{row.number("N01"), row.number("N04"), factor.number("Mi2")};
        };
        {
            std::vector<core::SurveyProposition> imported(3);
            for (int i = 0; i < 3; ++i)
                imported[i] = {"Nova " + std::to_string(i), {16, 0, 0, 4, 0}};
            StoreImportedFactor(*other, 1, imported);
        }
        t.click(2, 1);
        t.type("9");
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.contains("Outro programa"));
        QCOMPARE(t.grid().rows(), 2 + 3 + 1);
        QCOMPARE(t.cell(2, 0), "Nova 0");
        QCOMPARE(stored(), (QList<double>{16, 4, 0.8}));
        // Read anew, the window writes again.
        t.click(2, 1);
        t.type("8");
        QCOMPARE(stored(), (QList<double>{8, 4, 0.7692}));  // 40 contrary of 52
    }

    // Stored counts the grid cannot take are shown as stored and kept, with the degrees,
    // until the user types over them.
    void unreadableCountsSurviveOpeningAndLeaving() {
        Fixture f;
        setProp(f, 1, "1");
        f.db().execute("UPDATE Prop1 SET N01 = 2147483648, N02 = 2.5, N04 = 3 WHERE Id = 1");
        f.db().execute("UPDATE Prop1 SET N05 = 9223372036854775807 WHERE Id = 1");
        f.db().update("Fatores", 1, {{"Mi1", 0.125}, {"Mi2", 0.75}});
        const auto stored = [&] {
            f.reopen();
            QStringList all;
            for (const char* field : {"N01", "N02", "N04", "N05"})
                all << QString::fromStdString(
                    f.db().firstRow("Prop1", {field}).value(field).toText().value_or("NULL"));
            const store::Row factor = *f.db().rowByKey("Fatores", {"Mi1", "Mi2"}, 1);
            return all << QString::number(factor.number("Mi1"))
                       << QString::number(factor.number("Mi2"));
        };
        const QStringList before = stored();
        {
            Tabela t(f, kFirstFactor);
            QCOMPARE(t.cell(2, 1), "2147483648");
            QCOMPARE(t.cell(2, 2), "2.5");
            QVERIFY(t.grid().cellForeground(2, 1) != t.grid().cellForeground(2, 4));
            t.click(2, 4);
            t.type("7");  // another cell: the stored degrees still wait for the others
            t.choose(1);
            child<QPushButton>(t.window, "cmdSair")->click();
        }
        QStringList after = before;
        after[2] = "7";
        QCOMPARE(stored(), after);
    }

    // A long proposition: whole in its tooltip, and the first column takes a wider window.
    void longPropositionsShowWhole() {
        Fixture f;
        setProp(f, 1, "1");
        const QString text = QString("Longo ").repeated(60);
        setRow(f, 1, 1, {1, 0, 0, 0, 0}, text.toUtf8().constData());
        Tabela t(f, kFirstFactor);
        QCOMPARE(t.grid().item(2, 0)->toolTip(), text);
        const int narrow = t.grid().columnWidth(0);
        QVERIFY(narrow >= twips(4800));
        t.window.resize(t.window.width() + 300, t.window.height());
        QTRY_VERIFY(t.grid().columnWidth(0) >= narrow + 250);
        QCOMPARE(t.grid().horizontalScrollBar()->isVisible(), false);
        t.click(2, 0);
        t.type("!");
        QCOMPARE(t.grid().item(2, 0)->toolTip(), text + "!");
    }

    void closingByTheTitleBarSavesTheShownFactor_data() { addLocaleRows(); }
    void closingByTheTitleBarSavesTheShownFactor() {
        QFETCH(char, separator);
        Fixture f(core::NumberLocale{separator});
        setProp(f, 1, "1");
        f.program().gProximaJanela = NextWindow::Likert;
        Tabela t(f, kFirstFactor);
        t.click(2, 0);
        t.type("Fechado");
        t.window.close();
        QVERIFY(!t.window.isVisible());
        QCOMPARE(storedText(f, 1, 1), "Fechado");
        QCOMPARE(f.program().gProximaJanela, NextWindow::None);
    }
};

QTEST_MAIN(TabelaTest)
#include "test_frmTabela.moc"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "likert/frmTabela.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "shell/flex_grid.h"
#include "main/frmInformacoes.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "tests/setup/setup_test_support.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

Q_DECLARE_METATYPE(vpl::WindowId)

namespace {

// Tries every edit a user could make in `w`; each must leave the screen as it was.
void tryToEdit(frmCadastro& w) {
    auto* question = child<QLineEdit>(w, "txtQuestao");
    test::typeText(question, "novo");
    QCOMPARE(question->text(), "Abrir a filial?");
    QTest::mouseClick(child<QPushButton>(w, "cmdClear"), Qt::LeftButton);
    QCOMPARE(question->text(), "Abrir a filial?");
}

void tryToEdit(frmMeta& w) {
    auto* title = child<QLineEdit>(w, "lblFator1");
    test::typeText(title, "novo");
    QCOMPARE(title->text(), "Fator n1");
    auto* level = child<QDoubleSpinBox>(w, "txtExigencia");
    QTest::keyClick(level, Qt::Key_Up);
    QCOMPARE(level->value(), 0.5);
    auto* weight = child<QSpinBox>(w, "txtPeso1");
    QTest::keyClick(weight, Qt::Key_Up);
    QCOMPARE(weight->value(), 1);
}

void tryToEdit(frmTabela& w) {
    auto* combo = child<QComboBox>(w, "cmbFator");
    auto* grid = child<FlexGrid>(w, "MSFlexGrid1");
    combo->setCurrentIndex(0);
    w.cmbFator_Click();
    for (const int col : {1, 0}) {
        grid->setCell(2, col);
        w.MSFlexGrid1_Click();
        w.MSFlexGrid1_KeyPress('7');
    }
    QCOMPARE(grid->textAt(2, 1), "01");
    QCOMPARE(grid->textAt(2, 0), "P1");
    // Another factor: the shown one would be saved.
    combo->setCurrentIndex(1);
    w.cmbFator_Click();
}

void tryToEdit(frmInformacoes& w) {
    QTest::mouseClick(child<QRadioButton>(w, "opt1"), Qt::LeftButton);
    QVERIFY(child<QRadioButton>(w, "opt3")->isChecked());
}

template <class Window>
void openEditAndLeave(Program& program, const QString& how) {
    test::Loaded<Window> w(program);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    tryToEdit(w);
    test::leave(w, how);
    QVERIFY(!w.isVisible());
}

}  // namespace

class ReadOnlyTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    void aReadOnlyFileIsShownButNeverWritten_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("nextWindow");
        QTest::addColumn<QList<WindowId>>("opened");
        const QList<WindowId> none;
        QTest::newRow("registration, return") << "frmCadastro"
                                              << "cmdSair" << 0 << none;
        QTest::newRow("registration, Escape") << "frmCadastro"
                                              << "Escape" << 0 << none;
        QTest::newRow("registration, factors") << "frmCadastro"
                                               << "cmdFatores" << 1 << none;
        QTest::newRow("factors, return") << "frmMeta"
                                         << "cmdSair" << 0 << none;
        QTest::newRow("factors, title bar") << "frmMeta"
                                            << "close" << 0 << none;
        QTest::newRow("factors, opinions") << "frmMeta"
                                           << "cmdFatores" << 2 << none;
        QTest::newRow("Likert, return") << "frmTabela"
                                        << "cmdSair" << 0 << none;
        QTest::newRow("Likert, title bar") << "frmTabela"
                                           << "close" << 0 << none;
        QTest::newRow("Likert, analysis")
            << "frmTabela"
            << "cmdAnalise" << 0 << QList<WindowId>{WindowId::Analise6f};
        QTest::newRow("information, return") << "frmInformacoes"
                                             << "cmdVOLTAR" << 0 << none;
    }
    void aReadOnlyFileIsShownButNeverWritten() {
        QFETCH(QString, window);
        QFETCH(QString, how);
        QFETCH(int, nextWindow);
        QFETCH(QList<WindowId>, opened);
        Fixture f;
        test::fillWithData(f.db());
        f.db().update("Fatores", 1, {{"Prop", "1"}});
        const QStringList before = test::storeSnapshot(f.db());
        f.reopenReadOnly();
        QVERIFY(f.program().readOnly());
        QList<WindowId> asked;
        f.program().opener = [&](WindowId id, QWidget*) { asked << id; };
        const Language idioma = f.program().gIdioma;

        test::forWindowNamed<frmCadastro, frmMeta, frmTabela, frmInformacoes>(
            window, [&]<class Window>() { openEditAndLeave<Window>(f.program(), how); });
        if (window == "frmInformacoes") QCOMPARE(f.program().gIdioma, idioma);
        if (QTest::currentTestFailed()) return;

        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(f.program().gProximaJanela, nextWindow);
        QCOMPARE(asked, opened);
        f.reopen();
        QCOMPARE(test::storeSnapshot(f.db()), before);
    }
};

QTEST_MAIN(ReadOnlyTest)
#include "test_read_only.moc"

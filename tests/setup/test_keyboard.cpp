// Every window can be used from the keyboard alone: Tab reaches every control, in the
// order one reads the window.
#include <QApplication>
#include <QtTest>

#include "likert/frmTabela.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "main/frmInformacoes.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "tests/setup/setup_test_support.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using vpl::test::Fixture;

namespace {

// The controls Tab reaches from the first one, in order, once round the window.
template <class Window>
QStringList tabChain(Program& program) {
    test::Loaded<Window> window(program);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return {"not shown"};
    QStringList chain;
    QWidget* first = QApplication::focusWidget();
    for (QWidget* at = first; at && chain.size() < 60;) {
        chain << at->objectName();
        // A grid keeps Tab for its cells; Ctrl+Tab leaves it.
        const bool grid = at->inherits("QAbstractItemView");
        QTest::keyClick(at, Qt::Key_Tab, grid ? Qt::ControlModifier : Qt::NoModifier);
        at = QApplication::focusWidget();
        if (at == first) break;
    }
    return chain;
}

QStringList numbered(const QString& stem, int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i) names << stem.arg(i);
    return names;
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    void tabReachesEveryControlInReadingOrder_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("registration") << "frmCadastro"
                                      << QStringList{"txtQuestao"} + numbered("txtP%1", 8) +
                                             QStringList{"cmdClear", "cmdFatores", "cmdSair"};
        QStringList factors{"lblFatores", "txtExigencia"};
        for (int n = 1; n <= 8; ++n)
            factors << QString("lblFator%1").arg(n) << QString("txtP%1").arg(n)
                    << QString("txtPeso%1").arg(n);
        QTest::newRow("factors") << "frmMeta" << factors + QStringList{"cmdFatores", "cmdSair"};
        QTest::newRow("Likert") << "frmTabela"
                                << QStringList{"cmbFator", "MSFlexGrid1", "cmdImportar",
                                               "cmdAnalise", "cmdSair"};
        // The three languages are one group of options: Tab enters it, the arrows choose.
        QTest::newRow("information") << "frmInformacoes" << QStringList{"opt1", "cmdVOLTAR"};
    }
    void tabReachesEveryControlInReadingOrder() {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        Fixture f;
        QStringList chain;
        test::forWindowNamed<frmCadastro, frmMeta, frmTabela, frmInformacoes>(
            window, [&]<class Window>() { chain = tabChain<Window>(f.program()); });
        QCOMPARE(chain, order);
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/window_registry.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "main/Menu.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "tests/setup/setup_test_support.h"
#include "tests/support/test_support.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

namespace {

// The real set-up windows behind the main window; the Likert window is only
// recorded. Each window that opens plays the next step of `steps`: type into a
// box, then leave by a button (or Escape).
struct Step {
    QString box;
    QString text;
    QString leaveBy;  // a button name, or "Escape"
};

}  // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(vpl::WindowId)

namespace {

struct ChainOpener {
    Program& program;
    QList<Step> steps;
    QList<WindowId> opened;

    void playNextStep() {
        if (steps.isEmpty()) return;
        const Step step = steps.takeFirst();
        test::whenModal([step](QWidget& window) {
            if (!step.box.isEmpty())
                QTest::keyClicks(child<QLineEdit>(window, qPrintable(step.box)), step.text);
            if (step.leaveBy == "Escape")
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                child<QPushButton>(window, qPrintable(step.leaveBy))->click();
        });
    }

    WindowOpener opener() {
        return [this](WindowId id, QWidget* parent) {
            opened << id;
            if (id == WindowId::Cadastro) {
                playNextStep();
                openModal<frmCadastro>(program, parent);
            } else if (id == WindowId::Meta) {
                playNextStep();
                openModal<frmMeta>(program, parent);
            }
        };
    }
};

}  // namespace

class SetupChainTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { MessageBox::setTestMode(true); }

    void buttonsLeadThroughTheSetUp_data() {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QList<WindowId>>("opened");
        using W = WindowId;
        QTest::newRow("registration, factors, opinions")
            << "mnuCad"
            << QList<Step>{{"txtQuestao", "Mudar de sede?", "cmdFatores"},
                           {"lblFator1", "Custo", "cmdFatores"}}
            << QList<W>{W::Cadastro, W::Meta, W::Tabela};
        QTest::newRow("registration saved and left")
            << "mnuCad" << QList<Step>{{"txtQuestao", "Mudar de sede?", "cmdSair"}}
            << QList<W>{W::Cadastro};
        QTest::newRow("registration, then factors saved and left")
            << "mnuCad"
            << QList<Step>{{"txtQuestao", "Mudar de sede?", "cmdFatores"},
                           {"lblFator1", "Custo", "cmdSair"}}
            << QList<W>{W::Cadastro, W::Meta};
        QTest::newRow("registration escaped")
            << "mnuCad" << QList<Step>{{"txtQuestao", "Mudar de sede?", "Escape"}}
            << QList<W>{W::Cadastro};
        QTest::newRow("factors, opinions")
            << "mnuMeta" << QList<Step>{{"lblFator1", "Custo", "cmdFatores"}}
            << QList<W>{W::Meta, W::Tabela};
        QTest::newRow("factors saved and left")
            << "mnuMeta" << QList<Step>{{"lblFator1", "Custo", "cmdSair"}} << QList<W>{W::Meta};
        QTest::newRow("factors escaped")
            << "mnuMeta" << QList<Step>{{"lblFator1", "Custo", "Escape"}} << QList<W>{W::Meta};
    }
    void buttonsLeadThroughTheSetUp() {
        QFETCH(QString, menuItem);
        QFETCH(QList<Step>, steps);
        QFETCH(QList<WindowId>, opened);
        Fixture f;
        ChainOpener chain{f.program(), steps, {}};
        f.program().opener = chain.opener();
        Menu menu(f.program());
        f.program().gProximaJanela =
            NextWindow::Likert;  // a stale code from an earlier run opens nothing
        child<QAction>(menu, qPrintable(menuItem))->trigger();
        QCOMPARE(chain.opened, opened);
        QVERIFY(chain.steps.isEmpty());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(MessageBox::shown().size(), 0);

        // Each set-up window saved what was typed in it, however it was left.
        f.reopen();
        const std::string questao = f.db().firstRow("Cadastro", {"Questao"}).text("Questao");
        const std::string fator = f.db().firstRow("Fatores", {"Fator"}).text("Fator");
        QCOMPARE(questao, menuItem == "mnuCad" ? "Mudar de sede?" : "");
        QCOMPARE(fator, opened.contains(WindowId::Meta) ? "Custo" : "");
    }

    void theProgramsWindowTableOpensTheSetUpWindows() {
        Fixture f;
        installWindows(f.program());
        Menu menu(f.program());
        test::whenModal([](QWidget& window) {
            QCOMPARE(window.objectName(), "frmCadastro");
            child<QPushButton>(window, "cmdSair")->click();
        });
        child<QAction>(menu, "mnuCad")->trigger();
        test::whenModal([](QWidget& window) {
            QCOMPARE(window.objectName(), "frmMeta");
            child<QPushButton>(window, "cmdSair")->click();
        });
        child<QAction>(menu, "mnuMeta")->trigger();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(MessageBox::shown().size(), 0);
    }
};

QTEST_MAIN(SetupChainTest)
#include "test_setup_chain.moc"

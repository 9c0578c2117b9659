#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include "shell/Menu.h"
#include "shell/message_box.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "app/window_registry.h"
#include "tests/support/test_support.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

// The main menu's analysis command opens the four-factor window through the real table of
// windows.
class AnalysisDispatchTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
        Printers::setFake({"PDF"}, "PDF");
    }
    void cleanup() { Printers::clearFake(); }

    void analysisCommandOpensTheFourFactorWindow_data() {
        QTest::addColumn<QString>("fatores");
        QTest::newRow("4") << "4";
        QTest::newRow("not a number") << "'abc'";
    }
    void analysisCommandOpensTheFourFactorWindow() {
        QFETCH(QString, fatores);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Fatores = " + fatores.toStdString());
        f.db().update("Fatores", 1, {{"Mi1", 0.75}, {"Mi2", 0.125}});
        installWindows(f.program());
        Menu menu(f.program());

        QString opened, belief;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget* window = QApplication::activeModalWidget();
            opened = window->objectName();
            belief = child<QLabel>(*window, "lblF1G1")->text();
            window->close();
        });
        child<QAction>(menu, "mnuAna")->trigger();
        QCOMPARE(opened, "frmAnalise4f");
        QCOMPARE(belief, "0.7500");
        QCOMPARE(MessageBox::shown().size(), 0);
    }
};

QTEST_MAIN(AnalysisDispatchTest)
#include "test_analysis_dispatch.moc"

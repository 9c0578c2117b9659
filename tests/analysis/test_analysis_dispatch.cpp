#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include "app/window_registry.h"
#include "main/Menu.h"
#include "shell/message_box.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "tests/support/test_support.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

// The main menu's analysis command opens the analysis window of the stored factor count
// through the real table of windows.
class AnalysisDispatchTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { test::recordMessagesWithOnePdfPrinter(); }
    void cleanup() { Printers::clearFake(); }

    void analysisCommandOpensTheWindowOfTheFactorCount_data() {
        QTest::addColumn<QString>("fatores");
        QTest::addColumn<QString>("window");
        QTest::newRow("not a number") << "'abc'"
                                      << "frmAnalise4f";
        for (int n = 2; n <= 8; ++n)
            QTest::addRow("%d", n) << QString::number(n) << QString("frmAnalise%1f").arg(n);
    }
    void analysisCommandOpensTheWindowOfTheFactorCount() {
        QFETCH(QString, fatores);
        QFETCH(QString, window);
        Fixture f;
        f.db().execute("UPDATE Parametro SET Fatores = " + fatores.toStdString());
        f.db().update("Fatores", 1, {{"Mi1", 0.75}, {"Mi2", 0.125}});
        installWindows(f.program());
        Menu menu(f.program());

        QString opened, disbelief;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget* modal = QApplication::activeModalWidget();
            opened = modal->objectName();
            disbelief = child<QLabel>(*modal, "lblF1G2")->text();
            modal->close();
        });
        child<QAction>(menu, "mnuAna")->trigger();
        QCOMPARE(opened, window);
        // The four-factor window shows the stored pair, the family the delivered answers.
        QVERIFY(!disbelief.isEmpty());
        QCOMPARE(disbelief == "0.1250", window == "frmAnalise4f");
        QCOMPARE(MessageBox::shown().size(), 0);
    }
};

QTEST_MAIN(AnalysisDispatchTest)
#include "test_analysis_dispatch.moc"

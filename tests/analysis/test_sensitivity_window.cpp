#include <QLabel>
#include <QImage>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include "analysis/frmResultado.h"
#include "analysis/frmSensibilidade.h"
#include "analysis/picture_boxes.h"
#include "core/likert_evidence.h"
#include "report/stored_analysis.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "tests/support/test_support.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;

namespace {

// Four factors of two propositions, each with these counts (DT .. CT), their degrees stored
// as the Likert window stores them; the program holds the pairs as the analysis left them.
void storeAnswers(Fixture& f, std::array<int, 5> counts) {
    f.db().execute("UPDATE Parametro SET Fatores = 4");
    f.db().execute("UPDATE Fatores SET Prop = '2'");
    const std::vector<core::Counts> rows(2, core::Counts{counts[0], counts[1], counts[2],
                                                         counts[3], counts[4]});
    const core::StoredDegrees degrees = core::DegreesOf(rows);
    for (int factor = 1; factor <= 4; ++factor) {
        for (store::Key row = 1; row <= 2; ++row)
            f.db().update("Prop" + std::to_string(factor), row,
                          {{"N01", counts[0]}, {"N02", counts[1]}, {"N03", counts[2]},
                           {"N04", counts[3]}, {"N05", counts[4]}});
        f.db().update("Fatores", factor, {{"Mi1", degrees.Mi1}, {"Mi2", degrees.Mi2}});
    }
    f.program().gPares = StoredFactorPairs(f.db(), 4);
    f.program().gParesSaoFatores = true;
}

QString cell(QWidget& window, const QString& heading, int column) {
    auto* grid = child<QTableWidget>(window, "grdSensibilidade");
    for (int row = 0; row < grid->rowCount(); ++row)
        if (grid->item(row, 0)->text() == heading) return grid->item(row, column)->text();
    return "no row " + heading;
}

}  // namespace

class SensitivityWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    // Leaving factors out is shown at once; the draws end on the worker with every draw
    // feasible for a decision far above the level, and their region for the lattice.
    void showsTheRestAtOnceAndTheDrawsWhenDone() {
        Fixture f;
        storeAnswers(f, {0, 0, 2, 8, 30});
        frmSensibilidade w(f.program());
        QSignalSpy finished(&w, &frmSensibilidade::drawsFinished);
        w.Form_Load();
        QCOMPARE(cell(w, "Sem o fator 3", 1), QString::fromUtf8("Viável"));
        QCOMPARE(cell(w, QString::fromUtf8("Viável nos sorteios"), 1), QString::fromUtf8("—"));
        QVERIFY(w.faintRegions().empty());
        QVERIFY(finished.wait(20000));
        QCOMPARE(cell(w, QString::fromUtf8("Viável nos sorteios"), 1), "100.0 %");
        QCOMPARE(cell(w, QString::fromUtf8("Inviável nos sorteios"), 2), "0.0 %");
        QVERIFY(child<QProgressBar>(w, "prgSorteios")->isHidden());
        QCOMPARE(w.faintRegions().size(), std::size_t(2));  // network and barycentre
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Degrees typed over the counts cannot be drawn again: the window says which factor
    // and still shows what leaving factors out does.
    void saysWhenItCannotDraw() {
        Fixture f;
        storeAnswers(f, {0, 0, 2, 8, 30});
        f.db().update("Fatores", 2, {{"Mi1", 0.5}, {"Mi2", 0.5}});
        f.program().gPares = StoredFactorPairs(f.db(), 4);
        frmSensibilidade w(f.program());
        w.Form_Load();
        QVERIFY(child<QProgressBar>(w, "prgSorteios")->isHidden());
        const QString note = child<QLabel>(w, "lblSorteios")->text();
        QVERIFY2(note.contains("fator 2"), qPrintable(note));
        QVERIFY(!cell(w, "Sem o fator 2", 1).startsWith("no row"));
        QVERIFY(w.faintRegions().empty());
    }

    // Closing while the draws run stops them; nothing runs on after the window.
    void closingWhileDrawingStopsTheWorker() {
        Fixture f;
        storeAnswers(f, {3, 5, 4, 6, 2});
        auto w = std::make_unique<frmSensibilidade>(f.program());
        w->Form_Load();
        QVERIFY(w->drawing());
        w.reset();
        QCoreApplication::processEvents();
    }

    // The result window opens it, and keeps the draws' region drawn faintly afterwards.
    void theResultWindowKeepsTheRegionOfTheDraws() {
        Fixture f;
        storeAnswers(f, {0, 0, 2, 8, 30});
        frmResultado result(f.program());
        result.Form_Load();
        auto seen = test::examineNextModal([](QWidget& w) {
            auto* window = qobject_cast<frmSensibilidade*>(&w);
            QVERIFY(window);
            QTRY_VERIFY_WITH_TIMEOUT(!window->drawing(), 20000);
        });
        child<QPushButton>(result, "cmdSensibilidade")->click();
        QVERIFY(*seen);
        QVERIFY(!child<LatticeRegions>(result, "LatticeRegions")->faintRegions().empty());
    }

    // The lattice as the window shows it saved as a picture; a file of another kind is a
    // message and nothing is written.
    void theResultWindowSavesItsLattice() {
        Fixture f;
        storeAnswers(f, {0, 0, 2, 8, 30});
        frmResultado result(f.program());
        result.Form_Load();
        QTemporaryDir folder;
        for (const char* name : {"reticulado.png", "reticulado.txt"}) {
            FileDialog::setFake([&](const QString&) { return folder.filePath(name); });
            child<QPushButton>(result, "cmdSalvarImagem")->click();
        }
        const QImage saved(folder.filePath("reticulado.png"));
        QVERIFY(!saved.isNull() && saved.width() > saved.height());
        QVERIFY(!QFile::exists(folder.filePath("reticulado.txt")));
        QCOMPARE(MessageBox::shown().size(), 1);
    }
};

QTEST_MAIN(SensitivityWindowTest)
#include "test_sensitivity_window.moc"

// Opening the four-factor analysis window, from its construction to its first paint, against
// an empty dialog opened alike (goal: at most 3x). The printer list comes from the print
// service on a worker thread, as in the program.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "analysis/frmAnalise4f.h"
#include "bench/median_reporter.h"
#include "shell/message_box.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "store/schema.h"

namespace {

using namespace vpl;

struct Session {
    QTemporaryDir dir;
    std::unique_ptr<Program> program;
    Session() {
        program = std::make_unique<Program>(dir.path());
        const std::string file = program->dataFilePath().toStdString();
        store::createDeliveredFile(file);
        program->dbBanco = store::Database::open(file, store::kDatabaseKey);
        program->db().execute("UPDATE Fatores SET Mi1 = 0.6 + Id / 100.0, Mi2 = 0.3");
    }
};

Session& session() {
    static Session s;
    return s;
}

// Notes that a window has been painted.
struct PaintSeen : QObject {
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) seen = true;
        return false;
    }
};

// Shown, and the event loop run until the window has painted, as the user first sees it:
// a window that is not yet exposed paints nothing on repaint().
void firstPaint(QWidget& window) {
    PaintSeen paint;
    window.installEventFilter(&paint);
    window.show();
    while (!paint.seen) QApplication::processEvents();
    QApplication::processEvents();  // what the first paint left for the loop: its children
    window.removeEventFilter(&paint);
}

void BM_OpenAnalysis4f(benchmark::State& state) {
    Program& program = *session().program;
    for (auto _ : state) {
        frmAnalise4f window(program);
        window.Form_Load();
        firstPaint(window);
    }
}
BENCHMARK(BM_OpenAnalysis4f)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

void BM_OpenEmptyDialog(benchmark::State& state) {
    for (auto _ : state) {
        QDialog window;
        window.resize(600, 400);
        firstPaint(window);
    }
}
BENCHMARK(BM_OpenEmptyDialog)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);
    Printers::askInBackground();
    const auto medians = vpl::bench::RunInterleaved(argc, argv);
    const auto window = medians.find("BM_OpenAnalysis4f");
    const auto empty = medians.find("BM_OpenEmptyDialog");
    if (window != medians.end() && empty != medians.end())
        std::printf("\nfour-factor window to its first paint: %.2f ms; empty dialog: %.2f ms; "
                    "ratio %.2f x (goal: at most 3)\n",
                    window->second, empty->second, window->second / empty->second);
    return 0;
}

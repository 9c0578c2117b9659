// A keystroke in the Likert grid of a 99-proposition factor, from the key event to the
// stored counts and the updated result labels, against one durable single-row commit.
// The goal: a keystroke costs at most twice one commit, however many rows the factor has.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "likert/frmTabela.h"
#include "shell/flex_grid.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/schema.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<double> keystrokeSeconds;
std::vector<double> commitSeconds;

constexpr int kRows = 99;
constexpr int kEditedRow = 50;  // grid row of proposition 49

// A program folder with a delivered data file, factor 1 of 99 answered propositions,
// and the Likert window showing it with a count cell clicked.
class LikertSession {
  public:
    LikertSession() {
        program_ = std::make_unique<vpl::Program>(dir_.path());
        const std::string file = program_->dataFilePath().toStdString();
        vpl::store::createDeliveredFile(file);
        program_->dbBanco = vpl::store::Database::open(file, vpl::store::kDatabaseKey);
        vpl::store::Database& db = program_->db();
        {
            vpl::store::Transaction tx(db);
            db.update("Fatores", 1, {{"Prop", "99"}});
            for (int key = 1; key <= kRows; ++key)
                db.update("Prop1", key,
                          {{"Proposicao", "Pressuposto " + std::to_string(key)},
                           {"N01", key % 4},
                           {"N02", 2},
                           {"N03", key % 5},
                           {"N04", 6},
                           {"N05", key % 3}});
            tx.commit();
        }
        window_ = std::make_unique<vpl::frmTabela>(*program_);
        window_->Form_Load();
        window_->show();
        auto* combo = window_->findChild<QComboBox*>("cmbFator");
        combo->setCurrentIndex(0);
        window_->cmbFator_Click();
        grid_ = window_->findChild<vpl::FlexGrid*>("MSFlexGrid1");
        grid_->setCell(kEditedRow, 3);
        window_->MSFlexGrid1_Click();
    }

    // One key through the grid's own event path.
    void press(Qt::Key key, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(grid_, &event);
    }

    vpl::FlexGrid& grid() { return *grid_; }
    vpl::frmTabela& window() { return *window_; }
    vpl::store::Database& db() { return program_->db(); }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<vpl::Program> program_;
    std::unique_ptr<vpl::frmTabela> window_;
    vpl::FlexGrid* grid_ = nullptr;
};

// Built on first use and dropped before the application object goes.
std::unique_ptr<LikertSession> theSession;
LikertSession& session() {
    if (!theSession) theSession = std::make_unique<LikertSession>();
    return *theSession;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Appending a digit and taking it away: every key changes one stored count. Each key is
// followed, outside its own timing, by one durable single-row commit, so that both medians
// come from the same moments of a machine whose disk may be busy.
void BM_KeystrokeIn99RowFactor(benchmark::State& state) {
    LikertSession& s = session();
    vpl::store::Database& db = s.db();
    int count = 0;
    for (auto _ : state) {
        const bool append = s.grid().textAt(kEditedRow, 3).size() <= 2;
        Clock::time_point start = Clock::now();
        if (append)
            s.press(Qt::Key_1, "1");
        else
            s.press(Qt::Key_Backspace, "\b");
        keystrokeSeconds.push_back(secondsSince(start));

        state.PauseTiming();
        start = Clock::now();
        vpl::store::Transaction tx(db);
        db.update("Prop2", 1, {{"N01", ++count % 100}});
        tx.commit();
        commitSeconds.push_back(secondsSince(start));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KeystrokeIn99RowFactor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vpl::MessageBox::setTestMode(true);  // a failure is counted below, never waited on
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double keystroke = median(keystrokeSeconds);
    const double commit = median(commitSeconds);
    std::printf("keystroke median: %.3f ms (%zu keys)\n", keystroke * 1e3, keystrokeSeconds.size());
    std::printf("durable single-row commit median: %.3f ms (%zu commits)\n", commit * 1e3,
                commitSeconds.size());
    if (commit > 0)
        std::printf("ratio keystroke / commit: %.2f (goal: at most 2)\n", keystroke / commit);

    // The run is only worth its figures if every key was stored and no store failure showed.
    if (!keystrokeSeconds.empty()) {
        LikertSession& s = session();
        const vpl::store::Row row = *s.db().rowByKey("Prop1", {"N03"}, kEditedRow - 1);
        const QString shown = s.grid().textAt(kEditedRow, 3);
        std::printf("edited cell shows %s, stored %g; store failures shown: %lld\n",
                    qPrintable(shown), row.number("N03"),
                    static_cast<long long>(vpl::MessageBox::shown().size()));
    }
    theSession.reset();
    return 0;
}

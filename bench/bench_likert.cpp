// A keystroke in the Likert grid of a 10- and of a 99-proposition factor, from the key event
// to the stored count and the updated sums and result labels, against one durable
// single-row commit. The goal: a keystroke costs at most 1.2 times one commit at both
// sizes, and the two ratios lie within 10 % of each other: the work of a key does not
// grow with the rows.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "likert/frmTabela.h"
#include "shell/flex_grid.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/schema.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Samples {
    std::vector<double> keystroke;
    std::vector<double> commit;
};
std::map<int, Samples> samples;  // by the number of propositions

// A program folder with a delivered data file, factor 1 of `rows` answered propositions,
// and the Likert window showing it with a count cell in the middle clicked.
class LikertSession {
  public:
    explicit LikertSession(int rows) : kRows(rows), kEditedRow(rows / 2 + 1) {
        program_ = std::make_unique<vpl::Program>(dir_.path());
        const std::string file = program_->dataFilePath().toStdString();
        vpl::store::createDeliveredFile(file);
        program_->dbBanco = vpl::store::Database::open(file, vpl::store::kDatabaseKey);
        vpl::store::Database& db = program_->db();
        {
            vpl::store::Transaction tx(db);
            db.update("Fatores", 1, {{"Prop", std::to_string(kRows)}});
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

    const int kRows;
    const int kEditedRow;

  private:
    QTemporaryDir dir_;
    std::unique_ptr<vpl::Program> program_;
    std::unique_ptr<vpl::frmTabela> window_;
    vpl::FlexGrid* grid_ = nullptr;
};

// Built on first use and dropped before the application object goes.
std::map<int, std::unique_ptr<LikertSession>> sessions;
LikertSession& session(int rows) {
    auto& s = sessions[rows];
    if (!s) s = std::make_unique<LikertSession>(rows);
    return *s;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Appending a digit and taking it away: every key changes one stored count. Each key is
// followed, outside its own timing, by one durable single-row commit, so that both medians
// come from the same moments of a machine whose disk may be busy.
void BM_Keystroke(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    LikertSession& s = session(rows);
    Samples& out = samples[rows];
    vpl::store::Database& db = s.db();
    int count = 0;
    for (auto _ : state) {
        const bool append = s.grid().textAt(s.kEditedRow, 3).size() <= 2;
        Clock::time_point start = Clock::now();
        if (append)
            s.press(Qt::Key_1, "1");
        else
            s.press(Qt::Key_Backspace, "\b");
        out.keystroke.push_back(secondsSince(start));

        state.PauseTiming();
        start = Clock::now();
        vpl::store::Transaction tx(db);
        db.update("Prop2", 1, {{"N01", ++count % 100}});
        tx.commit();
        out.commit.push_back(secondsSince(start));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Keystroke)->Arg(10)->Arg(99)->Unit(benchmark::kMillisecond)->MinTime(3.0);

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

    std::map<int, double> ratios;
    for (auto& [rows, sample] : samples) {
        const double keystroke = median(sample.keystroke);
        const double commit = median(sample.commit);
        if (commit > 0) ratios[rows] = keystroke / commit;
        std::printf(
            "%d propositions: keystroke median %.3f ms, durable single-row commit "
            "median %.3f ms, ratio %.2f (goal: at most 1.2)\n",
            rows, keystroke * 1e3, commit * 1e3, ratios[rows]);
        // The run is only worth its figures if every key was stored.
        LikertSession& s = session(rows);
        const vpl::store::Row row = *s.db().rowByKey("Prop1", {"N03"}, s.kEditedRow - 1);
        std::printf("  edited cell shows %s, stored %g\n",
                    qPrintable(s.grid().textAt(s.kEditedRow, 3)), row.number("N03"));
    }
    if (ratios.size() == 2)
        std::printf("99 against 10 propositions: %.2f (goal: within 10 %%)\n",
                    ratios[99] / ratios[10]);
    std::printf("store failures shown: %lld\n",
                static_cast<long long>(vpl::MessageBox::shown().size()));
    sessions.clear();
    return 0;
}

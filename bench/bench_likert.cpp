// A keystroke in the Likert grid of a 10- and of a 99-proposition factor, as the user feels
// it: the key sent to the shown window, until the edited cell and every label whose text
// changed have been painted and flushed, against one durable single-row commit on the same
// file. The goal: at most 1.3 times one commit at both sizes, the two ratios within 10 % of
// each other, so that the work of a key does not grow with the rows. The time to the stored
// row (the key's handling whole, its one durable commit included) is reported beside it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "likert/frmTabela.h"
#include "shell/flex_grid.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/schema.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Samples {
    std::vector<double> toPaint;   // the key, through the event loop, to the flushed repaint
    std::vector<double> toStored;  // the key to the end of its handling: the row is stored
    std::vector<double> commit;
};

// Counts the paints of the widgets it watches, and notes when the window's repaint that
// completed the awaited paints was flushed: the moment the user sees the key.
class PaintWatcher : public QObject {
  public:
    void watch(QWidget* widget) {
        widget->installEventFilter(this);
        painted_[widget] = 0;
    }
    void watchRepaints(QWidget* window) { window->installEventFilter(this); }
    int paints(QWidget* widget) const { return painted_.at(widget); }

    // From now on, the end of the first repaint after which `done` holds is noted.
    void awaitPaints(std::function<bool()> done) {
        done_ = std::move(done);
        seen_.reset();
    }
    std::optional<Clock::time_point> seen() const { return seen_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++painted_[static_cast<QWidget*>(watched)];
        if (event->type() != QEvent::UpdateRequest || inRepaint_) return false;
        // The repaint is run here, so that its end, the flush included, can be noted.
        inRepaint_ = true;
        QCoreApplication::sendEvent(watched, event);
        inRepaint_ = false;
        if (!seen_ && done_ && done_()) seen_ = Clock::now();
        return true;
    }

  private:
    std::map<QWidget*, int> painted_;
    bool inRepaint_ = false;
    std::function<bool()> done_;
    std::optional<Clock::time_point> seen_;
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
        watcher_.watch(grid_->viewport());
        watcher_.watchRepaints(window_.get());
        for (QLabel* label : window_->findChildren<QLabel*>()) {
            watcher_.watch(label);
            labels_.push_back(label);
        }
        QApplication::processEvents();  // the first paint is no key's
    }

    // One key as the user types it, and the event loop until its paints have happened:
    // when the key was seen, and when its handling ended.
    std::pair<Clock::time_point, Clock::time_point> type(Qt::Key key, const QString& text) {
        std::vector<std::pair<QLabel*, QString>> before;
        for (QLabel* label : labels_) before.emplace_back(label, label->text());
        const int cellPaints = watcher_.paints(grid_->viewport());
        std::map<QWidget*, int> labelPaints;
        for (QLabel* label : labels_) labelPaints[label] = watcher_.paints(label);
        const auto painted = [&] {
            if (watcher_.paints(grid_->viewport()) == cellPaints) return false;
            for (const auto& [label, was] : before)
                if (label->isVisible() && label->text() != was &&
                    watcher_.paints(label) == labelPaints[label])
                    return false;
            return true;
        };
        watcher_.awaitPaints(painted);
        QTest::sendKeyEvent(QTest::Click, grid_, key, text, Qt::NoModifier);
        const Clock::time_point handled = Clock::now();
        while (!watcher_.seen()) QApplication::processEvents();
        watcher_.awaitPaints(nullptr);
        return {*watcher_.seen(), handled};
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
    PaintWatcher watcher_;
    std::vector<QLabel*> labels_;
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
        const Qt::Key key = append ? Qt::Key_1 : Qt::Key_Backspace;
        const QString text = append ? QString("1") : QString("\b");
        Clock::time_point start = Clock::now();
        const auto [seen, handled] = s.type(key, text);
        out.toPaint.push_back(std::chrono::duration<double>(seen - start).count());
        out.toStored.push_back(std::chrono::duration<double>(handled - start).count());

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
        const double toPaint = median(sample.toPaint);
        const double toStored = median(sample.toStored);
        const double commit = median(sample.commit);
        if (commit > 0) ratios[rows] = toPaint / commit;
        std::printf(
            "%d propositions: key to repaint median %.3f ms, durable single-row commit median "
            "%.3f ms, ratio %.2f (goal: at most 1.3); the key to the stored row %.3f ms, "
            "ratio %.2f\n",
            rows, toPaint * 1e3, commit * 1e3, ratios[rows], toStored * 1e3,
            commit > 0 ? toStored / commit : 0.0);
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

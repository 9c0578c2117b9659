// Clearing all set-up and opinion data against one durable single-row commit:
// clear-all is one transaction, so it should cost about as much as one commit
// (clearing its 800-odd rows one by one costs several hundred).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "decision/decision.h"
#include "store/database.h"
#include "store/schema.h"

namespace {

namespace fs = std::filesystem;
using namespace vpl;

// A delivered data file in a folder of its own, removed at the end of the run.
class DataFolder {
  public:
    DataFolder() {
        folder_ = fs::temp_directory_path() /
                  ("vpl_bench_setup_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        store::createDeliveredFile(file());
        db = store::Database::open(file(), store::kDatabaseKey);
    }
    ~DataFolder() {
        db.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path file() const { return folder_ / store::kDataFileName; }

    std::unique_ptr<store::Database> db;

  private:
    fs::path folder_;
};

DataFolder& data() {
    static DataFolder folder;
    return folder;
}

// Gives every row that clear-all empties something to empty.
void fillProblem(store::Database& db) {
    store::Transaction tx(db);
    db.updateFirst("Cadastro", 1, {{"Questao", "Abrir a filial?"}, {"Participante1", "Ana"}});
    db.updateFirst("Fatores", -1,
                   {{"Fator", "Custo"}, {"Prop", "99"}, {"Mi1", 0.5}, {"Mi2", 0.25}});
    for (int k = 1; k <= store::kFactorSlots; ++k)
        db.updateFirst(store::propositionTable(k), store::kPropositionRows,
                       {{"Proposicao", "O prazo é curto"}, {"N01", 3}, {"N03", 5}, {"N05", 8}});
    tx.commit();
}

// A problem as users type one into the delivered file: four factors of twelve
// propositions each, so most of the proposition rows are still empty.
void fillTypicalProblem(store::Database& db) {
    store::Transaction tx(db);
    db.updateFirst("Cadastro", 1, {{"Questao", "Abrir a filial?"}, {"Participante1", "Ana"}});
    db.updateFirst("Fatores", 4, {{"Fator", "Custo"}, {"Prop", "12"}, {"Mi1", 0.5}, {"Mi2", 0.25}});
    for (int k = 1; k <= 4; ++k)
        db.updateFirst(store::propositionTable(k), 12,
                       {{"Proposicao", "O prazo é curto"}, {"N02", 4}, {"N04", 6}});
    tx.commit();
}

// Clear-all as the user meets it: each timed clear finds a freshly typed problem.
void BM_ClearAllTypicalProblem(benchmark::State& state) {
    store::Database& db = *data().db;
    for (auto _ : state) {
        state.PauseTiming();
        fillTypicalProblem(db);
        state.ResumeTiming();
        decision::ClearDecision(db);
    }
}
BENCHMARK(BM_ClearAllTypicalProblem)->Unit(benchmark::kMillisecond)->Repetitions(15)->UseRealTime();

// The worst case: every one of the 800-odd rows holds something to clear.
void BM_ClearAllFullProblem(benchmark::State& state) {
    store::Database& db = *data().db;
    for (auto _ : state) {
        state.PauseTiming();
        fillProblem(db);
        state.ResumeTiming();
        decision::ClearDecision(db);
    }
}
BENCHMARK(BM_ClearAllFullProblem)->Unit(benchmark::kMillisecond)->Repetitions(15)->UseRealTime();

// For comparison only: the same rows cleared one durable row at a time.
void BM_ClearRowByRowForComparison(benchmark::State& state) {
    store::Database& db = *data().db;
    const store::Assignments cleared{{"Proposicao", ""}, {"N01", 0}, {"N02", 0},
                                     {"N03", 0},         {"N04", 0}, {"N05", 0}};
    for (auto _ : state) {
        state.PauseTiming();
        fillProblem(db);
        state.ResumeTiming();
        for (int k = 1; k <= store::kFactorSlots; ++k)
            for (const store::Row& row :
                 db.firstRows(store::propositionTable(k), {}, store::kPropositionRows))
                db.update(store::propositionTable(k), row.key(), cleared);
    }
}
BENCHMARK(BM_ClearRowByRowForComparison)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->UseRealTime();

void BM_SingleRowCommit(benchmark::State& state) {
    store::Database& db = *data().db;
    int code = 1;
    for (auto _ : state) {
        code = 4 - code;  // 1, 3, 1, ...: a real change every time
        db.update("Parametro", 1, {{"Idioma", code}});
    }
}
BENCHMARK(BM_SingleRowCommit)->Unit(benchmark::kMillisecond)->Repetitions(15)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, double> medians = vpl::bench::RunInterleaved(argc, argv);
    const auto commit = medians.find("BM_SingleRowCommit");
    if (commit == medians.end()) return 0;
    std::printf("\nsingle-row commit median:           %.3f ms\n", commit->second);
    for (const char* name :
         {"BM_ClearAllTypicalProblem", "BM_ClearAllFullProblem", "BM_ClearRowByRowForComparison"}) {
        const auto clear = medians.find(name);
        if (clear == medians.end()) continue;
        std::printf("%-30s median: %.3f ms = %.2f x one commit\n", name, clear->second,
                    clear->second / commit->second);
    }
    return 0;
}

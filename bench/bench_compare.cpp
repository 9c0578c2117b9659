// Twenty decision files compared against one of them analysed: each opened read-only and
// its analysis run (goal: the twenty at most 20 times the one).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "report/comparison.h"
#include "store/database.h"
#include "store/schema.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 20;

// Twenty four-factor decisions with pairs of their own, removed at the end.
struct Files {
    Files() {
        folder = fs::temp_directory_path() /
                 ("vpl_bench_compare_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
        for (int i = 0; i < kFiles; ++i) {
            const fs::path file = folder / ("decisao" + std::to_string(i) + ".mdb");
            vpl::store::createDeliveredFile(file);
            auto db = vpl::store::Database::open(file, vpl::store::kDatabaseKey);
            db->execute("UPDATE Parametro SET Fatores = 4");
            db->execute("UPDATE Fatores SET Mi1 = " + std::to_string(i / 20.0) + ", Mi2 = 0.3");
            paths.push_back(file.string());
        }
    }
    ~Files() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
    std::vector<std::string> paths;
};

Files& files() {
    static Files f;
    return f;
}

void BM_AnalyseOneDecision(benchmark::State& state) {
    const std::string& file = files().paths.front();
    for (auto _ : state) {
        auto db = vpl::store::Database::open(file, vpl::store::kDatabaseKey,
                                             vpl::store::Database::Access::ReadOnly);
        benchmark::DoNotOptimize(vpl::OutcomeOfStoredDecision(*db, {'.'}));
    }
}
BENCHMARK(BM_AnalyseOneDecision)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

void BM_CompareTwentyDecisions(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(vpl::CompareDecisions(files().paths, {'.'}));
}
BENCHMARK(BM_CompareTwentyDecisions)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, double> medians = vpl::bench::RunInterleaved(argc, argv);
    const auto one = medians.find("BM_AnalyseOneDecision");
    const auto twenty = medians.find("BM_CompareTwentyDecisions");
    if (one != medians.end() && twenty != medians.end())
        std::printf("twenty decisions compared: %.1f ms; one analysed: %.1f ms; ratio %.1f "
                    "(goal: at most 20)\n",
                    twenty->second, one->second, twenty->second / one->second);
    return 0;
}

// How sure the decision is, for 8 factors of 99 propositions each and 1,000 draws, against
// the analysis it repeats (each factor's degrees from its counts, the 8-factor network and
// the barycentre) computed 1,000 times. The goal: at most 3 times that, and at most 0.25 s.
// Run for 40, 200, 1,000 and 10,000 respondents to each proposition, on one thread and on
// every core.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "core/likert_evidence.h"
#include "engine/barycentre.h"
#include "engine/sensitivity.h"

namespace {

using namespace vpl::core;

constexpr int kFactors = 8;
constexpr int kPropositions = 99;
constexpr int kRespondents[] = {40, 200, 1000, 10000};

// Every proposition answered by `respondents`, spread over the five points unevenly and
// differently from one proposition to the next.
EntradaDaSensibilidade Survey(int respondents) {
    EntradaDaSensibilidade in;
    for (int f = 0; f < kFactors; ++f) {
        std::vector<Counts> rows;
        for (int p = 0; p < kPropositions; ++p) {
            const int weights[5] = {1 + (f + p) % 3, 1 + (p * 7) % 4, 1 + (f * 3 + p) % 2,
                                    2 + (p * 5 + f) % 5, 1 + (p + 2 * f) % 4};
            int sum = 0;
            for (const int w : weights) sum += w;
            Counts row{};
            int left = respondents;
            for (int j = 0; j < 4; ++j) left -= row[j] = respondents * weights[j] / sum;
            row[4] = left;
            rows.push_back(row);
        }
        const StoredDegrees d = DegreesOf(rows);
        in.pares.push_back(EvidencePair{d.Mi1, d.Mi2});
        in.contagens.push_back(std::move(rows));
    }
    in.pesos.assign(kFactors, 1);
    return in;
}

const EntradaDaSensibilidade& SurveyOf(int respondents) {
    static std::map<int, EntradaDaSensibilidade> surveys;
    auto it = surveys.find(respondents);
    if (it == surveys.end()) it = surveys.emplace(respondents, Survey(respondents)).first;
    return it->second;
}

// What the window computes once: the factors' degrees from their counts, the network,
// the barycentre, the state and the decision.
void BM_OneAnalysisThousandTimes(benchmark::State& state) {
    const EntradaDaSensibilidade& in = SurveyOf(static_cast<int>(state.range(0)));
    const std::vector<NetworkColumn>& network = FamilyNetwork(kFactors);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            std::vector<std::optional<EvidencePair>> pairs;
            for (const std::vector<Counts>& rows : in.contagens) {
                const StoredDegrees d = DegreesOf(rows);
                pairs.push_back(EvidencePair{d.Mi1, d.Mi2});
            }
            const AnaliseFatoresPropriosResult r = AnalisarFatoresProprios(pairs, network, {});
            benchmark::DoNotOptimize(EstadoDoResultado(r.graus.G1, r.graus.G2, in.nivel));
            benchmark::DoNotOptimize(DecisaoDoResultado(r.graus.G1, r.graus.G2, in.nivel));
            benchmark::DoNotOptimize(AnalisarBaricentro(pairs, in.pesos, in.nivel));
        }
    }
}

// Threads as the second argument, 0 for every core.
void BM_Sensitivity(benchmark::State& state) {
    const EntradaDaSensibilidade& in = SurveyOf(static_cast<int>(state.range(0)));
    OpcoesDaSensibilidade op;
    op.linhasDeExecucao = static_cast<int>(state.range(1));
    for (auto _ : state) benchmark::DoNotOptimize(AnalisarSensibilidade(in, op));
}

void Arguments(benchmark::internal::Benchmark* b, bool threads) {
    for (const int r : kRespondents) {
        if (!threads)
            b->Args({r});
        else
            b->Args({r, 1})->Args({r, 0});
    }
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
}

BENCHMARK(BM_OneAnalysisThousandTimes)->Apply([](auto* b) { Arguments(b, false); });
BENCHMARK(BM_Sensitivity)->Apply([](auto* b) { Arguments(b, true); });

// The medians by the benchmark's whole name, arguments and all.
class NamedMedians : public vpl::bench::MedianReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                byName[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedRealTime();
        MedianReporter::ReportRuns(runs);
    }
    std::map<std::string, double> byName;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    NamedMedians reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\n8 factors x 99 propositions x 1,000 draws (goal: at most 3 x the analysis 1,000 "
        "times, and at most 250 ms)\n");
    for (const int r : kRespondents) {
        const std::string n = std::to_string(r);
        const auto analysis = reporter.byName.find("BM_OneAnalysisThousandTimes/" + n);
        const auto one = reporter.byName.find("BM_Sensitivity/" + n + "/1");
        const auto all = reporter.byName.find("BM_Sensitivity/" + n + "/0");
        if (analysis == reporter.byName.end() || one == reporter.byName.end() ||
            all == reporter.byName.end())
            continue;
        std::printf(
            "%6d respondents: analysis x 1,000 %.1f ms; sensitivity %.1f ms on one "
            "thread (%.2f x), %.1f ms on every core (%.2f x)\n",
            r, analysis->second, one->second, one->second / analysis->second, all->second,
            all->second / analysis->second);
    }
    return 0;
}

// The computations behind every keystroke in the Likert grid and every analysis load.

#include <benchmark/benchmark.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/networks.h"
#include "core/likert_evidence.h"

namespace {

using namespace vpl::core;

constexpr NumberLocale kComma{','};

// A full factor: 99 propositions of typed counts, a few of them fractional or not numbers.
std::vector<LikertTextRow> TypedRows() {
    std::vector<LikertTextRow> rows(99);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < 5; ++c) rows[r][c] = std::to_string((r * 7 + c * 3) % 23);
    }
    rows[10][0] = "2.5";
    rows[20][2] = "1.5";
    rows[30][4] = "7x";
    rows[40][1] = "";
    return rows;
}

void BM_ComputeLikertEvidence99Rows(benchmark::State& state) {
    const std::vector<LikertTextRow> rows = TypedRows();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeLikertEvidence(rows));
}
BENCHMARK(BM_ComputeLikertEvidence99Rows)->Unit(benchmark::kMicrosecond);

void BM_ComputeAndFormatLikertEvidence99Rows(benchmark::State& state) {
    const std::vector<LikertTextRow> rows = TypedRows();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatLikertEvidence(ComputeLikertEvidence(rows), kComma));
    }
}
BENCHMARK(BM_ComputeAndFormatLikertEvidence99Rows)->Unit(benchmark::kMicrosecond);

void BM_Rede4f(benchmark::State& state) {
    const std::array<std::optional<EvidencePair>, 4> pairs = {
        EvidencePair{0.501, 0.1}, EvidencePair{0.9, 0.3}, EvidencePair{0.499, 0.1},
        EvidencePair{0.2, 0.3}};
    for (auto _ : state) benchmark::DoNotOptimize(Rede4f(4, pairs, kComma));
}
BENCHMARK(BM_Rede4f)->Unit(benchmark::kMicrosecond);

void BM_AnalisarFatores(benchmark::State& state) {
    std::array<std::vector<Counts>, 4> blocks;
    for (std::size_t i = 0; i < 4; ++i) {
        blocks[i].assign(19, Counts{});
        for (std::size_t r = 0; r < 19; ++r) {
            for (std::size_t c = 0; c < 5; ++c)
                blocks[i][r][c] = static_cast<int>((i + r * 3 + c) % 9);
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            AnalisarFatores({blocks[0], blocks[1], blocks[2], blocks[3]}, kComma));
    }
}
BENCHMARK(BM_AnalisarFatores)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

#include "engine/resampling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace vpl::core {
namespace {

// The published sequences of both algorithms, so that the draws are those of every other
// machine.
TEST(Gerador, FollowsThePublishedSequences) {
    std::uint64_t state = 1234567;
    for (const std::uint64_t expected :
         {6457827717110365317ull, 3203168211198807973ull, 9817491932198370423ull,
          4593380528125082431ull, 16408922859458223821ull})
        EXPECT_EQ(SplitMix64(state), expected);

    Gerador g({1, 2, 3, 4});
    for (const std::uint64_t expected : {11520ull, 0ull, 1509978240ull, 1215971899390074240ull})
        EXPECT_EQ(g(), expected);
    // A draw's generator depends on the seed and the draw alone.
    EXPECT_EQ(GeradorDoSorteio(42, 7)(), GeradorDoSorteio(42, 7)());
    EXPECT_NE(GeradorDoSorteio(42, 7)(), GeradorDoSorteio(42, 8)());
    EXPECT_NE(GeradorDoSorteio(42, 7)(), GeradorDoSorteio(43, 7)());
}

TEST(LogaritmoPortavel, CloseToTheLibrarysLogarithm) {
    EXPECT_EQ(LogaritmoPortavel(1), 0);
    EXPECT_EQ(LogaritmoPortavel(0), -std::numeric_limits<double>::infinity());
    // Subnormal, tiny, near 1 from either side, huge, and a spread of mantissas.
    std::vector<double> xs{4.9e-324, 1e-300, 0.9999999, 1.0000001, 1e300};
    Gerador g({7, 7, 7, 7});
    for (int i = 0; i < 10000; ++i) xs.push_back(std::ldexp(g.Uniforme() + 0.5, i % 200 - 100));
    for (const double x : xs)
        EXPECT_NEAR(LogaritmoPortavel(x), std::log(x), 1e-15 * std::max(1.0, std::abs(std::log(x))))
            << x;
}

// Pearson's chi-square of what was seen against what was expected, outcomes with fewer
// than 5 expected pooled with the next; true when it stays below what chance gives with
// these degrees of freedom once in a million.
bool FitsItsChances(const std::vector<double>& seen, const std::vector<double>& expected,
                    double& chi2) {
    chi2 = 0;
    int bins = 0;
    double pooledSeen = 0;
    double pooledExpected = 0;
    for (std::size_t k = 0; k < seen.size(); ++k) {
        pooledSeen += seen[k];
        pooledExpected += expected[k];
        if (pooledExpected < 5 && k + 1 < seen.size()) continue;
        chi2 += (pooledSeen - pooledExpected) * (pooledSeen - pooledExpected) / pooledExpected;
        ++bins;
        pooledSeen = pooledExpected = 0;
    }
    const double df = bins - 1;
    return chi2 < df + 7 * std::sqrt(2 * df) + 10;
}

double LogFactorial(std::int64_t k) {
    return std::lgamma(static_cast<double>(k) + 1);
}

// Both ways to draw a binomial, inversion and BTRS on the complement or not, and the
// table, against the binomial's own chances.
TEST(Binomial, BothWaysAndTheTableDrawTheBinomial) {
    const struct {
        std::int64_t n, a, b;
    } cases[] = {
        {5, 1, 2},      {30, 1, 10},   {99, 1, 10},    {50, 1, 5},         {200, 3, 10},
        {1000, 1, 100}, {10000, 1, 2}, {10000, 7, 10}, {1000000, 1, 1000}, {140, 139, 140},
    };
    constexpr int kDraws = 100000;
    Gerador g = GeradorDoSorteio(31337, 0);
    for (const auto& c : cases) {
        const double p = double(c.a) / double(c.b);
        const double mean = c.n * p;
        const double sd = std::sqrt(mean * (1 - p));
        const std::int64_t lo = std::max<std::int64_t>(0, std::int64_t(mean - 8 * sd) - 1);
        const std::int64_t hi = std::min<std::int64_t>(c.n, std::int64_t(mean + 8 * sd) + 2);
        std::vector<double> expected;
        for (std::int64_t k = lo; k <= hi; ++k)
            expected.push_back(kDraws * std::exp(LogFactorial(c.n) - LogFactorial(k) -
                                                 LogFactorial(c.n - k) + k * std::log(p) +
                                                 (c.n - k) * std::log1p(-p)));
        const TabelaBinomial table(c.n, c.a, c.b);
        const Binomial binomial(c.n, c.a, c.b);
        for (const bool byTable : {false, true}) {
            std::vector<double> seen(expected.size());
            for (int d = 0; d < kDraws; ++d) {
                const std::int64_t x = byTable ? table(g) : binomial(g);
                ASSERT_GE(x, 0);
                ASSERT_LE(x, c.n);
                seen[std::size_t(std::clamp(x, lo, hi) - lo)] += 1;
            }
            double chi2 = 0;
            EXPECT_TRUE(FitsItsChances(seen, expected, chi2))
                << c.n << " x " << c.a << "/" << c.b << (byTable ? " by table" : "")
                << ": chi-square " << chi2;
        }
    }
    EXPECT_EQ(Binomial(9, 2, 2)(g) + TabelaBinomial(9, 2, 2)(g), 18);
    EXPECT_THROW(Binomial(9, 3, 2), std::invalid_argument);
}

// The contrary ones are drawn as the binomial above. Given them, c, the neutral ones are a
// binomial of the n - c left: their mean (n - c)·q and variance (n - c)·q·(1 - q) hold draw
// by draw, which the trials added to the table's m* or taken away from it must keep. Rows
// up to where the tables stop, and one beyond.
TEST(SorteioDaProposicao, NeutralOnesFollowTheRestDrawByDraw) {
    const Counts cases[] = {{3, 2, 4, 0, 6},
                            {30, 60, 150, 40, 20},
                            {200, 130, 300, 250, 220},
                            {150, 180, 500, 100, 170},
                            {400, 200, 700, 500, 200}};
    constexpr int kDraws = 200000;
    Gerador g = GeradorDoSorteio(5, 5);
    for (const Counts& counts : cases) {
        const SorteioDaProposicao draw(counts);
        const double q = double(counts[2]) / double(counts[2] + counts[3] + counts[4]);
        double residuals = 0;
        double variance = 0;
        double squares = 0;
        for (int d = 0; d < kDraws; ++d) {
            const auto [c, k, f] = draw(g);
            const double rest = double(draw.respondentes() - c);
            const double residual = double(k) - rest * q;
            residuals += residual;
            squares += residual * residual;
            variance += rest * q * (1 - q);
        }
        EXPECT_LT(std::abs(residuals), 5 * std::sqrt(variance)) << draw.respondentes();
        EXPECT_NEAR(squares / variance, 1, 0.02) << draw.respondentes();
    }
    // All of them contrary: every draw the same, taking nothing from the stream.
    Gerador a = GeradorDoSorteio(1, 1);
    EXPECT_EQ(SorteioDaProposicao(Counts{0x7FFFFFFF, 0, 0, 0, 0})(a)[0], 0x7FFFFFFF);
    EXPECT_EQ(a(), GeradorDoSorteio(1, 1)());
    EXPECT_THROW(SorteioDaProposicao(Counts{1, -1, 0, 0, 0}), std::invalid_argument);
    EXPECT_THROW(SorteioDaProposicao(Counts{0x7FFFFFFF, 1, 0, 0, 0}), std::invalid_argument);
}

}  // namespace
}  // namespace vpl::core

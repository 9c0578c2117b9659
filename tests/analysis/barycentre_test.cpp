#include "engine/barycentre.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

namespace vpl::core {
namespace {

using Pairs = std::vector<std::optional<EvidencePair>>;

TEST(Baricentro, WeightedMeanOfTheFactorsWithAnswers) {
    const struct {
        const char* name;
        Pairs pairs;
        std::vector<int> weights;
        std::optional<EvidencePair> expected;
    } cases[] = {
        {"all weights 1: the plain mean", {{{0.9, 0.1}}, {{0.6, 0.3}}, {{0.3, 0.2}}}, {1, 1, 1},
         EvidencePair{0.6, 0.2}},
        {"unequal weights", {{{0.8, 0.1}}, {{0.2, 0.5}}}, {3, 1}, EvidencePair{0.65, 0.2}},
        {"equal weights other than 1", {{{0.8, 0.1}}, {{0.2, 0.5}}}, {7, 7},
         EvidencePair{0.5, 0.3}},
        {"a factor without answers counts for nothing, whatever its weight",
         {{{0.8, 0.1}}, std::nullopt, {{0.2, 0.5}}}, {1, 10, 1}, EvidencePair{0.5, 0.3}},
        {"one factor with answers is the barycentre", {std::nullopt, {{0.35, 0.45}}}, {4, 9},
         EvidencePair{0.35, 0.45}},
        {"no factor with answers", {std::nullopt, std::nullopt}, {1, 1}, std::nullopt},
        {"no factor at all", {}, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<EvidencePair> b = Baricentro(c.pairs, c.weights);
        ASSERT_EQ(b.has_value(), c.expected.has_value()) << c.name;
        if (!b) continue;
        EXPECT_NEAR(b->Mi1, c.expected->Mi1, 1e-12) << c.name;
        EXPECT_NEAR(b->Mi2, c.expected->Mi2, 1e-12) << c.name;
    }
}

TEST(Baricentro, RefusesWeightsOutsideTheRangeAndMissingWeights) {
    const Pairs pairs{{{0.5, 0.5}}, std::nullopt};
    for (const std::vector<int>& weights :
         {std::vector<int>{0, 1}, {1, 11}, {-1, 1}, {1}, {1, 1, 1}})
        EXPECT_THROW(Baricentro(pairs, weights), std::invalid_argument) << weights.size();
}

TEST(ParesComRespostas, LeavesOutTheListedFactors) {
    const Pairs pairs{{{0.1, 0.2}}, {{0, 0}}, {{0.3, 0.4}}, {{0, 0}}};
    // Factors 2 and 4 had no answers; 9 and 0 are no factor of these.
    const Pairs marked = ParesComRespostas(pairs, std::vector<int>{2, 4, 9, 0});
    ASSERT_EQ(marked.size(), 4u);
    EXPECT_TRUE(marked[0] && marked[2]);
    EXPECT_FALSE(marked[1] || marked[3]);
    // So a factor answered only with 0 degrees does not pull the mean down.
    const std::vector<int> weights{1, 1, 1, 1};
    const auto centre = Baricentro(marked, weights);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->Mi1, 0.2, 1e-12);
    EXPECT_NEAR(centre->Mi2, 0.3, 1e-12);
    EXPECT_EQ(FatoresSemRespostas(pairs, std::vector<std::optional<double>>{5, 0, 7, 0}),
              (std::vector<int>{2, 4}));
}

TEST(AnalisarBaricentro, DegreesStateAndDecisionOfTheMean) {
    const Pairs pairs{{{0.8, 0.1}}, {{0.2, 0.5}}};
    const std::vector<int> weights{3, 1};
    // The mean is (0.65, 0.20): Gc 0.45, Gct -0.15.
    const struct {
        double level;
        EstadoLogico estado;
        Decisao decisao;
    } cases[] = {
        {0.5, EstadoLogico::QuaseVerdadeiroTendendoAoParacompleto,
         {Veredito::NaoConclusivo, Ressalva::Nenhuma}},
        {0.45, EstadoLogico::Verdadeiro, {Veredito::Viavel, Ressalva::Nenhuma}},
        {0.15, EstadoLogico::Verdadeiro, {Veredito::Viavel, Ressalva::Incompleto}},
    };
    for (const auto& c : cases) {
        const auto a = AnalisarBaricentro(pairs, weights, Fixed4::FromReal(c.level));
        ASSERT_TRUE(a);
        EXPECT_EQ(a->graus.G1.Ticks(), 4500);
        EXPECT_EQ(a->graus.G2.Ticks(), -1500);
        EXPECT_EQ(a->estado, c.estado) << c.level;
        EXPECT_EQ(a->decisao, c.decisao) << c.level;
    }
    EXPECT_FALSE(AnalisarBaricentro(Pairs{std::nullopt}, std::vector<int>{1}, kNivelDeExigenciaPadrao));
}

// The degrees come from the mean rounded to four decimals, not cut off.
TEST(AnalisarBaricentro, RoundsTheMeanToFixedPoint) {
    // Mi1 = (0.1 + 2 x 0.2) / 3 = 0.16666..., Mi2 = (0.3 + 2 x 0.0001) / 3 = 0.10006...
    const Pairs pairs{{{0.1, 0.3}}, {{0.2, 0.0001}}};
    const auto a = AnalisarBaricentro(pairs, std::vector<int>{1, 2}, kNivelDeExigenciaPadrao);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->graus.G1.Ticks(), 1667 - 1001);
    EXPECT_EQ(a->graus.G2.Ticks(), 1667 + 1001 - 10000);
}

}  // namespace
}  // namespace vpl::core

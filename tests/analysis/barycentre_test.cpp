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
        {"all weights 1: the plain mean",
         {{{0.9, 0.1}}, {{0.6, 0.3}}, {{0.3, 0.2}}},
         {1, 1, 1},
         EvidencePair{0.6, 0.2}},
        {"unequal weights", {{{0.8, 0.1}}, {{0.2, 0.5}}}, {3, 1}, EvidencePair{0.65, 0.2}},
        {"a factor without answers counts for nothing, whatever its weight",
         {{{0.8, 0.1}}, std::nullopt, {{0.2, 0.5}}},
         {1, 10, 1},
         EvidencePair{0.5, 0.3}},
        {"no factor with answers", {std::nullopt, std::nullopt}, {1, 1}, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<EvidencePair> b = Baricentro(c.pairs, c.weights);
        ASSERT_EQ(b.has_value(), c.expected.has_value()) << c.name;
        if (!b) continue;
        EXPECT_NEAR(b->Mi1, c.expected->Mi1, 1e-12) << c.name;
        EXPECT_NEAR(b->Mi2, c.expected->Mi2, 1e-12) << c.name;
    }
    for (const std::vector<int>& weights : {std::vector<int>{0, 1}, {1, 11}, {1}})
        EXPECT_THROW(Baricentro(Pairs{{{0.5, 0.5}}, std::nullopt}, weights), std::invalid_argument);
}

TEST(AnalisarBaricentro, DegreesStateAndDecisionOfTheMean) {
    // The mean (0.65, 0.20): Gc 0.45, Gct -0.15.
    const Pairs pairs{{{0.8, 0.1}}, {{0.2, 0.5}}};
    const struct {
        double level;
        EstadoLogico estado;
        Decisao decisao;
    } cases[] = {
        {0.5, EstadoLogico::QuaseVerdadeiroTendendoAoParacompleto, {Veredito::NaoConclusivo}},
        {0.15, EstadoLogico::Verdadeiro, {Veredito::Viavel, Ressalva::Incompleto}},
    };
    for (const auto& c : cases) {
        const auto a = AnalisarBaricentro(pairs, std::vector<int>{3, 1}, Fixed4::FromReal(c.level));
        ASSERT_TRUE(a);
        EXPECT_EQ(a->graus.G1.Ticks(), 4500);
        EXPECT_EQ(a->graus.G2.Ticks(), -1500);
        EXPECT_EQ(a->estado, c.estado) << c.level;
        EXPECT_EQ(a->decisao, c.decisao) << c.level;
    }
    // Rounded to four decimals, not cut off: (0.1 + 2 x 0.2) / 3 and (0.3 + 2 x 0.0001) / 3.
    const auto r = AnalisarBaricentro(Pairs{{{0.1, 0.3}}, {{0.2, 0.0001}}}, std::vector<int>{1, 2},
                                      kNivelDeExigenciaPadrao);
    EXPECT_EQ(r->graus.G1.Ticks(), 1667 - 1001);
}

}  // namespace
}  // namespace vpl::core

#include "engine/networks.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

namespace vpl::core {
namespace {

constexpr NumberLocale kDot{'.'};
constexpr NumberLocale kComma{','};

using Pairs = std::array<std::optional<EvidencePair>, 4>;

// Pairs as (mu, lambda), in the order the windows show them.
Pairs Factors(EvidencePair f1, EvidencePair f2, EvidencePair f3, EvidencePair f4) {
    return {f1, f2, f3, f4};
}

TEST(Rede4f, ShowsTheStoredPairsWithFourDecimals) {
    const Pairs pairs = Factors({0.4, 0.4}, {0.6, 0.2}, {0.8, 0.1}, {0.2, 0.6});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.lblG1, (std::array<std::string, 4>{"0.4000", "0.6000", "0.8000", "0.2000"}));
    EXPECT_EQ(r.lblG2, (std::array<std::string, 4>{"0.4000", "0.2000", "0.1000", "0.6000"}));
    EXPECT_EQ(r.lblMax, (std::array<std::string, 4>{"0.40", "0.60", "0.60", "0.80"}));
    EXPECT_EQ(r.lblMin1, "0.40");
    EXPECT_EQ(r.lblMin2, "0.60");
    EXPECT_EQ(r.lambdaR, "0.4000");
    EXPECT_EQ(r.muR, "0.6000");
    EXPECT_EQ(r.gG1.Ticks(), 2000);
    EXPECT_EQ(r.gG2.Ticks(), 0);
    EXPECT_EQ(r.gG1n, 0.6);
    EXPECT_EQ(r.gG2n, 0.5f);
    EXPECT_EQ(r.grid, (std::array<std::string, 5>{"0.0000", "0.2000", "", "0.5000", "0.6000"}));
}

TEST(Rede4f, EqualContraryDegreesChooseTheSecondFactor) {
    // 0.20001 and 0.19996 both show as 0.2000.
    const Pairs pairs = Factors({0.3, 0.20001}, {0.7, 0.19996}, {0.5, 0.5}, {0.5, 0.5});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.max[0], "0.2000");
    EXPECT_EQ(r.lblMax[0], "0.20");
    EXPECT_EQ(r.max[2], "0.7000");
    EXPECT_EQ(r.lblMax[2], "0.70");
}

TEST(Rede4f, FavourableOrFollowsTheSmallerContraryDegree) {
    const Pairs pairs = Factors({0.3, 0.1}, {0.6, 0.2}, {0.5, 0.5}, {0.5, 0.5});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.lblMax[0], "0.20");
    EXPECT_EQ(r.lblMax[2], "0.30");
    EXPECT_EQ(r.max[2], "0.3000");
}

TEST(Rede4f, AndStepsTieOnTwoDecimalsAndCarryTheSecondFourDecimals) {
    // Max3 = 0.5010 (factor 1), Max4 = 0.4990 (factor 3); both contrary maxima are 0.3000.
    const Pairs pairs = Factors({0.501, 0.1}, {0.9, 0.3}, {0.499, 0.1}, {0.2, 0.3});
    for (const NumberLocale locale : {kDot, kComma}) {
        const char sep = locale.decimalSeparator;
        const auto text = [sep](std::string t) {
            for (char& c : t) {
                if (c == '.') c = sep;
            }
            return t;
        };
        const Rede4fResult r = Rede4f(4, pairs, locale);
        EXPECT_EQ(r.max[2], text("0.5010"));
        EXPECT_EQ(r.max[3], text("0.4990"));
        EXPECT_EQ(r.lblMax[2], text("0.50"));
        EXPECT_EQ(r.lblMax[3], text("0.50"));
        EXPECT_EQ(r.lblMin2, text("0.50"));
        EXPECT_EQ(r.muR, text("0.4990"));
        EXPECT_EQ(r.lambdaR, text("0.3000"));
        EXPECT_EQ(r.gG1.Ticks(), 1990);
        EXPECT_EQ(r.gG2.Ticks(), -2010);
        EXPECT_EQ(r.gG1n, 0.5995);
        EXPECT_EQ(r.gG2n, 0.3995f);
        EXPECT_EQ(r.grid, (std::array<std::string, 5>{text("-0.2010"), text("0.1990"), "",
                                                      text("0.3995"), text("0.5995")}));
    }
}

TEST(Rede4f, ContraryAndTiesByTextNotByValue) {
    // Max1 0.5010 and Max2 0.4990 show 0.50: lambdaR is Max2's although Max2 is smaller.
    const Pairs pairs = Factors({0.5, 0.501}, {0.5, 0.2}, {0.5, 0.1}, {0.5, 0.499});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.lblMin1, "0.50");
    EXPECT_EQ(r.lambdaR, "0.4990");
    // And the reverse order: a value comparison would pick the first, the text tie the second.
    const Rede4fResult s =
        Rede4f(4, Factors({0.5, 0.499}, {0.5, 0.2}, {0.5, 0.1}, {0.5, 0.501}), kDot);
    EXPECT_EQ(s.lambdaR, "0.5010");
}

TEST(Rede4f, ComparesTheShownTextsNotTheStoredReals) {
    // 0.12345 shows as 0.1235 like factor 2's degree, but would round to 0.1234 as a value.
    const Pairs pairs = Factors({0.9, 0.12345}, {0.1, 0.1235}, {0.5, 0.5}, {0.5, 0.5});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.lblG2[0], "0.1235");
    EXPECT_EQ(r.max[2], "0.1000");
}

TEST(Rede4f, FullAgreement) {
    const Pairs pairs = Factors({1, 0}, {1, 0}, {1, 0}, {1, 0});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.muR, "1.0000");
    EXPECT_EQ(r.lambdaR, "0.0000");
    EXPECT_EQ(r.lblMin2, "1.00");
    EXPECT_EQ(r.lblMin1, "0.00");
    EXPECT_EQ(r.gG1, kFixed4One);
    EXPECT_EQ(r.gG2, Fixed4());
    EXPECT_EQ(r.gG1n, 1.0);
    EXPECT_EQ(r.gG2n, 0.5f);
    EXPECT_EQ(r.grid, (std::array<std::string, 5>{"0.0000", "1.0000", "", "0.5000", "1.0000"}));
}

TEST(Rede4f, SingleGridValueIsReadInSevenDigits) {
    // ~G2n = 0.32345 kept in single precision still shows as a half rounded up.
    const Pairs pairs = Factors({0.6469, 0}, {0.6469, 0}, {0.6469, 0}, {0.6469, 0});
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.grid[3], "0.3235");
}

TEST(Rede4f, FactorsBeyondTheCountStayEmptyAndCountZero) {
    const Pairs pairs = Factors({0.3, 0.1}, {0.6, 0.2}, {0.9, 0.05}, {0.8, 0.05});
    const Rede4fResult r = Rede4f(2, pairs, kDot);
    EXPECT_EQ(r.lblG1, (std::array<std::string, 4>{"0.3000", "0.6000", "", ""}));
    EXPECT_EQ(r.lblG2, (std::array<std::string, 4>{"0.1000", "0.2000", "", ""}));
    EXPECT_EQ(r.lblMax, (std::array<std::string, 4>{"0.20", "", "0.30", ""}));
    // The empty maxima count 0, so both AND steps choose them.
    EXPECT_EQ(r.lblMin1, "");
    EXPECT_EQ(r.lambdaR, "");
    EXPECT_EQ(r.muR, "");
    EXPECT_EQ(r.grid, (std::array<std::string, 5>{"-1.0000", "0.0000", "", "0.0000", "0.5000"}));

    for (const std::int16_t count : {std::int16_t{0}, std::int16_t{-1}}) {
        const Rede4fResult none = Rede4f(count, pairs, kDot);
        EXPECT_EQ(none.lblG1, (std::array<std::string, 4>{}));
        EXPECT_EQ(none.lblG2, (std::array<std::string, 4>{}));
    }
    EXPECT_EQ(Rede4f(8, pairs, kDot).grid, Rede4f(4, pairs, kDot).grid);
}

TEST(Rede4f, MissingPairsShowNothing) {
    const std::vector<std::optional<EvidencePair>> pairs = {EvidencePair{0.3, 0.1}, std::nullopt,
                                                            EvidencePair{0.5, 0.5}};
    const Rede4fResult r = Rede4f(4, pairs, kDot);
    EXPECT_EQ(r.lblG1, (std::array<std::string, 4>{"0.3000", "", "0.5000", ""}));
    // Factor 2's empty contrary degree counts 0, so Max1 keeps factor 1's.
    EXPECT_EQ(r.lblMax[0], "0.10");
    EXPECT_EQ(r.lblMax[2], "");
}

// Family: four blocks of 19 rows with the given first rows, all others 0.
std::array<std::vector<Counts>, 4> Blocks(Counts b1, Counts b2, Counts b3, Counts b4) {
    std::array<std::vector<Counts>, 4> blocks;
    const Counts first[] = {b1, b2, b3, b4};
    for (std::size_t i = 0; i < 4; ++i) {
        blocks[i].assign(19, Counts{});
        blocks[i][0] = first[i];
    }
    return blocks;
}

AnaliseFatoresResult Analyse(const std::array<std::vector<Counts>, 4>& blocks,
                             NumberLocale locale = kDot) {
    return AnalisarFatores({blocks[0], blocks[1], blocks[2], blocks[3]}, locale);
}

TEST(AnalisarFatores, WorkedCase) {
    const auto r =
        Analyse(Blocks({2, 2, 2, 2, 2}, {1, 1, 2, 3, 3}, {0, 1, 1, 4, 4}, {3, 3, 2, 1, 1}));
    const char* lambdas[] = {"0.40", "0.20", "0.10", "0.60"};
    const char* mus[] = {"0.40", "0.60", "0.80", "0.20"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r.blocks[i].lambda.text, lambdas[i]);
        EXPECT_EQ(r.blocks[i].mu.text, mus[i]);
    }
    const char* steps[] = {"0.40", "0.60", "0.40", "0.60", "0.80", "0.60"};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(r.steps[k].result.text, steps[k]) << k;
        EXPECT_EQ(r.steps[k].comparedBy, k == 5 ? Comparison::Texts : Comparison::Values) << k;
    }
    EXPECT_EQ(r.lambdaR.value, 0.4);
    EXPECT_EQ(r.muR.value, 0.6);
    EXPECT_EQ(r.lblG2n, "0.5000");
    EXPECT_EQ(r.lblG1n, "0.6000");
    EXPECT_EQ(r.lblMsg2, "Não-Contradição conflitante.");
    EXPECT_EQ(r.lblMsg1, "Certeza não determinada, indeterminação.");
}

TEST(AnalisarFatores, WorkedCaseInACommaLocale) {
    const auto r =
        Analyse(Blocks({2, 2, 2, 2, 2}, {1, 1, 2, 3, 3}, {0, 1, 1, 4, 4}, {3, 3, 2, 1, 1}), kComma);
    EXPECT_EQ(r.steps[5].result.text, "0,60");
    EXPECT_EQ(r.lblG2n, "0,5000");
    EXPECT_EQ(r.lblG1n, "0,6000");
    EXPECT_EQ(r.lblMsg1, "Certeza não determinada, indeterminação.");
}

TEST(AnalisarFatores, ValueTiesAreDecidedOnFourDecimals) {
    // Block 1: lambda 1/3; block 2: lambda 0.3333. Equal to four decimals, so block 2 wins.
    const auto r =
        Analyse(Blocks({1, 0, 1, 1, 0}, {3333, 0, 6667, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 1, 0}));
    EXPECT_EQ(r.steps[0].result.value, 0.3333);
    const auto s =
        Analyse(Blocks({3333, 0, 6667, 0, 0}, {1, 0, 1, 1, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 1, 0}));
    EXPECT_EQ(s.steps[0].result.value, 1.0 / 3.0);
}

TEST(AnalisarFatores, StepSixTiesOnTheShownTexts) {
    // Favourable maxima 0.504 and 0.496 both show 0.50: the second is carried on.
    const auto r =
        Analyse(Blocks({0, 0, 496, 504, 0}, {0, 0, 1, 0, 0}, {0, 0, 504, 496, 0}, {0, 0, 1, 0, 0}));
    EXPECT_EQ(r.steps[3].result.value, 0.504);
    EXPECT_EQ(r.steps[4].result.value, 0.496);
    EXPECT_EQ(r.muR.value, 0.496);
    // The reverse order tells a text tie from a value comparison.
    const auto s =
        Analyse(Blocks({0, 0, 504, 496, 0}, {0, 0, 1, 0, 0}, {0, 0, 496, 504, 0}, {0, 0, 1, 0, 0}));
    EXPECT_EQ(s.muR.value, 0.504);
    EXPECT_EQ(s.muR.text, "0.50");
}

TEST(AnalisarFatores, BlocksWithoutAnswersEnterAsZeroWithEmptyTexts) {
    const auto r = Analyse(Blocks({2, 2, 2, 2, 2}, {}, {}, {}));
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(r.blocks[i].mu.text, "");
        EXPECT_EQ(r.blocks[i].lambda.text, "");
        EXPECT_EQ(r.blocks[i].mu.value, 0.0);
    }
    EXPECT_EQ(r.steps[0].result.text, "0.40");
    EXPECT_EQ(r.steps[3].result.text, "0.40");
    // Step 6 meets an empty text from step 5 and counts it 0.
    EXPECT_EQ(r.steps[4].result.text, "");
    EXPECT_EQ(r.muR.text, "");
    EXPECT_EQ(r.muR.value, 0.0);
    EXPECT_EQ(r.lambdaR.value, 0.0);
    EXPECT_EQ(r.lblG2n, "0.0000");
    EXPECT_EQ(r.lblG1n, "0.5000");
}

TEST(AnalisarFatores, LaterBlocksDecideWhenTheirContraryDegreesAreLower) {
    // lambda 0.6, 0.5, 0.1, 0.2: the AND keeps the larger of blocks 3 and 4.
    const auto r =
        Analyse(Blocks({6, 0, 0, 4, 0}, {5, 0, 0, 5, 0}, {1, 0, 0, 9, 0}, {2, 0, 0, 8, 0}));
    EXPECT_EQ(r.lambdaR.text, "0.20");
}

TEST(AnalisarFatores, VerdictsOfTheNormalisedDegrees) {
    const auto agree =
        Analyse(Blocks({0, 0, 0, 1, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 1, 0}));
    EXPECT_EQ(agree.lblG2n, "0.5000");
    EXPECT_EQ(agree.lblG1n, "1.0000");
    EXPECT_EQ(agree.lblMsg2, "Não-Contradição conflitante.");
    EXPECT_EQ(agree.lblMsg1, "Certeza afirmativa ou positiva; forte concordância.");

    // muR 0.8 and lambdaR 0.6.
    const auto strong =
        Analyse(Blocks({3, 0, 0, 2, 0}, {1, 0, 0, 4, 0}, {3, 0, 0, 2, 0}, {1, 0, 0, 4, 0}));
    EXPECT_EQ(strong.muR.value, 0.8);
    EXPECT_EQ(strong.lambdaR.value, 0.6);
    EXPECT_EQ(strong.lblG2n, "0.7000");
    EXPECT_EQ(strong.lblMsg2,
              "Não-Contradição forte: os sujeitos possuem opinião muito consistente.");

    const auto disagree =
        Analyse(Blocks({1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}));
    EXPECT_EQ(disagree.lblG1n, "0.0000");
    EXPECT_EQ(disagree.lblMsg1, "Certeza contrária ou negativa; forte discordância.");
}

// Own factors: pairs as (Mi1, Mi2), that is (mu, lambda).
using OwnPairs = std::vector<std::optional<EvidencePair>>;
const Operator kOr = Operator::Or;
const Operator kAnd = Operator::And;

TEST(AnalisarFatoresProprios, TwoFactorsAreJoinedByAnd) {
    const OwnPairs pairs{EvidencePair{0.7, 0.2}, EvidencePair{0.5, 0.4}};
    const auto r = AnalisarFatoresProprios(pairs, {{kAnd, {{1, 2}}}}, kComma);
    EXPECT_EQ(r.factors[0].mu.text, "0,70");
    EXPECT_EQ(r.factors[1].lambda.text, "0,40");
    // Each side on its own: the smaller mu of factor 2, the smaller lambda of factor 1.
    ASSERT_EQ(r.cells.size(), 1u);
    EXPECT_EQ(r.cells[0][0].mu.text, "0,50");
    EXPECT_EQ(r.cells[0][0].lambda.text, "0,20");
    EXPECT_EQ(r.muR.value, 0.5);
    EXPECT_EQ(r.lambdaR.value, 0.2);
    EXPECT_EQ(r.lblG1n, "0,6500");
    EXPECT_EQ(r.lblG2n, "0,3500");
}

TEST(AnalisarFatoresProprios, ThreeFactorsAreOneOrTwoThenAndThree) {
    // (1 AND 2) OR 3 would give lambdaR 0.1, 1 OR (2 AND 3) muR 0.6 with lambdaR 0.6.
    const OwnPairs pairs{EvidencePair{0.3, 0.6}, EvidencePair{0.8, 0.1}, EvidencePair{0.6, 0.05}};
    const auto r =
        AnalisarFatoresProprios(pairs, {{kOr, {{1, 2}, {3, 3}}}, {kAnd, {{1, 3}}}}, kDot);
    ASSERT_EQ(r.cells.size(), 2u);
    EXPECT_EQ(r.cells[0][0].mu.text, "0.80");
    EXPECT_EQ(r.cells[0][0].lambda.text, "0.60");
    EXPECT_EQ(r.cells[0][1].lambda.text, "0.05");  // a one-row cell keeps its factor
    EXPECT_EQ(r.muR.value, 0.6);
    EXPECT_EQ(r.lambdaR.value, 0.05);
    EXPECT_EQ(r.lblG1n, "0.7750");
    EXPECT_EQ(r.lblG2n, "0.3250");
}

TEST(AnalisarFatoresProprios, ThreeColumnsWithATieAndAMissingPair) {
    // Five factors, (1 OR 2) and (3 OR 4), AND of both, AND with 5. Factor 5 has no pair.
    // mu 0.40001 and 0.39996 are equal on four decimals: the second is carried on.
    const OwnPairs pairs{EvidencePair{0.40001, 0.3}, EvidencePair{0.39996, 0.2},
                         EvidencePair{0.7, 0.1}, EvidencePair{0.5, 0.6}, std::nullopt};
    const std::vector<NetworkColumn> network{
        {kOr, {{1, 2}, {3, 4}}}, {kAnd, {{1, 4}}}, {kAnd, {{1, 5}}}};
    const auto r = AnalisarFatoresProprios(pairs, network, kDot);
    EXPECT_EQ(r.withoutPair, std::vector<int>{5});
    EXPECT_EQ(r.factors[4].mu.text, "");
    EXPECT_EQ(r.factors[4].lambda.value, 0.0);
    EXPECT_EQ(r.cells[0][0].mu.value, 0.39996);
    EXPECT_EQ(r.cells[0][0].lambda.value, 0.3);
    EXPECT_EQ(r.cells[0][1].mu.text, "0.70");
    EXPECT_EQ(r.cells[0][1].lambda.text, "0.60");
    EXPECT_EQ(r.cells[1][0].mu.value, 0.39996);
    EXPECT_EQ(r.cells[1][0].lambda.value, 0.3);
    // The missing pair counts 0, so the last AND takes it on both sides, empty texts and all.
    EXPECT_EQ(r.cells[2][0].mu.text, "");
    EXPECT_EQ(r.cells[2][0].lambda.text, "");
    EXPECT_EQ(r.lblG1n, "0.5000");
    EXPECT_EQ(r.lblG2n, "0.0000");

    // With factor 5's pair present the network ends in the first AND's result.
    OwnPairs all = pairs;
    all[4] = EvidencePair{0.9, 0.8};
    const auto s = AnalisarFatoresProprios(all, network, kDot);
    EXPECT_EQ(s.muR.value, 0.39996);
    EXPECT_EQ(s.lambdaR.value, 0.3);
}

TEST(AnalisarFatoresProprios, RejectsANetworkItCannotCompute) {
    const OwnPairs three(3, EvidencePair{0.5, 0.5});
    const struct {
        const char* why;
        std::size_t factors;
        std::vector<NetworkColumn> network;
    } cases[] = {
        {"no factor", 0, {}},
        {"a row outside", 3, {{kOr, {{1, 4}}}}},
        {"cuts an earlier cell", 3, {{kOr, {{1, 2}}}, {kAnd, {{2, 3}}}}},
        {"two cells over one row", 3, {{kOr, {{1, 2}, {2, 3}}}}},
        {"not joined into one", 3, {{kOr, {{1, 2}}}}},
    };
    for (const auto& c : cases)
        EXPECT_THROW(AnalisarFatoresProprios(std::span(three).first(c.factors), c.network, kDot),
                     std::invalid_argument)
            << c.why;
}

TEST(NetworkJoins, EachCellJoinsWhatStandsInItsRows) {
    // Seven factors: (1 OR 2), (3 OR 4), (5 OR 6) and 7 alone; then two ANDs; then one OR.
    const std::vector<NetworkColumn> network{
        {kOr, {{1, 2}, {3, 4}, {5, 6}, {7, 7}}}, {kAnd, {{1, 4}, {5, 7}}}, {kOr, {{1, 7}}}};
    const auto joins = NetworkJoins(7, network);
    const auto inputs = [&](std::size_t column, std::size_t cell) {
        std::vector<std::pair<int, int>> spans;
        for (const Span& s : joins[column][cell].inputs) spans.emplace_back(s.first, s.last);
        return spans;
    };
    ASSERT_EQ(joins.size(), 3u);
    EXPECT_EQ(inputs(0, 0), (std::vector<std::pair<int, int>>{{1, 1}, {2, 2}}));
    EXPECT_EQ(inputs(0, 3), (std::vector<std::pair<int, int>>{{7, 7}}));  // passed on alone
    EXPECT_EQ(inputs(1, 1), (std::vector<std::pair<int, int>>{{5, 6}, {7, 7}}));
    EXPECT_EQ(inputs(2, 0), (std::vector<std::pair<int, int>>{{1, 4}, {5, 7}}));
    // A factor no cell of a column joins is carried to a later one.
    const auto carried = NetworkJoins(3, {{kOr, {{1, 2}}}, {kAnd, {{1, 3}}}});
    EXPECT_EQ(carried[1][0].inputs.back().first, 3);
    EXPECT_THROW(NetworkJoins(3, {{kOr, {{1, 2}}}}), std::invalid_argument);
}

TEST(FatoresSemRespostas, AFactorEntersWithZeroForWantOfAnswers) {
    const struct {
        const char* why;
        std::optional<EvidencePair> pair;
        std::optional<double> answers;
        bool named;
    } cases[] = {
        {"answered", EvidencePair{0.5, 0.25}, 8, false},
        {"no stored pair", std::nullopt, 8, true},
        {"no pair, count unknown", std::nullopt, std::nullopt, true},
        {"degrees 0, nothing answered", EvidencePair{0, 0}, 0, true},
        {"degrees 0 of only indifferent answers", EvidencePair{0, 0}, 6, false},
        {"degrees 0, count unknown", EvidencePair{0, 0}, std::nullopt, false},
        {"degrees stored without answers", EvidencePair{0.5, 0}, 0, false},
        {"one degree 0 only", EvidencePair{0, 0.5}, 0, false},
    };
    for (const auto& c : cases) {
        // The factor stands third, between two answered ones.
        const std::vector<std::optional<EvidencePair>> pairs{EvidencePair{0.1, 0.2},
                                                             EvidencePair{0.3, 0.4}, c.pair};
        const std::vector<std::optional<double>> answers{5, 5, c.answers};
        EXPECT_EQ(FatoresSemRespostas(pairs, answers),
                  c.named ? std::vector<int>{3} : std::vector<int>{})
            << c.why;
    }
    // Counts missing at the end are unknown.
    const std::vector<std::optional<EvidencePair>> zero{EvidencePair{0, 0}, std::nullopt};
    EXPECT_EQ(FatoresSemRespostas(zero, {}), std::vector<int>{2});
}

TEST(LinhaSemRespostas, NamesTheFactorsInTheLanguage) {
    for (Language idioma : {Language::Portuguese, Language::English, Language::Spanish}) {
        EXPECT_EQ(LinhaSemRespostas({}, idioma), "");
        const std::string one = LinhaSemRespostas({3}, idioma);
        const std::string two = LinhaSemRespostas({2, 7}, idioma);
        EXPECT_TRUE(one.ends_with(" 3")) << one;
        EXPECT_TRUE(two.ends_with(" 2, 7")) << two;
        // It says that they entered with degrees 0, agreeing in number.
        EXPECT_NE(one.find('0'), std::string::npos);
        EXPECT_NE(one.substr(0, one.size() - 2), two.substr(0, two.size() - 5));
    }
    EXPECT_NE(LinhaSemRespostas({1}, Language::English), LinhaSemRespostas({1}, Language::Spanish));
    EXPECT_NE(LinhaSemRespostas({1}, Language::Portuguese),
              LinhaSemRespostas({1}, Language::Spanish));
}

}  // namespace
}  // namespace vpl::core

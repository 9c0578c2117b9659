#include "core/likert_evidence.h"

#include <gtest/gtest.h>

#include <vector>

namespace vpl::core {
namespace {

constexpr NumberLocale kDot{'.'};
constexpr NumberLocale kComma{','};

TEST(LikertEvidence, WorkedExampleFromNumbers) {
    const std::vector<LikertRow> rows = {{1, 2, 3, 4, 5}, {0, 0, 2, 6, 2}};
    const LikertEvidence e = ComputeLikertEvidence(rows);
    EXPECT_EQ(e.contrarySum, 3.0);
    EXPECT_EQ(e.favourableSum, 17.0);
    EXPECT_EQ(e.neutralSum, 5.0);
    EXPECT_EQ(e.total, 25.0);
    EXPECT_EQ(e.df, 5.5);
    EXPECT_EQ(e.cf, 19.5);
    EXPECT_TRUE(e.degreesExist);
    EXPECT_DOUBLE_EQ(e.Mi1, 0.68);
    EXPECT_DOUBLE_EQ(e.Mi2, 0.12);

    const LikertTexts t = FormatLikertEvidence(e, kDot);
    EXPECT_EQ(t.df, "005.5");
    EXPECT_EQ(t.cf, "019.5");
    EXPECT_EQ(t.total, "25");
    EXPECT_EQ(t.Mi1, "0.6800");
    EXPECT_EQ(t.Mi2, "0.1200");
}

TEST(LikertEvidence, WorkedExampleFromTypedTextsInACommaLocale) {
    const std::vector<LikertTextRow> rows = {{"1", "2", "3", "4", "5"}, {"", "0", "2", " 6", "2 "}};
    const LikertTexts t = FormatLikertEvidence(ComputeLikertEvidence(rows), kComma);
    EXPECT_EQ(t.df, "005,5");
    EXPECT_EQ(t.cf, "019,5");
    EXPECT_EQ(t.total, "25");
    EXPECT_EQ(t.Mi1, "0,6800");
    EXPECT_EQ(t.Mi2, "0,1200");
}

TEST(LikertEvidence, NoAnswersGiveNoDegrees) {
    for (const auto& rows :
         {std::vector<LikertTextRow>{},
          std::vector<LikertTextRow>{{"", "", "", "", ""}, {"x", "", "", "", ""}}}) {
        const LikertEvidence e = ComputeLikertEvidence(rows);
        EXPECT_FALSE(e.degreesExist);
        const LikertTexts t = FormatLikertEvidence(e, kDot);
        EXPECT_EQ(t.df, "000.0");
        EXPECT_EQ(t.cf, "000.0");
        EXPECT_EQ(t.total, "0");
        EXPECT_EQ(t.Mi1, std::nullopt);
        EXPECT_EQ(t.Mi2, std::nullopt);
    }
}

TEST(LikertEvidence, NeutralAnswersLowerBothDegrees) {
    const std::vector<LikertRow> rows = {{0, 0, 4, 0, 0}};
    const LikertTexts t = FormatLikertEvidence(ComputeLikertEvidence(rows), kDot);
    EXPECT_EQ(t.df, "002.0");
    EXPECT_EQ(t.cf, "002.0");
    EXPECT_EQ(t.total, "4");
    EXPECT_EQ(t.Mi1, "0.0000");
    EXPECT_EQ(t.Mi2, "0.0000");
}

TEST(LikertEvidence, OnlyFavourableAnswers) {
    const std::vector<LikertRow> rows = {{0, 0, 0, 3, 2}};
    const LikertTexts t = FormatLikertEvidence(ComputeLikertEvidence(rows), kDot);
    EXPECT_EQ(t.Mi1, "1.0000");
    EXPECT_EQ(t.Mi2, "0.0000");
}

TEST(LikertEvidence, OneFavourableAmongThirtyTwoRoundsTheHalfUp) {
    const std::vector<LikertRow> rows = {{0, 0, 31, 1, 0}};
    const LikertEvidence e = ComputeLikertEvidence(rows);
    EXPECT_EQ(e.Mi1, 0.03125);
    EXPECT_EQ(FormatLikertEvidence(e, kDot).Mi1, "0.0313");
}

TEST(LikertEvidence, PairSumsAreRoundedPerRowButNeutralIsNot) {
    const std::vector<LikertTextRow> rows = {{"2.5", "", "1.5", "", ""}};
    const LikertEvidence e = ComputeLikertEvidence(rows);
    EXPECT_EQ(e.contrarySum, 3.0);
    EXPECT_EQ(e.neutralSum, 1.5);
    EXPECT_EQ(e.total, 4.5);
    const LikertTexts t = FormatLikertEvidence(e, kComma);
    EXPECT_EQ(t.total, "4,5");
    EXPECT_EQ(t.df, "003,8");  // 3.75
    EXPECT_EQ(t.cf, "000,8");  // 0.75

    // Rounded before adding: two rows of 0.5 add 1 each, not 1 in all.
    const std::vector<LikertRow> halves = {{0.5, 0, 0, 0.25, 0.25}, {0.5, 0, 0, 0.25, 0.25}};
    const LikertEvidence h = ComputeLikertEvidence(halves);
    EXPECT_EQ(h.contrarySum, 2.0);
    EXPECT_EQ(h.favourableSum, 2.0);
}

TEST(LikertEvidence, CellsFollowTheLeadingNumberRule) {
    const std::vector<LikertTextRow> rows = {{"7x", "x7", "2,5", "1 0", ""}};
    const LikertEvidence e = ComputeLikertEvidence(rows);
    EXPECT_EQ(e.contrarySum, 7.0);
    EXPECT_EQ(e.neutralSum, 2.0);
    EXPECT_EQ(e.favourableSum, 10.0);
}

TEST(LikertEvidence, NegativeEntriesCountAsNegative) {
    const std::vector<LikertRow> noDegrees = {{-5, 0, 0, 2, 0}};
    const LikertEvidence e = ComputeLikertEvidence(noDegrees);
    EXPECT_EQ(e.total, -3.0);
    EXPECT_FALSE(e.degreesExist);
    const LikertTexts t = FormatLikertEvidence(e, kDot);
    EXPECT_EQ(t.total, "-3");
    EXPECT_EQ(t.df, "-005.0");
    EXPECT_EQ(t.Mi1, std::nullopt);

    const std::vector<LikertTextRow> withDegrees = {{"-1", "", "", "3", ""}};
    const LikertTexts d = FormatLikertEvidence(ComputeLikertEvidence(withDegrees), kDot);
    EXPECT_EQ(d.total, "2");
    EXPECT_EQ(d.Mi2, "-0.5000");
    EXPECT_EQ(d.Mi1, "1.5000");
}

TEST(LikertEvidence, RowsArePooled) {
    const std::vector<LikertRow> rows = {{0, 0, 0, 10, 0}, {10, 0, 0, 0, 0}};
    const LikertTexts t = FormatLikertEvidence(ComputeLikertEvidence(rows), kDot);
    EXPECT_EQ(t.Mi1, "0.5000");
    EXPECT_EQ(t.Mi2, "0.5000");
}

TEST(LikertEvidence, WeightsShareTheNeutralAnswersEvenly) {
    const std::vector<LikertRow> rows = {{1, 0.4, 3.3, 2, 0}, {0, 1, 0.7, 0, 6}};
    const LikertEvidence e = ComputeLikertEvidence(rows);
    EXPECT_DOUBLE_EQ(e.df + e.cf, e.total);
    EXPECT_DOUBLE_EQ(e.Mi1 + e.Mi2, 1 - e.neutralSum / e.total);
}

}  // namespace
}  // namespace vpl::core

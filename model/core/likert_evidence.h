#pragma once

// Evidence of one factor from the Likert answers of all its propositions, pooled.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "core/counts.h"
#include "core/number_text.h"
#include "store/schema.h"

namespace vpl::core {

// Cells of one proposition, points 1 to 5: DT, D (contrary), I (neutral), C, CT (favourable).
using LikertRow = std::array<double, store::kLikertPoints>;
// The same cells as typed; each is read by the leading-number rule.
using LikertTextRow = std::array<std::string, store::kLikertPoints>;

struct LikertEvidence {
    double contrarySum = 0.0;    // S⁻, each row's DT + D rounded before it is added
    double favourableSum = 0.0;  // S⁺, each row's C + CT rounded likewise
    double neutralSum = 0.0;     // S⁰, not rounded
    double total = 0.0;          // T = (S⁻ + S⁺) + S⁰
    double df = 0.0;             // disagreement weight S⁻ + S⁰ / 2
    double cf = 0.0;             // agreement weight S⁺ + S⁰ / 2
    bool degreesExist = false;   // T > 0
    double Mi1 = 0.0;            // S⁺ / T, 0 when the degrees do not exist
    double Mi2 = 0.0;            // S⁻ / T, 0 when the degrees do not exist
};

LikertEvidence ComputeLikertEvidence(std::span<const LikertRow> rows);
LikertEvidence ComputeLikertEvidence(std::span<const Counts> rows);
LikertEvidence ComputeLikertEvidence(std::span<const LikertTextRow> rows);

// What the window shows. The degrees divide the sums by the total as read back from its
// own text, and exist only when that number is above 0.
struct LikertTexts {
    std::string df;                  // "#000.0"
    std::string cf;                  // "#000.0"
    std::string total;               // general form
    std::optional<std::string> Mi1;  // "0.0000"
    std::optional<std::string> Mi2;  // "0.0000"
};

LikertTexts FormatLikertEvidence(const LikertEvidence& evidence, NumberLocale locale);

// The pair a factor keeps in Mi1 and Mi2 for this evidence: the degrees as the window shows
// them, read back from their four-decimal texts; 0 and 0 without answers.
struct StoredDegrees {
    double Mi1 = 0.0;
    double Mi2 = 0.0;
    bool operator==(const StoredDegrees&) const = default;
};
StoredDegrees DegreesToStore(const LikertEvidence& evidence);
// The degrees a factor with these propositions' counts keeps.
StoredDegrees DegreesOf(std::span<const Counts> rows);

// How far the numbers of answers of the answered propositions lie apart: the fewest and the
// most, when they differ (32 answers to one proposition, 46 to another).
struct AnswerSpread {
    double fewest = 0.0;
    double most = 0.0;
};
std::optional<AnswerSpread> UnevenAnswers(std::span<const Counts> rows);

}  // namespace vpl::core

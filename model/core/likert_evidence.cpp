#include "core/likert_evidence.h"

#include <algorithm>
#include <vector>

namespace vpl::core {

LikertEvidence ComputeLikertEvidence(std::span<const LikertRow> rows) {
    LikertEvidence e;
    for (const LikertRow& row : rows) {
        e.contrarySum += RoundHalfAwayFromZero(row[0] + row[1]);
        e.neutralSum += row[2];
        e.favourableSum += RoundHalfAwayFromZero(row[3] + row[4]);
    }
    e.total = (e.contrarySum + e.favourableSum) + e.neutralSum;
    e.df = e.contrarySum + e.neutralSum / 2;
    e.cf = e.favourableSum + e.neutralSum / 2;
    e.degreesExist = e.total > 0;
    if (e.degreesExist) {
        e.Mi2 = e.contrarySum / e.total;
        e.Mi1 = e.favourableSum / e.total;
    }
    return e;
}

LikertEvidence ComputeLikertEvidence(std::span<const Counts> rows) {
    std::vector<LikertRow> numbers(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        std::copy(rows[r].begin(), rows[r].end(), numbers[r].begin());
    return ComputeLikertEvidence(numbers);
}

LikertEvidence ComputeLikertEvidence(std::span<const LikertTextRow> rows) {
    std::vector<LikertRow> numbers(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < store::kLikertPoints; ++c)
            numbers[r][c] = LeadingNumber(rows[r][c]);
    }
    return ComputeLikertEvidence(numbers);
}

LikertTexts FormatLikertEvidence(const LikertEvidence& evidence, NumberLocale locale) {
    LikertTexts texts{FormatNumber(evidence.df, "#000.0", locale),
                      FormatNumber(evidence.cf, "#000.0", locale),
                      FormatGeneral(evidence.total, locale), std::nullopt, std::nullopt};
    const double shownTotal = ParseLocaleNumber(texts.total, locale).value_or(0.0);
    if (shownTotal > 0) {
        texts.Mi2 = FormatNumber(evidence.contrarySum / shownTotal, "0.0000", locale);
        texts.Mi1 = FormatNumber(evidence.favourableSum / shownTotal, "0.0000", locale);
    }
    return texts;
}

StoredDegrees DegreesToStore(const LikertEvidence& evidence) {
    const LikertTexts texts = FormatLikertEvidence(evidence, {});
    const auto stored = [](const std::optional<std::string>& text) {
        return text ? ParseLocaleNumber(*text, {}).value_or(0.0) : 0.0;
    };
    return {stored(texts.Mi1), stored(texts.Mi2)};
}

StoredDegrees DegreesOf(std::span<const Counts> rows) {
    return DegreesToStore(ComputeLikertEvidence(rows));
}

std::optional<AnswerSpread> UnevenAnswers(std::span<const Counts> rows) {
    std::optional<AnswerSpread> spread;
    for (const Counts& row : rows) {
        double answers = 0.0;
        for (const std::int32_t count : row) answers += count;
        if (answers <= 0.0) continue;  // not answered yet
        if (!spread) spread = AnswerSpread{answers, answers};
        spread->fewest = std::min(spread->fewest, answers);
        spread->most = std::max(spread->most, answers);
    }
    if (spread && spread->fewest == spread->most) return std::nullopt;
    return spread;
}

}  // namespace vpl::core

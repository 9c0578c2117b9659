#include "decision/likert_sheet.h"

#include <span>
#include <string_view>
#include <utility>

namespace vpl::decision {

namespace {

constexpr int kBackspace = 8;
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The length of the UTF-8 character at the start of `bytes`, 0 when none starts there:
// shortest forms only, no surrogates, nothing past U+10FFFF.
std::size_t characterLength(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the byte after the lead
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!continuation(at(i))) return 0;
    return length;
}

// A stored text as the grid shows it, and so as a save compares it: a leading byte order
// mark dropped, and each byte that starts no UTF-8 character shown as U+FFFD.
std::string shownText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = characterLength(bytes);
        if (length == 0) {
            text += kReplacement;
            bytes.remove_prefix(1);
        } else {
            text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return text;
}

// Appends one character; nothing for a code point that is no character.
bool appendCharacter(std::string& text, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return true;
}

// A cell's text after a key, or nothing when the key changes nothing there.
std::optional<std::string> typed(std::string text, int keyAscii, bool countCell,
                                 core::NumberLocale locale) {
    if (keyAscii == kBackspace) {
        if (text.empty()) return std::nullopt;
        std::size_t end = text.size() - 1;
        while (end > 0 && continuation(static_cast<unsigned char>(text[end]))) --end;
        text.erase(end);
        return text;
    }
    if (keyAscii < 32) return std::nullopt;
    if (!countCell) {
        // U+FEFF reaches the grid as a byte order mark, which adds nothing.
        if (keyAscii == 0xFEFF) return text;
        if (!appendCharacter(text, static_cast<char32_t>(keyAscii))) return std::nullopt;
        return text;
    }
    // A count is a whole number of respondents: digits only, up to the largest count the
    // file keeps.
    if (keyAscii < '0' || keyAscii > '9') return std::nullopt;
    text += static_cast<char>(keyAscii);
    if (!core::CountFromText(text, locale)) return std::nullopt;
    return text;
}

}  // namespace

LikertSheet::LikertSheet(core::NumberLocale locale, int rows)
    : locale_(locale),
      texts_(static_cast<std::size_t>(rows)),
      counts_(static_cast<std::size_t>(rows)),
      unreadableCells_(static_cast<std::size_t>(rows)) {
    follow();
}

void LikertSheet::load(int factor, std::vector<Proposition> stored, const store::Value& mi1,
                       const store::Value& mi2) {
    const std::size_t n = stored.size();
    factor_ = factor;
    stored_ = std::move(stored);
    storedMi1_ = mi1.number();
    storedMi2_ = mi2.number();
    texts_.assign(n, {});
    counts_.assign(n, {});
    unreadableCells_.assign(n, {});
    unreadable_ = 0;
    columnSums_ = {};
    undo_.clear();
    for (std::size_t i = 0; i < n; ++i) {
        const Proposition& p = stored_[i];
        texts_[i][kTextCell] = shownText(p.text.toText().value_or(""));
        // A row whose stored total reads as no answer shows empty counts, which count 0.
        const bool answered = core::LeadingNumber(storedTotalText(static_cast<int>(i))) > 0;
        for (int j = 0; j < store::kLikertPoints; ++j) {
            std::string& cell = texts_[i][j + 1];
            if (!p.readable(j)) {
                cell = core::FormatGeneral(p.stored[j], locale_);
                unreadableCells_[i][j] = true;
                ++unreadable_;
                continue;
            }
            if (answered) cell = core::FormatNumber(p.stored[j], "#00", locale_);
            counts_[i][j] = core::CountFromText(cell, locale_).value_or(0);
            columnSums_[j] += counts_[i][j];
        }
    }
    follow();
}

const std::string& LikertSheet::text(int row, int cell) const {
    return texts_[static_cast<std::size_t>(row)][static_cast<std::size_t>(cell)];
}

bool LikertSheet::readable(int row, int point) const {
    return !unreadableCells_[static_cast<std::size_t>(row)][point - 1];
}

double LikertSheet::rowTotal(int row) const {
    double total = 0;
    for (const std::int32_t count : counts_[static_cast<std::size_t>(row)]) total += count;
    return total;
}

double LikertSheet::grandTotal() const {
    double total = 0;
    for (const double sum : columnSums_) total += sum;
    return total;
}

std::string LikertSheet::storedTotalText(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= stored_.size()) return {};
    double total = 0;
    for (const double count : stored_[static_cast<std::size_t>(row)].stored) total += count;
    std::string text = core::FormatGeneral(total, locale_);
    if (core::LeadingNumber(text) == 0) text.clear();
    return text;
}

core::LikertTexts LikertSheet::evidenceTexts() const {
    return core::FormatLikertEvidence(evidence_, locale_);
}

bool LikertSheet::degreesStale() const {
    return factor_ > 0 && (storedMi1_ != degrees_.Mi1 || storedMi2_ != degrees_.Mi2);
}

std::optional<core::AnswerSpread> LikertSheet::unevenAnswers() const {
    return core::UnevenAnswers(counts_);
}

bool LikertSheet::type(int row, int cell, int keyAscii) {
    if (row < 0 || row >= rows() || cell < 0 || cell >= kCells) return false;
    // As in a spreadsheet, a digit typed into a count cell just reached replaces it.
    const bool replaces = cell != kTextCell && fresh_ && keyAscii != kBackspace;
    const std::string& before = text(row, cell);
    std::optional<std::string> after =
        typed(replaces ? std::string() : before, keyAscii, cell != kTextCell, locale_);
    if (!after) return false;
    fresh_ = false;
    if (*after == before) return false;
    undo_.push_back({row, cell, before, std::nullopt});
    if (undo_.size() > kUndoSteps) undo_.pop_front();
    edit(row, cell, std::move(*after));
    return true;
}

// The pooled evidence of all propositions: with whole counts, that of one row holding the
// column sums.
void LikertSheet::follow() {
    evidence_ = core::ComputeLikertEvidence(std::span(&columnSums_, 1));
    degrees_ = core::DegreesToStore(evidence_);
}

void LikertSheet::edit(int row, int cell, std::string text) {
    const std::size_t i = static_cast<std::size_t>(row);
    texts_[i][static_cast<std::size_t>(cell)] = std::move(text);
    if (cell == kTextCell) return;
    const int j = cell - 1;
    if (unreadableCells_[i][j]) {
        unreadableCells_[i][j] = false;
        --unreadable_;
    }
    const std::int32_t count = core::CountFromText(texts_[i][cell], locale_).value_or(0);
    columnSums_[j] += static_cast<double>(count) - counts_[i][j];
    counts_[i][j] = count;
    follow();
}

// The degrees to write with the counts: those the counts give, when they differ from the
// stored ones. Counts the sheet cannot read give no degrees: the stored ones stay.
std::optional<core::StoredDegrees> LikertSheet::degreesToWrite() const {
    if (factor_ == 0 || !everyCountReadable()) return std::nullopt;
    if (storedMi1_ == degrees_.Mi1 && storedMi2_ == degrees_.Mi2) return std::nullopt;
    return degrees_;
}

void LikertSheet::keepDegrees(const std::optional<core::StoredDegrees>& written) {
    if (!written) return;
    storedMi1_ = written->Mi1;
    storedMi2_ = written->Mi2;
}

std::optional<LikertSheet::CountWrite> LikertSheet::countToStore(int row, int point) const {
    const std::size_t i = static_cast<std::size_t>(row);
    if (factor_ == 0 || row < 0 || i >= stored_.size()) return std::nullopt;
    const std::int32_t count = counts_[i][point - 1];
    if (stored_[i].stored[point - 1] == count) return std::nullopt;
    return CountWrite{row, stored_[i].key, point, count, degreesToWrite()};
}

void LikertSheet::stored(const CountWrite& write) {
    stored_[static_cast<std::size_t>(write.row)].stored[write.point - 1] = write.count;
    keepDegrees(write.degrees);
}

LikertSheet::Changes LikertSheet::changes() const {
    Changes changes{{}, degreesToWrite()};
    for (std::size_t i = 0; i < stored_.size(); ++i) {
        const Proposition& p = stored_[i];
        PropositionChange change{p.key, std::nullopt, {}};
        // A NULL or a number stored as the text stays as it is while the text reads the same.
        const std::string& text = texts_[i][kTextCell];
        if (p.text.toText().value_or("") != text) change.text = store::Value(text);
        for (int j = 0; j < store::kLikertPoints; ++j) {
            const std::int32_t count = counts_[i][j];
            if (!unreadableCells_[i][j] && count != p.stored[j])
                change.counts.emplace_back(j + 1, count);
        }
        if (change.text || !change.counts.empty())
            changes.propositions.push_back(std::move(change));
    }
    return changes;
}

void LikertSheet::stored(const Changes& changes) {
    std::size_t i = 0;
    for (const PropositionChange& change : changes.propositions) {
        while (i < stored_.size() && stored_[i].key != change.key) ++i;
        if (i == stored_.size()) break;
        if (change.text) stored_[i].text = *change.text;
        for (const auto& [point, count] : change.counts) stored_[i].stored[point - 1] = count;
    }
    keepDegrees(changes.degrees);
}

const FactorSnapshot* LikertSheet::importToUndo() const {
    if (undo_.empty() || !undo_.back().beforeImport) return nullptr;
    return &*undo_.back().beforeImport;
}

std::pair<int, int> LikertSheet::undoKey() {
    UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    edit(step.row, step.cell, std::move(step.before));
    return {step.row, step.cell};
}

void LikertSheet::importedOver(FactorSnapshot before) {
    undo_.push_back({0, 0, std::string(), std::move(before)});
}

}  // namespace vpl::decision

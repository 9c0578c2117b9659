#include "survey/survey_import.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "core/translated.h"
#include "survey/workbook.h"

namespace vpl::core {

namespace {

// A sheet's rows counted as the rows of a CSV file are.
class RowsCounted : public SheetRows {
  public:
    explicit RowsCounted(SurveyStream& stream) : stream_(stream) {}
    void row(int, std::span<const std::string_view> cells) override { stream_.record(cells); }

  private:
    SurveyStream& stream_;
};

bool namedAsWorkbook(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".xlsx" || extension == ".xlsm";
}

SurveyFile readExport(const std::filesystem::path& file, const std::string& sheet) {
    // What is no regular file is refused as ReadSurveyFile refuses it, whatever its name.
    std::error_code error;
    if (KindOfFile(file) == FileKind::Text &&
        (!namedAsWorkbook(file) || !std::filesystem::is_regular_file(file, error)))
        return ReadSurveyFile(file);
    SurveyStream stream;
    RowsCounted rows(stream);
    const std::string read = ReadSheet(file, sheet, rows);
    try {
        SurveyFile survey = stream.finish();
        survey.sheet = read;
        return survey;
    } catch (SurveyError& e) {
        e.read.sheet = read;
        throw;
    }
}

bool looksLikeAToolValue(std::string_view text) {
    // A date, a time or an e-mail address: what a tool writes, never an answer code.
    return text.find('@') != std::string_view::npos ||
           (text.size() >= 5 && text.find_first_of("/:") != std::string_view::npos &&
            std::isdigit(static_cast<unsigned char>(text.front())));
}

// A code's prefix and number: "AO03" is "AO" and 3; nothing without digits at its end.
std::optional<std::pair<std::string_view, int>> numberedCode(std::string_view code) {
    std::size_t digits = code.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(code[digits - 1]))) --digits;
    if (digits == code.size() || code.size() - digits > 6) return std::nullopt;
    int n = 0;
    for (const char c : code.substr(digits)) n = n * 10 + (c - '0');
    return std::pair(code.substr(0, digits), n);
}

int pointOfCode(const CodeMap& codes, const ColumnValue& value, bool& assigned) {
    for (const auto& [code, point] : codes)
        if (code == value.text) {
            assigned = true;
            return point;
        }
    assigned = value.point != 0;
    return value.point;
}

}  // namespace

SurveyFile ReadSurveyExport(const std::filesystem::path& file, const std::string& sheet) {
    try {
        return readExport(file, sheet);
    } catch (const SurveyError& e) {
        if (e.reason == SurveyError::Reason::NoPropositions &&
            std::any_of(e.read.columns.begin(), e.read.columns.end(),
                        [](const SurveyColumn& c) { return HoldsCodes(c); }))
            return e.read;
        throw;
    }
}

// A code as tools write them: short, without blanks, with a number in it (A1, AO01, -99).
bool looksLikeACode(std::string_view text) {
    return text.size() <= 10 && text.find_first_of(" \t") == std::string_view::npos &&
           std::any_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool HoldsCodes(const SurveyColumn& column) {
    if (column.toolField || column.moreValues || column.values.size() < 2) return false;
    int filled = 0, offScale = 0;
    std::vector<std::string> texts;
    for (const ColumnValue& v : column.values) {
        if (v.point == 0 && (looksLikeAToolValue(v.text) || !looksLikeACode(v.text)))
            return false;
        filled += v.count;
        offScale += v.point == 0 ? v.count : 0;
        texts.push_back(v.text);
    }
    if (offScale == 0) return false;
    // Mostly off the scale, or codes in an order of their own whose numbers are partly the
    // scale's (0 .. 4).
    return 2 * offScale >= filled || ProposedCodes(texts).has_value();
}

bool HoldsCodes(const SurveyFile& file, int column) {
    return std::any_of(file.columns.begin(), file.columns.end(), [&](const SurveyColumn& c) {
        return c.column == column && HoldsCodes(c);
    });
}

std::vector<std::string> AnswerCodes(const SurveyFile& file) {
    std::vector<std::string> codes;
    for (const SurveyColumn& c : file.columns) {
        if (!HoldsCodes(c)) continue;
        for (const ColumnValue& v : c.values)
            if (std::find(codes.begin(), codes.end(), v.text) == codes.end())
                codes.push_back(v.text);
    }
    return codes;
}

std::optional<CodeMap> ProposedCodes(const std::vector<std::string>& codes) {
    if (codes.size() != store::kLikertPoints) return std::nullopt;
    std::vector<std::pair<int, std::string>> numbered;
    std::optional<std::string_view> prefix;
    for (const std::string& code : codes) {
        const auto n = numberedCode(code);
        if (!n || (prefix && *prefix != n->first)) return std::nullopt;
        prefix = n->first;
        numbered.emplace_back(n->second, code);
    }
    std::sort(numbered.begin(), numbered.end());
    for (std::size_t i = 1; i < numbered.size(); ++i)
        if (numbered[i].first != numbered[i - 1].first + 1) return std::nullopt;
    CodeMap map;
    for (std::size_t i = 0; i < numbered.size(); ++i)
        map.emplace_back(numbered[i].second, static_cast<int>(i) + 1);
    return map;
}

std::vector<ImportItem> ImportItems(const SurveyFile& file, const CodeMap& codes) {
    std::vector<ImportItem> items;
    if (file.layout == SurveyLayout::Counts) {
        for (std::size_t i = 0; i < file.propositions.size(); ++i)
            items.push_back({static_cast<int>(i) + 1, file.propositions[i].text, {},
                             file.propositions[i].counts, false});
        return items;
    }
    for (const SurveyColumn& c : file.columns) {
        const bool coded = HoldsCodes(c);
        if (!coded && c.proposition < 0) continue;
        ImportItem item{c.column, c.heading, c.group, {}, coded};
        if (!coded) {
            item.counts = file.propositions[static_cast<std::size_t>(c.proposition)].counts;
        } else {
            for (const ColumnValue& v : c.values) {
                bool assigned = false;
                const int point = pointOfCode(codes, v, assigned);
                if (point >= 1 && point <= store::kLikertPoints) item.counts[point - 1] += v.count;
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

ImportChoices DefaultChoices(const SurveyFile& file, int factor) {
    ImportChoices choices;
    if (std::optional<CodeMap> proposed = ProposedCodes(AnswerCodes(file)))
        choices.codes = std::move(*proposed);
    for (const ImportItem& item : ImportItems(file, choices.codes))
        choices.items.push_back({item.key, factor, false});
    return choices;
}

std::vector<std::string> UnassignedCodes(const SurveyFile& file, const ImportChoices& choices) {
    std::vector<std::string> missing;
    for (const SurveyColumn& c : file.columns) {
        if (!HoldsCodes(c)) continue;
        const auto chosen = std::find_if(choices.items.begin(), choices.items.end(),
                                         [&](const ItemChoice& i) { return i.key == c.column; });
        if (chosen == choices.items.end() || chosen->factor == 0) continue;
        for (const ColumnValue& v : c.values) {
            bool assigned = false;
            pointOfCode(choices.codes, v, assigned);
            if (!assigned && std::find(missing.begin(), missing.end(), v.text) == missing.end())
                missing.push_back(v.text);
        }
    }
    return missing;
}

LikertCounts Reversed(const LikertCounts& counts) {
    LikertCounts reversed{};
    for (std::size_t j = 0; j < counts.size(); ++j) reversed[counts.size() - 1 - j] = counts[j];
    return reversed;
}

const char* ReversedMark(Language language) {
    static constexpr Translated kMark{"reversedMark", " (invertido)", " (reversed)",
                                      " (invertida)"};
    return TextIn(kMark, language);
}

std::vector<FactorImport> FactorsToImport(const SurveyFile& file, const ImportChoices& choices,
                                          Language language) {
    std::map<int, FactorImport> factors;
    for (const ImportItem& item : ImportItems(file, choices.codes)) {
        const auto chosen = std::find_if(choices.items.begin(), choices.items.end(),
                                         [&](const ItemChoice& i) { return i.key == item.key; });
        if (chosen == choices.items.end() || chosen->factor < 1 ||
            chosen->factor > store::kFactorSlots)
            continue;
        FactorImport& f = factors[chosen->factor];
        f.factor = chosen->factor;
        f.title = choices.titles[static_cast<std::size_t>(chosen->factor - 1)];
        SurveyProposition p{item.text, chosen->reversed ? Reversed(item.counts) : item.counts};
        if (chosen->reversed && choices.markReversed) p.text += ReversedMark(language);
        f.propositions.push_back(std::move(p));
    }
    std::vector<FactorImport> list;
    for (auto& [number, f] : factors) {
        const int n = static_cast<int>(f.propositions.size());
        if (n > store::kPropositionRows)
            throw SurveyError(SurveyError::Reason::TooManyPropositions, n);
        list.push_back(std::move(f));
    }
    return list;
}

std::string SurveyHeaderKey(const SurveyFile& file) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    const auto add = [&](std::string_view text) {
        for (const char c : text) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3ull;
        }
        hash ^= 0x1f;
        hash *= 0x100000001b3ull;
    };
    add(file.layout == SurveyLayout::Counts ? "counts" : "responses");
    if (file.layout == SurveyLayout::Counts)
        for (const SurveyProposition& p : file.propositions) add(p.text);
    for (const SurveyColumn& c : file.columns) add(c.heading);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace vpl::core

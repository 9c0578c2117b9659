#include "likert/survey_file.h"

#include <csv.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>

namespace vpl::core {

SurveyError::SurveyError(Reason reason, int propositions)
    : std::runtime_error("survey file gives nothing to import"),
      reason(reason),
      propositions(propositions) {}

namespace {

// ---- Text encoding -------------------------------------------------------------------

bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII, the bulk of any export, eight bytes at a time.
        if (i + 8 <= bytes.size()) {
            std::uint64_t eight;
            std::memcpy(&eight, bytes.data() + i, 8);
            if ((eight & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(bytes[i]);
        const int extra = c < 0x80           ? 0
                          : (c >> 5) == 0x6  ? 1
                          : (c >> 4) == 0xE  ? 2
                          : (c >> 3) == 0x1E ? 3
                                             : -1;
        if (extra < 0 || (extra == 1 && c < 0xC2) || i + extra >= bytes.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += 1 + extra;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F; its five unassigned bytes keep
// their own code points.
std::string fromWindows1252(std::string_view bytes) {
    static constexpr char16_t k80to9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c >= 0x80 && c <= 0x9F ? k80to9F[c - 0x80] : c);
    }
    return out;
}

// ---- Cells ---------------------------------------------------------------------------

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A count as a survey tool writes it: digits only.
std::optional<std::int32_t> wholeCount(std::string_view cell) {
    cell = trimmed(cell);
    if (cell.empty() || cell.size() > 10) return std::nullopt;
    std::int64_t n = 0;
    for (const char c : cell) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

// Lower case without accents and with single blanks, for comparing the scale's words;
// empty when the text is longer than any of them.
std::string_view folded(std::string_view text, std::span<char> buffer) {
    // The Latin-1 letters U+00C0 to U+00FF (UTF-8 C3 80 to C3 BF) without their accents.
    static constexpr char kBase[] =
        "aaaaaaaceeeeiiiidnooooo*ouuuuyts"
        "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    std::size_t length = 0;
    bool blank = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[++i]);
            c = next >= 0x80 && next <= 0xBF ? kBase[next - 0x80] : '?';
        }
        if (c == ' ' || c == '\t') {
            blank = length > 0;
            continue;
        }
        if (length + 2 > buffer.size()) return {};
        if (blank) buffer[length++] = ' ';
        blank = false;
        buffer[length++] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return {buffer.data(), length};
}

}  // namespace

int LikertPointOf(std::string_view cell) {
    cell = trimmed(cell);
    if (cell.size() == 1 && cell[0] >= '1' && cell[0] <= '5') return cell[0] - '0';
    static constexpr std::pair<std::string_view, int> kWords[] = {
        {"dt", 1},
        {"discordo totalmente", 1},
        {"strongly disagree", 1},
        {"totalmente en desacuerdo", 1},
        {"muy en desacuerdo", 1},
        {"d", 2},
        {"discordo", 2},
        {"discordo parcialmente", 2},
        {"disagree", 2},
        {"en desacuerdo", 2},
        {"i", 3},
        {"indiferente", 3},
        {"indeciso", 3},
        {"neutro", 3},
        {"nem concordo nem discordo", 3},
        {"neutral", 3},
        {"undecided", 3},
        {"neither agree nor disagree", 3},
        {"ni de acuerdo ni en desacuerdo", 3},
        {"c", 4},
        {"concordo", 4},
        {"concordo parcialmente", 4},
        {"agree", 4},
        {"de acuerdo", 4},
        {"ct", 5},
        {"concordo totalmente", 5},
        {"strongly agree", 5},
        {"totalmente de acuerdo", 5},
        {"muy de acuerdo", 5},
    };
    std::array<char, 40> buffer;  // longer than any of the words
    const std::string_view word = folded(cell, buffer);
    for (const auto& [text, point] : kWords)
        if (word == text) return point;
    return 0;
}

namespace {

// ---- Layouts ---------------------------------------------------------------------------

constexpr int kPoints = store::kLikertPoints;
constexpr std::size_t kTotalColumn = kPoints + 1;

// The delimiter that splits the first record most often outside quotes; comma on a tie.
char detectDelimiter(std::string_view text) {
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') break;
        comma += c == ',';
        semicolon += c == ';';
        tab += c == '\t';
    }
    if (semicolon > comma && semicolon >= tab) return ';';
    if (tab > comma && tab > semicolon) return '\t';
    return ',';
}

bool blankRow(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return trimmed(f).empty(); });
}

std::string_view cellAt(const std::vector<std::string>& fields, std::size_t column) {
    return column < fields.size() ? std::string_view(fields[column]) : std::string_view();
}

// The first record decides the layout: counts when its cells 2 to 6 are counts (a
// proposition row) or name the five points in order (a heading); anything else is the
// heading of a responses file.
enum class FirstRow { CountsData, CountsHeading, ResponsesHeading };

FirstRow classifyFirstRow(const std::vector<std::string>& fields) {
    bool counts = true, heading = true, anyCount = false;
    for (int j = 1; j <= kPoints; ++j) {
        const std::string_view cell = trimmed(cellAt(fields, static_cast<std::size_t>(j)));
        anyCount = anyCount || !cell.empty();
        counts = counts && (cell.empty() || wholeCount(cell));
        heading = heading && LikertPointOf(cell) == j && !wholeCount(cell);
    }
    if (counts && anyCount) return FirstRow::CountsData;
    if (heading) return FirstRow::CountsHeading;
    return FirstRow::ResponsesHeading;
}

// One answer column of a responses file while the rows go by.
struct ResponseColumn {
    std::string heading;
    LikertCounts counts{};
    int understood = 0;
    std::vector<UnreadCell> unread;
};

class SurveyReader {
  public:
    explicit SurveyReader(char delimiter) { result_.delimiter = delimiter; }

    // libcsv hands over one field, then the end of its record.
    void field(std::string_view text) {
        if (layout_ == Layout::Responses) {
            answer(column_, text);
        } else {
            fields_.emplace_back(text);
        }
        ++column_;
    }

    void endRecord() {
        ++row_;
        if (layout_ == Layout::Undecided)
            decideLayout();
        else if (layout_ == Layout::Counts)
            countsRow();
        else if (rowHasAnswer_)
            ++result_.rowsRead;
        fields_.clear();
        column_ = 0;
        rowHasAnswer_ = false;
    }

    SurveyFile finish() {
        if (layout_ == Layout::Responses) collectResponseColumns();
        const int n = static_cast<int>(result_.propositions.size());
        if (n == 0) throw SurveyError(SurveyError::Reason::NoPropositions, 0);
        if (n > store::kPropositionRows)
            throw SurveyError(SurveyError::Reason::TooManyPropositions, n);
        return std::move(result_);
    }

  private:
    enum class Layout { Undecided, Counts, Responses };

    void decideLayout() {
        if (blankRow(fields_)) {
            --row_;  // not a record worth a number: the first real one is row 1
            return;
        }
        switch (classifyFirstRow(fields_)) {
            case FirstRow::CountsData:
                layout_ = Layout::Counts;
                countsRow();
                break;
            case FirstRow::CountsHeading:
                layout_ = Layout::Counts;
                break;
            case FirstRow::ResponsesHeading:
                layout_ = Layout::Responses;
                result_.layout = SurveyLayout::Responses;
                for (std::string& heading : fields_)
                    columns_.push_back({std::string(trimmed(heading)), {}, 0, {}});
                break;
        }
    }

    void countsRow() {
        if (blankRow(fields_)) return;
        SurveyProposition p{std::string(trimmed(cellAt(fields_, 0))), {}};
        std::int64_t sum = 0;
        for (int j = 1; j <= kPoints; ++j) {
            const std::string_view cell = trimmed(cellAt(fields_, static_cast<std::size_t>(j)));
            if (cell.empty()) continue;
            if (const std::optional<std::int32_t> n = wholeCount(cell)) {
                p.counts[j - 1] = *n;
                sum += *n;
            } else {
                unread(j, cell);
            }
        }
        const std::string_view total = trimmed(cellAt(fields_, kTotalColumn));
        if (!total.empty() && wholeCount(total) != sum)
            result_.totals.push_back({row_, std::string(total), sum});
        for (std::size_t c = kTotalColumn + 1; c < fields_.size(); ++c)
            if (!trimmed(fields_[c]).empty()) unread(static_cast<int>(c), fields_[c]);
        result_.propositions.push_back(std::move(p));
        ++result_.rowsRead;
    }

    void unread(int column, std::string_view text) {
        result_.unread.push_back({row_, column + 1, std::string(trimmed(text))});
    }

    void answer(std::size_t column, std::string_view text) {
        text = trimmed(text);
        if (text.empty()) return;
        rowHasAnswer_ = true;
        if (column >= columns_.size()) columns_.resize(column + 1);
        ResponseColumn& c = columns_[column];
        if (const int point = pointOf(text)) {
            ++c.counts[point - 1];
            ++c.understood;
        } else {
            // row_ counts finished records: this cell's record is the next one.
            c.unread.push_back({row_ + 1, static_cast<int>(column) + 1, std::string(text)});
        }
    }

    // Answer columns are those where most filled cells are answers; before the first of
    // them (a timestamp, an e-mail) and wherever nothing is understood, columns are
    // skipped. An unanswered column among the answers is a proposition without answers.
    void collectResponseColumns() {
        bool answersBegan = false;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            ResponseColumn& column = columns_[c];
            const int notUnderstood = static_cast<int>(column.unread.size());
            const bool empty = column.understood == 0 && notUnderstood == 0;
            const bool answers = column.understood > notUnderstood ||
                                 (empty && answersBegan && !column.heading.empty());
            if (!answers) {
                if (!empty || !column.heading.empty())
                    result_.skippedColumns.push_back({1, static_cast<int>(c) + 1, column.heading});
                continue;
            }
            answersBegan = true;
            result_.propositions.push_back({column.heading, column.counts});
            result_.unread.insert(result_.unread.end(), column.unread.begin(), column.unread.end());
        }
        std::sort(result_.unread.begin(), result_.unread.end(),
                  [](const UnreadCell& a, const UnreadCell& b) {
                      return std::pair(a.row, a.column) < std::pair(b.row, b.column);
                  });
    }

    // An export repeats a handful of answer texts: each is worded out once.
    int pointOf(std::string_view text) {
        if (const auto known = points_.find(text); known != points_.end()) return known->second;
        const int point = LikertPointOf(text);
        if (points_.size() < kKnownTexts) points_.emplace(text, point);
        return point;
    }

    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    static constexpr std::size_t kKnownTexts = 256;
    std::unordered_map<std::string, int, TextHash, std::equal_to<>> points_;

    SurveyFile result_;
    Layout layout_ = Layout::Undecided;
    int row_ = 0;  // records finished so far
    std::size_t column_ = 0;
    bool rowHasAnswer_ = false;
    std::vector<std::string> fields_;
    std::vector<ResponseColumn> columns_;
};

// libcsv trims blanks and tabs around unquoted fields; in a tab-delimited file only blanks.
int blankIsSpace(unsigned char c) {
    return c == ' ';
}

}  // namespace

SurveyFile ReadSurvey(std::string_view bytes) {
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    std::string converted;
    if (!isUtf8(bytes)) {
        converted = fromWindows1252(bytes);
        bytes = converted;
    }
    const char delimiter = detectDelimiter(bytes);
    SurveyReader reader(delimiter);

    csv_parser parser;
    if (csv_init(&parser, 0) != 0) throw SurveyError(SurveyError::Reason::NotCsv, 0);
    csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
    if (delimiter == '\t') csv_set_space_func(&parser, blankIsSpace);
    const auto onField = [](void* text, std::size_t length, void* self) {
        static_cast<SurveyReader*>(self)->field(
            std::string_view(static_cast<const char*>(text), text ? length : 0));
    };
    const auto onRecord = [](int, void* self) { static_cast<SurveyReader*>(self)->endRecord(); };
    const bool parsed = csv_parse(&parser, bytes.data(), bytes.size(), onField, onRecord,
                                  &reader) == bytes.size() &&
                        csv_fini(&parser, onField, onRecord, &reader) == 0;
    csv_free(&parser);
    if (!parsed) throw SurveyError(SurveyError::Reason::NotCsv, 0);
    return reader.finish();
}

std::string CsvRecord(std::span<const std::string> cells) {
    std::string record;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) record += ',';
        const std::string& cell = cells[i];
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            record += cell;
            continue;
        }
        // At worst every character is a quote, doubled, between the two enclosing ones.
        std::string quoted(2 * cell.size() + 2, '\0');
        quoted.resize(csv_write(quoted.data(), quoted.size(), cell.data(), cell.size()));
        record += quoted;
    }
    return record + "\r\n";
}

std::array<std::string, 1 + store::kLikertPoints> CountsHeading() {
    return {"Proposição", "DT", "D", "I", "C", "CT"};
}

std::string WriteCountsCsv(std::span<const SurveyProposition> propositions) {
    const auto heading = CountsHeading();
    std::string csv = CsvRecord(heading);
    for (const SurveyProposition& p : propositions) {
        std::vector<std::string> cells{p.text};
        for (const std::int32_t count : p.counts) cells.push_back(std::to_string(count));
        csv += CsvRecord(cells);
    }
    return csv;
}

}  // namespace vpl::core

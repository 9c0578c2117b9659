#include "survey/survey_file.h"

#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <numeric>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>

namespace vpl::core {

SurveyError::SurveyError(Reason reason, int propositions, SurveyFile read)
    : std::runtime_error("survey file gives nothing to import"),
      reason(reason),
      propositions(propositions),
      read(std::move(read)) {}

SurveyFileError::SurveyFileError(Reason reason, const std::string& what)
    : std::runtime_error(what), reason(reason) {}

std::string ReadSurveyBytes(const std::filesystem::path& file, std::uint64_t limit) {
    using Reason = SurveyFileError::Reason;
    // Non-blocking, so that a FIFO without a writer opens at once and is then refused.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw SurveyFileError(Reason::CannotOpen, std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) throw SurveyFileError(Reason::CannotRead, std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        throw SurveyFileError(Reason::NotARegularFile,
                              S_ISDIR(status.st_mode)
                                  ? "it is a folder, not a file"
                                  : "it is not a regular file (a device, a FIFO or a socket)");
    const auto tooLarge = [&] {
        return SurveyFileError(Reason::TooLarge, "it is larger than " +
                                                     std::to_string(limit >> 20) +
                                                     " MiB, more than any survey export");
    };
    if (static_cast<std::uint64_t>(status.st_size) > limit) throw tooLarge();
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t size = 0;
    for (;;) {
        // One byte more than the file held, to see that it ends there, or grew.
        if (size == bytes.size()) bytes.resize(std::min<std::uint64_t>(limit + 1, size + 4096));
        const ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw SurveyFileError(Reason::CannotRead, std::strerror(errno));
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
        if (size > limit) throw tooLarge();
    }
    bytes.resize(size);
    return bytes;
}

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

// A text that a spreadsheet would run as a formula, or that is one after apostrophes: the
// latter keep an apostrophe of their own, so that taking one off always gives the text back.
bool startsAFormula(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\'');
    return first != std::string_view::npos &&
           std::string_view("=+-@\t\r").find(text[first]) != std::string_view::npos;
}

// A cell as it was before CsvRecord marked it.
std::string_view withoutFormulaMark(std::string_view cell) {
    if (cell.starts_with('\'') && startsAFormula(cell.substr(1))) cell.remove_prefix(1);
    return cell;
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

// The character text[i] stands for when words are compared: lower case, and the Latin-1
// letters U+00C0 to U+00FF (UTF-8 C3 80 to C3 BF) without their accents. Moves i past it.
char foldedAt(std::string_view text, std::size_t& i) {
    static constexpr char kBase[] =
        "aaaaaaaceeeeiiiidnooooo*ouuuuyts"
        "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    char c = text[i++];
    if (static_cast<unsigned char>(c) == 0xC3 && i < text.size()) {
        const auto next = static_cast<unsigned char>(text[i++]);
        c = next >= 0x80 && next <= 0xBF ? kBase[next - 0x80] : '?';
    }
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Folded, with punctuation read as a blank and single blanks, for comparing the scale's
// words ("Nem concordo, nem discordo"); empty when the text is longer than any of them.
std::string_view folded(std::string_view text, std::span<char> buffer) {
    std::size_t length = 0;
    bool blank = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = foldedAt(text, i);
        if (c == ' ' || c == '\t' || c == ',' || c == '.' || c == ';' || c == ':' || c == '!') {
            blank = length > 0;
            continue;
        }
        if (length + 2 > buffer.size()) return {};
        if (blank) buffer[length++] = ' ';
        blank = false;
        buffer[length++] = c;
    }
    return {buffer.data(), length};
}

// Folded letters and digits only, so that "Última página", "E-mail" and "start_date" are
// one name however a tool spells them; empty when longer than the buffer.
std::string_view compacted(std::string_view text, std::span<char> buffer) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = foldedAt(text, i);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) continue;
        if (length == buffer.size()) return {};
        buffer[length++] = c;
    }
    return {buffer.data(), length};
}

int pointOfWords(std::string_view text) {
    static constexpr std::pair<std::string_view, int> kWords[] = {
        {"dt", 1},
        {"discordo totalmente", 1},
        {"discordo plenamente", 1},
        {"discordo fortemente", 1},
        {"discordo completamente", 1},
        {"strongly disagree", 1},
        {"totally disagree", 1},
        {"completely disagree", 1},
        {"totalmente en desacuerdo", 1},
        {"completamente en desacuerdo", 1},
        {"muy en desacuerdo", 1},
        {"d", 2},
        {"discordo", 2},
        {"discordo parcialmente", 2},
        {"discordo em parte", 2},
        {"disagree", 2},
        {"somewhat disagree", 2},
        {"en desacuerdo", 2},
        {"parcialmente en desacuerdo", 2},
        {"algo en desacuerdo", 2},
        {"i", 3},
        {"indiferente", 3},
        {"indeciso", 3},
        {"neutro", 3},
        {"nem concordo nem discordo", 3},
        {"nao concordo nem discordo", 3},
        {"neutral", 3},
        {"undecided", 3},
        {"neither agree nor disagree", 3},
        {"neither agree or disagree", 3},
        {"ni de acuerdo ni en desacuerdo", 3},
        {"ni acuerdo ni desacuerdo", 3},
        {"c", 4},
        {"concordo", 4},
        {"concordo parcialmente", 4},
        {"concordo em parte", 4},
        {"agree", 4},
        {"somewhat agree", 4},
        {"de acuerdo", 4},
        {"parcialmente de acuerdo", 4},
        {"algo de acuerdo", 4},
        {"ct", 5},
        {"concordo totalmente", 5},
        {"concordo plenamente", 5},
        {"concordo fortemente", 5},
        {"concordo completamente", 5},
        {"strongly agree", 5},
        {"totally agree", 5},
        {"completely agree", 5},
        {"totalmente de acuerdo", 5},
        {"completamente de acuerdo", 5},
        {"muy de acuerdo", 5},
    };
    std::array<char, 40> buffer;  // longer than any of the words
    const std::string_view word = folded(text, buffer);
    for (const auto& [words, point] : kWords)
        if (word == words) return point;
    return 0;
}

// A numbered label, "5 - Concordo totalmente", "1. Discordo", "3) Neutral": its number and
// the words after it; no words when the cell is not one.
std::pair<int, std::string_view> numberedLabel(std::string_view cell) {
    std::size_t i = 0;
    int number = 0;
    while (i < cell.size() && i < 2 && cell[i] >= '0' && cell[i] <= '9')
        number = number * 10 + (cell[i++] - '0');
    if (i == 0) return {0, {}};
    const std::size_t digits = i;
    const auto skipBlanks = [&] {
        while (i < cell.size() && (cell[i] == ' ' || cell[i] == '\t')) ++i;
    };
    skipBlanks();
    bool separated = i > digits;
    for (const std::string_view mark : {"-", ".", ")", ":", "=", "\xE2\x80\x93", "\xE2\x80\x94"})
        if (cell.substr(i).starts_with(mark)) {
            i += mark.size();
            separated = true;
            break;
        }
    skipBlanks();
    if (!separated || i == cell.size()) return {0, {}};
    const auto first = static_cast<unsigned char>(cell[i]);
    const bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') ||
                        first == 0xC3;  // an accented Latin-1 letter
    if (!letter) return {0, {}};
    return {number, cell.substr(i)};
}

}  // namespace

int LikertPointOf(std::string_view cell) {
    cell = trimmed(cell);
    if (cell.size() == 1 && cell[0] >= '1' && cell[0] <= '5') return cell[0] - '0';
    if (const int point = pointOfWords(cell)) return point;
    const auto [number, words] = numberedLabel(cell);
    if (words.empty()) return 0;
    if (const int point = pointOfWords(words)) return point;
    return number >= 1 && number <= store::kLikertPoints ? number : 0;
}

namespace {

// ---- What a column holds ---------------------------------------------------------------

// What a cell that is not an answer holds. A survey tool writes dates and times, e-mail
// addresses and numbers (ids, seeds, pages) into its own fields; a respondent's answer is
// none of them.
enum class CellKind { Date, Email, Number, Text, Count /* how many kinds */ };

// Moves i past at most `most` digits; how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& i, std::size_t most) {
    const std::size_t from = i;
    while (i < text.size() && i - from < most && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
}

// A date (2026/11/02, 02-11-2026, 2.11.26) or a time (9:14, 10:05:03) at the start.
bool startsWithDateOrTime(std::string_view cell) {
    std::size_t i = 0;
    if (skipDigits(cell, i, 4) == 0 || i == cell.size()) return false;
    const char mark = cell[i++];
    if (mark == ':') return skipDigits(cell, i, 2) == 2;
    if (mark != '/' && mark != '-' && mark != '.') return false;
    if (skipDigits(cell, i, 2) == 0 || i == cell.size() || cell[i++] != mark) return false;
    return skipDigits(cell, i, 4) > 0;
}

bool isEmail(std::string_view cell) {
    const std::size_t at = cell.find('@');
    if (at == 0 || at == std::string_view::npos) return false;
    if (cell.find_first_of(" \t@", at + 1) != std::string_view::npos) return false;
    if (cell.find_first_of(" \t") != std::string_view::npos) return false;
    const std::size_t dot = cell.find('.', at + 2);
    return dot != std::string_view::npos && dot + 1 < cell.size();
}

// 0, 17, -1, 2.5, 1839400381: a number, and since 1 to 5 are answers, one off the scale.
bool isNumber(std::string_view cell) {
    std::size_t i = !cell.empty() && (cell[0] == '-' || cell[0] == '+') ? 1 : 0;
    if (skipDigits(cell, i, cell.size()) == 0) return false;
    if (i < cell.size() && (cell[i] == '.' || cell[i] == ',')) {
        ++i;
        if (skipDigits(cell, i, cell.size()) == 0) return false;
    }
    return i == cell.size();
}

CellKind kindOf(std::string_view cell) {
    if (startsWithDateOrTime(cell)) return CellKind::Date;
    if (isEmail(cell)) return CellKind::Email;
    if (isNumber(cell)) return CellKind::Number;
    return CellKind::Text;
}

// The fields survey tools add to every response (LimeSurvey, Google Forms, Microsoft Forms,
// SurveyMonkey), compacted. They are never statements, whatever they hold: "lastpage" or
// the id of a short survey holds numbers 1 to 5 that would pass for answers.
bool isToolField(std::string_view heading) {
    static constexpr std::string_view kNames[] = {
        // LimeSurvey, under its own codes and its Portuguese and Spanish headings
        "id", "responseid", "iddaresposta", "idresposta", "iddelarespuesta", "submitdate",
        "datadeenvio", "fechadeenvio", "lastpage", "ultimapagina", "startlanguage", "idiomainicial",
        "lenguajeinicial", "idiomadeinicio", "seed", "semente", "semilla", "startdate",
        "datadeinicio", "fechadeinicio", "datestamp", "dataehora", "ipaddr", "enderecoip",
        "direccionip", "refurl", "urldereferencia", "token", "interviewtime", "tempototal",
        // Google Forms and Microsoft Forms
        "timestamp", "carimbo", "carimbodedatahora", "marcatemporal", "email", "emailaddress",
        "enderecodeemail", "direcciondecorreo", "direcciondecorreoelectronico", "correoelectronico",
        "starttime", "completiontime", "horadeinicio", "horadeconclusao", "horadefinalizacion",
        "lastmodifiedtime",
        // SurveyMonkey
        "respondentid", "collectorid", "enddate", "ipaddress"};
    std::array<char, 32> buffer;  // longer than any of the names
    const std::string_view name = compacted(heading, buffer);
    return !name.empty() &&
           std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

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

bool namesThePoints(const std::vector<std::string>& fields, std::size_t from) {
    for (int j = 1; j <= kPoints; ++j) {
        const std::string_view cell = cellAt(fields, from + static_cast<std::size_t>(j) - 1);
        if (LikertPointOf(cell) != j || wholeCount(cell)) return false;
    }
    return true;
}

// The heading of the command line's export of every factor: "Fator", then a counts heading.
bool headsEveryFactor(const std::vector<std::string>& fields) {
    std::array<char, 8> buffer;
    const std::string_view first = compacted(cellAt(fields, 0), buffer);
    return (first == "fator" || first == "factor") && namesThePoints(fields, 2);
}

// A row that numbers its columns: its cells 2 to 6 are 1 to 5, or its filled cells from the
// first number on count up by one, three of them at least ("Hora,1,2,3", "1,2,3,4").
bool numbersColumns(const std::vector<std::string>& fields) {
    bool oneToFive = true;
    for (int j = 1; j <= kPoints; ++j)
        oneToFive = oneToFive && wholeCount(cellAt(fields, static_cast<std::size_t>(j))) == j;
    if (oneToFive) return true;
    const std::size_t first = wholeCount(cellAt(fields, 0)) ? 0 : 1;
    std::size_t end = fields.size();
    while (end > first && trimmed(fields[end - 1]).empty()) --end;
    if (end < first + 3) return false;
    for (std::size_t c = first; c < end; ++c) {
        const std::optional<std::int32_t> n = wholeCount(fields[c]);
        if (!n || (c > first && *n != *wholeCount(fields[c - 1]) + 1)) return false;
    }
    return true;
}

// The first record decides the layout: counts when its cells 2 to 6 are counts (a
// proposition row) or name the five points in order (a heading); anything else is the
// heading of a responses file. Cells 2 to 6 that number the columns are a heading either
// way: statements numbered 1 to 5, or a counts file's points.
enum class FirstRow { CountsData, CountsHeading, NumberedHeading, ResponsesHeading };

FirstRow classifyFirstRow(const std::vector<std::string>& fields) {
    bool counts = true, anyCount = false;
    for (int j = 1; j <= kPoints; ++j) {
        const std::string_view cell = trimmed(cellAt(fields, static_cast<std::size_t>(j)));
        anyCount = anyCount || !cell.empty();
        counts = counts && (cell.empty() || wholeCount(cell));
    }
    if (counts && anyCount)
        return numbersColumns(fields) ? FirstRow::NumberedHeading : FirstRow::CountsData;
    if (namesThePoints(fields, 1)) return FirstRow::CountsHeading;
    return FirstRow::ResponsesHeading;
}

// A numbered heading a counts file may have: a first heading, the points 1 to 5, at most a
// total's heading. With anything more it heads statements.
bool mayHeadCounts(const std::vector<std::string>& fields) {
    const std::string_view first = trimmed(cellAt(fields, 0));
    if (first.empty() || wholeCount(first)) return false;
    for (int j = 1; j <= kPoints; ++j)
        if (wholeCount(cellAt(fields, static_cast<std::size_t>(j))) != j) return false;
    if (wholeCount(cellAt(fields, kTotalColumn))) return false;
    for (std::size_t c = kTotalColumn + 1; c < fields.size(); ++c)
        if (!trimmed(fields[c]).empty()) return false;
    return true;
}

// A row of a counts file: a proposition's text, its counts, at most a total after them.
// `offScale` notes a count no answer could be (0, or above 5).
bool countsShaped(const std::vector<std::string>& fields, bool& offScale) {
    const std::string_view text = trimmed(cellAt(fields, 0));
    if (text.empty() || LikertPointOf(text) != 0 || kindOf(text) != CellKind::Text) return false;
    bool outside = false;
    for (std::size_t c = 1; c < fields.size(); ++c) {
        const std::string_view cell = trimmed(fields[c]);
        if (cell.empty()) continue;
        const std::optional<std::int32_t> n = wholeCount(cell);
        if (c > kTotalColumn || !n) return false;
        outside = outside || (c <= kPoints && (*n == 0 || *n > kPoints));
    }
    offScale = offScale || outside;
    return true;
}

// One answer column of a responses file while the rows go by.
struct ResponseColumn {
    std::string heading;
    bool toolField = false;  // its cells are not looked at
    LikertCounts counts{};
    int answers = 0;
    std::array<int, static_cast<std::size_t>(CellKind::Count)> others{};  // cells by kind
    std::vector<UnreadCell> unread;
};

// What a person would call a statement, the only columns that become propositions: a
// column whose heading is not a survey tool's own field, at least half of whose filled
// cells are answers on the scale, and where what a tool writes (dates, e-mail addresses,
// numbers off the scale) is a stray cell or under a quarter of them. A garbled minority
// keeps the column, its cells listed as not understood. A column nobody filled is a
// statement nobody answered when it has a heading and statements come before it.
std::optional<SkipReason> whyNotAStatement(const ResponseColumn& c, bool afterStatements) {
    if (c.toolField) return SkipReason::ToolField;
    const auto count = [&](CellKind kind) { return c.others[static_cast<std::size_t>(kind)]; };
    const int dates = count(CellKind::Date), emails = count(CellKind::Email),
              numbers = count(CellKind::Number), texts = count(CellKind::Text);
    const int tool = dates + emails + numbers;
    const int filled = c.answers + tool + texts;
    if (filled == 0) {
        if (afterStatements && !c.heading.empty()) return std::nullopt;
        return SkipReason::Empty;
    }
    if (2 * c.answers >= filled && (tool <= 1 || 4 * tool < filled)) return std::nullopt;
    if (tool < texts) return SkipReason::NotAnswers;
    if (dates >= emails && dates >= numbers) return SkipReason::Dates;
    return emails >= numbers ? SkipReason::Emails : SkipReason::Numbers;
}

class SurveyReader {
  public:
    explicit SurveyReader(char delimiter) { result_.delimiter = delimiter; }

    // libcsv hands over one field, then the end of its record.
    void field(std::string_view text) {
        text = withoutFormulaMark(text);
        if (layout_ == Layout::Responses) {
            answer(column_, text, row_ + 1);  // row_ counts finished records
        } else if (layout_ != Layout::EveryFactor) {
            fields_.emplace_back(text);
        }
        ++column_;
    }

    void endRecord() {
        ++row_;
        switch (layout_) {
            case Layout::Undecided:
                decideLayout();
                break;
            case Layout::Numbered:
                numberedRow();
                break;
            case Layout::Counts:
                countsRow(fields_, row_);
                break;
            case Layout::Responses:
                endResponsesRow();
                break;
            case Layout::EveryFactor:
                break;
        }
        fields_.clear();
        column_ = 0;
    }

    SurveyFile finish() {
        if (layout_ == Layout::EveryFactor) throw SurveyError(SurveyError::Reason::EveryFactor, 0);
        if (layout_ == Layout::Numbered) settle(offScale_ ? Layout::Counts : Layout::Responses);
        if (layout_ == Layout::Responses) collectResponseColumns();
        const int n = static_cast<int>(result_.propositions.size());
        if (n == 0) {
            // Respondents' rows without a statement: the columns and why each was skipped.
            SurveyFile read;
            if (layout_ == Layout::Responses && result_.rowsRead > 0) read = std::move(result_);
            throw SurveyError(SurveyError::Reason::NoPropositions, 0, std::move(read));
        }
        if (n > store::kPropositionRows)
            throw SurveyError(SurveyError::Reason::TooManyPropositions, n);
        return std::move(result_);
    }

  private:
    enum class Layout { Undecided, Numbered, Counts, Responses, EveryFactor };

    void decideLayout() {
        if (blankRow(fields_)) {
            --row_;  // not a record worth a number: the first real one is row 1
            return;
        }
        if (headsEveryFactor(fields_)) {
            layout_ = Layout::EveryFactor;
            return;
        }
        switch (classifyFirstRow(fields_)) {
            case FirstRow::CountsData:
                layout_ = Layout::Counts;
                countsRow(fields_, row_);
                break;
            case FirstRow::CountsHeading:
                layout_ = Layout::Counts;
                break;
            case FirstRow::NumberedHeading:
                if (mayHeadCounts(fields_)) {
                    layout_ = Layout::Numbered;
                    heading_ = std::move(fields_);
                    break;
                }
                [[fallthrough]];
            case FirstRow::ResponsesHeading:
                beginResponses(fields_);
                break;
        }
    }

    // Under a heading numbered 1 to 5 the rows wait until one of them is not a counts row
    // (a timestamp, an answer or an id first), or the file ends: counts when some count is
    // one no answer could be, responses otherwise.
    void numberedRow() {
        if (blankRow(fields_) || countsShaped(fields_, offScale_)) {
            waiting_.push_back({row_, std::move(fields_)});
            return;
        }
        settle(Layout::Responses);
        responsesRow(fields_, row_);
    }

    void settle(Layout layout) {
        if (layout == Layout::Counts) {
            layout_ = Layout::Counts;
            for (const auto& [row, fields] : waiting_) countsRow(fields, row);
        } else {
            beginResponses(heading_);
            for (const auto& [row, fields] : waiting_) responsesRow(fields, row);
        }
        waiting_.clear();
        heading_.clear();
    }

    void beginResponses(const std::vector<std::string>& heading) {
        layout_ = Layout::Responses;
        result_.layout = SurveyLayout::Responses;
        for (const std::string& text : heading) {
            ResponseColumn column;
            column.heading = std::string(trimmed(text));
            column.toolField = isToolField(column.heading);
            columns_.push_back(std::move(column));
        }
    }

    void countsRow(const std::vector<std::string>& fields, int row) {
        if (blankRow(fields)) return;
        SurveyProposition p{std::string(trimmed(cellAt(fields, 0))), {}};
        std::int64_t sum = 0;
        for (int j = 1; j <= kPoints; ++j) {
            const std::string_view cell = trimmed(cellAt(fields, static_cast<std::size_t>(j)));
            if (cell.empty()) continue;
            if (const std::optional<std::int32_t> n = wholeCount(cell)) {
                p.counts[j - 1] = *n;
                sum += *n;
            } else {
                unread(row, j, cell);
            }
        }
        const std::string_view total = trimmed(cellAt(fields, kTotalColumn));
        if (!total.empty() && wholeCount(total) != sum)
            result_.totals.push_back({row, std::string(total), sum});
        for (std::size_t c = kTotalColumn + 1; c < fields.size(); ++c)
            if (!trimmed(fields[c]).empty()) unread(row, static_cast<int>(c), fields[c]);
        result_.propositions.push_back(std::move(p));
        ++result_.rowsRead;
    }

    void unread(int row, int column, std::string_view text) {
        result_.unread.push_back({row, column + 1, std::string(trimmed(text))});
    }

    void responsesRow(const std::vector<std::string>& fields, int row) {
        for (std::size_t c = 0; c < fields.size(); ++c) answer(c, fields[c], row);
        endResponsesRow();
    }

    void endResponsesRow() {
        if (rowFilled_) ++result_.rowsRead;
        rowFilled_ = false;
    }

    void answer(std::size_t column, std::string_view text, int row) {
        text = trimmed(text);
        if (text.empty()) return;
        rowFilled_ = true;
        if (column >= columns_.size()) columns_.resize(column + 1);
        ResponseColumn& c = columns_[column];
        if (c.toolField) return;
        if (const int point = pointOf(text)) {
            ++c.counts[point - 1];
            ++c.answers;
        } else {
            ++c.others[static_cast<std::size_t>(kindOf(text))];
            c.unread.push_back({row, static_cast<int>(column) + 1, std::string(text)});
        }
    }

    void collectResponseColumns() {
        bool afterStatements = false;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            ResponseColumn& column = columns_[c];
            if (const std::optional<SkipReason> reason =
                    whyNotAStatement(column, afterStatements)) {
                if (*reason == SkipReason::Empty && column.heading.empty()) continue;
                const int filled =
                    column.answers + std::accumulate(column.others.begin(), column.others.end(), 0);
                result_.skippedColumns.push_back(
                    {static_cast<int>(c) + 1, column.heading, *reason, column.answers, filled});
                continue;
            }
            afterStatements = true;
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
    bool rowFilled_ = false;
    std::vector<std::string> fields_;
    std::vector<ResponseColumn> columns_;
    // Layout::Numbered: the heading and the rows waiting for the layout to be decided.
    std::vector<std::string> heading_;
    std::vector<std::pair<int, std::vector<std::string>>> waiting_;
    bool offScale_ = false;
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
        std::string marked;
        const std::string& cell = startsAFormula(cells[i]) ? (marked = '\'' + cells[i]) : cells[i];
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

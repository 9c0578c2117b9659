#include "survey/survey_file.h"

#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <numeric>
#include <optional>
#include <span>
#include <utility>

#include "survey/csv_split.h"

namespace vpl::core {

SurveyError::SurveyError(Reason reason, int propositions, SurveyFile read)
    : std::runtime_error("survey file gives nothing to import"),
      reason(reason),
      propositions(propositions),
      read(std::move(read)) {}

SurveyFileError::SurveyFileError(Reason reason, const std::string& what)
    : std::runtime_error(what), reason(reason) {}

namespace {

// ---- Text encoding -------------------------------------------------------------------

// Whether the bytes fed so far, after a BOM, are UTF-8: a sequence may span two pieces.
class Utf8Check {
  public:
    void feed(std::string_view bytes) {
        std::size_t i = 0;
        while (valid_ && i < bytes.size()) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            if (awaited_ > 0) {
                valid_ = (c & 0xC0) == 0x80;
                --awaited_;
                ++i;
                continue;
            }
            // Runs of ASCII, the bulk of any export, 32 bytes at a time.
            if (i + 32 <= bytes.size()) {
                std::uint64_t words[4];
                std::memcpy(words, bytes.data() + i, 32);
                if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ull) == 0) {
                    i += 32;
                    continue;
                }
            }
            const int extra = c < 0x80           ? 0
                              : (c >> 5) == 0x6  ? 1
                              : (c >> 4) == 0xE  ? 2
                              : (c >> 3) == 0x1E ? 3
                                                 : -1;
            valid_ = extra >= 0 && !(extra == 1 && c < 0xC2);
            awaited_ = std::max(extra, 0);
            ++i;
        }
    }
    bool failed() const { return !valid_; }
    // At the end: a sequence cut short is no UTF-8 either.
    bool valid() const { return valid_ && awaited_ == 0; }

  private:
    bool valid_ = true;
    int awaited_ = 0;  // continuation bytes still to come
};

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
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
        AppendUtf8(out, c >= 0x80 && c <= 0x9F ? k80to9F[c - 0x80] : c);
    }
    return out;
}

// ---- Cells ---------------------------------------------------------------------------

constexpr std::array<bool, 256> kBlanks = [] {
    std::array<bool, 256> blanks{};
    blanks[' '] = blanks['\t'] = blanks['\r'] = blanks['\n'] = true;
    return blanks;
}();

bool isBlank(char c) {
    return kBlanks[static_cast<unsigned char>(c)];
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
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
        "name", "nome", "nombre",
        // SurveyMonkey
        "respondentid", "collectorid", "enddate", "ipaddress",
        // Qualtrics, by its field ids and by its headings
        "status", "responsetype", "progress", "durationinseconds", "finished", "recordeddate",
        "recipientlastname", "recipientfirstname", "recipientemail", "externalreference",
        "externaldatareference", "locationlatitude", "locationlongitude", "distributionchannel",
        "userlanguage",
        // LimeSurvey's English headings
        "datesubmitted", "datestarted", "datelastaction", "startlanguage"};
    std::array<char, 32> buffer;  // longer than any of the names
    const std::string_view name = compacted(heading, buffer);
    return !name.empty() &&
           std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// ---- Layouts ---------------------------------------------------------------------------

constexpr int kPoints = store::kLikertPoints;
constexpr std::size_t kTotalColumn = kPoints + 1;

// The delimiter that splits the first record most often outside quotes; comma on a tie. A
// first record longer than a MiB is judged by its first MiB.
class DelimiterCount {
  public:
    static constexpr std::size_t kWindow = std::size_t{1} << 20;

    // Counts what `bytes` hold of the first record; how many of them that was.
    std::size_t scan(std::string_view bytes) {
        std::size_t i = 0;
        for (; i < bytes.size() && !done(); ++i) {
            const char c = bytes[i];
            ++seen_;
            if (c == '"') quoted_ = !quoted_;
            if (quoted_) continue;
            ended_ = c == '\n';
            comma_ += c == ',';
            semicolon_ += c == ';';
            tab_ += c == '\t';
        }
        return i;
    }
    bool done() const { return ended_ || seen_ == kWindow; }
    char delimiter() const {
        if (semicolon_ > comma_ && semicolon_ >= tab_) return ';';
        if (tab_ > comma_ && tab_ > semicolon_) return '\t';
        return ',';
    }

  private:
    int comma_ = 0, semicolon_ = 0, tab_ = 0;
    bool quoted_ = false, ended_ = false;
    std::size_t seen_ = 0;
};

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

// ---- Reading the rows as they come -----------------------------------------------------

// A cell is read up to here: far beyond any statement, and all that one cell may cost.
constexpr std::size_t kFieldLimit = std::size_t{64} << 10;

// The two ways to take the bytes of a file that has been UTF-8 so far.
constexpr int kUtf8 = 0, kCp1252 = 1, kReadings = 2;
constexpr unsigned kBothReadings = 0b11;

std::string inReading(std::string_view bytes, int reading) {
    return reading == kCp1252 ? fromWindows1252(bytes) : std::string(bytes);
}

std::vector<std::string> inReading(const std::vector<std::string>& fields, int reading) {
    std::vector<std::string> read;
    for (const std::string& field : fields) read.push_back(inReading(field, reading));
    return read;
}

bool allAscii(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return isAscii(f); });
}

// What a cell says under each reading. What it holds when it is no answer is the same under
// both: dates, e-mail addresses and numbers are told apart by their ASCII.
struct CellFacts {
    std::array<std::uint8_t, kReadings> point{};  // 0: not an answer
    CellKind kind = CellKind::Text;
    // The same for every cell of the same text, 0 when the text is not remembered.
    std::uint16_t id = 0;
};

CellFacts factsOf(std::string_view cell) {
    CellFacts facts;
    facts.point[kUtf8] = static_cast<std::uint8_t>(LikertPointOf(cell));
    facts.point[kCp1252] = isAscii(cell)
                               ? facts.point[kUtf8]
                               : static_cast<std::uint8_t>(LikertPointOf(fromWindows1252(cell)));
    facts.kind = kindOf(cell);
    return facts;
}

// An export repeats a handful of answer texts: each is worded out once, into a table of
// fixed size where a short text is found by its size and first eight bytes, the rest
// compared only then.
class CellMemo {
  public:
    CellFacts of(std::string_view cell) {
        const std::size_t n = cell.size();
        if (n == 1 && cell[0] >= '1' && cell[0] <= '5') {
            const auto point = static_cast<std::uint8_t>(cell[0] - '0');
            return {{point, point}, CellKind::Text, static_cast<std::uint16_t>(kSlots + point)};
        }
        if (n == 0 || n > kTextBytes) return factsOf(cell);
        const std::uint64_t first = word(cell, 0);
        for (std::size_t i = ((first + n) * 0x9E3779B97F4A7C15ull) >> (64 - kSlotBits);;
             i = (i + 1) & (kSlots - 1)) {
            Slot& slot = slots_[i];
            if (slot.size == n && slot.words[0] == first) {
                std::size_t w = 1;
                while (w < (n + 7) / 8 && slot.words[w] == word(cell, w)) ++w;
                if (w == (n + 7) / 8) return slot.facts;
            }
            if (slot.size != 0) continue;
            CellFacts facts = factsOf(cell);
            // Half full at most, so that a text not there is soon found missing.
            if (used_ < kSlots / 2) {
                ++used_;
                facts.id = static_cast<std::uint16_t>(i + 1);
                slot.size = static_cast<std::uint8_t>(n);
                for (std::size_t w = 0; w < (n + 7) / 8; ++w) slot.words[w] = word(cell, w);
                slot.facts = facts;
            }
            return facts;
        }
    }

  private:
    static constexpr std::size_t kSlotBits = 9, kSlots = std::size_t{1} << kSlotBits;
    static constexpr std::size_t kTextBytes = 48;
    struct Slot {
        std::array<std::uint64_t, kTextBytes / 8> words;
        std::uint8_t size = 0;  // 0: free
        CellFacts facts;
    };

    // The text's w-th eight bytes, read where they lie: with its size, different texts give
    // different words. The last word overlaps the one before it, or for a text of under eight
    // bytes is put together from pieces of it.
    static std::uint64_t word(std::string_view text, std::size_t w) {
        const auto load = [&](std::size_t at, auto word) {
            std::memcpy(&word, text.data() + at, sizeof word);
            return static_cast<std::uint64_t>(word);
        };
        const std::size_t n = text.size();
        if (n < 4)
            return load(0, std::uint8_t{}) | load(n / 2, std::uint8_t{}) << 8 |
                   load(n - 1, std::uint8_t{}) << 16;
        if (n < 8) return load(0, std::uint32_t{}) | load(n - 4, std::uint32_t{}) << 32;
        return load(std::min(8 * w, n - 8), std::uint64_t{});
    }

    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
    std::size_t used_ = 0;
};

struct Tally {
    LikertCounts counts{};
    int answers = 0;
    std::array<int, static_cast<std::size_t>(CellKind::Count)> others{};  // cells by kind

    void add(int point, CellKind kind) {
        if (point == 0) {
            ++others[static_cast<std::size_t>(kind)];
            return;
        }
        ++counts[point - 1];
        ++answers;
    }
    void add(const Tally& more) {
        for (std::size_t j = 0; j < counts.size(); ++j) counts[j] += more.counts[j];
        answers += more.answers;
        for (std::size_t k = 0; k < others.size(); ++k) others[k] += more.others[k];
    }
    int notAnswers() const { return std::accumulate(others.begin(), others.end(), 0); }
};

// A cell not understood, as read: its text cut a little past what is shown, so that the
// cut can fall between two characters once the encoding is known.
struct ListedCell {
    int row = 0;
    int column = 0;
    unsigned readings = 0;  // a bit for each reading under which it is not understood
    bool longer = false;    // its text went on
    std::string text;
};

std::string shownText(const ListedCell& cell, int reading) {
    std::string text = inReading(cell.text, reading);
    if (!cell.longer && text.size() <= kUnreadTextBytes) return text;
    std::size_t end = kUnreadTextBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text + "\xE2\x80\xA6";  // an ellipsis
}

// The first kUnreadListed cells not understood under each reading.
class CellList {
  public:
    void add(int row, int column, std::string_view text, unsigned readings) {
        for (int r = 0; r < kReadings; ++r)
            if (listed_[r] == kUnreadListed) readings &= ~(1u << r);
        if (readings == 0) return;
        for (int r = 0; r < kReadings; ++r) listed_[r] += (readings >> r) & 1;
        constexpr std::size_t kKept = kUnreadTextBytes + 4;  // a character's bytes at most
        cells_.push_back(
            {row, column, readings, text.size() > kKept, std::string(text.substr(0, kKept))});
    }
    void appendTo(std::vector<UnreadCell>& out, int reading) const {
        for (const ListedCell& cell : cells_)
            if ((cell.readings >> reading) & 1)
                out.push_back({cell.row, cell.column, shownText(cell, reading)});
    }

  private:
    std::vector<ListedCell> cells_;
    std::array<std::size_t, kReadings> listed_{};
};

// The rows of a counts file, texts as read.
struct CountsRows {
    int rows = 0;
    std::vector<SurveyProposition> propositions;  // the first kPropositionRows: more are refused
    std::vector<TotalMismatch> totals;
    CellList listed;
    int unread = 0;
    bool offScale = false;  // a count no answer could be (0, or above 5)
};

// The different texts of a column as read, the first kColumnValuesKept of them.
struct ValueTally {
    struct Value {
        std::uint16_t id = 0;  // CellFacts::id
        std::string text;
        int count = 0;
    };
    std::vector<Value> values;
    bool more = false;

    void add(std::uint16_t id, std::string_view text) {
        if (more) return;
        for (Value& v : values)
            if (v.id == id && (id != 0 || v.text == text)) {
                ++v.count;
                return;
            }
        if (values.size() == kColumnValuesKept) {
            more = true;
            return;
        }
        values.push_back({id, std::string(text.substr(0, kUnreadTextBytes)), 1});
    }
};

// One answer column of a responses file while the rows go by.
struct ResponseColumn {
    std::string heading;  // as read
    unsigned toolField =
        0;  // a bit for each reading under which it is: its cells are not looked at
    Tally tally;
    // Before the encoding is known: the cells that the two readings count otherwise.
    std::array<Tally, kReadings> apart{};
    CellList unread;
    ValueTally values;
};

// What a person would call a statement, the only columns that become propositions: a
// column whose heading is not a survey tool's own field, at least half of whose filled
// cells are answers on the scale, and where what a tool writes (dates, e-mail addresses,
// numbers off the scale) is a stray cell or under a quarter of them. A garbled minority
// keeps the column, its cells listed as not understood. A column nobody filled is a
// statement nobody answered when it has a heading and statements come before it.
std::optional<SkipReason> whyNotAStatement(const ResponseColumn& c, int reading,
                                           bool afterStatements) {
    if ((c.toolField >> reading) & 1) return SkipReason::ToolField;
    const auto count = [&](CellKind kind) {
        return c.tally.others[static_cast<std::size_t>(kind)];
    };
    const int dates = count(CellKind::Date), emails = count(CellKind::Email),
              numbers = count(CellKind::Number), texts = count(CellKind::Text);
    const int tool = dates + emails + numbers;
    const int filled = c.tally.answers + tool + texts;
    if (filled == 0) {
        if (afterStatements && !c.heading.empty()) return std::nullopt;
        return SkipReason::Empty;
    }
    if (2 * c.tally.answers >= filled && (tool <= 1 || 4 * tool < filled)) return std::nullopt;
    if (tool < texts) return SkipReason::NotAnswers;
    if (dates >= emails && dates >= numbers) return SkipReason::Dates;
    return emails >= numbers ? SkipReason::Emails : SkipReason::Numbers;
}

enum class FirstRecord { Blank, EveryFactor, CountsData, CountsHeading, Numbered, Responses };

// The first record decides the layout; a blank one does not count.
FirstRecord firstRecord(const std::vector<std::string>& fields) {
    if (blankRow(fields)) return FirstRecord::Blank;
    if (headsEveryFactor(fields)) return FirstRecord::EveryFactor;
    switch (classifyFirstRow(fields)) {
        case FirstRow::CountsData:
            return FirstRecord::CountsData;
        case FirstRow::CountsHeading:
            return FirstRecord::CountsHeading;
        case FirstRow::NumberedHeading:
            if (mayHeadCounts(fields)) return FirstRecord::Numbered;
            break;
        case FirstRow::ResponsesHeading:
            break;
    }
    return FirstRecord::Responses;
}

// The counts of a file's rows under one reading of its bytes, or under both while it has
// been UTF-8 so far. Texts stay as read until the end, when the reading is known.
class Reader {
  public:
    Reader(char delimiter, CellMemo& memo) : delimiter_(delimiter), memo_(&memo) {}

    // Once for every cell: small, so that the splitter's loop takes it in.
    [[gnu::always_inline]] void field(std::string_view text) {
        if (text.starts_with('\'')) text = withoutFormulaMark(text);
        if (layout_ == Layout::Responses)
            answer(column_, text, row_ + 1);  // row_ counts finished records
        else
            fieldBesideResponses(text);
        ++column_;
    }

    // False, and nothing done, when the record decides the layout one way in UTF-8 and
    // another in Windows-1252: the caller then reads on with a reader for each.
    bool endRecord() {
        if (reading_ < 0 && decidesByReading()) return false;
        ++row_;
        switch (layout_) {
            case Layout::Undecided:
                decideLayout();
                break;
            case Layout::Numbered:
                numberedRow();
                break;
            case Layout::Counts:
                if (!countedAlready_ && !blankRow(fields_)) countsRow(fields_, row_);
                break;
            case Layout::Responses:
                endResponsesRow();
                break;
            case Layout::EveryFactor:
                break;
        }
        fields_.clear();
        column_ = 0;
        countedAlready_ = pastTheTotal_ = false;
        return true;
    }

    // Records the caller read itself: the next one is numbered after them.
    void skipRecords(int n) { row_ += n; }
    // Columns that are the survey tool's own fields, whatever their headings.
    void toolColumns(std::vector<bool> columns) { forcedTools_ = std::move(columns); }

    // The encoding is known: one reading from now on.
    void settle(int reading) {
        if (reading_ >= 0) return;
        reading_ = reading;
        open_ = 1u << reading;
        for (ResponseColumn& c : columns_) {
            c.tally.add(c.apart[reading]);
            c.apart = {};
        }
    }

    SurveyFile finish(int reading) {
        settle(reading);
        if (layout_ == Layout::EveryFactor) throw SurveyError(SurveyError::Reason::EveryFactor, 0);
        if (layout_ == Layout::Numbered)
            layout_ = counts_.offScale ? Layout::Counts : Layout::Responses;
        SurveyFile file;
        file.delimiter = delimiter_;
        int n = 0;
        if (layout_ == Layout::Counts) {
            countsFile(file);
            n = counts_.rows;
        } else if (layout_ == Layout::Responses) {
            responsesFile(file);
            n = static_cast<int>(file.propositions.size());
        }
        if (n == 0) {
            // Respondents' rows without a statement: the columns and why each was skipped.
            SurveyFile read;
            if (layout_ == Layout::Responses && file.rowsRead > 0) read = std::move(file);
            throw SurveyError(SurveyError::Reason::NoPropositions, 0, std::move(read));
        }
        if (n > store::kPropositionRows)
            throw SurveyError(SurveyError::Reason::TooManyPropositions, n);
        return file;
    }

  private:
    enum class Layout { Undecided, Numbered, Counts, Responses, EveryFactor };

    // The record's cells in UTF-8, as far as they are known.
    const std::vector<std::string>& fieldsRead() {
        if (reading_ != kCp1252 || allAscii(fields_)) return fields_;
        converted_ = inReading(fields_, kCp1252);
        return converted_;
    }

    void fieldBesideResponses(std::string_view text) {
        switch (layout_) {
            case Layout::Undecided:
                fields_.emplace_back(text);
                break;
            case Layout::Numbered:
                answer(column_, text, row_ + 1);
                [[fallthrough]];
            case Layout::Counts:
                // Past the total's column only whether a cell is filled matters.
                if (column_ <= kTotalColumn)
                    fields_.emplace_back(text);
                else if (!trimmed(text).empty())
                    cellPastTheTotal(text);
                break;
            case Layout::Responses:
            case Layout::EveryFactor:
                break;
        }
    }

    // A row under a numbered heading that may still be a proposition's counts.
    bool mayBeCounts(const std::vector<std::string>& fields, bool& offScale) const {
        return !pastTheTotal_ && countsShaped(fields, offScale);
    }
    bool blank() const { return !pastTheTotal_ && blankRow(fields_); }

    bool decidesByReading() {
        if ((layout_ != Layout::Undecided && layout_ != Layout::Numbered) || allAscii(fields_))
            return false;
        const std::vector<std::string> other = inReading(fields_, kCp1252);
        if (layout_ == Layout::Undecided) return firstRecord(fields_) != firstRecord(other);
        bool offScale = false;
        return !blank() && mayBeCounts(fields_, offScale) != mayBeCounts(other, offScale);
    }

    void decideLayout() {
        switch (firstRecord(fieldsRead())) {
            case FirstRecord::Blank:
                --row_;  // not a record worth a number: the first real one is row 1
                break;
            case FirstRecord::EveryFactor:
                layout_ = Layout::EveryFactor;
                break;
            case FirstRecord::CountsData:
                layout_ = Layout::Counts;
                countsRow(fields_, row_);
                break;
            case FirstRecord::CountsHeading:
                layout_ = Layout::Counts;
                break;
            case FirstRecord::Numbered:
                layout_ = Layout::Numbered;
                beginResponses();
                break;
            case FirstRecord::Responses:
                layout_ = Layout::Responses;
                beginResponses();
                break;
        }
    }

    // Under a heading numbered 1 to 5 every row is counted both as a respondent's and as a
    // proposition's until one of them is not a counts row (a timestamp, an answer or an id
    // first), or the file ends: counts when some count is one no answer could be,
    // responses otherwise.
    void numberedRow() {
        endResponsesRow();
        if (blank()) return;
        if (mayBeCounts(fieldsRead(), counts_.offScale)) {
            countsRow(fields_, row_);
            return;
        }
        layout_ = Layout::Responses;
        counts_ = {};
    }

    void cellPastTheTotal(std::string_view text) {
        if (layout_ == Layout::Numbered) {
            pastTheTotal_ = true;
            return;
        }
        // A proposition's row: its own cells come first in the list of those not understood.
        if (!countedAlready_) countsRow(fields_, row_ + 1);
        countedAlready_ = true;
        countsUnread(row_ + 1, column_, text);
    }

    void countsRow(const std::vector<std::string>& fields, int row) {
        const bool kept = ++counts_.rows <= store::kPropositionRows;
        SurveyProposition p{std::string(trimmed(cellAt(fields, 0))), {}};
        std::int64_t sum = 0;
        for (int j = 1; j <= kPoints; ++j) {
            const std::string_view cell = trimmed(cellAt(fields, static_cast<std::size_t>(j)));
            if (cell.empty()) continue;
            if (const std::optional<std::int32_t> n = wholeCount(cell)) {
                p.counts[j - 1] = *n;
                sum += *n;
            } else {
                countsUnread(row, static_cast<std::size_t>(j), cell);
            }
        }
        const std::string_view total = trimmed(cellAt(fields, kTotalColumn));
        if (kept && !total.empty() && wholeCount(total) != sum)
            counts_.totals.push_back({row, std::string(total), sum});
        for (std::size_t c = kTotalColumn + 1; c < fields.size(); ++c)
            if (!trimmed(fields[c]).empty()) countsUnread(row, c, fields[c]);
        if (kept) counts_.propositions.push_back(std::move(p));
    }

    void countsUnread(int row, std::size_t column, std::string_view text) {
        ++counts_.unread;
        counts_.listed.add(row, static_cast<int>(column) + 1, trimmed(text), kBothReadings);
    }

    void beginResponses() {
        for (const std::string& text : fields_) {
            ResponseColumn column;
            column.heading = std::string(trimmed(text));
            const bool forced = columns_.size() < forcedTools_.size() && forcedTools_[columns_.size()];
            const bool tool = forced || isToolField(column.heading);
            column.toolField =
                (tool ? 1u << kUtf8 : 0) |
                ((isAscii(column.heading) || forced ? tool
                                                    : isToolField(fromWindows1252(column.heading)))
                     ? 1u << kCp1252
                     : 0);
            columns_.push_back(std::move(column));
        }
        columnCount_ = columns_.size();
    }

    void endResponsesRow() {
        if (rowFilled_) ++respondents_;
        rowFilled_ = false;
    }

    // Once for every cell of a respondent: kept short, the rare cases aside.
    void answer(std::size_t column, std::string_view text, int row) {
        if (text.empty()) return;
        if (isBlank(text.front()) || isBlank(text.back())) {
            text = trimmed(text);
            if (text.empty()) return;
        }
        rowFilled_ = true;
        if (column >= columnCount_) columns_.resize(columnCount_ = column + 1);
        ResponseColumn& c = columns_[column];
        const unsigned looked = open_ & ~c.toolField;  // the readings that count its cells
        if (looked == 0) return;
        const CellFacts facts = memo_->of(text);
        c.values.add(facts.id, text);
        if (looked != open_ || facts.point[kUtf8] != facts.point[kCp1252])
            return answerApart(c, static_cast<int>(column) + 1, text, row, facts, looked);
        c.tally.add(facts.point[kUtf8], facts.kind);
        if (facts.point[kUtf8] == 0) c.unread.add(row, static_cast<int>(column) + 1, text, open_);
    }

    // A cell, or a column, that the two readings take otherwise.
    void answerApart(ResponseColumn& c, int column, std::string_view text, int row,
                     const CellFacts& facts, unsigned looked) {
        unsigned unread = 0;
        for (int r = 0; r < kReadings; ++r) {
            if (((looked >> r) & 1) == 0) continue;
            (open_ == kBothReadings ? c.apart[r] : c.tally).add(facts.point[r], facts.kind);
            if (facts.point[r] == 0) unread |= 1u << r;
        }
        if (unread != 0) c.unread.add(row, column, text, unread);
    }

    void countsFile(SurveyFile& file) const {
        file.layout = SurveyLayout::Counts;
        file.rowsRead = counts_.rows;
        for (const SurveyProposition& p : counts_.propositions)
            file.propositions.push_back({inReading(p.text, reading_), p.counts});
        for (const TotalMismatch& t : counts_.totals)
            file.totals.push_back({t.row, inReading(t.total, reading_), t.sum});
        counts_.listed.appendTo(file.unread, reading_);
        file.unreadNotListed = counts_.unread - static_cast<int>(file.unread.size());
    }

    void responsesFile(SurveyFile& file) const {
        file.layout = SurveyLayout::Responses;
        file.rowsRead = respondents_;
        int unread = 0;
        bool afterStatements = false;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const ResponseColumn& column = columns_[c];
            const std::string heading = inReading(column.heading, reading_);
            const std::optional<SkipReason> reason =
                whyNotAStatement(column, reading_, afterStatements);
            if (!(reason == SkipReason::Empty && column.heading.empty())) {
                SurveyColumn read{static_cast<int>(c) + 1, heading, {}, {}, column.values.more,
                                  reason ? -1 : static_cast<int>(file.propositions.size()),
                                  reason == SkipReason::ToolField};
                for (const ValueTally::Value& v : column.values.values) {
                    std::string text = inReading(v.text, reading_);
                    const int point = LikertPointOf(text);
                    read.values.push_back({std::move(text), v.count, point});
                }
                file.columns.push_back(std::move(read));
            }
            if (reason) {
                if (*reason == SkipReason::Empty && column.heading.empty()) continue;
                file.skippedColumns.push_back({static_cast<int>(c) + 1, heading, *reason,
                                               column.tally.answers,
                                               column.tally.answers + column.tally.notAnswers()});
                continue;
            }
            afterStatements = true;
            file.propositions.push_back({heading, column.tally.counts});
            column.unread.appendTo(file.unread, reading_);
            unread += column.tally.notAnswers();
        }
        std::sort(file.unread.begin(), file.unread.end(),
                  [](const UnreadCell& a, const UnreadCell& b) {
                      return std::pair(a.row, a.column) < std::pair(b.row, b.column);
                  });
        if (file.unread.size() > kUnreadListed) file.unread.resize(kUnreadListed);
        file.unreadNotListed = unread - static_cast<int>(file.unread.size());
    }

    char delimiter_;
    CellMemo* memo_;
    int reading_ = -1;               // kUtf8 or kCp1252 once settled
    unsigned open_ = kBothReadings;  // the readings still possible, a bit each
    Layout layout_ = Layout::Undecided;
    int row_ = 0;  // records finished so far
    std::size_t column_ = 0;
    // The first record whole; after it, a row's cells up to the total's.
    std::vector<std::string> fields_;
    std::vector<std::string> converted_;
    bool countedAlready_ = false;  // Counts: a cell past the total came, and the row is counted
    bool pastTheTotal_ = false;    // Numbered: a cell past the total is filled
    bool rowFilled_ = false;
    CountsRows counts_;
    std::vector<ResponseColumn> columns_;
    std::size_t columnCount_ = 0;  // columns_.size(), asked of every cell
    int respondents_ = 0;
    std::vector<bool> forcedTools_;
};

// A reader, or after a record that decides the layout by the encoding, one for each reading.
class Readers {
  public:
    Readers(char delimiter, CellMemo& memo) : first_(delimiter, memo) {}

    void field(std::string_view text) {
        first_.field(text);
        if (second_) second_->field(text);
    }
    void endRecord() {
        if (second_) {
            first_.endRecord();
            second_->endRecord();
        } else if (!first_.endRecord()) {
            second_.emplace(first_);
            first_.settle(kUtf8);
            second_->settle(kCp1252);
            first_.endRecord();
            second_->endRecord();
        }
    }
    void skipRecords(int n) {
        first_.skipRecords(n);
        if (second_) second_->skipRecords(n);
    }
    void toolColumns(const std::vector<bool>& columns) {
        first_.toolColumns(columns);
        if (second_) second_->toolColumns(columns);
    }
    void notUtf8() {
        if (second_) {
            first_ = std::move(*second_);
            second_.reset();
        }
        first_.settle(kCp1252);
    }
    SurveyFile finish(int reading) {
        return reading == kCp1252 && second_ ? second_->finish(reading) : first_.finish(reading);
    }

  private:
    Reader first_;                  // in UTF-8 once there are two
    std::optional<Reader> second_;  // in Windows-1252
};

// ---- Known exports -----------------------------------------------------------------------

bool compactedIs(std::string_view text, std::initializer_list<std::string_view> names) {
    std::array<char, 32> buffer;
    const std::string_view name = compacted(text, buffer);
    return !name.empty() && std::find(names.begin(), names.end(), name) != names.end();
}

bool anyHeading(const std::vector<std::string>& row,
                std::initializer_list<std::string_view> names) {
    return std::any_of(row.begin(), row.end(),
                       [&](const std::string& h) { return compactedIs(h, names); });
}

// "Title [Statement]": the title and the statement; LimeSurvey's codes "Q1[SQ001]" keep
// their heading, the question's code their group.
std::pair<std::string, std::string> gridHeading(std::string_view heading) {
    heading = trimmed(heading);
    const std::size_t open = heading.find('[');
    if (open == std::string_view::npos || open == 0 || !heading.ends_with(']')) return {};
    if (heading[open - 1] != ' ')
        return {std::string(heading.substr(0, open)), std::string(heading)};
    return {std::string(trimmed(heading.substr(0, open))),
            std::string(trimmed(heading.substr(open + 1, heading.size() - open - 2)))};
}

// Qualtrics's third heading row: {"ImportId":"QID1_1"} over an answer, another id over its
// own fields.
std::optional<std::string_view> importId(std::string_view cell) {
    cell = trimmed(cell);
    static constexpr std::string_view kKey = "{\"ImportId\":\"";
    if (!cell.starts_with(kKey)) return std::nullopt;
    cell.remove_prefix(kKey.size());
    return cell.substr(0, cell.find('"'));
}

// Holds the first records of a file until they show whether a survey tool wrote it, then
// hands them on as the tool meant them: the statements as headings, its rows of headings
// that are no respondents left out. Any other file passes as it is.
class ExportHeadings {
  public:
    explicit ExportHeadings(Readers& readers) : readers_(readers) {}

    [[gnu::always_inline]] void field(std::string_view text) {
        if (passing_)
            readers_.field(text);
        else
            current_.emplace_back(text);
    }
    void endRecord() {
        if (passing_) return readers_.endRecord();
        held_.push_back(std::move(current_));
        current_.clear();
        decide();
    }
    // The bytes have ended: whatever is held goes on as read.
    void finish() {
        if (!passing_) release(0);
    }

    SurveyTool tool() const { return tool_; }
    const std::vector<std::string>& groups() const { return groups_; }

  private:
    void decide() {
        if (held_.size() == 1 && blankRow(held_[0])) return release(0, false);
        const std::vector<std::string>& first = held_.front();
        if (held_.size() < 3 && anyHeading(first, {"responseid", "startdate", "recordeddate"}))
            return;  // Qualtrics shows itself in its third row
        if (held_.size() == 3 && qualtrics()) return;
        forms(held_.front());
        release(0);
    }

    bool qualtrics() {
        const std::vector<std::string>& ids = held_[2];
        if (!std::any_of(ids.begin(), ids.end(),
                         [](const std::string& c) { return importId(c).has_value(); }))
            return false;
        tool_ = SurveyTool::Qualtrics;
        const std::vector<std::string>& texts = held_[1];
        std::vector<std::string> headings;
        std::vector<bool> tools;
        for (std::size_t c = 0; c < held_[0].size(); ++c) {
            const std::optional<std::string_view> id = importId(cellAt(ids, c));
            const bool question = id && id->starts_with("QID");
            std::string_view text = trimmed(cellAt(texts, c));
            std::string group;
            if (question) {
                if (const std::size_t dash = text.find(" - "); dash != std::string_view::npos) {
                    group = std::string(trimmed(text.substr(0, dash)));
                    text = trimmed(text.substr(dash + 3));
                }
            }
            headings.emplace_back(question && !text.empty() ? text : trimmed(held_[0][c]));
            groups_.push_back(std::move(group));
            tools.push_back(!question && id.has_value());
        }
        held_.erase(held_.begin(), held_.begin() + 3);
        readers_.toolColumns(tools);
        emit(headings);
        readers_.skipRecords(2);
        release(0);
        return true;
    }

    // Google Forms, Microsoft Forms and LimeSurvey, by their own fields.
    void forms(std::vector<std::string>& headings) {
        if (anyHeading(headings, {"timestamp", "carimbodedatahora", "marcatemporal"}))
            tool_ = SurveyTool::GoogleForms;
        else if (anyHeading(headings, {"starttime", "horadeinicio"}) &&
                 anyHeading(headings, {"completiontime", "horadeconclusao", "horadefinalizacion"}))
            tool_ = SurveyTool::MicrosoftForms;
        else if (anyHeading(headings, {"submitdate", "lastpage", "startlanguage", "seed",
                                       "datestamp", "datesubmitted", "datelastaction"}) &&
                 anyHeading(headings, {"id", "responseid", "submitdate", "datesubmitted"}))
            tool_ = SurveyTool::LimeSurvey;
        else
            return;
        for (std::string& heading : headings) {
            auto [group, statement] = gridHeading(heading);
            if (!statement.empty()) heading = std::move(statement);
            groups_.push_back(std::move(group));
        }
    }

    void emit(const std::vector<std::string>& record) {
        for (const std::string& cell : record) readers_.field(cell);
        readers_.endRecord();
    }

    // Hands on the records held from `from`; passes from then on unless `pass` is false.
    void release(std::size_t from, bool pass = true) {
        for (std::size_t r = from; r < held_.size(); ++r) emit(held_[r]);
        held_.clear();
        passing_ = pass;
        if (pass && !current_.empty()) {
            for (const std::string& cell : current_) readers_.field(cell);
            current_.clear();
        }
    }

    Readers& readers_;
    bool passing_ = false;
    std::vector<std::vector<std::string>> held_;
    std::vector<std::string> current_;  // the record being read
    SurveyTool tool_ = SurveyTool::None;
    std::vector<std::string> groups_;
};

}  // namespace

class SurveyStream::State {
  public:
    void feed(std::string_view bytes) {
        if (!splitter_) {
            const std::size_t first = delimiters_.scan(bytes);
            head_.append(bytes.substr(0, first));
            if (!delimiters_.done()) return;
            start();
            bytes.remove_prefix(first);
        }
        split(bytes);
    }

    void record(std::span<const std::string_view> cells) {
        if (!readers_) {
            readers_.emplace(',', memo_);
            headings_.emplace(*readers_);
        }
        for (const std::string_view cell : cells) headings_->field(cell);
        headings_->endRecord();
    }

    SurveyFile finish() {
        if (!readers_) start();
        if (splitter_) splitter_->finish();
        headings_->finish();
        const auto known = [&](SurveyFile& file) {
            file.tool = headings_->tool();
            const std::vector<std::string>& groups = headings_->groups();
            for (SurveyColumn& c : file.columns)
                if (static_cast<std::size_t>(c.column) <= groups.size())
                    c.group = inReading(groups[static_cast<std::size_t>(c.column) - 1],
                                        utf8_.valid() ? kUtf8 : kCp1252);
        };
        try {
            SurveyFile file = readers_->finish(utf8_.valid() ? kUtf8 : kCp1252);
            known(file);
            return file;
        } catch (SurveyError& e) {
            known(e.read);
            throw;
        }
    }

  private:
    void start() {
        const std::string head = std::move(head_);
        std::string_view bytes = head;
        static constexpr std::string_view kBom = "\xEF\xBB\xBF";
        if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
        readers_.emplace(delimiters_.delimiter(), memo_);
        headings_.emplace(*readers_);
        splitter_.emplace(delimiters_.delimiter(), *headings_, kFieldLimit);
        split(bytes);
    }

    void split(std::string_view bytes) {
        if (!utf8_.failed()) {
            utf8_.feed(bytes);
            if (utf8_.failed()) readers_->notUtf8();
        }
        splitter_->feed(bytes);
    }

    DelimiterCount delimiters_;
    std::string head_;  // the bytes before the delimiter is known
    Utf8Check utf8_;
    CellMemo memo_;
    std::optional<Readers> readers_;
    std::optional<ExportHeadings> headings_;
    std::optional<CsvSplitter<ExportHeadings>> splitter_;
};

SurveyStream::SurveyStream() : state_(std::make_unique<State>()) {}
SurveyStream::~SurveyStream() = default;

void SurveyStream::feed(std::string_view bytes) {
    state_->feed(bytes);
}

void SurveyStream::record(std::span<const std::string_view> cells) {
    state_->record(cells);
}

SurveyFile SurveyStream::finish() {
    return state_->finish();
}

SurveyFile ReadSurvey(std::string_view bytes) {
    SurveyStream stream;
    stream.feed(bytes);
    return stream.finish();
}

SurveyFile ReadSurveyFile(const std::filesystem::path& file, std::size_t bufferSize) {
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
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    SurveyStream stream;
    const auto buffer = std::make_unique<char[]>(bufferSize);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), bufferSize);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw SurveyFileError(Reason::CannotRead, std::strerror(errno));
        if (n == 0) break;
        stream.feed(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
    }
    return stream.finish();
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

const char* SurveyToolName(SurveyTool tool) {
    switch (tool) {
        case SurveyTool::Qualtrics:
            return "Qualtrics";
        case SurveyTool::GoogleForms:
            return "Google Forms";
        case SurveyTool::MicrosoftForms:
            return "Microsoft Forms";
        case SurveyTool::LimeSurvey:
            return "LimeSurvey";
        case SurveyTool::None:
            break;
    }
    return nullptr;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace vpl::core

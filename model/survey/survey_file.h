#pragma once

// A factor's answers read from a survey tool's export (CSV), counted per proposition.
// Two layouts: one row per proposition with its five counts, or one row per respondent
// with one column per proposition.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/schema.h"

namespace vpl::core {

enum class SurveyLayout {
    Counts,     // proposition text, DT, D, I, C, CT [, total]
    Responses,  // heading row of proposition texts, then one row per respondent
};

using LikertCounts = std::array<std::int32_t, store::kLikertPoints>;

struct SurveyProposition {
    std::string text;
    LikertCounts counts{};
    bool operator==(const SurveyProposition&) const = default;
};

// A cell that was not understood; row and column count from 1 as a spreadsheet shows them.
// Its text is cut after kUnreadTextBytes, with an ellipsis.
struct UnreadCell {
    int row = 0;
    int column = 0;
    std::string text;
    bool operator==(const UnreadCell&) const = default;
};

// How many cells not understood a file lists, in row and column order; the rest are counted.
inline constexpr std::size_t kUnreadListed = 1000;
inline constexpr std::size_t kUnreadTextBytes = 200;

// A counts row whose total column disagrees with the sum of its five counts.
struct TotalMismatch {
    int row = 0;
    std::string total;
    std::int64_t sum = 0;
    bool operator==(const TotalMismatch&) const = default;
};

// Why a column of a responses file is not a proposition.
enum class SkipReason {
    ToolField,   // its heading names a survey tool's own field: id, submitdate, lastpage, ...
    Dates,       // it holds dates or times
    Emails,      // it holds e-mail addresses
    Numbers,     // it holds numbers off the scale
    NotAnswers,  // fewer than half of its cells are answers on the scale
    Empty,       // nothing in it, and no statement before it
};

struct SkippedColumn {
    int column = 0;  // from 1
    std::string heading;
    SkipReason reason = SkipReason::Empty;
    int answers = 0;  // cells that are answers on the scale
    int filled = 0;   // cells that hold anything
    bool operator==(const SkippedColumn&) const = default;
};

// The survey tools whose exports are known by their headings. Their headings are read as the
// tool writes them: Qualtrics's statement after " - " of its second heading row (its third,
// of import ids, skipped), a grid's statement between the brackets of "Title [Statement]".
enum class SurveyTool { None, Qualtrics, GoogleForms, MicrosoftForms, LimeSurvey };
// `code` written as UTF-8 onto `out`; a code past U+10FFFF writes nothing.
void AppendUtf8(std::string& out, char32_t code);

// The tool's own name, "Google Forms"; nullptr for None.
const char* SurveyToolName(SurveyTool tool);

// A text found in a column of a responses file, how often, and the point it stands for on
// its own (0: none).
struct ColumnValue {
    std::string text;
    int count = 0;
    int point = 0;
    bool operator==(const ColumnValue&) const = default;
};

// How many different texts a column's values list; a column with more is no coded answer.
inline constexpr std::size_t kColumnValuesKept = 12;

// A column of a responses file as read: its heading, the title of the group it belongs to
// (a grid's or a matrix question's, empty when none), and the texts in it in the order
// found. `proposition` is its index in SurveyFile::propositions, or -1 when it was skipped.
struct SurveyColumn {
    int column = 0;  // from 1
    std::string heading;
    std::string group;
    std::vector<ColumnValue> values;  // the first kColumnValuesKept different texts
    bool moreValues = false;
    int proposition = -1;
    bool toolField = false;
    bool operator==(const SurveyColumn&) const = default;
};

struct SurveyFile {
    SurveyLayout layout = SurveyLayout::Counts;
    SurveyTool tool = SurveyTool::None;
    char delimiter = ',';
    std::string sheet;  // of a workbook, the sheet read
    int rowsRead = 0;  // propositions' rows, or respondents
    std::vector<SurveyProposition> propositions;
    std::vector<UnreadCell> unread;  // the first kUnreadListed
    int unreadNotListed = 0;         // cells not understood after those
    std::vector<TotalMismatch> totals;
    std::vector<SkippedColumn> skippedColumns;  // responses only
    std::vector<SurveyColumn> columns;          // responses only: every column read
    bool operator==(const SurveyFile&) const = default;
};

// Why a file gives nothing to import; the caller words it.
class SurveyError : public std::runtime_error {
  public:
    enum class Reason {
        NotCsv,
        NoPropositions,
        TooManyPropositions,
        EveryFactor,  // the export of every factor, its first column "Fator"
    };
    SurveyError(Reason reason, int propositions, SurveyFile read = {});
    Reason reason;
    int propositions;  // how many the file holds
    // NoPropositions of a responses file: what was read, every column with why it was
    // skipped, for a preview that shows why nothing can be imported.
    SurveyFile read;
};

// Why a survey file was not read. what() says it in English, with the system's own words
// when the system refused.
class SurveyFileError : public std::runtime_error {
  public:
    enum class Reason {
        CannotOpen,       // missing, no permission, ...
        NotARegularFile,  // a device, a FIFO, a folder: it could block or never end
        CannotRead,       // the system failed while reading
    };
    SurveyFileError(Reason reason, const std::string& what);
    Reason reason;
};

// Reads an export as its bytes come, in pieces of any size, and counts it. What it holds
// grows with the columns (a heading, the counts and at most kUnreadListed cells not
// understood each), never with the rows. The encoding is known only at the end: until then
// a cell that reads otherwise in Windows-1252 is counted both ways.
class SurveyStream {
  public:
    SurveyStream();
    ~SurveyStream();
    SurveyStream(const SurveyStream&) = delete;
    SurveyStream& operator=(const SurveyStream&) = delete;

    void feed(std::string_view bytes);
    // A record already split into its cells, such as a sheet's row, in UTF-8: a stream is
    // fed either records or bytes.
    void record(std::span<const std::string_view> cells);
    // What ReadSurvey returns or throws, of all the bytes fed.
    SurveyFile finish();

  private:
    class State;
    std::unique_ptr<State> state_;
};

// Reads the bytes of an export: UTF-8 with or without BOM or Windows-1252, comma,
// semicolon or tab, RFC 4180 quoting. Of a responses file only the columns a person would
// call statements become propositions (see survey_file.cpp). The apostrophe that CsvRecord
// puts before a formula is taken off; a cell is read up to its first 64 KiB. Throws
// SurveyError when there is nothing to import or more propositions than a factor holds; a
// file it returns always holds from 1 to kPropositionRows propositions.
SurveyFile ReadSurvey(std::string_view bytes);

inline constexpr std::size_t kSurveyReadBuffer = std::size_t{64} << 10;

// ReadSurvey of a file, read `bufferSize` bytes at a time and never whole, without ever
// blocking: only a regular file is read, and anything else is refused before a byte is
// read. Throws SurveyFileError when the file cannot be read, SurveyError as ReadSurvey.
SurveyFile ReadSurveyFile(const std::filesystem::path& file,
                          std::size_t bufferSize = kSurveyReadBuffer);

// One CSV record: comma-separated, a cell quoted where RFC 4180 needs it, ended by CRLF.
// A cell that a spreadsheet would run as a formula (it starts with =, +, -, @, a tab or a
// carriage return) is written after an apostrophe, which ReadSurvey takes off again.
std::string CsvRecord(std::span<const std::string> cells);

// The heading of the counts layout: "Proposição", then the five points.
std::array<std::string, 1 + store::kLikertPoints> CountsHeading();

// The counts layout that ReadSurvey reads back: the heading, then one row per proposition.
std::string WriteCountsCsv(std::span<const SurveyProposition> propositions);

// The point 1 to 5 an answer cell stands for ("1" .. "5", the scale's words in Portuguese,
// English or Spanish, or its abbreviations DT .. CT; case, accents and punctuation
// ignored), or 0. A numbered label ("5 - Concordo totalmente") stands for its words' point,
// or for its number 1 to 5 when the words are not the scale's.
int LikertPointOf(std::string_view cell);

}  // namespace vpl::core

#pragma once

// A factor's answers read from a survey tool's export (CSV), counted per proposition.
// Two layouts: one row per proposition with its five counts, or one row per respondent
// with one column per proposition.

#include <array>
#include <cstdint>
#include <filesystem>
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
};

// A cell that was not understood; row and column count from 1 as a spreadsheet shows them.
struct UnreadCell {
    int row = 0;
    int column = 0;
    std::string text;
};

// A counts row whose total column disagrees with the sum of its five counts.
struct TotalMismatch {
    int row = 0;
    std::string total;
    std::int64_t sum = 0;
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
};

struct SurveyFile {
    SurveyLayout layout = SurveyLayout::Counts;
    char delimiter = ',';
    int rowsRead = 0;  // propositions' rows, or respondents
    std::vector<SurveyProposition> propositions;
    std::vector<UnreadCell> unread;
    std::vector<TotalMismatch> totals;
    std::vector<SkippedColumn> skippedColumns;  // responses only
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

// The largest survey file read: far beyond any export of 99 statements, small enough to hold.
inline constexpr std::uint64_t kSurveyFileLimit = std::uint64_t{64} << 20;

// Why the bytes of a survey file were not read. what() says it in English, with the
// system's own words when the system refused.
class SurveyFileError : public std::runtime_error {
  public:
    enum class Reason {
        CannotOpen,       // missing, no permission, ...
        NotARegularFile,  // a device, a FIFO, a folder: it could block or never end
        TooLarge,         // over the limit
        CannotRead,       // the system failed while reading
    };
    SurveyFileError(Reason reason, const std::string& what);
    Reason reason;
};

// The bytes of a survey file, read without ever blocking: only a regular file of at most
// `limit` bytes is read, and anything else is refused before a byte is read.
std::string ReadSurveyBytes(const std::filesystem::path& file,
                            std::uint64_t limit = kSurveyFileLimit);

// Reads the bytes of an export: UTF-8 with or without BOM or Windows-1252, comma,
// semicolon or tab, RFC 4180 quoting. Of a responses file only the columns a person would
// call statements become propositions (see survey_file.cpp). The apostrophe that CsvRecord
// puts before a formula is taken off. Throws SurveyError when there is nothing to import or
// more propositions than a factor holds; a file it returns always holds from 1 to
// kPropositionRows propositions.
SurveyFile ReadSurvey(std::string_view bytes);

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

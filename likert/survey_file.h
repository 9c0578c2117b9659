#pragma once

// A factor's answers read from a survey tool's export (CSV), counted per proposition.
// Two layouts: one row per proposition with its five counts, or one row per respondent
// with one column per proposition.

#include <array>
#include <cstdint>
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

struct SurveyFile {
    SurveyLayout layout = SurveyLayout::Counts;
    char delimiter = ',';
    int rowsRead = 0;  // propositions' rows, or respondents
    std::vector<SurveyProposition> propositions;
    std::vector<UnreadCell> unread;
    std::vector<TotalMismatch> totals;
    // Responses: the columns that hold no answers (row 1, the column, its heading).
    std::vector<UnreadCell> skippedColumns;
};

// Why a file gives nothing to import; the caller words it.
class SurveyError : public std::runtime_error {
  public:
    enum class Reason { NotCsv, NoPropositions, TooManyPropositions };
    SurveyError(Reason reason, int propositions);
    Reason reason;
    int propositions;  // how many the file holds
};

// Reads the bytes of an export: UTF-8 with or without BOM or Windows-1252, comma,
// semicolon or tab, RFC 4180 quoting. Throws SurveyError when there is nothing to import
// or more propositions than a factor holds.
SurveyFile ReadSurvey(std::string_view bytes);

// One CSV record: comma-separated, a cell quoted where RFC 4180 needs it, ended by CRLF.
std::string CsvRecord(std::span<const std::string> cells);

// The heading of the counts layout: "Proposição", then the five points.
std::array<std::string, 1 + store::kLikertPoints> CountsHeading();

// The counts layout that ReadSurvey reads back: the heading, then one row per proposition.
std::string WriteCountsCsv(std::span<const SurveyProposition> propositions);

// The point 1 to 5 an answer cell stands for ("1" .. "5", the scale's words in Portuguese,
// English or Spanish, or its abbreviations DT .. CT; case and accents ignored), or 0.
int LikertPointOf(std::string_view cell);

}  // namespace vpl::core

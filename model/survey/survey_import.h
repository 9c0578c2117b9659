#pragma once

// What an import stores, from a survey export as read: the answer codes a tool writes
// instead of the scale's words mapped to points, reversed statements mirrored, and the
// columns given to factors, so that one survey fills every factor at once.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/language.h"
#include "survey/survey_file.h"

namespace vpl::core {

// Reads a survey export, CSV or XLSX as its first bytes say (a file named .xlsx or .xlsm
// that is no zip is refused as one). `sheet`: the sheet of a workbook, empty for the first.
// Beside ReadSurveyFile's refusals it throws WorkbookError for a workbook it cannot read; a
// responses file none of whose columns is a statement is returned all the same when some
// column holds codes, which ImportChoices can map.
SurveyFile ReadSurveyExport(const std::filesystem::path& file, const std::string& sheet = {});

// A code's point: 1 to 5, or kNoAnswer for a code that is left out of the counts.
inline constexpr int kNoAnswer = 0;
using CodeMap = std::vector<std::pair<std::string, int>>;

// A column whose answers are codes rather than the scale's words or 1 to 5 (A1 .. A5, 0 .. 4):
// a few texts, most of them off the scale, or together codes in an order of their own.
bool HoldsCodes(const SurveyColumn& column);
// Whether column `column` (from 1) of the file holds codes: its cells are no cells not
// understood, once the codes have points.
bool HoldsCodes(const SurveyFile& file, int column);
// The texts of every column that holds codes, in the order found, each once.
std::vector<std::string> AnswerCodes(const SurveyFile& file);
// The points the codes' own order gives them, when it is plain: five codes, one prefix, five
// numbers in a row (A1 .. A5, AO01 .. AO05, 0 .. 4), the lowest DT. Nothing otherwise.
std::optional<CodeMap> ProposedCodes(const std::vector<std::string>& codes);

// What the user chose for a proposition of the file: a row of a counts file or a column of
// a responses file, by its number.
struct ItemChoice {
    int key = 0;
    int factor = 0;  // 1 to 8; 0: not imported
    bool reversed = false;
    bool operator==(const ItemChoice&) const = default;
};

struct ImportChoices {
    CodeMap codes;
    std::vector<ItemChoice> items;
    bool markReversed = false;  // a reversed proposition's text says so
    std::array<std::string, store::kFactorSlots> titles;  // empty: the title stays
    bool operator==(const ImportChoices&) const = default;
};

// What the file offers to import: its propositions, and the columns holding codes, in the
// file's order; counted with `codes`, before any reversal.
struct ImportItem {
    int key = 0;  // the row of a counts file, the column of a responses file
    std::string text;
    std::string group;  // the grid or question it belongs to
    LikertCounts counts{};
    bool coded = false;
};
std::vector<ImportItem> ImportItems(const SurveyFile& file, const CodeMap& codes);

// Every proposition into `factor`, none reversed, the codes as their order proposes.
ImportChoices DefaultChoices(const SurveyFile& file, int factor);

// The codes of the chosen columns that have no point yet: the import waits for them.
std::vector<std::string> UnassignedCodes(const SurveyFile& file, const ImportChoices& choices);

// DT and CT, D and C swapped.
LikertCounts Reversed(const LikertCounts& counts);

// What a factor receives: its propositions as they will be stored, counts reversed where
// chosen, and its title when one is chosen.
struct FactorImport {
    int factor = 0;
    std::string title;  // empty: keep the stored one
    std::vector<SurveyProposition> propositions;
};
// The factors that receive propositions, in their order. Throws SurveyError
// (TooManyPropositions) when one would get more than a factor holds.
std::vector<FactorImport> FactorsToImport(const SurveyFile& file, const ImportChoices& choices,
                                          Language language);

// The words after a reversed proposition's text, when it is marked.
const char* ReversedMark(Language language);

// A key of the file's headings, the same for every export of the same survey.
std::string SurveyHeaderKey(const SurveyFile& file);

}  // namespace vpl::core

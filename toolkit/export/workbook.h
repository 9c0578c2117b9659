#pragma once

// The spreadsheet of an analysis: one sheet per factor, one of the network and one of the
// result. Numbers go in as numbers and texts as texts, never as formulas, so a proposition
// that reads "=1+1" stays that text.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/counts.h"
#include "core/fixed4.h"
#include "core/language.h"
#include "core/translated.h"
#include "engine/barycentre.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "engine/networks.h"

namespace vpl {

// A degree under the name of the label that shows it; nothing where the window shows an
// empty text.
struct WorkbookDegree {
    std::string name;
    std::optional<double> value;
};

struct WorkbookFactor {
    std::string title;
    std::vector<std::string> propositions;  // one text per row of counts; may be empty
    std::vector<core::Counts> counts;
    WorkbookDegree mu;
    WorkbookDegree lambda;
};

// One operator cell of the network, with what it joins and what it gives.
struct WorkbookCell {
    core::Side side = core::Side::Contrary;
    core::Operator kind = core::Operator::Or;
    std::vector<WorkbookDegree> operands;
    WorkbookDegree result;
};

struct AnalysisWorkbook {
    core::Language language = core::Language::Portuguese;
    std::vector<WorkbookFactor> factors;
    std::vector<WorkbookCell> cells;
    std::optional<double> muR;
    std::optional<double> lambdaR;
    core::Fixed4 certainty;      // Gc
    core::Fixed4 contradiction;  // Gct
    std::optional<double> g2n;   // ~G2n as shown
    std::optional<double> g1n;
    std::string verdictOnData;
    std::string verdictOnOpinion;
    std::string sentence;
    core::EstadoLogico state{};
    core::Fixed4 level = core::kNivelDeExigenciaPadrao;
    core::Decisao decision;
    std::optional<core::AnaliseDoBaricentro> barycentre;
};

// Writes the workbook to a temporary file beside `path`, flushes it to the disk and renames
// it over `path`, so that a failure leaves nothing behind and never a part of a file. The
// reason when it could not be written, in English.
std::optional<std::string> WriteAnalysisWorkbook(const std::filesystem::path& path,
                                                 const AnalysisWorkbook& workbook);

// The headings and sheet names of the workbook, and the window's words for exporting it.
std::span<const core::Translated> WorkbookTexts();

}  // namespace vpl

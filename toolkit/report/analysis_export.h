#pragma once

// The spreadsheet of an analysis of the stored decision, for the analysis windows and for
// `vpl-cli export --xlsx`: both compute it here, from the data file, as they show it.

#include <filesystem>
#include <optional>
#include <string>

#include "core/fixed4.h"
#include "core/language.h"
#include "core/number_text.h"
#include "export/workbook.h"

namespace vpl {

namespace store {
class Database;
}

enum class AnalysisSource {
    FourFactor,      // the factors' stored pairs through (1 OR 2) AND (3 OR 4)
    ReferenceTable,  // the delivered answer table's four blocks, through the same network
    OwnFactors,      // the factors' stored pairs through the family network of their count
};

// The analysis of `factors` factors (4 for FourFactor, 2, 3 or 5 to 8 for OwnFactors; any
// count for ReferenceTable) at the stored requirement level, worded in `language`.
// StoreError and InvalidDataError as the data file's readers throw them.
AnalysisWorkbook StoredAnalysisWorkbook(store::Database& db, int factors, AnalysisSource source,
                                        core::NumberLocale locale, core::Language language);

// That analysis written to `path` (see WriteAnalysisWorkbook); the reason when it could not
// be written.
std::optional<std::string> ExportStoredAnalysis(store::Database& db,
                                                const std::filesystem::path& path, int factors,
                                                AnalysisSource source, core::NumberLocale locale,
                                                core::Language language);

}  // namespace vpl

#pragma once

// The analyses as the data file holds them, for the windows and for the command line: what
// the stored factor count opens, the factors' pairs, the reference answer table, and the
// four-factor report written to a PDF file.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/logical_state.h"
#include "analysis/networks.h"
#include "analysis/report.h"

class QPagedPaintDevice;

namespace vpl {

namespace store {
class Database;
}

// The language of the logical state's words for a gIdioma value.
core::Idioma idiomaDoPrograma(std::int16_t gIdioma);

// The stored factor count as the four-factor load reads it into a 16-bit integer; a value
// that is not a number counts 4, as it does for the analysis dispatch.
std::int16_t StoredFactorCount(store::Database& db, core::NumberLocale locale);

// The stored evidence pairs of factors 1 to `factors`: factor i is the i-th row of Fatores.
// A factor without a row, or whose Mi1 or Mi2 is not a number, has no pair.
std::vector<std::optional<core::EvidencePair>> StoredFactorPairs(store::Database& db, int factors);

// The answers counted in the propositions of factors 1 to `factors`: the five counts of the
// first Prop rows of Prop1 .. Prop8. Nothing for a factor whose count is unknown: no row in
// Fatores, a Prop that is no whole number, a proposition table that cannot be read.
std::vector<std::optional<double>> StoredAnswerCounts(store::Database& db, int factors,
                                                      core::NumberLocale locale);

// The factors of `pairs` (StoredFactorPairs) that entered the network with degrees 0 for
// want of answers.
std::vector<int> StoredFactorsWithoutAnswers(
    store::Database& db, const std::vector<std::optional<core::EvidencePair>>& pairs,
    core::NumberLocale locale);

// The factors of `pairs` whose stored degrees do not follow from their stored answers:
// written by other means, or before every key stored both together.
std::vector<int> StoredFactorsWithStaleDegrees(
    store::Database& db, const std::vector<std::optional<core::EvidencePair>>& pairs,
    core::NumberLocale locale);

// The four blocks of answer counts of PLikert that the family windows analyse: block i is
// the row with key 20 i - 19 and the 18 rows after it. InvalidDataError on a count that is
// not a whole number of answers.
std::array<std::vector<core::CountRow>, 4> ReferenceTableBlocks(store::Database& db);

// Everything the four-factor report prints, from the data file and the network's result.
// The report reads alike in every interface language; `language` is not used.
ReportData FourFactorReportData(store::Database& db, std::int16_t factorCount,
                                const core::Rede4fResult& result, core::NumberLocale locale,
                                std::int16_t language);

// Writes the report beside `path` and renames it over the file at the end, so that a failure
// leaves nothing half-written. The reason when it could not be written.
std::optional<QString> WriteReportPdf(const QString& path, const ReportData& data,
                                      const Picture& network);

// Paints the report on a printer or a PDF writer; false when the device refused to start.
bool PrintReportOn(QPagedPaintDevice& device, const ReportData& data, const Picture& network);

}  // namespace vpl

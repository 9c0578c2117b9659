#pragma once

// The analyses as the data file holds them, for the windows and for the command line: what
// the stored factor count opens, the factors' pairs, the reference answer table, and the
// four-factor report written to a PDF file.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/logical_state.h"
#include "engine/networks.h"
#include "engine/sensitivity.h"
#include "report/report.h"

class QPagedPaintDevice;

namespace vpl {

namespace store {
class Database;
}

// The stored evidence pairs of factors 1 to `factors`. A factor the file does not hold, or
// whose degrees are not numbers, has no pair.
std::vector<std::optional<core::EvidencePair>> StoredFactorPairs(store::Database& db, int factors);

// The counts of each stored proposition of factors 1 to `factors`, as far as they can be
// read: nothing for a factor without a row, without a valid number of propositions, or
// whose propositions cannot be read. These are only hints beside a result that does not
// rest on them, so nothing here stops an analysis.
std::vector<std::optional<std::vector<core::Counts>>> StoredCountRows(store::Database& db,
                                                                      int factors,
                                                                      core::NumberLocale locale);

// The answers counted in the propositions of factors 1 to `factors`. Nothing for a factor
// whose answers are unknown: not held, without a valid number of propositions, or whose
// propositions cannot be read.
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

// Everything the four-factor report prints, from the data file and the network's result.
// The report reads alike in every interface language; `language` is not used.
// What the sensitivity of the stored decision's analysis draws from: the user's factors
// (their pairs, counts, weights and those without answers, as the analysis reads them) for
// `ownFactors`, else the reference table's four blocks. The level is the caller's.
core::EntradaDaSensibilidade StoredSensitivityInput(store::Database& db, int factors,
                                                    bool ownFactors,
                                                    const decision::DecisionSettings& settings,
                                                    core::NumberLocale locale);

// The reference table's four blocks as the report lists them, each with its twenty counts.
std::vector<ReportFactor> ReferenceTableReportBlocks(store::Database& db);

// The report of a family window (2, 3 and 5 to 8 factors): the factors it analysed, or the
// reference table's blocks, the window's network with its degrees, and the outcome of
// `graus` with the barycentre of `answered` (the pairs the result window places).
ReportData FamilyReportData(store::Database& db, int factors, bool ownFactors,
                            const std::vector<std::optional<core::EvidencePair>>& answered,
                            const core::Graus& graus, ReportNetwork network,
                            core::NumberLocale locale);

ReportData FourFactorReportData(store::Database& db, std::int16_t factorCount,
                                const core::Rede4fResult& result, core::NumberLocale locale,
                                core::Language language);

// Writes the report beside `path` and renames it over the file at the end, so that a failure
// leaves nothing half-written. The reason when it could not be written.
std::optional<QString> WriteReportPdf(const QString& path, const ReportData& data,
                                      const Picture& network);

// Paints the report on a printer or a PDF writer; false when the device refused to start.
bool PrintReportOn(QPagedPaintDevice& device, const ReportData& data, const Picture& network);

}  // namespace vpl

#pragma once

#include <span>
#include <vector>

#include "decision/decision.h"
#include "survey/survey_file.h"
#include "survey/survey_import.h"

namespace vpl {

// Replaces factor `factor`'s propositions by the imported ones, in one transaction (see
// decision::ReplacePropositions). A failure leaves the file as it was.
void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions);

// Replaces every factor of the import at once, titles included where chosen, in one
// transaction: the file holds all of them or none.
void StoreImportedFactors(store::Database& db, std::span<const core::FactorImport> factors);

// The factors of the import whose propositions hold data that the import replaces.
std::vector<int> FactorsReplacingData(store::Database& db,
                                      std::span<const core::FactorImport> factors);

}  // namespace vpl

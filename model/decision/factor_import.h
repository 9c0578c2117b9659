#pragma once

#include <span>

#include "decision/decision.h"
#include "survey/survey_file.h"

namespace vpl {

// Replaces factor `factor`'s propositions by the imported ones, in one transaction (see
// decision::ReplacePropositions). A failure leaves the file as it was.
void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions);

}  // namespace vpl

#pragma once

#include <span>

#include "likert/survey_file.h"
#include "store/database.h"

namespace vpl {

// Replaces factor `factor`'s propositions by the imported ones, in one transaction: their
// texts and counts, every row after them blank with no answers, the factor's Prop count
// and its evidence pair as the Likert window stores it. A failure leaves the file as it was.
void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions);

}  // namespace vpl

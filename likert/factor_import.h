#pragma once

#include <span>
#include <vector>

#include "likert/survey_file.h"
#include "store/database.h"

namespace vpl {

// Replaces factor `factor`'s propositions by the imported ones, in one transaction: their
// texts and counts, every row after them blank with no answers, the factor's Prop count
// and its evidence pair as the Likert window stores it. A failure leaves the file as it was.
void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions);

// Every stored row of a factor that an import replaces, as it stood, so that the import can
// be undone.
struct FactorSnapshot {
    int factor = 0;
    std::vector<store::Row> rows;  // the propositions, then the factor's row of Fatores
};
FactorSnapshot SnapshotFactor(store::Database& db, int factor);
// Puts the snapshot's rows back, in one transaction, unless another program has written to
// the file since `seenVersion` (then ChangedElsewhere).
void RestoreFactor(store::Database& db, const FactorSnapshot& snapshot, std::int64_t seenVersion);

}  // namespace vpl

#include "decision/factor_import.h"

#include <vector>

namespace vpl {

void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions) {
    std::vector<decision::NewProposition> rows;
    for (const core::SurveyProposition& p : propositions) rows.push_back({p.text, p.counts});
    decision::ReplacePropositions(db, factor, rows);
}

}  // namespace vpl

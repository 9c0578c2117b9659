#include "decision/factor_import.h"

#include <vector>

namespace vpl {

namespace {

std::vector<decision::NewProposition> rowsOf(std::span<const core::SurveyProposition> propositions) {
    std::vector<decision::NewProposition> rows;
    for (const core::SurveyProposition& p : propositions) rows.push_back({p.text, p.counts});
    return rows;
}

}  // namespace

void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions) {
    decision::ReplacePropositions(db, factor, rowsOf(propositions));
}

void StoreImportedFactors(store::Database& db, std::span<const core::FactorImport> factors) {
    std::vector<decision::FactorReplacement> replacements;
    for (const core::FactorImport& f : factors)
        replacements.push_back({f.factor,
                                f.title.empty() ? std::nullopt : std::optional<std::string>(f.title),
                                rowsOf(f.propositions)});
    decision::ReplaceFactors(db, replacements);
}

std::vector<int> FactorsReplacingData(store::Database& db,
                                      std::span<const core::FactorImport> factors) {
    std::vector<int> holding;
    for (const core::FactorImport& f : factors)
        if (decision::FactorHoldsData(db, f.factor)) holding.push_back(f.factor);
    return holding;
}

}  // namespace vpl

#include "likert/factor_import.h"

#include <string>
#include <vector>

#include "core/number_text.h"
#include "likert/likert_evidence.h"
#include "store/schema.h"

namespace vpl {

namespace {

// The degree as the Likert window stores it: read back from its four-decimal text, 0 when
// there are no answers.
double storedDegree(const std::optional<std::string>& text) {
    return text ? core::ParseLocaleNumber(*text, {}).value_or(0.0) : 0.0;
}

}  // namespace

void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions) {
    std::vector<core::LikertRow> rows;
    for (const core::SurveyProposition& p : propositions)
        rows.push_back({static_cast<double>(p.counts[0]), static_cast<double>(p.counts[1]),
                        static_cast<double>(p.counts[2]), static_cast<double>(p.counts[3]),
                        static_cast<double>(p.counts[4])});
    const core::LikertTexts degrees =
        core::FormatLikertEvidence(core::ComputeLikertEvidence(rows), {});

    const std::string table = store::propositionTable(factor);
    store::Transaction tx(db);
    const std::vector<store::Row> stored = db.firstRows(table, {}, store::kPropositionRows);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const bool imported = i < propositions.size();
        store::Assignments fields{
            {"Proposicao", store::Value(imported ? propositions[i].text : std::string())}};
        for (int j = 1; j <= store::kLikertPoints; ++j)
            fields.emplace_back(store::likertField(j),
                                store::Value(imported ? propositions[i].counts[j - 1] : 0));
        db.update(table, stored[i].key(), fields);
    }
    db.update("Fatores", factor,
              {{"Prop", store::Value(std::to_string(propositions.size()))},
               {"Mi1", store::Value(storedDegree(degrees.Mi1))},
               {"Mi2", store::Value(storedDegree(degrees.Mi2))}});
    tx.commit();
}

}  // namespace vpl

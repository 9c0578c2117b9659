#include "likert/factor_import.h"

#include <string>
#include <vector>

#include "core/number_text.h"
#include "likert/likert_evidence.h"
#include "store/schema.h"

namespace vpl {

void StoreImportedFactor(store::Database& db, int factor,
                         std::span<const core::SurveyProposition> propositions) {
    std::vector<core::LikertRow> rows;
    for (const core::SurveyProposition& p : propositions)
        rows.push_back({static_cast<double>(p.counts[0]), static_cast<double>(p.counts[1]),
                        static_cast<double>(p.counts[2]), static_cast<double>(p.counts[3]),
                        static_cast<double>(p.counts[4])});
    const core::StoredDegrees degrees = core::DegreesToStore(core::ComputeLikertEvidence(rows));

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
               {"Mi1", store::Value(degrees.Mi1)},
               {"Mi2", store::Value(degrees.Mi2)}});
    tx.commit();
}

namespace {

std::vector<std::string> propositionFields() {
    std::vector<std::string> fields{"Proposicao"};
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    return fields;
}

const std::vector<std::string> kFactorFields{"Prop", "Mi1", "Mi2"};

}  // namespace

FactorSnapshot SnapshotFactor(store::Database& db, int factor) {
    FactorSnapshot snapshot{factor, db.firstRows(store::propositionTable(factor),
                                                 propositionFields(), store::kPropositionRows)};
    std::optional<store::Row> row = db.rowByKey("Fatores", kFactorFields, factor);
    if (!row)
        throw store::StoreError("Registro não encontrado: Fatores chave " + std::to_string(factor) +
                                ".");
    snapshot.rows.push_back(std::move(*row));
    return snapshot;
}

void RestoreFactor(store::Database& db, const FactorSnapshot& snapshot, std::int64_t seenVersion) {
    store::Transaction tx(db, seenVersion);
    for (const store::Row& row : snapshot.rows) {
        const bool factorRow = &row == &snapshot.rows.back();
        store::Assignments fields;
        for (const std::string& field : factorRow ? kFactorFields : propositionFields())
            fields.emplace_back(field, row.value(field));
        db.update(row.table(), row.key(), fields);
    }
    tx.commit();
}

}  // namespace vpl

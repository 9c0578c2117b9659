#include "setup/clear_all.h"

#include <string>
#include <utility>
#include <vector>

#include "store/schema.h"

namespace vpl::setup {

namespace {

using Cleared = std::vector<std::pair<std::string, store::Value>>;

// Empties `fields` in the table's first `rows` rows (every row when negative).
// Only the rows that hold something are written, so clearing a barely used file
// writes (and syncs) next to nothing; a NULL counts as something to clear.
void clearRows(store::Database& db, const std::string& table, int rows, const Cleared& fields) {
    std::string set, filled;
    std::vector<store::Value> values;
    for (const auto& [field, empty] : fields) {
        set += (set.empty() ? "[" : ", [") + field + "] = ?";
        values.push_back(empty);
    }
    for (const auto& [field, empty] : fields) {
        filled += (filled.empty() ? "[" : " OR [") + field + "] IS NOT ?";
        values.push_back(empty);
    }
    std::string sql = "UPDATE [" + table + "] SET " + set + " WHERE (" + filled + ")";
    if (rows >= 0) {
        // StoreError when the table holds fewer rows.
        sql += " AND [Id] <= ?";
        values.emplace_back(db.keyAt(table, rows));
    }
    db.execute(sql, values);
}

Cleared clearedRegistration() {
    Cleared fields{{"Questao", ""}, {"Depto", ""}};
    for (int i = 1; i <= store::kParticipants; ++i)
        fields.emplace_back(store::participantField(i), "");
    return fields;
}

Cleared clearedProposition() {
    Cleared fields{{"Proposicao", ""}};
    for (int point = 1; point <= store::kLikertPoints; ++point)
        fields.emplace_back(store::likertField(point), 0);
    return fields;
}

}  // namespace

void clearAllData(store::Database& db) {
    store::Transaction tx(db);
    clearRows(db, "Cadastro", 1, clearedRegistration());
    clearRows(db, "Fatores", -1, {{"Fator", ""}, {"Prop", ""}, {"Mi1", 0.0}, {"Mi2", 0.0}});
    for (int k = 1; k <= store::kFactorSlots; ++k)
        clearRows(db, store::propositionTable(k), store::kPropositionRows, clearedProposition());
    tx.commit();
}

}  // namespace vpl::setup

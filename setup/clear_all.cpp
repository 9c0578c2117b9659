#include "setup/clear_all.h"

#include <string>

#include "store/schema.h"

namespace vpl::setup {

namespace {

store::Assignments clearedRegistration() {
    store::Assignments fields{{"Questao", ""}, {"Depto", ""}};
    for (int i = 1; i <= 8; ++i) fields.emplace_back("Participante" + std::to_string(i), "");
    return fields;
}

// Empties the first 99 propositions of a factor: the rows up to the 99th key.
// Rows already empty are left alone, so clearing a barely used file writes (and
// syncs) next to nothing.
void clearPropositions(store::Database& db, const std::string& table) {
    // StoreError when the table holds fewer than 99 rows.
    const store::Key last = db.keyAt(table, store::kPropositionRows);
    std::string set = "[Proposicao] = ''";
    std::string filled = "[Proposicao] IS NOT ''";
    for (int point = 1; point <= 5; ++point) {
        const std::string field = "[" + store::likertField(point) + "]";
        set += ", " + field + " = 0";
        filled += " OR " + field + " IS NOT 0";
    }
    db.execute("UPDATE [" + table + "] SET " + set + " WHERE [Id] <= ? AND (" + filled + ")",
               {store::Value(last)});
}

}  // namespace

void clearAllData(store::Database& db) {
    store::Transaction tx(db);
    db.updateFirst("Cadastro", 1, clearedRegistration());
    db.updateFirst("Fatores", -1, {{"Fator", ""}, {"Prop", ""}, {"Mi1", 0.0}, {"Mi2", 0.0}});
    for (int k = 1; k <= store::kFactorSlots; ++k)
        clearPropositions(db, store::propositionTable(k));
    tx.commit();
}

}  // namespace vpl::setup

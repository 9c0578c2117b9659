#pragma once

#include "store/database.h"

namespace vpl::setup {

// Wipes the decision problem to start a new one: the question, department and
// participants of the first Cadastro row, every Fatores row (title, proposition
// count, degrees) and rows 1 to 99 of each of Prop1 .. Prop8. Parametro,
// Cadastro.nFatores and PLikert keep their values, and so does any row past the
// 99th. One transaction: when any part fails (a missing table, a proposition
// table shorter than 99 rows) nothing is changed and the StoreError propagates.
void clearAllData(store::Database& db);

}  // namespace vpl::setup

#pragma once

// Decisions side by side: the analysis each data file opens, its result and where it falls
// on the lattice, ranked by the degree of certainty. The files are read, never written.

#include <optional>
#include <string>
#include <vector>

#include "core/fixed4.h"
#include "core/number_text.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "store/key_derivation.h"

namespace vpl {

namespace store {
class Database;
}  // namespace store

// The outcome of the analysis a stored decision opens: the four-factor network for four
// factors, the family network on the factors' own pairs for 2, 3 and 5 to 8 (the reference
// table is the same in every file, so comparing it would compare nothing).
struct DecisionOutcome {
    std::string question;
    int factors = 0;
    double muR = 0;
    double lambdaR = 0;
    core::Fixed4 certainty;      // Gc = muR - lambdaR
    core::Fixed4 contradiction;  // Gct = muR + lambdaR - 1
    core::EstadoLogico state{};  // at the file's requirement level
    core::Fixed4 level;          // the file's requirement level
    core::Decisao decision;
};
// decision::InvalidDataError when the stored factor count opens no analysis.
DecisionOutcome OutcomeOfStoredDecision(store::Database& db, core::NumberLocale locale);

struct ComparedDecision {
    std::string file;
    std::optional<DecisionOutcome> outcome;  // nothing when the file could not be analysed
    std::string failure;                     // then why, in the store's or the data's words
};

// Every file opened read-only (on worker threads) and analysed; those analysed ranked by
// certainty, highest first (ties keep the order given), then those that failed.
std::vector<ComparedDecision> CompareDecisions(const std::vector<std::string>& files,
                                               core::NumberLocale locale,
                                               const store::KeptKeys& keptKeys = store::KeptKeys({}));

}  // namespace vpl

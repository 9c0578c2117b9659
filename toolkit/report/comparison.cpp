#include "report/comparison.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "decision/decision.h"
#include "engine/networks.h"
#include "report/stored_analysis.h"
#include "store/schema.h"

namespace vpl {

DecisionOutcome OutcomeOfStoredDecision(store::Database& db, core::NumberLocale locale) {
    const decision::FactorCount count = decision::ReadFactorCount(db, locale);
    if (!count.analysed())
        throw decision::InvalidDataError("the stored factor count " +
                                         decision::ShownValue(count.stored) +
                                         " opens no analysis");
    DecisionOutcome outcome;
    outcome.question = decision::ReadQuestion(db);
    outcome.factors = *count.analysed();
    const auto pairs = StoredFactorPairs(db, outcome.factors);
    if (outcome.factors == 4) {
        const core::Rede4fResult r = core::Rede4f(4, pairs, locale);
        outcome.muR = core::ParseLocaleNumber(r.muR, locale).value_or(0);
        outcome.lambdaR = core::ParseLocaleNumber(r.lambdaR, locale).value_or(0);
        outcome.certainty = r.gG1;
        outcome.contradiction = r.gG2;
    } else {
        const core::AnaliseFatoresPropriosResult r =
            core::AnalisarFatoresProprios(pairs, core::FamilyNetwork(outcome.factors), locale);
        outcome.muR = r.muR.value;
        outcome.lambdaR = r.lambdaR.value;
        outcome.certainty = r.graus.G1;
        outcome.contradiction = r.graus.G2;
    }
    // Each decision at its own file's requirement level.
    outcome.level = decision::ReadDecisionSettings(db, locale).requirementLevel();
    outcome.state =
        core::EstadoDoResultado(outcome.certainty, outcome.contradiction, outcome.level);
    outcome.decision =
        core::DecisaoDoResultado(outcome.certainty, outcome.contradiction, outcome.level);
    return outcome;
}

namespace {

ComparedDecision compareOne(const std::string& file, core::NumberLocale locale,
                            const store::KeptKeys& keptKeys) {
    ComparedDecision compared{file, std::nullopt, {}};
    try {
        auto db = store::Database::open(file, store::kDatabaseKey,
                                        store::Database::Access::ReadOnly, keptKeys);
        compared.outcome = OutcomeOfStoredDecision(*db, locale);
    } catch (const std::exception& e) {  // the store's and the data's errors alike
        compared.failure = e.what();
    }
    return compared;
}

}  // namespace

std::vector<ComparedDecision> CompareDecisions(const std::vector<std::string>& files,
                                               core::NumberLocale locale,
                                               const store::KeptKeys& keptKeys) {
    std::vector<ComparedDecision> compared(files.size());
    // The key derivation of each opening is most of the time: a worker per core.
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++)
            compared[i] = compareOne(files[i], locale, keptKeys);
    };
    const unsigned workers =
        std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), files.size());
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    std::stable_sort(compared.begin(), compared.end(),
                     [](const ComparedDecision& a, const ComparedDecision& b) {
                         if (!a.outcome || !b.outcome) return a.outcome && !b.outcome;
                         return a.outcome->certainty > b.outcome->certainty;
                     });
    return compared;
}

}  // namespace vpl

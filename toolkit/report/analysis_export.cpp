#include "report/analysis_export.h"

#include <algorithm>

#include "decision/decision.h"
#include "engine/barycentre.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "engine/networks.h"
#include "report/report.h"
#include "report/stored_analysis.h"

namespace vpl {

namespace {

using core::Operator;
using core::Side;

std::string factorLabel(int factor, Side side) {
    return "lblF" + std::to_string(factor) + (side == Side::Contrary ? "G2" : "G1");
}

// A degree as the windows show it: nothing where the text is empty.
WorkbookDegree shown(std::string name, const core::Degree& d) {
    return {std::move(name), d.text.empty() ? std::nullopt : std::optional(d.value)};
}

WorkbookDegree parsed(std::string name, const std::string& text, core::NumberLocale locale) {
    return {std::move(name), core::ParseLocaleNumber(text, locale)};
}

// The stored factors' titles, propositions and counts; a factor without a number of
// propositions has none.
void storedFactors(store::Database& db, int factors, core::NumberLocale locale,
                   AnalysisWorkbook& b) {
    for (const ReportFactor& f : ReadReportFactors(db, factors, locale)) {
        WorkbookFactor& out = b.factors.emplace_back();
        out.title = f.title.toStdString();
        for (const decision::Proposition& p : f.propositions) {
            out.propositions.push_back(p.text.toText().value_or(""));
            out.counts.push_back(p.counts());
        }
    }
    b.factors.resize(std::size_t(std::max(factors, 0)));
}

std::vector<std::optional<core::EvidencePair>> fourFactor(store::Database& db, int factors,
                                                          core::NumberLocale locale,
                                                          AnalysisWorkbook& b) {
    const auto pairs = StoredFactorPairs(db, std::clamp(factors, 0, 4));
    const core::Rede4fResult r = core::Rede4f(std::int16_t(factors), pairs, locale);
    storedFactors(db, std::clamp(factors, 0, 4), locale, b);
    for (std::size_t i = 0; i < b.factors.size(); ++i) {
        const int f = int(i) + 1;
        b.factors[i].mu = parsed(factorLabel(f, Side::Favourable), r.lblG1[i], locale);
        b.factors[i].lambda = parsed(factorLabel(f, Side::Contrary), r.lblG2[i], locale);
    }
    const auto degree = [&](int f, Side side) {
        return parsed(factorLabel(f, side), side == Side::Contrary ? r.lblG2[f - 1] : r.lblG1[f - 1],
                      locale);
    };
    std::array<WorkbookDegree, 4> max;
    for (int k = 0; k < 4; ++k) max[k] = parsed("lblMax" + std::to_string(k + 1), r.max[k], locale);
    b.cells = {
        {Side::Contrary, Operator::Or, {degree(1, Side::Contrary), degree(2, Side::Contrary)}, max[0]},
        {Side::Contrary, Operator::Or, {degree(3, Side::Contrary), degree(4, Side::Contrary)}, max[1]},
        {Side::Favourable, Operator::Or, {degree(1, Side::Favourable), degree(2, Side::Favourable)},
         max[2]},
        {Side::Favourable, Operator::Or, {degree(3, Side::Favourable), degree(4, Side::Favourable)},
         max[3]},
        {Side::Contrary, Operator::And, {max[0], max[1]}, parsed("lblMin1", r.lambdaR, locale)},
        {Side::Favourable, Operator::And, {max[2], max[3]}, parsed("lblMin2", r.muR, locale)},
    };
    b.muR = core::ParseLocaleNumber(r.muR, locale);
    b.lambdaR = core::ParseLocaleNumber(r.lambdaR, locale);
    b.certainty = r.gG1;
    b.contradiction = r.gG2;
    b.g2n = core::ParseLocaleNumber(r.grid[3], locale);
    b.g1n = core::ParseLocaleNumber(r.grid[4], locale);
    b.verdictOnData = core::VereditoNaoContradicao(r.grid[3], locale);
    b.verdictOnOpinion = core::VereditoCerteza(r.grid[4], locale);
    b.sentence = core::QualidadeDosDados(r.gG2n, r.gG1n);
    return pairs;
}

void outcome(const core::NetworkOutcome& r, core::NumberLocale locale, AnalysisWorkbook& b) {
    b.muR = r.muR.value;
    b.lambdaR = r.lambdaR.value;
    b.certainty = r.graus.G1;
    b.contradiction = r.graus.G2;
    b.g2n = core::ParseLocaleNumber(r.lblG2n, locale);
    b.g1n = core::ParseLocaleNumber(r.lblG1n, locale);
    b.verdictOnData = r.lblMsg2;
    b.verdictOnOpinion = r.lblMsg1;
    b.sentence = core::QualidadeDosDados(r.graus.G2nSingle, r.graus.G1n);
}

std::vector<std::optional<core::EvidencePair>> referenceTable(store::Database& db,
                                                              core::NumberLocale locale,
                                                              AnalysisWorkbook& b) {
    const auto blocks = decision::ReadReferenceBlocks(db);
    const core::AnaliseFatoresResult r =
        core::AnalisarFatores({blocks[0], blocks[1], blocks[2], blocks[3]}, locale);
    std::vector<std::optional<core::EvidencePair>> answered;
    const auto& title = core::Lookup(WorkbookTexts(), "referenceBlock");
    for (int i = 0; i < 4; ++i) {
        WorkbookFactor& f = b.factors.emplace_back();
        f.title = std::string(core::TextIn(title, b.language)) + ' ' + std::to_string(i + 1);
        f.counts = blocks[i];
        f.mu = shown(factorLabel(i + 1, Side::Favourable), r.blocks[i].mu);
        f.lambda = shown(factorLabel(i + 1, Side::Contrary), r.blocks[i].lambda);
        answered.push_back(r.blocks[i].mu.text.empty()
                               ? std::nullopt
                               : std::optional(core::EvidencePair{r.blocks[i].mu.value,
                                                                  r.blocks[i].lambda.value}));
    }
    const auto block = [&](int i, Side side) {
        return side == Side::Contrary ? b.factors[i - 1].lambda : b.factors[i - 1].mu;
    };
    const char* names[] = {"lblMax1", "lblMax2", "lblMin1", "lblMax3", "lblMax4", "lblMin2"};
    std::array<WorkbookDegree, 6> step;
    for (int k = 0; k < 6; ++k) step[k] = shown(names[k], r.steps[k].result);
    b.cells = {
        {Side::Contrary, Operator::Or, {block(1, Side::Contrary), block(2, Side::Contrary)}, step[0]},
        {Side::Contrary, Operator::Or, {block(3, Side::Contrary), block(4, Side::Contrary)}, step[1]},
        {Side::Contrary, Operator::And, {step[0], step[1]}, step[2]},
        {Side::Favourable, Operator::Or, {block(1, Side::Favourable), block(2, Side::Favourable)},
         step[3]},
        {Side::Favourable, Operator::Or, {block(3, Side::Favourable), block(4, Side::Favourable)},
         step[4]},
        {Side::Favourable, Operator::And, {step[3], step[4]}, step[5]},
    };
    outcome(r, locale, b);
    return answered;
}

std::vector<std::optional<core::EvidencePair>> ownFactors(store::Database& db, int factors,
                                                          core::NumberLocale locale,
                                                          AnalysisWorkbook& b) {
    const auto pairs = StoredFactorPairs(db, factors);
    const std::vector<core::NetworkColumn>& columns = core::FamilyNetwork(factors);
    const core::AnaliseFatoresPropriosResult r =
        core::AnalisarFatoresProprios(pairs, columns, locale);
    storedFactors(db, factors, locale, b);
    for (int f = 1; f <= factors; ++f) {
        b.factors[f - 1].mu = shown(factorLabel(f, Side::Favourable), r.factors[f - 1].mu);
        b.factors[f - 1].lambda = shown(factorLabel(f, Side::Contrary), r.factors[f - 1].lambda);
    }
    // An operand is the latest earlier cell over exactly its rows, else the factor of its row.
    const auto joins = core::NetworkJoins(factors, columns);
    const auto operand = [&](std::size_t column, const core::Span& rows, Side side) {
        for (std::size_t c = column; c-- > 0;)
            for (std::size_t k = 0; k < joins[c].size(); ++k)
                if (joins[c][k].rows.first == rows.first && joins[c][k].rows.last == rows.last) {
                    const core::Anotacao& a = r.cells[c][k];
                    return shown(core::CellLabelName(side, int(c), int(k)),
                                 side == Side::Contrary ? a.lambda : a.mu);
                }
        const core::Anotacao& a = r.factors[rows.first - 1];
        return shown(factorLabel(rows.first, side), side == Side::Contrary ? a.lambda : a.mu);
    };
    for (const Side side : {Side::Contrary, Side::Favourable})
        for (std::size_t c = 0; c < joins.size(); ++c)
            for (std::size_t k = 0; k < joins[c].size(); ++k) {
                WorkbookCell& cell = b.cells.emplace_back();
                cell.side = side;
                cell.kind = columns[c].kind;
                for (const core::Span& input : joins[c][k].inputs)
                    cell.operands.push_back(operand(c, input, side));
                const core::Anotacao& a = r.cells[c][k];
                cell.result = shown(core::CellLabelName(side, int(c), int(k)),
                                    side == Side::Contrary ? a.lambda : a.mu);
            }
    outcome(r, locale, b);
    return core::ParesComRespostas(pairs, StoredFactorsWithoutAnswers(db, pairs, locale));
}

}  // namespace

AnalysisWorkbook StoredAnalysisWorkbook(store::Database& db, int factors, AnalysisSource source,
                                        core::NumberLocale locale, core::Language language) {
    AnalysisWorkbook b;
    b.language = language;
    std::vector<std::optional<core::EvidencePair>> answered;
    switch (source) {
        case AnalysisSource::FourFactor: {
            const auto pairs = fourFactor(db, factors, locale, b);
            answered = core::ParesComRespostas(pairs, StoredFactorsWithoutAnswers(db, pairs, locale));
            break;
        }
        case AnalysisSource::ReferenceTable:
            answered = referenceTable(db, locale, b);
            break;
        case AnalysisSource::OwnFactors:
            answered = ownFactors(db, factors, locale, b);
            break;
    }
    const decision::DecisionSettings settings = decision::ReadDecisionSettings(db, locale);
    b.level = settings.requirementLevel();
    b.state = core::EstadoDoResultado(b.certainty, b.contradiction, b.level);
    b.decision = core::DecisaoDoResultado(b.certainty, b.contradiction, b.level);
    // The reference table's blocks are no factors of the user's: they weigh alike.
    std::vector<int> weights(answered.size(), core::kPesoPadrao);
    if (source != AnalysisSource::ReferenceTable)
        for (std::size_t i = 0; i < weights.size() && i < settings.weights.size(); ++i)
            weights[i] = settings.weights[i];
    b.barycentre = core::AnalisarBaricentro(answered, weights, b.level);
    return b;
}

std::optional<std::string> ExportStoredAnalysis(store::Database& db,
                                                const std::filesystem::path& path, int factors,
                                                AnalysisSource source, core::NumberLocale locale,
                                                core::Language language) {
    return WriteAnalysisWorkbook(path, StoredAnalysisWorkbook(db, factors, source, locale, language));
}

}  // namespace vpl

#include "engine/networks.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <map>
#include <stdexcept>

namespace vpl::core {
namespace {

std::string ShownWithTwoDecimals(const std::string& fourDecimals, NumberLocale locale) {
    if (fourDecimals.empty()) return {};
    return FormatNumber(Fixed4::FromText(fourDecimals, locale).ToDouble(), "0.00", locale);
}

template <class T>
const T& Chosen(Operand operand, const T& first, const T& second) {
    return operand == Operand::First ? first : second;
}

NetworkOutcome Conclude(const Degree& muR, const Degree& lambdaR, NumberLocale locale) {
    NetworkOutcome r;
    r.lambdaR = lambdaR;
    r.muR = muR;
    r.graus = GrausParaconsistentes(Fixed4::FromReal(muR.value), Fixed4::FromReal(lambdaR.value));
    r.lblG2n = FormatNumber(r.graus.G2n, "0.0000", locale);
    r.lblG1n = FormatNumber(r.graus.G1n, "0.0000", locale);
    r.lblMsg2 = VereditoNaoContradicao(r.lblG2n, locale);
    r.lblMsg1 = VereditoCerteza(r.lblG1n, locale);
    return r;
}

// One operator on both degrees, each side on its own.
Anotacao Join(Operator kind, const Anotacao& a, const Anotacao& b, NumberLocale locale) {
    constexpr auto kValues = Comparison::Values;
    if (kind == Operator::Or)
        return {OperadorMax(a.mu, b.mu, kValues, locale),
                OperadorMax(a.lambda, b.lambda, kValues, locale)};
    return {OperadorMin(a.mu, b.mu, kValues, locale),
            OperadorMin(a.lambda, b.lambda, kValues, locale)};
}

}  // namespace

Rede4fResult Rede4f(std::int16_t factorCount, std::span<const std::optional<EvidencePair>> pairs,
                    NumberLocale locale) {
    Rede4fResult r;
    const std::size_t shown =
        std::min<std::size_t>(std::clamp<int>(factorCount, 0, 4), pairs.size());
    for (std::size_t i = 0; i < shown; ++i) {
        if (!pairs[i]) continue;
        r.lblG1[i] = FormatNumber(pairs[i]->Mi1, "0.0000", locale);
        r.lblG2[i] = FormatNumber(pairs[i]->Mi2, "0.0000", locale);
    }
    const auto key = [locale](const std::string& text) { return Fixed4::FromText(text, locale); };
    const auto& mu = r.lblG1;
    const auto& lambda = r.lblG2;

    r.max[0] = Chosen(OperadorMax(key(lambda[0]), key(lambda[1])), lambda[0], lambda[1]);
    r.max[1] = Chosen(OperadorMax(key(lambda[2]), key(lambda[3])), lambda[2], lambda[3]);
    // The favourable OR takes the factor with the smaller contrary degree; a tie gives the
    // second factor.
    r.max[2] = Chosen(OperadorMin(key(lambda[0]), key(lambda[1])), mu[0], mu[1]);
    r.max[3] = Chosen(OperadorMin(key(lambda[2]), key(lambda[3])), mu[2], mu[3]);
    for (std::size_t k = 0; k < 4; ++k) r.lblMax[k] = ShownWithTwoDecimals(r.max[k], locale);

    // The AND steps compare what lblMax shows, so maxima equal to two decimals tie and the
    // second one's four decimals are carried on.
    const Operand contrary = OperadorMin(key(r.lblMax[0]), key(r.lblMax[1]));
    r.lblMin1 = Chosen(contrary, r.lblMax[0], r.lblMax[1]);
    r.lambdaR = Chosen(contrary, r.max[0], r.max[1]);
    const Operand favourable = OperadorMin(key(r.lblMax[2]), key(r.lblMax[3]));
    r.lblMin2 = Chosen(favourable, r.lblMax[2], r.lblMax[3]);
    r.muR = Chosen(favourable, r.max[2], r.max[3]);

    const Graus graus = GrausParaconsistentes(key(r.muR), key(r.lambdaR));
    r.gG1 = graus.G1;
    r.gG2 = graus.G2;
    r.gG1n = graus.G1n;
    r.gG2n = graus.G2nSingle;
    r.grid = {FormatNumber(r.gG2.ToDouble(), "0.0000", locale),
              FormatNumber(r.gG1.ToDouble(), "0.0000", locale), std::string(),
              FormatNumber(r.gG2n, "0.0000", locale), FormatNumber(r.gG1n, "0.0000", locale)};
    return r;
}

AnaliseFatoresResult AnalisarFatores(const std::array<std::span<const Counts>, 4>& blocks,
                                     NumberLocale locale) {
    AnaliseFatoresResult r;
    for (std::size_t i = 0; i < 4; ++i) {
        r.blocks[i] = EvidenciaDeContagens(blocks[i], locale).value_or(Anotacao{});
    }
    const auto& b = r.blocks;
    constexpr auto kValues = Comparison::Values;
    const auto max = [locale](const Degree& x, const Degree& y, Comparison by) {
        return NetworkStep{OperadorMax(x, y, by, locale), by};
    };
    const auto min = [locale](const Degree& x, const Degree& y, Comparison by) {
        return NetworkStep{OperadorMin(x, y, by, locale), by};
    };
    auto& s = r.steps;
    s[0] = max(b[0].lambda, b[1].lambda, kValues);
    s[1] = max(b[2].lambda, b[3].lambda, kValues);
    s[2] = min(s[0].result, s[1].result, kValues);
    s[3] = max(b[0].mu, b[1].mu, kValues);
    s[4] = max(b[2].mu, b[3].mu, kValues);
    // Only this step compares the shown two-decimal texts.
    s[5] = min(s[3].result, s[4].result, Comparison::Texts);
    static_cast<NetworkOutcome&>(r) = Conclude(s[5].result, s[2].result, locale);
    return r;
}

std::vector<std::vector<CellJoin>> NetworkJoins(int factorCount,
                                                const std::vector<NetworkColumn>& columns) {
    if (factorCount < 1) throw std::invalid_argument("a network needs a factor");
    // What stands in the rows so far, in row order.
    std::vector<Span> groups;
    for (int f = 1; f <= factorCount; ++f) groups.push_back({f, f});

    std::vector<std::vector<CellJoin>> joins;
    for (const NetworkColumn& column : columns) {
        std::vector<Span> next;
        std::vector<bool> joined(groups.size(), false);
        std::vector<CellJoin>& cells = joins.emplace_back();
        for (const Span& span : column.cells) {
            if (span.first < 1 || span.last > factorCount || span.first > span.last)
                throw std::invalid_argument("an operator cell joins rows outside the network");
            CellJoin& cell = cells.emplace_back(CellJoin{span, {}});
            for (std::size_t g = 0; g < groups.size(); ++g) {
                const Span rows = groups[g];
                if (rows.last < span.first || rows.first > span.last) continue;
                if (joined[g] || rows.first < span.first || rows.last > span.last)
                    throw std::invalid_argument("an operator cell cuts through another one");
                joined[g] = true;
                cell.inputs.push_back(rows);
            }
            next.push_back(span);
        }
        for (std::size_t g = 0; g < groups.size(); ++g)
            if (!joined[g]) next.push_back(groups[g]);
        std::sort(next.begin(), next.end(),
                  [](const Span& a, const Span& b) { return a.first < b.first; });
        groups = std::move(next);
    }
    if (groups.size() != 1)
        throw std::invalid_argument("the network does not join every factor into one pair");
    return joins;
}

AnaliseFatoresPropriosResult AnalisarFatoresProprios(
    std::span<const std::optional<EvidencePair>> pairs, const std::vector<NetworkColumn>& columns,
    NumberLocale locale) {
    const int n = static_cast<int>(pairs.size());
    const std::vector<std::vector<CellJoin>> joins = NetworkJoins(n, columns);
    AnaliseFatoresPropriosResult r;

    // The pair of what stands in each group of rows, by its first row.
    std::map<int, Anotacao> standing;
    for (int f = 1; f <= n; ++f) {
        Anotacao pair;
        if (const auto& p = pairs[f - 1]) {
            pair.mu = {p->Mi1, FormatNumber(p->Mi1, "0.00", locale)};
            pair.lambda = {p->Mi2, FormatNumber(p->Mi2, "0.00", locale)};
        } else {
            r.withoutPair.push_back(f);
        }
        r.factors.push_back(pair);
        standing[f] = pair;
    }
    for (std::size_t c = 0; c < joins.size(); ++c) {
        std::vector<Anotacao>& results = r.cells.emplace_back();
        for (const CellJoin& cell : joins[c]) {
            std::optional<Anotacao> result;
            for (const Span& input : cell.inputs) {
                const Anotacao& pair = standing.at(input.first);
                result = result ? Join(columns[c].kind, *result, pair, locale) : pair;
                standing.erase(input.first);
            }
            results.push_back(*result);
            standing[cell.rows.first] = *result;
        }
    }
    const Anotacao& end = standing.begin()->second;
    static_cast<NetworkOutcome&>(r) = Conclude(end.mu, end.lambda, locale);
    return r;
}

std::vector<int> FatoresSemRespostas(std::span<const std::optional<EvidencePair>> pairs,
                                     std::span<const std::optional<double>> answers) {
    std::vector<int> factors;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const bool noAnswers = i < answers.size() && answers[i].has_value() && *answers[i] == 0.0;
        const bool zero = pairs[i] && pairs[i]->Mi1 == 0 && pairs[i]->Mi2 == 0;
        if (!pairs[i] || (zero && noAnswers)) factors.push_back(static_cast<int>(i) + 1);
    }
    return factors;
}

namespace {

constexpr Translated kSemRespostas[] = {
    {"one", "Sem respostas, entrou com graus 0: fator ",
     "No answers, entered with degrees 0: factor ", "Sin respuestas, entró con grados 0: factor "},
    {"many", "Sem respostas, entraram com graus 0: fatores ",
     "No answers, entered with degrees 0: factors ",
     "Sin respuestas, entraron con grados 0: factores "},
};

}  // namespace

std::string LinhaSemRespostas(const std::vector<int>& factors, Language idioma) {
    if (factors.empty()) return {};
    std::string line = TextIn(Lookup(kSemRespostas, factors.size() == 1 ? "one" : "many"), idioma);
    for (std::size_t i = 0; i < factors.size(); ++i)
        line += (i ? ", " : "") + std::to_string(factors[i]);
    return line;
}

std::span<const Translated> TextosSemRespostas() {
    return kSemRespostas;
}

const std::vector<NetworkColumn>& FamilyNetwork(int factors) {
    using Op = Operator;
    static const std::array<std::pair<int, std::vector<NetworkColumn>>, 6> networks{{
        {2, {{Op::And, {{1, 2}}}}},
        {3, {{Op::Or, {{1, 2}, {3, 3}}}, {Op::And, {{1, 3}}}}},
        {5, {{Op::Or, {{1, 2}, {3, 4}}}, {Op::And, {{1, 4}}}, {Op::And, {{1, 5}}}}},
        {6, {{Op::And, {{1, 2}, {3, 4}, {5, 6}}}, {Op::Or, {{1, 4}, {5, 6}}}, {Op::And, {{1, 6}}}}},
        {7,
         {{Op::Or, {{1, 2}, {3, 4}, {5, 6}, {7, 7}}},
          {Op::And, {{1, 4}, {5, 7}}},
          {Op::Or, {{1, 7}}}}},
        {8,
         {{Op::Or, {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
          {Op::And, {{1, 4}, {5, 8}}},
          {Op::Or, {{1, 8}}}}},
    }};
    for (const auto& [count, network] : networks)
        if (count == factors) return network;
    throw std::out_of_range("no family network for " + std::to_string(factors) + " factors");
}

std::string CellLabelName(Side side, int column, int cell) {
    return std::string(side == Side::Contrary ? "lblD" : "lblC") + std::to_string(column + 1) +
           "_" + std::to_string(cell + 1);
}

}  // namespace vpl::core

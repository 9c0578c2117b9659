#pragma once

// The analysis networks as pure functions from the factors' evidence to every text the
// windows show: the fixed (factor 1 OR factor 2) AND (factor 3 OR factor 4), and the network
// a family window's picture draws, over the factors the user entered.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/logical_state.h"
#include "engine/paraconsistent.h"
#include "core/fixed4.h"
#include "core/number_text.h"

namespace vpl::core {

// A factor's stored evidence pair (fields Mi1 and Mi2).
struct EvidencePair {
    double Mi1 = 0.0;  // favourable degree
    double Mi2 = 0.0;  // contrary degree
};

// Four-factor window. Every comparison reads display texts; an empty text counts 0.
struct Rede4fResult {
    std::array<std::string, 4> lblG1;   // lblF1G1 .. lblF4G1, "0.0000"
    std::array<std::string, 4> lblG2;   // lblF1G2 .. lblF4G2, "0.0000"
    std::array<std::string, 4> lblMax;  // lblMax1 .. lblMax4, "0.00"
    std::string lblMin1;                // "0.00"
    std::string lblMin2;                // "0.00"
    std::array<std::string, 4> max;     // the four-decimal texts carried by lblMax1 .. lblMax4
    std::string lambdaR;                // "0.0000"
    std::string muR;                    // "0.0000"
    Fixed4 gG1;
    Fixed4 gG2;
    double gG1n = 0.0;
    float gG2n = 0.0f;
    std::array<std::string, 5> grid;  // column 1, rows 0 to 4 ("0.0000"); row 2 stays empty
};

// Factor i (1-based) has texts only when i <= min(factorCount, 4) and pairs holds a pair at
// index i - 1; any other factor shows empty texts.
Rede4fResult Rede4f(std::int16_t factorCount, std::span<const std::optional<EvidencePair>> pairs,
                    NumberLocale locale);

// What a family analysis ends in: the combined pair, its degrees and the two verdicts.
struct NetworkOutcome {
    Degree lambdaR;
    Degree muR;
    Graus graus;         // of muR and lambdaR, as the result window reads them
    std::string lblG2n;  // ~G2n, "0.0000"
    std::string lblG1n;  // G1n, "0.0000"
    std::string_view lblMsg2;
    std::string_view lblMsg1;
};

// Family window for 2, 3, 5, 6, 7 and 8 factors: always four blocks of answer counts.
struct NetworkStep {
    Degree result;  // the chosen operand, value and text
    Comparison comparedBy = Comparison::Values;
};

struct AnaliseFatoresResult : NetworkOutcome {
    // lblF1G1 .. lblF4G1 (mu) and lblF1G2 .. lblF4G2 (lambda), "0.00"; a block without
    // answers has values 0 and empty texts.
    std::array<Anotacao, 4> blocks;
    // lblMax1, lblMax2, lblMin1 (contrary side), lblMax3, lblMax4, lblMin2 (favourable side).
    std::array<NetworkStep, 6> steps;
};

AnaliseFatoresResult AnalisarFatores(const std::array<std::span<const Counts>, 4>& blocks,
                                     NumberLocale locale);

// A network as its table picture draws it: operator columns from the factors outwards, the
// same on the contrary and on the favourable side.
enum class Operator { Or, And };  // OperadorMax, OperadorMin

// The factor rows that one operator cell joins, 1-based and inclusive.
struct Span {
    int first;
    int last;
};

// A cell joins what stands in its rows after the columns before it: the results of their
// cells, and the factors of rows that no cell has joined yet. Rows no cell of this column
// joins carry their value on.
struct NetworkColumn {
    Operator kind;
    std::vector<Span> cells;
};

// The two sides of a network: the contrary degrees (lambda) and the favourable ones (mu).
enum class Side { Contrary, Favourable };

// The network of the analysis window for 2, 3 or 5 to 8 factors, from the factors outwards;
// std::out_of_range for any other count.
const std::vector<NetworkColumn>& FamilyNetwork(int factors);

// The name of an operator cell's result on the user's own factors, where the window has no
// label of its own for it: D (discordante) or C (concordante), the column and the cell counted
// from 1, as lblD3_1.
std::string CellLabelName(Side side, int column, int cell);

// How a network joins its rows, column by column: each cell with what it joins, in row order.
// What it joins is a factor's own row or the rows of an earlier cell.
struct CellJoin {
    Span rows;
    std::vector<Span> inputs;
};

// std::invalid_argument for no factor, a cell outside the factor rows or cutting through an
// earlier cell or another cell of its column, or a network that does not join every factor
// into one pair.
std::vector<std::vector<CellJoin>> NetworkJoins(int factorCount,
                                                const std::vector<NetworkColumn>& columns);

// Family window on the user's own factors: the stored pairs through the picture's network.
struct AnaliseFatoresPropriosResult : NetworkOutcome {
    // Per factor, texts "0.00"; a factor without a pair has values 0 and empty texts.
    std::vector<Anotacao> factors;
    std::vector<int> withoutPair;  // those factors, 1-based
    // Per operator column and cell, in the columns' order: lambda for the contrary side,
    // mu for the favourable side.
    std::vector<std::vector<Anotacao>> cells;
};

// One pair per factor (pairs[0] is factor 1). Every selection compares values on four
// decimals; a cell that joins more than two things takes them in row order, each tie giving
// the later one. std::invalid_argument for a network NetworkJoins refuses.
AnaliseFatoresPropriosResult AnalisarFatoresProprios(
    std::span<const std::optional<EvidencePair>> pairs, const std::vector<NetworkColumn>& columns,
    NumberLocale locale);

// The factors (1-based) that enter a network with degrees 0 for want of answers: those
// without a stored pair, and those whose pair is 0 and 0 while not one answer was counted in
// their propositions. answers[i] is the count of factor i + 1, nothing when it is unknown;
// a factor answered only with "I" has degrees 0 of its own and is not one of them.
std::vector<int> FatoresSemRespostas(std::span<const std::optional<EvidencePair>> pairs,
                                     std::span<const std::optional<double>> answers);

// The line that names those factors and says how they entered, in the interface language;
// empty when there are none.
std::string LinhaSemRespostas(const std::vector<int>& factors, Language idioma);
// Its beginnings, "one" for a single factor and "many".
std::span<const Translated> TextosSemRespostas();

}  // namespace vpl::core

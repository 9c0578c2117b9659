#pragma once

// The barycentre of the factors: the mean of their pairs, each factor counting by its weight,
// beside the network's result.

#include <optional>
#include <span>
#include <vector>

#include "core/fixed4.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "engine/networks.h"
#include "engine/paraconsistent.h"

namespace vpl::core {

// A factor's weight is a whole number.
inline constexpr int kPesoMinimo = 1;
inline constexpr int kPesoMaximo = 10;
inline constexpr int kPesoPadrao = 1;

// (Σ w·Mi1 / Σ w, Σ w·Mi2 / Σ w) over the factors that have answers, the caller giving a
// factor without answers as nothing; nothing when no factor has answers. One weight per
// pair, each from 1 to 10, else std::invalid_argument.
std::optional<EvidencePair> Baricentro(std::span<const std::optional<EvidencePair>> pairs,
                                       std::span<const int> weights);

// The pairs with the factors of `semRespostas` (1-based, as FatoresSemRespostas lists them)
// made nothing, so that the barycentre leaves them out.
std::vector<std::optional<EvidencePair>> ParesComRespostas(
    std::span<const std::optional<EvidencePair>> pairs, std::span<const int> semRespostas);

// The barycentre read as a result: its degrees from the pair rounded to fixed point, where
// it falls on the lattice and the decision at the requirement level.
struct AnaliseDoBaricentro {
    EvidencePair par;
    Graus graus;
    EstadoLogico estado{};
    Decisao decisao;
};
std::optional<AnaliseDoBaricentro> AnalisarBaricentro(
    std::span<const std::optional<EvidencePair>> pairs, std::span<const int> weights, Fixed4 level);

}  // namespace vpl::core

#pragma once

// Where a result falls on the lattice, in the words of the para-analyser: the degrees of
// certainty (Gc) and contradiction (Gct) against control limits on both axes.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/fixed4.h"
#include "core/translated.h"

namespace vpl::core {

// Control limits, the same on both axes: at or beyond them a degree is decisive.
inline constexpr Fixed4 kLimiteSuperiorDeControle = Fixed4::FromTicks(5000);
inline constexpr Fixed4 kLimiteInferiorDeControle = Fixed4::FromTicks(-5000);

enum class EstadoLogico {
    Verdadeiro,
    Falso,
    Inconsistente,
    Paracompleto,
    QuaseVerdadeiroTendendoAoInconsistente,
    QuaseVerdadeiroTendendoAoParacompleto,
    QuaseFalsoTendendoAoInconsistente,
    QuaseFalsoTendendoAoParacompleto,
    InconsistenteTendendoAoVerdadeiro,
    InconsistenteTendendoAoFalso,
    ParacompletoTendendoAoVerdadeiro,
    ParacompletoTendendoAoFalso,
};
inline constexpr int kEstadosLogicos = 12;

// Extreme regions first: where two meet, the degree of larger magnitude decides, certainty
// at equal magnitude. Inside the limits, the quadrant and the larger magnitude decide, with
// zero on the positive side of its axis and certainty first at equal magnitude.
EstadoLogico EstadoDoResultado(Fixed4 certainty, Fixed4 contradiction);

std::string_view NomeDoEstado(EstadoLogico estado, Language idioma);
// "Estado lógico: Verdadeiro", as the result window and the report show it.
std::string LinhaDoEstado(EstadoLogico estado, Language idioma);
// A stable name for scripts: "true", "quasi-true-tending-to-inconsistent", ..
std::string_view ChaveDoEstado(EstadoLogico estado);

// The states' names in the order of EstadoLogico, each under its stable name, and the
// heading of the line that names one.
std::span<const Translated> NomesDosEstados();
const Translated& TituloDoEstado();

// The state's region inside the lattice (|Gc| + |Gct| <= 1) as a triangle of (Gc, Gct)
// corners; the picture draws these and the classification must agree with them.
struct PontoGc {
    double certainty;
    double contradiction;
};
std::array<PontoGc, 3> RegiaoDoEstado(EstadoLogico estado);

}  // namespace vpl::core

#pragma once

// Where a result falls on the lattice, in the words of the para-analyser: the degrees of
// certainty (Gc) and contradiction (Gct) against control limits on both axes.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/fixed4.h"
#include "core/translated.h"

namespace vpl::core {

// Control limits, the same on both axes: at or beyond them a degree is decisive.
inline constexpr Fixed4 kLimiteSuperiorDeControle = Fixed4::FromTicks(5000);
inline constexpr Fixed4 kLimiteInferiorDeControle = Fixed4::FromTicks(-5000);

// The requirement level is the upper control limit the user chooses, its negative the lower
// one: 0.00 to 1.00 in steps of 0.01. Today's limits are the default.
inline constexpr Fixed4 kNivelDeExigenciaPadrao = kLimiteSuperiorDeControle;
inline constexpr Fixed4 kNivelDeExigenciaMinimo = Fixed4::FromTicks(0);
inline constexpr Fixed4 kNivelDeExigenciaMaximo = kFixed4One;
inline constexpr Fixed4 kPassoDoNivelDeExigencia = Fixed4::FromTicks(100);
// Within 0 and 1 and a whole number of steps.
bool NivelDeExigenciaValido(Fixed4 nivel);

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
// The same with the control limits at +level and -level.
EstadoLogico EstadoDoResultado(Fixed4 certainty, Fixed4 contradiction, Fixed4 level);

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
// The region at a requirement level from 0 to 1, a convex polygon of (Gc, Gct) corners in
// boundary order; empty where the state has no area at that level (the extreme states at 1,
// the inner ones at 0). At 0.50 these are the triangles above, corner for corner.
std::vector<PontoGc> RegiaoDoEstado(EstadoLogico estado, Fixed4 level);

}  // namespace vpl::core

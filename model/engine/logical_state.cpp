#include "engine/logical_state.h"

#include <cstdlib>

namespace vpl::core {

namespace {

std::int64_t magnitude(Fixed4 degree) {
    return std::llabs(degree.Ticks());
}

// In the order of EstadoLogico.
constexpr std::array<Translated, kEstadosLogicos> kNames{{
    {"true", "Verdadeiro", "True", "Verdadero"},
    {"false", "Falso", "False", "Falso", Alike::InSpanish},
    {"inconsistent", "Inconsistente", "Inconsistent", "Inconsistente", Alike::InSpanish},
    {"paracomplete", "Paracompleto", "Paracomplete", "Paracompleto", Alike::InSpanish},
    {"quasi-true-tending-to-inconsistent", "Quase-verdadeiro tendendo ao Inconsistente",
     "Quasi-true tending to Inconsistent", "Casi verdadero tendiendo a Inconsistente"},
    {"quasi-true-tending-to-paracomplete", "Quase-verdadeiro tendendo ao Paracompleto",
     "Quasi-true tending to Paracomplete", "Casi verdadero tendiendo a Paracompleto"},
    {"quasi-false-tending-to-inconsistent", "Quase-falso tendendo ao Inconsistente",
     "Quasi-false tending to Inconsistent", "Casi falso tendiendo a Inconsistente"},
    {"quasi-false-tending-to-paracomplete", "Quase-falso tendendo ao Paracompleto",
     "Quasi-false tending to Paracomplete", "Casi falso tendiendo a Paracompleto"},
    {"inconsistent-tending-to-true", "Inconsistente tendendo ao Verdadeiro",
     "Inconsistent tending to True", "Inconsistente tendiendo a Verdadero"},
    {"inconsistent-tending-to-false", "Inconsistente tendendo ao Falso",
     "Inconsistent tending to False", "Inconsistente tendiendo a Falso"},
    {"paracomplete-tending-to-true", "Paracompleto tendendo ao Verdadeiro",
     "Paracomplete tending to True", "Paracompleto tendiendo a Verdadero"},
    {"paracomplete-tending-to-false", "Paracompleto tendendo ao Falso",
     "Paracomplete tending to False", "Paracompleto tendiendo a Falso"},
}};

constexpr Translated kHeading{
    "heading", "Estado lógico: ", "Logical state: ", "Estado lógico: ", Alike::InSpanish};

// In the order of EstadoLogico.
constexpr std::array<std::array<PontoGc, 3>, kEstadosLogicos> kRegions{{
    {{{0.5, -0.5}, {1, 0}, {0.5, 0.5}}},     // true
    {{{-0.5, -0.5}, {-1, 0}, {-0.5, 0.5}}},  // false
    {{{-0.5, 0.5}, {0, 1}, {0.5, 0.5}}},     // inconsistent
    {{{-0.5, -0.5}, {0, -1}, {0.5, -0.5}}},  // paracomplete
    {{{0, 0}, {0.5, 0}, {0.5, 0.5}}},        // quasi-true-tending-to-inconsistent
    {{{0, 0}, {0.5, 0}, {0.5, -0.5}}},       // quasi-true-tending-to-paracomplete
    {{{0, 0}, {-0.5, 0}, {-0.5, 0.5}}},      // quasi-false-tending-to-inconsistent
    {{{0, 0}, {-0.5, 0}, {-0.5, -0.5}}},     // quasi-false-tending-to-paracomplete
    {{{0, 0}, {0, 0.5}, {0.5, 0.5}}},        // inconsistent-tending-to-true
    {{{0, 0}, {0, 0.5}, {-0.5, 0.5}}},       // inconsistent-tending-to-false
    {{{0, 0}, {0, -0.5}, {0.5, -0.5}}},      // paracomplete-tending-to-true
    {{{0, 0}, {0, -0.5}, {-0.5, -0.5}}},     // paracomplete-tending-to-false
}};

std::size_t index(EstadoLogico estado) {
    return static_cast<std::size_t>(estado);
}

}  // namespace

EstadoLogico EstadoDoResultado(Fixed4 certainty, Fixed4 contradiction) {
    using E = EstadoLogico;
    const bool decisiveCertainty =
        certainty >= kLimiteSuperiorDeControle || certainty <= kLimiteInferiorDeControle;
    const bool decisiveContradiction =
        contradiction >= kLimiteSuperiorDeControle || contradiction <= kLimiteInferiorDeControle;
    const bool certaintyLeads = magnitude(certainty) >= magnitude(contradiction);
    const bool positiveCertainty = certainty.Ticks() >= 0;
    const bool positiveContradiction = contradiction.Ticks() >= 0;

    if (decisiveCertainty && (certaintyLeads || !decisiveContradiction))
        return positiveCertainty ? E::Verdadeiro : E::Falso;
    if (decisiveContradiction) return positiveContradiction ? E::Inconsistente : E::Paracompleto;
    if (certaintyLeads) {
        if (positiveCertainty)
            return positiveContradiction ? E::QuaseVerdadeiroTendendoAoInconsistente
                                         : E::QuaseVerdadeiroTendendoAoParacompleto;
        return positiveContradiction ? E::QuaseFalsoTendendoAoInconsistente
                                     : E::QuaseFalsoTendendoAoParacompleto;
    }
    if (positiveContradiction)
        return positiveCertainty ? E::InconsistenteTendendoAoVerdadeiro
                                 : E::InconsistenteTendendoAoFalso;
    return positiveCertainty ? E::ParacompletoTendendoAoVerdadeiro : E::ParacompletoTendendoAoFalso;
}

std::string_view NomeDoEstado(EstadoLogico estado, Language idioma) {
    return TextIn(kNames[index(estado)], idioma);
}

std::string LinhaDoEstado(EstadoLogico estado, Language idioma) {
    return std::string(TextIn(kHeading, idioma)) + std::string(NomeDoEstado(estado, idioma));
}

std::string_view ChaveDoEstado(EstadoLogico estado) {
    return kNames[index(estado)].key;
}

std::array<PontoGc, 3> RegiaoDoEstado(EstadoLogico estado) {
    return kRegions[index(estado)];
}

std::span<const Translated> NomesDosEstados() {
    return kNames;
}

const Translated& TituloDoEstado() {
    return kHeading;
}

}  // namespace vpl::core

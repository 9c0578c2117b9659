#include "engine/logical_state.h"

#include <cstdlib>

namespace vpl::core {

namespace {

std::int64_t magnitude(Fixed4 degree) {
    return std::llabs(degree.Ticks());
}

struct StateTexts {
    std::string_view key;
    std::array<std::string_view, 3> names;  // Portuguese, English, Spanish
    std::array<PontoGc, 3> region;
};

// In the order of EstadoLogico.
constexpr std::array<StateTexts, kEstadosLogicos> kStates{{
    {"true", {"Verdadeiro", "True", "Verdadero"}, {{{0.5, -0.5}, {1, 0}, {0.5, 0.5}}}},
    {"false", {"Falso", "False", "Falso"}, {{{-0.5, -0.5}, {-1, 0}, {-0.5, 0.5}}}},
    {"inconsistent",
     {"Inconsistente", "Inconsistent", "Inconsistente"},
     {{{-0.5, 0.5}, {0, 1}, {0.5, 0.5}}}},
    {"paracomplete",
     {"Paracompleto", "Paracomplete", "Paracompleto"},
     {{{-0.5, -0.5}, {0, -1}, {0.5, -0.5}}}},
    {"quasi-true-tending-to-inconsistent",
     {"Quase-verdadeiro tendendo ao Inconsistente", "Quasi-true tending to Inconsistent",
      "Casi verdadero tendiendo a Inconsistente"},
     {{{0, 0}, {0.5, 0}, {0.5, 0.5}}}},
    {"quasi-true-tending-to-paracomplete",
     {"Quase-verdadeiro tendendo ao Paracompleto", "Quasi-true tending to Paracomplete",
      "Casi verdadero tendiendo a Paracompleto"},
     {{{0, 0}, {0.5, 0}, {0.5, -0.5}}}},
    {"quasi-false-tending-to-inconsistent",
     {"Quase-falso tendendo ao Inconsistente", "Quasi-false tending to Inconsistent",
      "Casi falso tendiendo a Inconsistente"},
     {{{0, 0}, {-0.5, 0}, {-0.5, 0.5}}}},
    {"quasi-false-tending-to-paracomplete",
     {"Quase-falso tendendo ao Paracompleto", "Quasi-false tending to Paracomplete",
      "Casi falso tendiendo a Paracompleto"},
     {{{0, 0}, {-0.5, 0}, {-0.5, -0.5}}}},
    {"inconsistent-tending-to-true",
     {"Inconsistente tendendo ao Verdadeiro", "Inconsistent tending to True",
      "Inconsistente tendiendo a Verdadero"},
     {{{0, 0}, {0, 0.5}, {0.5, 0.5}}}},
    {"inconsistent-tending-to-false",
     {"Inconsistente tendendo ao Falso", "Inconsistent tending to False",
      "Inconsistente tendiendo a Falso"},
     {{{0, 0}, {0, 0.5}, {-0.5, 0.5}}}},
    {"paracomplete-tending-to-true",
     {"Paracompleto tendendo ao Verdadeiro", "Paracomplete tending to True",
      "Paracompleto tendiendo a Verdadero"},
     {{{0, 0}, {0, -0.5}, {0.5, -0.5}}}},
    {"paracomplete-tending-to-false",
     {"Paracompleto tendendo ao Falso", "Paracomplete tending to False",
      "Paracompleto tendiendo a Falso"},
     {{{0, 0}, {0, -0.5}, {-0.5, -0.5}}}},
}};

const StateTexts& texts(EstadoLogico estado) {
    return kStates[static_cast<std::size_t>(estado)];
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

std::string_view NomeDoEstado(EstadoLogico estado, Idioma idioma) {
    return texts(estado).names[static_cast<std::size_t>(idioma)];
}

std::string LinhaDoEstado(EstadoLogico estado, Idioma idioma) {
    constexpr std::array<std::string_view, 3> kHeading{
        "Estado lógico: ", "Logical state: ", "Estado lógico: "};
    return std::string(kHeading[static_cast<std::size_t>(idioma)]) +
           std::string(NomeDoEstado(estado, idioma));
}

std::string_view ChaveDoEstado(EstadoLogico estado) {
    return texts(estado).key;
}

std::array<PontoGc, 3> RegiaoDoEstado(EstadoLogico estado) {
    return texts(estado).region;
}

}  // namespace vpl::core

#include "engine/logical_state.h"

#include <algorithm>
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

// At any level a region is one of four shapes of the first quadrant, mirrored.
struct RegionShape {
    enum Kind { Certain, Contradictory, NearCertainty, NearContradiction } kind;
    double certaintySign;
    double contradictionSign;
};

// In the order of EstadoLogico.
constexpr std::array<RegionShape, kEstadosLogicos> kShapes{{
    {RegionShape::Certain, 1, 1},
    {RegionShape::Certain, -1, 1},
    {RegionShape::Contradictory, 1, 1},
    {RegionShape::Contradictory, 1, -1},
    {RegionShape::NearCertainty, 1, 1},
    {RegionShape::NearCertainty, 1, -1},
    {RegionShape::NearCertainty, -1, 1},
    {RegionShape::NearCertainty, -1, -1},
    {RegionShape::NearContradiction, 1, 1},
    {RegionShape::NearContradiction, -1, 1},
    {RegionShape::NearContradiction, 1, -1},
    {RegionShape::NearContradiction, -1, -1},
}};

std::size_t index(EstadoLogico estado) {
    return static_cast<std::size_t>(estado);
}

}  // namespace

bool NivelDeExigenciaValido(Fixed4 nivel) {
    return nivel >= kNivelDeExigenciaMinimo && nivel <= kNivelDeExigenciaMaximo &&
           nivel.Ticks() % kPassoDoNivelDeExigencia.Ticks() == 0;
}

EstadoLogico EstadoDoResultado(Fixed4 certainty, Fixed4 contradiction) {
    return EstadoDoResultado(certainty, contradiction, kNivelDeExigenciaPadrao);
}

EstadoLogico EstadoDoResultado(Fixed4 certainty, Fixed4 contradiction, Fixed4 level) {
    using E = EstadoLogico;
    const Fixed4 below = Fixed4() - level;
    const bool decisiveCertainty = certainty >= level || certainty <= below;
    const bool decisiveContradiction = contradiction >= level || contradiction <= below;
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

std::vector<PontoGc> RegiaoDoEstado(EstadoLogico estado, Fixed4 level) {
    const double l = level.ToDouble();
    // Where a limit line meets the lattice's edge, or the diagonal below 0.50.
    const double m = std::min(l, (kFixed4One - level).ToDouble());
    const bool low = l < 0.5;
    const bool high = l > 0.5;

    const RegionShape& s = kShapes[index(estado)];
    std::vector<PontoGc> shape;
    switch (s.kind) {
        case RegionShape::Certain:
            // Beyond the limit, and below 0.50 up to the diagonals.
            shape = {{l, -m}};
            if (low) shape.push_back({0.5, -0.5});
            shape.push_back({1, 0});
            if (low) shape.push_back({0.5, 0.5});
            shape.push_back({l, m});
            break;
        case RegionShape::Contradictory:
            shape = {{-m, l}};
            if (low) shape.push_back({-0.5, 0.5});
            shape.push_back({0, 1});
            if (low) shape.push_back({0.5, 0.5});
            shape.push_back({m, l});
            break;
        case RegionShape::NearCertainty:
            // Inside the limits on the certainty side of the diagonal; above 0.50 the
            // lattice's edge cuts its corner off.
            shape = {{0, 0}, {l, 0}, {l, m}};
            if (high) shape.push_back({0.5, 0.5});
            break;
        case RegionShape::NearContradiction:
            shape = {{0, 0}, {0, l}, {m, l}};
            if (high) shape.push_back({0.5, 0.5});
            break;
    }

    std::vector<PontoGc> region;
    const auto same = [](PontoGc a, PontoGc b) {
        return a.certainty == b.certainty && a.contradiction == b.contradiction;
    };
    for (const PontoGc& p : shape) {
        // Adding 0.0 keeps a mirrored zero from becoming -0.
        const PontoGc q{s.certaintySign * p.certainty + 0.0,
                        s.contradictionSign * p.contradiction + 0.0};
        if (region.empty() || !same(q, region.back())) region.push_back(q);
    }
    while (region.size() > 1 && same(region.front(), region.back())) region.pop_back();
    if (region.size() < 3) region.clear();
    return region;
}

std::span<const Translated> NomesDosEstados() {
    return kNames;
}

const Translated& TituloDoEstado() {
    return kHeading;
}

}  // namespace vpl::core

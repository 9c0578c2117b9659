#include "engine/decision_rule.h"

#include <array>
#include <stdexcept>

#include "engine/logical_state.h"

namespace vpl::core {
namespace {

// In the order of Veredito.
constexpr std::array<Translated, 3> kVereditos{{
    {"feasible", "Viável", "Feasible", "Viable"},
    {"infeasible", "Inviável", "Infeasible", "Inviable"},
    {"inconclusive", "Não conclusivo", "Inconclusive", "No concluyente"},
}};

// In the order of Ressalva, after Nenhuma.
constexpr std::array<Translated, 2> kRessalvas{{
    {"too-contradictory", "dados contraditórios demais para uma decisão segura",
     "data too contradictory for a safe decision",
     "datos demasiado contradictorios para una decisión segura"},
    {"too-incomplete", "dados incompletos demais para uma decisão segura",
     "data too incomplete for a safe decision",
     "datos demasiado incompletos para una decisión segura"},
}};

constexpr Translated kTitulo{"heading", "Decisão: ", "Decision: ", "Decisión: "};

}  // namespace

Decisao DecisaoDoResultado(Fixed4 gc, Fixed4 gct, Fixed4 level) {
    const Fixed4 below = Fixed4() - level;
    Decisao d;
    if (gc >= level)
        d.veredito = Veredito::Viavel;
    else if (gc <= below)
        d.veredito = Veredito::Inviavel;
    if (gct >= level && gct > Fixed4())
        d.ressalva = Ressalva::Contraditorio;
    else if (gct <= below && gct < Fixed4())
        d.ressalva = Ressalva::Incompleto;
    return d;
}

std::string_view NomeDoVeredito(Veredito veredito, Language idioma) {
    return TextIn(kVereditos[static_cast<std::size_t>(veredito)], idioma);
}

std::string_view ChaveDoVeredito(Veredito veredito) {
    return kVereditos[static_cast<std::size_t>(veredito)].key;
}

std::string_view TextoDaRessalva(Ressalva ressalva, Language idioma) {
    if (ressalva == Ressalva::Nenhuma) return {};
    return TextIn(kRessalvas[static_cast<std::size_t>(ressalva) - 1], idioma);
}

std::string_view ChaveDaRessalva(Ressalva ressalva) {
    if (ressalva == Ressalva::Nenhuma) return {};
    return kRessalvas[static_cast<std::size_t>(ressalva) - 1].key;
}

std::string LinhaDaDecisao(Decisao decisao, Language idioma) {
    std::string line = TextIn(kTitulo, idioma);
    line += NomeDoVeredito(decisao.veredito, idioma);
    if (decisao.ressalva != Ressalva::Nenhuma) {
        line += " (";
        line += TextoDaRessalva(decisao.ressalva, idioma);
        line += ")";
    }
    return line;
}

std::span<const Translated> NomesDosVereditos() {
    return kVereditos;
}

std::span<const Translated> TextosDasRessalvas() {
    return kRessalvas;
}

const Translated& TituloDaDecisao() {
    return kTitulo;
}

FaixaDeNiveis FaixaDaDecisao(Fixed4 gc, Fixed4 gct, Fixed4 level) {
    if (!NivelDeExigenciaValido(level))
        throw std::invalid_argument("a requirement level is a step of 0.01 from 0 to 1");
    const Decisao here = DecisaoDoResultado(gc, gct, level);
    const Fixed4 step = kPassoDoNivelDeExigencia;
    FaixaDeNiveis faixa{level, level};
    while (faixa.de > kNivelDeExigenciaMinimo &&
           DecisaoDoResultado(gc, gct, faixa.de - step) == here)
        faixa.de = faixa.de - step;
    while (faixa.ate < kNivelDeExigenciaMaximo &&
           DecisaoDoResultado(gc, gct, faixa.ate + step) == here)
        faixa.ate = faixa.ate + step;
    return faixa;
}

}  // namespace vpl::core

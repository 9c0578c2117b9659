#pragma once

// What the analysis says about the decision: the degree of certainty against the requirement
// level, with a caveat when the degree of contradiction reaches the level too.

#include <span>
#include <string>
#include <string_view>

#include "core/fixed4.h"
#include "core/translated.h"

namespace vpl::core {

enum class Veredito { Viavel, Inviavel, NaoConclusivo };
enum class Ressalva { Nenhuma, Contraditorio, Incompleto };

struct Decisao {
    Veredito veredito = Veredito::NaoConclusivo;
    Ressalva ressalva = Ressalva::Nenhuma;
    bool operator==(const Decisao&) const = default;
};

// Gc >= level is feasible and Gc <= -level infeasible, feasible first, so that at level 0 a
// Gc of exactly 0 is feasible; anything between is inconclusive. Whatever the verdict,
// |Gct| >= level adds that the data are too contradictory (Gct > 0) or too incomplete
// (Gct < 0); a Gct of exactly 0 adds nothing, also at level 0.
Decisao DecisaoDoResultado(Fixed4 gc, Fixed4 gct, Fixed4 level);

std::string_view NomeDoVeredito(Veredito veredito, Language idioma);
// Stable names for scripts: "feasible", "infeasible", "inconclusive".
std::string_view ChaveDoVeredito(Veredito veredito);
// The caveat as a clause, "dados contraditórios demais para uma decisão segura"; empty for
// none.
std::string_view TextoDaRessalva(Ressalva ressalva, Language idioma);
// "too-contradictory", "too-incomplete"; empty for none.
std::string_view ChaveDaRessalva(Ressalva ressalva);
// The whole decision as one line: "Decisão: Viável", or with the caveat in brackets,
// "Decisão: Não conclusivo (dados contraditórios demais para uma decisão segura)".
std::string LinhaDaDecisao(Decisao decisao, Language idioma);

// The verdicts in the order of Veredito, the two caveats in the order of Ressalva after
// Nenhuma, each under its stable name, and the heading of the line.
std::span<const Translated> NomesDosVereditos();
std::span<const Translated> TextosDasRessalvas();
const Translated& TituloDaDecisao();

// Requirement levels in whole steps of 0.01 from `de` to `ate`, both included.
struct FaixaDeNiveis {
    Fixed4 de;
    Fixed4 ate;
    bool operator==(const FaixaDeNiveis&) const = default;
};

// The levels, in steps of 0.01 within 0 and 1, over which the decision on (gc, gct) stays
// the one it is at `level`: the unbroken run of steps around it. std::invalid_argument for a
// level that is not one of those steps.
FaixaDeNiveis FaixaDaDecisao(Fixed4 gc, Fixed4 gct, Fixed4 level);

}  // namespace vpl::core

#include "engine/decision_rule.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vpl::core {
namespace {

using V = Veredito;
using R = Ressalva;

Fixed4 degree(double value) {
    return Fixed4::FromReal(value);
}

TEST(DecisaoDoResultado, OnEitherSideOfTheLevel) {
    const struct {
        double level, gc, gct;
        Decisao expected;
    } cases[] = {
        // Certainty at the level decides; one tick inside does not.
        {0.5, 0.5, 0, {V::Viavel, R::Nenhuma}},
        {0.5, 0.4999, 0, {V::NaoConclusivo, R::Nenhuma}},
        {0.73, -0.73, -0.1, {V::Inviavel, R::Nenhuma}},
        {0.73, -0.7299, -0.1, {V::NaoConclusivo, R::Nenhuma}},
        // Contradiction at the level adds the caveat of its sign, whatever the verdict.
        {0.5, 0.1, 0.5, {V::NaoConclusivo, R::Contraditorio}},
        {0.5, 0.1, 0.4999, {V::NaoConclusivo, R::Nenhuma}},
        {0.5, -0.1, -0.5, {V::NaoConclusivo, R::Incompleto}},
        {0.3, 0.35, 0.3, {V::Viavel, R::Contraditorio}},
        // At 0 a Gc of 0 is feasible, and a Gct of 0 adds nothing.
        {0, 0, 0, {V::Viavel, R::Nenhuma}},
        {0, -0.0001, 0.0001, {V::Inviavel, R::Contraditorio}},
        {1, 0.9999, -1, {V::NaoConclusivo, R::Incompleto}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecisaoDoResultado(degree(c.gc), degree(c.gct), degree(c.level)), c.expected)
            << "level " << c.level << ", Gc " << c.gc << ", Gct " << c.gct;
}

TEST(LinhaDaDecisao, NamesTheVerdictAndTheCaveatInEachLanguage) {
    for (const Language idioma : {Language::Portuguese, Language::English, Language::Spanish}) {
        std::set<std::string> lines;
        for (const V v : {V::Viavel, V::Inviavel, V::NaoConclusivo}) {
            for (const R r : {R::Nenhuma, R::Contraditorio, R::Incompleto}) {
                const std::string line = LinhaDaDecisao({v, r}, idioma);
                EXPECT_EQ(line.rfind(TextIn(TituloDaDecisao(), idioma), 0), 0u) << line;
                EXPECT_NE(line.find(NomeDoVeredito(v, idioma)), std::string::npos) << line;
                EXPECT_EQ(TextoDaRessalva(r, idioma).empty(), r == R::Nenhuma) << line;
                EXPECT_NE(line.find(TextoDaRessalva(r, idioma)), std::string::npos) << line;
                lines.insert(line);
            }
        }
        EXPECT_EQ(lines.size(), 9u) << "two decisions read alike";
    }
    // Scripts read the stable names; they must not change with the wording.
    EXPECT_EQ(ChaveDoVeredito(V::Viavel), "feasible");
    EXPECT_EQ(ChaveDoVeredito(V::NaoConclusivo), "inconclusive");
    EXPECT_EQ(ChaveDaRessalva(R::Incompleto), "too-incomplete");
}

}  // namespace
}  // namespace vpl::core

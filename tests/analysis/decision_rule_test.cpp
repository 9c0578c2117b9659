#include "engine/decision_rule.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
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
        double level;
        double gc;
        double gct;
        Decisao expected;
    } cases[] = {
        // Certainty at the level decides; one tick inside does not.
        {0.5, 0.5, 0, {V::Viavel, R::Nenhuma}},
        {0.5, 0.4999, 0, {V::NaoConclusivo, R::Nenhuma}},
        {0.5, -0.5, 0, {V::Inviavel, R::Nenhuma}},
        {0.5, -0.4999, 0, {V::NaoConclusivo, R::Nenhuma}},
        {0.73, 0.73, 0.1, {V::Viavel, R::Nenhuma}},
        {0.73, 0.7299, 0.1, {V::NaoConclusivo, R::Nenhuma}},
        {0.73, -0.73, -0.1, {V::Inviavel, R::Nenhuma}},
        {0.73, -0.7299, -0.1, {V::NaoConclusivo, R::Nenhuma}},
        // Contradiction at the level adds the caveat of its sign.
        {0.5, 0.1, 0.5, {V::NaoConclusivo, R::Contraditorio}},
        {0.5, 0.1, 0.4999, {V::NaoConclusivo, R::Nenhuma}},
        {0.5, -0.1, -0.5, {V::NaoConclusivo, R::Incompleto}},
        {0.5, -0.1, -0.4999, {V::NaoConclusivo, R::Nenhuma}},
        {0.5, 0.5, 0.5, {V::Viavel, R::Contraditorio}},
        // Below 0.50 a verdict and a caveat can meet away from the corners.
        {0.3, 0.35, 0.3, {V::Viavel, R::Contraditorio}},
        {0.3, -0.4, -0.35, {V::Inviavel, R::Incompleto}},
        // At 0, a Gc of 0 is feasible and a Gct of 0 adds nothing.
        {0, 0, 0, {V::Viavel, R::Nenhuma}},
        {0, -0.0001, 0, {V::Inviavel, R::Nenhuma}},
        {0, 0, 0.0001, {V::Viavel, R::Contraditorio}},
        {0, 0, -0.0001, {V::Viavel, R::Incompleto}},
        // At 1, only the corners decide.
        {1, 1, 0, {V::Viavel, R::Nenhuma}},
        {1, 0.9999, 0, {V::NaoConclusivo, R::Nenhuma}},
        {1, 0, -1, {V::NaoConclusivo, R::Incompleto}},
    };
    for (const auto& c : cases) {
        const Decisao d = DecisaoDoResultado(degree(c.gc), degree(c.gct), degree(c.level));
        EXPECT_EQ(d.veredito, c.expected.veredito)
            << "level " << c.level << ", Gc " << c.gc << ", Gct " << c.gct;
        EXPECT_EQ(d.ressalva, c.expected.ressalva)
            << "level " << c.level << ", Gc " << c.gc << ", Gct " << c.gct;
    }
}

TEST(LinhaDaDecisao, NamesTheVerdictAndTheCaveatInEachLanguage) {
    for (const Language idioma : {Language::Portuguese, Language::English, Language::Spanish}) {
        const std::string heading = TextIn(TituloDaDecisao(), idioma);
        std::set<std::string> lines;
        for (const V v : {V::Viavel, V::Inviavel, V::NaoConclusivo}) {
            const std::string name(NomeDoVeredito(v, idioma));
            for (const R r : {R::Nenhuma, R::Contraditorio, R::Incompleto}) {
                const std::string line = LinhaDaDecisao({v, r}, idioma);
                const std::string clause(TextoDaRessalva(r, idioma));
                EXPECT_EQ(line.rfind(heading, 0), 0u) << line;
                EXPECT_NE(line.find(name), std::string::npos) << line;
                EXPECT_EQ(clause.empty(), r == R::Nenhuma) << line;
                EXPECT_EQ(line.find('(') != std::string::npos, r != R::Nenhuma) << line;
                EXPECT_NE(line.find(clause), std::string::npos) << line;
                lines.insert(line);
            }
        }
        EXPECT_EQ(lines.size(), 9u) << "two decisions read alike";
    }
    // Before the data file names a language the program speaks Portuguese.
    EXPECT_EQ(LinhaDaDecisao({V::Inviavel, R::Incompleto}, Language::None),
              LinhaDaDecisao({V::Inviavel, R::Incompleto}, Language::Portuguese));
}

TEST(LinhaDaDecisao, TranslationsDifferFromThePortuguese) {
    std::vector<const Translated*> rows{&TituloDaDecisao()};
    for (const Translated& row : NomesDosVereditos()) rows.push_back(&row);
    for (const Translated& row : TextosDasRessalvas()) rows.push_back(&row);
    for (const Translated* row : rows) {
        EXPECT_EQ(row->alike, Alike::None) << row->key;
        EXPECT_NE(std::string(row->en), row->pt) << row->key;
        EXPECT_NE(std::string(row->es), row->pt) << row->key;
    }
}

// Scripts read these names; they must not change with the wording.
TEST(ChaveDoVeredito, StableNamesForScripts) {
    EXPECT_EQ(ChaveDoVeredito(V::Viavel), "feasible");
    EXPECT_EQ(ChaveDoVeredito(V::Inviavel), "infeasible");
    EXPECT_EQ(ChaveDoVeredito(V::NaoConclusivo), "inconclusive");
    EXPECT_EQ(ChaveDaRessalva(R::Contraditorio), "too-contradictory");
    EXPECT_EQ(ChaveDaRessalva(R::Incompleto), "too-incomplete");
    EXPECT_TRUE(ChaveDaRessalva(R::Nenhuma).empty());
}

TEST(FaixaDaDecisao, TheRunOfLevelsKeepingTheDecision) {
    const struct {
        double gc;
        double gct;
        double level;
        double from;
        double to;
    } cases[] = {
        // Feasible up to Gc, and free of the caveat only above |Gct|.
        {0.62, 0.1, 0.5, 0.11, 0.62},
        {0.62, 0.1, 0.1, 0, 0.1},
        // Inconclusive from just above |Gc| to the top.
        {0.3, -0.2, 0.5, 0.31, 1},
        // A Gc between two steps: the step below it is the last to decide.
        {-0.625, 0, 0.6, 0, 0.62},
        {-0.625, 0, 0.63, 0.63, 1},
        // Everything at 1 keeps its decision at every level.
        {1, 0, 1, 0, 1},
    };
    for (const auto& c : cases) {
        const FaixaDeNiveis f = FaixaDaDecisao(degree(c.gc), degree(c.gct), degree(c.level));
        EXPECT_EQ(f, (FaixaDeNiveis{degree(c.from), degree(c.to)}))
            << "Gc " << c.gc << ", Gct " << c.gct << ", level " << c.level << ": "
            << f.de.ToDouble() << " to " << f.ate.ToDouble();
    }
    for (const double level : {0.505, -0.01, 1.01})
        EXPECT_THROW(FaixaDaDecisao(degree(0.2), degree(0), degree(level)),
                     std::invalid_argument)
            << level;
}

}  // namespace
}  // namespace vpl::core

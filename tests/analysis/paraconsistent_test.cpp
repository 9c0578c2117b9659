#include "engine/paraconsistent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>
#include <vector>

namespace vpl::core {
namespace {

constexpr NumberLocale kDot{'.'};
constexpr NumberLocale kComma{','};

const char* const kStrong = "Não-Contradição forte: os sujeitos possuem opinião muito consistente.";
const char* const kConflicting = "Não-Contradição conflitante.";
const char* const kLow = "Não-Contradição baixa: os sujeitos possuem opinião quase consistente.";
const char* const kAffirmative = "Certeza afirmativa ou positiva; forte concordância.";
const char* const kUndetermined = "Certeza não determinada, indeterminação.";
const char* const kContrary = "Certeza contrária ou negativa; forte discordância.";

TEST(EvidenciaDeContagens, DegreesAndTheirTexts) {
    const std::vector<Counts> rows = {{1, 1, 2, 3, 3}};
    const auto a = EvidenciaDeContagens(rows, kDot);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->lambda.value, 0.2);
    EXPECT_EQ(a->lambda.text, "0.20");
    EXPECT_EQ(a->mu.value, 0.6);
    EXPECT_EQ(a->mu.text, "0.60");
}

TEST(EvidenciaDeContagens, PoolsPropositionsAndKeepsUnroundedValues) {
    const std::vector<Counts> rows = {{1, 0, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0, 1}};
    const auto a = EvidenciaDeContagens(rows, kComma);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->lambda.value, 1.0 / 3.0);
    EXPECT_EQ(a->lambda.text, "0,33");
    EXPECT_EQ(a->mu.text, "0,33");
}

TEST(EvidenciaDeContagens, TextsRoundHalvesAwayFromZero) {
    const std::vector<Counts> rows = {{1, 0, 3, 4, 0}};
    const auto a = EvidenciaDeContagens(rows, kDot);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->lambda.value, 0.125);
    EXPECT_EQ(a->lambda.text, "0.13");
    EXPECT_EQ(a->mu.text, "0.50");
}

TEST(EvidenciaDeContagens, NothingWithoutAnswers) {
    EXPECT_FALSE(EvidenciaDeContagens({}, kDot));
    const std::vector<Counts> zeros(19, Counts{});
    EXPECT_FALSE(EvidenciaDeContagens(zeros, kDot));
    const std::vector<Counts> negative = {{-3, 0, 0, 1, 0}};
    EXPECT_FALSE(EvidenciaDeContagens(negative, kDot));
}

TEST(Operators, StrictWinnerElseSecondOperand) {
    const Fixed4 low = Fixed4::FromTicks(4000);
    const Fixed4 high = Fixed4::FromTicks(6000);
    EXPECT_EQ(OperadorMax(high, low), Operand::First);
    EXPECT_EQ(OperadorMax(low, high), Operand::Second);
    EXPECT_EQ(OperadorMax(high, high), Operand::Second);
    EXPECT_EQ(OperadorMin(low, high), Operand::First);
    EXPECT_EQ(OperadorMin(high, low), Operand::Second);
    EXPECT_EQ(OperadorMin(low, low), Operand::Second);
}

TEST(Operators, ValuesTieAfterRoundingToFourDecimalsAndCarryTheSecond) {
    const Degree a{0.50004, "a"};
    const Degree b{0.49996, "b"};
    for (const Degree& chosen : {OperadorMax(a, b, Comparison::Values, kDot),
                                 OperadorMin(a, b, Comparison::Values, kDot)}) {
        EXPECT_EQ(chosen.value, 0.49996);
        EXPECT_EQ(chosen.text, "b");
    }
    const Degree c{0.50006, "c"};
    EXPECT_EQ(OperadorMax(c, b, Comparison::Values, kDot).text, "c");
    EXPECT_EQ(OperadorMin(c, b, Comparison::Values, kDot).text, "b");
}

TEST(Operators, EqualTextsTieWhateverTheValuesBehindThem) {
    const Degree a{0.504, "0,50"};
    const Degree b{0.496, "0,50"};
    EXPECT_EQ(OperadorMin(b, a, Comparison::Texts, kComma).value, 0.504);
    EXPECT_EQ(OperadorMax(a, b, Comparison::Texts, kComma).value, 0.496);
    // Texts are read with the locale's separator.
    const Degree c{0.1, "0,40"};
    EXPECT_EQ(OperadorMax(c, a, Comparison::Texts, kComma).value, 0.504);
    EXPECT_EQ(OperadorMin(c, a, Comparison::Texts, kComma).value, 0.1);
}

TEST(Operators, AnEmptyTextComparesAsZero) {
    const Degree unset{0.0, ""};
    const Degree zero{0.7, "0.00"};
    const Degree some{0.1, "0.10"};
    EXPECT_EQ(OperadorMax(unset, zero, Comparison::Texts, kDot).text, "0.00");
    EXPECT_EQ(OperadorMax(zero, unset, Comparison::Texts, kDot).text, "");
    EXPECT_EQ(OperadorMin(unset, some, Comparison::Texts, kDot).text, "");
    EXPECT_EQ(OperadorMax(unset, some, Comparison::Texts, kDot).text, "0.10");
}

Graus Degrees(double mu, double lambda) {
    return GrausParaconsistentes(Fixed4::FromReal(mu), Fixed4::FromReal(lambda));
}

TEST(GrausParaconsistentes, CornersOfTheLattice) {
    const Graus equal = Degrees(0.3, 0.3);
    EXPECT_EQ(equal.G1, Fixed4());
    EXPECT_EQ(equal.G1n, 0.5);

    const Graus inconsistent = Degrees(1, 1);
    EXPECT_EQ(inconsistent.G2, kFixed4One);
    EXPECT_EQ(inconsistent.G2n, 1.0);

    const Graus unknown = Degrees(0, 0);
    EXPECT_EQ(unknown.G2.Ticks(), -10000);
    EXPECT_EQ(unknown.G2n, 0.0);

    const Graus truth = Degrees(1, 0);
    EXPECT_EQ(truth.G1, kFixed4One);
    EXPECT_EQ(truth.G2, Fixed4());
    EXPECT_EQ(truth.G1n, 1.0);
    EXPECT_EQ(truth.G2n, 0.5);
    EXPECT_EQ(truth.G2nSingle, 0.5f);
}

TEST(GrausParaconsistentes, WorksOnFourDecimals) {
    const Graus g = Degrees(0.60004, 0.39996);
    EXPECT_EQ(g.G1.Ticks(), 2000);
    EXPECT_EQ(g.G2.Ticks(), 0);
    EXPECT_EQ(g.G1n, 0.6);
    EXPECT_EQ(g.G2n, 0.5);
    const Graus h = Degrees(0.8, 0.6);
    EXPECT_EQ(h.G2nSingle, 0.7f);
}

TEST(Verdicts, NonContradictionBoundaries) {
    EXPECT_EQ(VereditoNaoContradicao("0.6600", kDot), kStrong);
    EXPECT_EQ(VereditoNaoContradicao("0,6600", kComma), kStrong);
    EXPECT_EQ(VereditoNaoContradicao("1.0000", kDot), kStrong);
    EXPECT_EQ(VereditoNaoContradicao("0.6599", kDot), kConflicting);
    EXPECT_EQ(VereditoNaoContradicao("0.3301", kDot), kConflicting);
    EXPECT_EQ(VereditoNaoContradicao("0.3300", kDot), kLow);
    EXPECT_EQ(VereditoNaoContradicao("0,3300", kComma), kLow);
    EXPECT_EQ(VereditoNaoContradicao("0.0000", kDot), kLow);
}

TEST(Verdicts, CertaintyBoundaries) {
    EXPECT_EQ(VereditoCerteza("0.8000", kDot), kAffirmative);
    EXPECT_EQ(VereditoCerteza("0,8000", kComma), kAffirmative);
    EXPECT_EQ(VereditoCerteza("0.7999", kDot), kUndetermined);
    EXPECT_EQ(VereditoCerteza("0.2001", kDot), kUndetermined);
    EXPECT_EQ(VereditoCerteza("0.2000", kDot), kContrary);
    EXPECT_EQ(VereditoCerteza("0.0000", kDot), kContrary);
}

TEST(QualidadeDosDados, DataQualityBandsInSinglePrecision) {
    const auto part = [](float v) { return QualidadeDosDados(v, 0.5); };
    EXPECT_EQ(part(0.7f), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(part(std::nextafter(0.7f, 1.0f)), "Dados conflitantes,  indeterminação.");
    EXPECT_EQ(part(0.9f), "Dados conflitantes,  indeterminação.");
    EXPECT_EQ(part(std::nextafter(0.9f, 1.0f)), "Dados muito contraditórios,  indeterminação.");
    EXPECT_EQ(part(1.0f), "Dados muito contraditórios,  indeterminação.");
    EXPECT_EQ(part(0.3f), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(part(std::nextafter(0.3f, 0.0f)), "Dados incompletos,  indeterminação.");
    EXPECT_EQ(part(std::nextafter(0.1f, 1.0f)), "Dados incompletos,  indeterminação.");
    EXPECT_EQ(part(0.1f), "Dados ignorados,  indeterminação.");
    EXPECT_EQ(part(0.0f), "Dados ignorados,  indeterminação.");
    // ~G2n computed as a double and then kept in single precision meets the float bounds.
    EXPECT_EQ(part(static_cast<float>(0.3)), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(part(Degrees(0.8, 0.6).G2nSingle), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(part(Degrees(0.8, 0.6001).G2nSingle), "Dados conflitantes,  indeterminação.");
}

TEST(QualidadeDosDados, CertaintyBandsInDoublePrecision) {
    const auto part = [](double g) { return QualidadeDosDados(0.5f, g); };
    EXPECT_EQ(part(0.8), "Dados consistentes,  forte concordância.");
    EXPECT_EQ(part(1.0), "Dados consistentes,  forte concordância.");
    EXPECT_EQ(part(std::nextafter(0.8, 0.0)), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(part(std::nextafter(0.2, 1.0)), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(part(0.2), "Dados consistentes,  forte discordância.");
    EXPECT_EQ(part(0.0), "Dados consistentes,  forte discordância.");
}

TEST(QualidadeDosDados, ResultWindowCases) {
    EXPECT_EQ(QualidadeDosDados(0.75f, 1.0), "Dados conflitantes,  forte concordância.");
    EXPECT_EQ(QualidadeDosDados(0.5f, 0.5), "Dados consistentes,  indeterminação.");
    EXPECT_EQ(QualidadeDosDados(0.0f, 0.0), "Dados ignorados,  forte discordância.");
}

TEST(PontoNoReticulado, CornersAndCentre) {
    static_assert(std::is_same_v<decltype(PontoReticulado::Y), float>);
    static_assert(std::is_same_v<decltype(PontoReticulado::X), double>);
    const PontoReticulado high = PontoNoReticulado(0.75f, 1.0);
    EXPECT_EQ(high.X, 7350.0);
    EXPECT_EQ(high.Y, 2255.0f);
    const PontoReticulado centre = PontoNoReticulado(0.5f, 0.5);
    EXPECT_EQ(centre.X, 5075.0);
    EXPECT_EQ(centre.Y, 3420.0f);
    const PontoReticulado origin = PontoNoReticulado(0.0f, 0.0);
    EXPECT_EQ(origin.X, 2800.0);
    EXPECT_EQ(origin.Y, 5750.0f);
    EXPECT_EQ(PontoNoReticulado(1.0f, 0.0).Y, 1090.0f);
}

}  // namespace
}  // namespace vpl::core

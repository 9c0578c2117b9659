#include "engine/paraconsistent.h"

namespace vpl::core {
namespace {

// A number as the user sees it, read back: rounding to the shown digits is part of the rule.
Fixed4 AsShown(double value, std::string_view pattern, NumberLocale locale) {
    return Fixed4::FromText(FormatNumber(value, pattern, locale), locale);
}

Degree ShownDegree(double value, NumberLocale locale) {
    return {value, FormatNumber(value, "0.00", locale)};
}

// P = shown text × 100, kept in ten-thousandths so that 66.00 is exact.
Fixed4 Percentage(std::string_view text, NumberLocale locale) {
    return Fixed4::FromTicks(Fixed4::FromText(text, locale).Ticks() * 100);
}

constexpr Fixed4 Percent(std::int64_t whole) {
    return Fixed4::FromTicks(whole * Fixed4::kScale);
}

}  // namespace

std::optional<Anotacao> EvidenciaDeContagens(std::span<const Counts> rows, NumberLocale locale) {
    Fixed4 disagreement;
    Fixed4 agreement;
    double indifferent = 0.0;
    for (const Counts& row : rows) {
        disagreement +=
            AsShown(static_cast<double>(std::int64_t{row[0]} + row[1]), "#0.00", locale);
        agreement += AsShown(static_cast<double>(std::int64_t{row[3]} + row[4]), "#0.00", locale);
        indifferent += row[2];
    }
    const Fixed4 d = AsShown(disagreement.ToDouble(), "0.00", locale);
    const Fixed4 a = AsShown(agreement.ToDouble(), "0.00", locale);
    const Fixed4 total = d + Fixed4::FromReal(indifferent) + a;
    if (total <= Fixed4()) return std::nullopt;
    const double n = total.ToDouble();
    return Anotacao{ShownDegree(a.ToDouble() / n, locale), ShownDegree(d.ToDouble() / n, locale)};
}

Operand OperadorMax(Fixed4 a, Fixed4 b) {
    return a > b ? Operand::First : Operand::Second;
}

Operand OperadorMin(Fixed4 a, Fixed4 b) {
    return a < b ? Operand::First : Operand::Second;
}

Fixed4 ComparisonKey(const Degree& degree, Comparison by, NumberLocale locale) {
    return by == Comparison::Values ? Fixed4::FromReal(degree.value)
                                    : Fixed4::FromText(degree.text, locale);
}

Degree OperadorMax(const Degree& a, const Degree& b, Comparison by, NumberLocale locale) {
    return OperadorMax(ComparisonKey(a, by, locale), ComparisonKey(b, by, locale)) == Operand::First
               ? a
               : b;
}

Degree OperadorMin(const Degree& a, const Degree& b, Comparison by, NumberLocale locale) {
    return OperadorMin(ComparisonKey(a, by, locale), ComparisonKey(b, by, locale)) == Operand::First
               ? a
               : b;
}

Graus GrausParaconsistentes(Fixed4 muR, Fixed4 lambdaR) {
    Graus graus;
    graus.G1 = muR - lambdaR;
    graus.G2 = muR + lambdaR - kFixed4One;
    graus.G1n = (graus.G1 + kFixed4One).ToDouble() / 2.0;
    graus.G2n = (muR + lambdaR).ToDouble() / 2.0;
    graus.G2nSingle = static_cast<float>(graus.G2n);
    return graus;
}

std::string_view VereditoNaoContradicao(std::string_view g2nText, NumberLocale locale) {
    const Fixed4 p2 = Percentage(g2nText, locale);
    if (p2 >= Percent(66))
        return "Não-Contradição forte: os sujeitos possuem opinião muito consistente.";
    if (p2 > Percent(33)) return "Não-Contradição conflitante.";
    return "Não-Contradição baixa: os sujeitos possuem opinião quase consistente.";
}

std::string_view VereditoCerteza(std::string_view g1nText, NumberLocale locale) {
    const Fixed4 p1 = Percentage(g1nText, locale);
    if (p1 >= Percent(80)) return "Certeza afirmativa ou positiva; forte concordância.";
    if (p1 > Percent(20)) return "Certeza não determinada, indeterminação.";
    return "Certeza contrária ou negativa; forte discordância.";
}

std::string QualidadeDosDados(float v, double g) {
    std::string sentence;
    if (v > 0.9f) {
        sentence = "Dados muito contraditórios,  ";
    } else if (v > 0.7f) {
        sentence = "Dados conflitantes,  ";
    } else if (v >= 0.3f) {
        sentence = "Dados consistentes,  ";
    } else if (v > 0.1f) {
        sentence = "Dados incompletos,  ";
    } else {
        sentence = "Dados ignorados,  ";
    }
    if (g >= 0.8) {
        sentence += "forte concordância.";
    } else if (g > 0.2) {
        sentence += "indeterminação.";
    } else {
        sentence += "forte discordância.";
    }
    return sentence;
}

PontoReticulado PontoNoReticulado(float v, double g) {
    constexpr double kWidth = kLatticeSquareRight - kLatticeSquareLeft;
    constexpr float kHeight = kLatticeSquareBottom - kLatticeSquareTop;
    return {g * kWidth + kLatticeSquareLeft, (1.0f - v) * kHeight + float(kLatticeSquareTop)};
}

}  // namespace vpl::core

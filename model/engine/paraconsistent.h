#pragma once

// Annotated paraconsistent logic: evidence degrees, the OR/AND selections, the degrees of
// certainty and contradiction, the verdict sentences and the lattice point.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/fixed4.h"
#include "core/number_text.h"
#include "core/counts.h"

namespace vpl::core {

// One evidence degree with the text it is shown with; the selections compare either.
struct Degree {
    double value = 0.0;
    std::string text;
};

struct Anotacao {
    Degree mu;      // favourable degree (belief)
    Degree lambda;  // contrary degree (disbelief)
};

// The degrees of a factor from its answer counts, texts "0.00". Nothing when the answer
// total is not above 0.
std::optional<Anotacao> EvidenciaDeContagens(std::span<const Counts> rows, NumberLocale locale);

enum class Operand { First, Second };

// On fixed-point keys: a strictly greater (smaller) first operand wins, a tie gives the second.
Operand OperadorMax(Fixed4 a, Fixed4 b);
Operand OperadorMin(Fixed4 a, Fixed4 b);

enum class Comparison { Values, Texts };

// The chosen degree, value and text together. Values are rounded to fixed point, texts
// parsed with the locale (an empty text counts 0).
Fixed4 ComparisonKey(const Degree& degree, Comparison by, NumberLocale locale);
Degree OperadorMax(const Degree& a, const Degree& b, Comparison by, NumberLocale locale);
Degree OperadorMin(const Degree& a, const Degree& b, Comparison by, NumberLocale locale);

struct Graus {
    Fixed4 G1;            // certainty, muR - lambdaR
    Fixed4 G2;            // contradiction, muR + lambdaR - 1
    double G1n = 0.0;     // (G1 + 1) / 2
    double G2n = 0.0;     // ~G2n = (G2 + 1) / 2
    float G2nSingle = 0;  // ~G2n as the result values keep it
};

Graus GrausParaconsistentes(Fixed4 muR, Fixed4 lambdaR);

// On the "0.0000" texts of ~G2n and G1n, compared as percentages with two decimals.
std::string_view VereditoNaoContradicao(std::string_view g2nText, NumberLocale locale);
std::string_view VereditoCerteza(std::string_view g1nText, NumberLocale locale);

// The result window's sentence: the data-quality part chosen on v = ~G2n (single-precision
// bounds), then the certainty part chosen on g = G1n.
std::string QualidadeDosDados(float v, double g);

// The square of the lattice picture, in twips of the result window: G1n runs from 0 at
// the left to 1 at the right, ~G2n from 1 at the top to 0 at the bottom.
inline constexpr int kLatticeSquareLeft = 2800;
inline constexpr int kLatticeSquareRight = 7350;
inline constexpr int kLatticeSquareTop = 1090;
inline constexpr int kLatticeSquareBottom = 5750;

// Position of the result point in that square: X as a double, Y in single precision.
struct PontoReticulado {
    double X = 0.0;
    float Y = 0.0f;
};

PontoReticulado PontoNoReticulado(float v, double g);

}  // namespace vpl::core

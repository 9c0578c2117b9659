#include "engine/logical_state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vpl::core {
namespace {

using E = EstadoLogico;

Fixed4 degree(double value) {
    return Fixed4::FromReal(value);
}

TEST(EstadoDoResultado, InsideEachRegionAndOnItsLimits) {
    const struct {
        double certainty;
        double contradiction;
        E expected;
    } cases[] = {
        // One point inside each region.
        {0.8, 0.1, E::Verdadeiro},
        {-0.8, 0.1, E::Falso},
        {0.1, 0.8, E::Inconsistente},
        {0.1, -0.8, E::Paracompleto},
        {0.4, 0.1, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.4, -0.1, E::QuaseVerdadeiroTendendoAoParacompleto},
        {-0.4, 0.1, E::QuaseFalsoTendendoAoInconsistente},
        {-0.4, -0.1, E::QuaseFalsoTendendoAoParacompleto},
        {0.1, 0.4, E::InconsistenteTendendoAoVerdadeiro},
        {-0.1, 0.4, E::InconsistenteTendendoAoFalso},
        {0.1, -0.4, E::ParacompletoTendendoAoVerdadeiro},
        {-0.1, -0.4, E::ParacompletoTendendoAoFalso},
        // The limits belong to the extreme regions.
        {0.5, 0, E::Verdadeiro},
        {0.4999, 0, E::QuaseVerdadeiroTendendoAoInconsistente},
        {-0.5, 0, E::Falso},
        {-0.4999, 0, E::QuaseFalsoTendendoAoInconsistente},
        {0, 0.5, E::Inconsistente},
        {0, 0.4999, E::InconsistenteTendendoAoVerdadeiro},
        {0, -0.5, E::Paracompleto},
        {0, -0.4999, E::ParacompletoTendendoAoVerdadeiro},
        // Where two extreme regions meet: the larger magnitude, certainty at a tie.
        {0.5, 0.5, E::Verdadeiro},
        {-0.5, 0.5, E::Falso},
        {0.5, -0.5, E::Verdadeiro},
        {-0.5, -0.5, E::Falso},
        {0.5, 0.6, E::Inconsistente},
        {-0.6, -0.5, E::Falso},
        {0.5, -0.6, E::Paracompleto},
        // Inside: the diagonals go to certainty, the axes to their positive side.
        {0, 0, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.3, 0.3, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.3, -0.3, E::QuaseVerdadeiroTendendoAoParacompleto},
        {-0.3, 0.3, E::QuaseFalsoTendendoAoInconsistente},
        {-0.3, -0.3, E::QuaseFalsoTendendoAoParacompleto},
        {-0.3, 0, E::QuaseFalsoTendendoAoInconsistente},
        {0, -0.3, E::ParacompletoTendendoAoVerdadeiro},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EstadoDoResultado(degree(c.certainty), degree(c.contradiction)), c.expected)
            << "Gc " << c.certainty << ", Gct " << c.contradiction;
}

// The picture draws the regions; a point well inside each must be classified as that region,
// and the twelve must cover the lattice, |Gc| + |Gct| <= 1, whose area is 2.
TEST(RegiaoDoEstado, AgreesWithTheClassificationAndCoversTheLattice) {
    double area = 0;
    for (int i = 0; i < kEstadosLogicos; ++i) {
        const auto estado = static_cast<E>(i);
        const auto [a, b, c] = RegiaoDoEstado(estado);
        const double gc = (a.certainty + b.certainty + c.certainty) / 3;
        const double gct = (a.contradiction + b.contradiction + c.contradiction) / 3;
        EXPECT_EQ(EstadoDoResultado(degree(gc), degree(gct)), estado) << ChaveDoEstado(estado);
        area += std::abs((b.certainty - a.certainty) * (c.contradiction - a.contradiction) -
                         (c.certainty - a.certainty) * (b.contradiction - a.contradiction)) /
                2;
    }
    EXPECT_DOUBLE_EQ(area, 2.0);
}

}  // namespace
}  // namespace vpl::core

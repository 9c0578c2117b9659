#include "engine/logical_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

TEST(EstadoDoResultado, AtOtherRequirementLevels) {
    const struct {
        double level, certainty, contradiction;
        E expected;
    } cases[] = {
        // The limits move with the level and belong to the extreme regions; where two meet,
        // the larger magnitude decides, certainty at a tie.
        {0.3, 0.3, 0, E::Verdadeiro},
        {0.3, 0.2999, 0, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.3, 0.1, -0.3, E::Paracompleto},
        {0.3, -0.4, -0.4, E::Falso},
        {0.3, 0.3, 0.3001, E::Inconsistente},
        // Above 0.50 the inner regions reach the lattice's edge.
        {0.8, 0.79, 0.2, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.8, -0.3, -0.7, E::ParacompletoTendendoAoFalso},
        // At 0 every degree is decisive; at 1 only the corners are.
        {0, 0, 0, E::Verdadeiro},
        {0, 0, -0.0001, E::Paracompleto},
        {1, 0.9999, 0, E::QuaseVerdadeiroTendendoAoInconsistente},
        {1, -0.5, -0.5, E::QuaseFalsoTendendoAoParacompleto},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EstadoDoResultado(degree(c.certainty), degree(c.contradiction), degree(c.level)),
                  c.expected)
            << "level " << c.level << ", Gc " << c.certainty << ", Gct " << c.contradiction;
}

// At each level the regions are convex, without a flat corner, and tile the lattice (area
// 2); points inside each, between its centre and each corner, are classified as that
// region. At 0.50 they are the triangles.
TEST(RegiaoDoEstado, AtEachLevelTileTheLatticeAsTheClassificationDoes) {
    for (int i = 0; i < kEstadosLogicos; ++i) {
        const auto triangle = RegiaoDoEstado(E(i));
        const std::vector<PontoGc> region = RegiaoDoEstado(E(i), degree(0.5));
        ASSERT_EQ(region.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_TRUE(region[k].certainty == triangle[k].certainty &&
                        region[k].contradiction == triangle[k].contradiction);
    }
    for (const double level : {0.0, 0.01, 0.37, 0.5, 0.63, 1.0}) {
        double total = 0;
        for (int i = 0; i < kEstadosLogicos; ++i) {
            const std::vector<PontoGc> r = RegiaoDoEstado(E(i), degree(level));
            PontoGc centre{0, 0};
            double area = 0;
            std::vector<double> turns;
            for (std::size_t k = 0; k < r.size(); ++k) {
                const PontoGc a = r[k], b = r[(k + 1) % r.size()], c = r[(k + 2) % r.size()];
                turns.push_back((b.certainty - a.certainty) * (c.contradiction - b.contradiction) -
                                (b.contradiction - a.contradiction) * (c.certainty - b.certainty));
                area += (a.certainty * b.contradiction - b.certainty * a.contradiction) / 2;
                centre = {centre.certainty + a.certainty / r.size(),
                          centre.contradiction + a.contradiction / r.size()};
            }
            for (const double turn : turns)
                EXPECT_GT(turn * turns.front(), 1e-12) << level << ", " << ChaveDoEstado(E(i));
            total += std::abs(area);
            for (const PontoGc& corner : r)
                for (const double t : {0.1, 0.5, 0.95}) {
                    const double gc = centre.certainty + t * (corner.certainty - centre.certainty);
                    const double gct =
                        centre.contradiction + t * (corner.contradiction - centre.contradiction);
                    EXPECT_EQ(EstadoDoResultado(degree(gc), degree(gct), degree(level)), E(i))
                        << "level " << level << ", Gc " << gc << ", Gct " << gct;
                }
        }
        EXPECT_NEAR(total, 2.0, 1e-12) << level;
    }
}

}  // namespace
}  // namespace vpl::core

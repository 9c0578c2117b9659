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
        double level;
        double certainty;
        double contradiction;
        E expected;
    } cases[] = {
        // The limits move with the level and belong to the extreme regions.
        {0.3, 0.3, 0, E::Verdadeiro},
        {0.3, 0.2999, 0, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.3, -0.3, 0.1, E::Falso},
        {0.3, 0.1, -0.3, E::Paracompleto},
        {0.3, 0.1, 0.2999, E::InconsistenteTendendoAoVerdadeiro},
        // Where two extreme regions meet: the larger magnitude, certainty at a tie.
        {0.3, 0.3, 0.3, E::Verdadeiro},
        {0.3, 0.3, 0.3001, E::Inconsistente},
        {0.3, -0.4, -0.4, E::Falso},
        {0.3, 0.35, -0.4, E::Paracompleto},
        // Above 0.50 the inner regions reach the lattice's edge.
        {0.8, 0.8, 0.1, E::Verdadeiro},
        {0.8, 0.79, 0.2, E::QuaseVerdadeiroTendendoAoInconsistente},
        {0.8, 0.3, 0.6, E::InconsistenteTendendoAoVerdadeiro},
        {0.8, -0.3, -0.7, E::ParacompletoTendendoAoFalso},
        {0.8, 0, -0.79, E::ParacompletoTendendoAoVerdadeiro},
        {0.8, 0.1, 0.8, E::Inconsistente},
        // At 0 every degree is decisive: only the larger magnitude and the signs decide.
        {0, 0, 0, E::Verdadeiro},
        {0, -0.0001, 0, E::Falso},
        {0, 0, -0.0001, E::Paracompleto},
        {0, 0.2, 0.2, E::Verdadeiro},
        {0, 0.2, 0.2001, E::Inconsistente},
        // At 1 only the corners are extreme.
        {1, 1, 0, E::Verdadeiro},
        {1, 0.9999, 0, E::QuaseVerdadeiroTendendoAoInconsistente},
        {1, 0, -1, E::Paracompleto},
        {1, 0.5, 0.5, E::QuaseVerdadeiroTendendoAoInconsistente},
        {1, -0.5, -0.5, E::QuaseFalsoTendendoAoParacompleto},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EstadoDoResultado(degree(c.certainty), degree(c.contradiction), degree(c.level)),
                  c.expected)
            << "level " << c.level << ", Gc " << c.certainty << ", Gct " << c.contradiction;
}

TEST(RegiaoDoEstado, AtTheDefaultLevelIsTheTriangleCornerForCorner) {
    for (int i = 0; i < kEstadosLogicos; ++i) {
        const auto estado = static_cast<E>(i);
        const auto triangle = RegiaoDoEstado(estado);
        const std::vector<PontoGc> region = RegiaoDoEstado(estado, degree(0.5));
        ASSERT_EQ(region.size(), 3u) << ChaveDoEstado(estado);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(region[k].certainty, triangle[k].certainty) << ChaveDoEstado(estado);
            EXPECT_EQ(region[k].contradiction, triangle[k].contradiction) << ChaveDoEstado(estado);
        }
    }
}

namespace {

double cross(PontoGc o, PontoGc a, PontoGc b) {
    return (a.certainty - o.certainty) * (b.contradiction - o.contradiction) -
           (a.contradiction - o.contradiction) * (b.certainty - o.certainty);
}

double area(const std::vector<PontoGc>& polygon) {
    double twice = 0;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const PontoGc& a = polygon[k];
        const PontoGc& b = polygon[(k + 1) % polygon.size()];
        twice += a.certainty * b.contradiction - b.certainty * a.contradiction;
    }
    return std::abs(twice) / 2;
}

// Strictly inside a convex polygon, of either turning sense: the same side of every edge,
// never on one.
bool inside(const std::vector<PontoGc>& polygon, PontoGc p, bool& onEdge) {
    if (polygon.empty()) return false;
    bool left = false;
    bool right = false;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const double c = cross(polygon[k], polygon[(k + 1) % polygon.size()], p);
        if (std::abs(c) < 1e-9) {
            onEdge = true;
            return false;
        }
        (c > 0 ? left : right) = true;
    }
    return left != right;
}

}  // namespace

// At each level the regions are convex, tile the lattice (area 2), and a point strictly
// inside one region lies in no other and is classified as that region.
TEST(RegiaoDoEstado, AtEachLevelTilesTheLatticeAndAgreesWithTheClassification) {
    for (const double level : {0.0, 0.01, 0.25, 0.37, 0.5, 0.63, 0.99, 1.0}) {
        std::vector<std::vector<PontoGc>> regions;
        double total = 0;
        for (int i = 0; i < kEstadosLogicos; ++i) {
            regions.push_back(RegiaoDoEstado(static_cast<E>(i), degree(level)));
            const std::vector<PontoGc>& r = regions.back();
            for (std::size_t k = 0; k < r.size(); ++k)
                EXPECT_GT(cross(r[k], r[(k + 1) % r.size()], r[(k + 2) % r.size()]) *
                              cross(r[0], r[1], r[2]),
                          0)
                    << "level " << level << ", " << ChaveDoEstado(static_cast<E>(i));
            total += area(r);
        }
        EXPECT_NEAR(total, 2.0, 1e-12) << "level " << level;

        int checked = 0;
        for (int x = -100; x <= 100; ++x) {
            for (int y = -100; y <= 100; ++y) {
                // Off every limit and diagonal of the levels above.
                const PontoGc p{x / 100.0 + 0.00173, y / 100.0 + 0.00291};
                if (std::abs(p.certainty) + std::abs(p.contradiction) >= 1) continue;
                int holding = 0;
                bool onEdge = false;
                for (int i = 0; i < kEstadosLogicos; ++i) {
                    if (!inside(regions[i], p, onEdge)) continue;
                    ++holding;
                    EXPECT_EQ(EstadoDoResultado(degree(p.certainty), degree(p.contradiction),
                                                degree(level)),
                              static_cast<E>(i))
                        << "level " << level << ", Gc " << p.certainty << ", Gct "
                        << p.contradiction;
                }
                if (onEdge) continue;
                EXPECT_EQ(holding, 1) << "level " << level << ", Gc " << p.certainty << ", Gct "
                                      << p.contradiction;
                ++checked;
            }
        }
        EXPECT_GT(checked, 15000) << "level " << level;
    }
}

TEST(RegiaoDoEstado, EmptyWhereAStateHasNoArea) {
    const auto extreme = [](E e) {
        return e == E::Verdadeiro || e == E::Falso || e == E::Inconsistente ||
               e == E::Paracompleto;
    };
    for (int i = 0; i < kEstadosLogicos; ++i) {
        const auto estado = static_cast<E>(i);
        EXPECT_EQ(RegiaoDoEstado(estado, degree(0)).empty(), !extreme(estado))
            << ChaveDoEstado(estado);
        EXPECT_EQ(RegiaoDoEstado(estado, degree(1)).empty(), extreme(estado))
            << ChaveDoEstado(estado);
    }
}

}  // namespace
}  // namespace vpl::core

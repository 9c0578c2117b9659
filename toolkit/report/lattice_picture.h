#pragma once

// The lattice of the logic with the regions of its states at the requirement level and the
// results placed on it. One drawing for the result window's regions, the sensitivity window,
// the printed report and the saved picture.

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <optional>
#include <span>
#include <vector>

#include "core/fixed4.h"
#include "core/number_text.h"
#include "engine/sensitivity.h"
#include "shell/pictures.h"

class QPainter;

namespace vpl {

// The lattice picture covers this rectangle, in twips of the result window; the points are
// placed in its square, from kLatticeSquareLeft/Top to kLatticeSquareRight/Bottom.
inline constexpr int kLatticeLeft = 1900;
inline constexpr int kLatticeTop = 450;
inline constexpr int kLatticeRight = 8300;
inline constexpr int kLatticeBottom = 6350;

inline const QColor kResultColour(0xc0, 0x00, 0x00);
inline const QColor kFactorColour(0x1f, 0x3a, 0x5f);
inline const QColor kBarycentreColour(0xe6, 0x9b, 0x00);

// Where the resampled results fell, drawn faintly: G1n across, ~G2n up.
struct FaintRegion {
    std::vector<core::PontoNormalizado> corners;
    QColor colour;
};

// Within `square`, the lattice's square of points: the twelve states' regions, one hue for
// each of the four extreme states and the states tending to it lighter.
void PaintStateRegions(QPainter& painter, const QRectF& square, core::Fixed4 level);
// A region of one or two points is drawn as a dot or a stroke.
void PaintFaintRegions(QPainter& painter, const QRectF& square,
                       const std::vector<FaintRegion>& regions);
QPointF LatticePointIn(const QRectF& square, core::PontoNormalizado point);

struct LatticeDrawing {
    core::Fixed4 level = core::Fixed4::FromTicks(5000);
    std::optional<core::PontoNormalizado> result;  // the network's
    std::vector<std::optional<core::PontoNormalizado>> factors;  // numbered from 1
    std::optional<core::PontoNormalizado> barycentre;
    std::vector<FaintRegion> faint;
    core::NumberLocale locale;
};

// Where a factor's pair falls (its G1n and ~G2n), nothing for a factor without one.
std::optional<core::PontoNormalizado> PointOfPair(const std::optional<core::EvidencePair>& pair);
core::PontoNormalizado PointOfDegrees(const core::Graus& graus);

// The drawing of an analysis: its result, each factor's point and their barycentre.
LatticeDrawing AnalysisDrawing(core::PontoNormalizado result,
                               std::span<const std::optional<core::EvidencePair>> pairs,
                               const std::optional<core::PontoNormalizado>& barycentre,
                               core::Fixed4 level, core::NumberLocale locale);

// "Fatores: 1 Custo; 2 Prazo (sem respostas)"; the reference table's are its blocks. A
// factor without a title is "Fator k". Empty without pairs.
QString LatticeLegend(std::span<const QString> titles,
                      std::span<const std::optional<core::EvidencePair>> pairs, bool factors);

class LatticePicture : public Picture {
  public:
    explicit LatticePicture(LatticeDrawing drawing);
    ~LatticePicture() override;
    const LatticeDrawing& drawing() const { return drawing_; }
    // In twips, as the result window shows it.
    QSizeF size() const override;
    void paint(QPainter& painter, const QRectF& target) const override;
    // The square of the points when the picture is painted into `target`.
    static QRectF SquareIn(const QRectF& target);

  private:
    LatticeDrawing drawing_;
    SvgDocumentPicture lattice_;
};

}  // namespace vpl

#include "report/lattice_picture.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QStringList>
#include <algorithm>

#include "engine/logical_state.h"
#include "engine/paraconsistent.h"

namespace vpl {

namespace {

QColor hueOf(core::EstadoLogico estado) {
    using E = core::EstadoLogico;
    switch (estado) {
        case E::Verdadeiro:
        case E::QuaseVerdadeiroTendendoAoInconsistente:
        case E::QuaseVerdadeiroTendendoAoParacompleto:
            return QColor(0x2e, 0x8b, 0x57);
        case E::Falso:
        case E::QuaseFalsoTendendoAoInconsistente:
        case E::QuaseFalsoTendendoAoParacompleto:
            return QColor(0xc0, 0x39, 0x2b);
        case E::Inconsistente:
        case E::InconsistenteTendendoAoVerdadeiro:
        case E::InconsistenteTendendoAoFalso:
            return QColor(0xe6, 0x9b, 0x00);
        default:
            return QColor(0x2c, 0x6f, 0xbb);
    }
}

// Marker sizes in twips of the picture's natural size.
constexpr double kFactorMarker = 200;
constexpr double kResultMarker = 90;
constexpr double kMarkerFont = 140;  // Arial Narrow 7 pt

}  // namespace

QPointF LatticePointIn(const QRectF& square, core::PontoNormalizado point) {
    return {square.left() + point.G1n * square.width(),
            square.top() + (1 - point.G2n) * square.height()};
}

void PaintStateRegions(QPainter& painter, const QRectF& square, core::Fixed4 level) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 0));
    // G1n = (Gc + 1) / 2 grows to the right, ~G2n = (Gct + 1) / 2 upwards.
    for (int i = 0; i < core::kEstadosLogicos; ++i) {
        const auto estado = static_cast<core::EstadoLogico>(i);
        QColor fill = hueOf(estado);
        fill.setAlpha(i < 4 ? 46 : 22);
        painter.setBrush(fill);
        QPolygonF region;
        for (const core::PontoGc& corner : core::RegiaoDoEstado(estado, level))
            region << LatticePointIn(square, {(corner.certainty + 1) / 2,
                                              (corner.contradiction + 1) / 2});
        painter.drawPolygon(region);
    }
    painter.restore();
}

void PaintFaintRegions(QPainter& painter, const QRectF& square,
                       const std::vector<FaintRegion>& regions) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const FaintRegion& region : regions) {
        QColor fill = region.colour;
        fill.setAlpha(60);
        QPolygonF polygon;
        for (const core::PontoNormalizado& p : region.corners)
            polygon << LatticePointIn(square, p);
        if (polygon.size() >= 3) {
            painter.setPen(QPen(region.colour, 0));
            painter.setBrush(fill);
            painter.drawPolygon(polygon);
        } else if (!polygon.isEmpty()) {
            // All the draws on one point or one line: a stroke a marker wide.
            painter.setPen(QPen(fill, square.width() / 60, Qt::SolidLine, Qt::RoundCap));
            painter.drawPolyline(polygon);
        }
    }
    painter.restore();
}

std::optional<core::PontoNormalizado> PointOfPair(const std::optional<core::EvidencePair>& pair) {
    if (!pair) return std::nullopt;
    return PointOfDegrees(core::GrausParaconsistentes(core::Fixed4::FromReal(pair->Mi1),
                                                      core::Fixed4::FromReal(pair->Mi2)));
}

core::PontoNormalizado PointOfDegrees(const core::Graus& graus) {
    return {graus.G1n, graus.G2nSingle};
}

LatticeDrawing AnalysisDrawing(core::PontoNormalizado result,
                               std::span<const std::optional<core::EvidencePair>> pairs,
                               const std::optional<core::PontoNormalizado>& barycentre,
                               core::Fixed4 level, core::NumberLocale locale) {
    LatticeDrawing drawing;
    drawing.level = level;
    drawing.result = result;
    for (const auto& pair : pairs) drawing.factors.push_back(PointOfPair(pair));
    drawing.barycentre = barycentre;
    drawing.locale = locale;
    return drawing;
}

QString LatticeLegend(std::span<const QString> titles,
                      std::span<const std::optional<core::EvidencePair>> pairs, bool factors) {
    QStringList legend;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const QString number = QString::number(i + 1);
        const QString title = i < titles.size() ? titles[i].trimmed() : QString();
        QString name = !factors          ? QString::fromUtf8("Bloco ") + number
                       : title.isEmpty() ? QString::fromUtf8("Fator ") + number
                                         : title;
        if (!pairs[i]) name += QString::fromUtf8(" (sem respostas)");
        legend << number + " " + name;
    }
    return legend.isEmpty() ? QString() : QString::fromUtf8("Fatores: ") + legend.join("; ");
}

LatticePicture::LatticePicture(LatticeDrawing drawing)
    : drawing_(std::move(drawing)),
      lattice_(LocaleSvgDocument(QStringLiteral(":/pictures/lattice.svg"), drawing_.locale)) {}

LatticePicture::~LatticePicture() = default;

QSizeF LatticePicture::size() const {
    return QSizeF(kLatticeRight - kLatticeLeft, kLatticeBottom - kLatticeTop);
}

QRectF LatticePicture::SquareIn(const QRectF& target) {
    const double sx = target.width() / (kLatticeRight - kLatticeLeft);
    const double sy = target.height() / (kLatticeBottom - kLatticeTop);
    return QRectF(target.left() + (core::kLatticeSquareLeft - kLatticeLeft) * sx,
                  target.top() + (core::kLatticeSquareTop - kLatticeTop) * sy,
                  (core::kLatticeSquareRight - core::kLatticeSquareLeft) * sx,
                  (core::kLatticeSquareBottom - core::kLatticeSquareTop) * sy);
}

void LatticePicture::paint(QPainter& painter, const QRectF& target) const {
    lattice_.paint(painter, target);
    const QRectF square = SquareIn(target);
    PaintStateRegions(painter, square, drawing_.level);
    PaintFaintRegions(painter, square, drawing_.faint);

    const double scale = target.width() / size().width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setBold(true);
    font.setPixelSize(std::max(1, qRound(kMarkerFont * scale)));
    painter.setFont(font);
    const auto marker = [&](core::PontoNormalizado at, double side, const QColor& fill,
                            const QColor& ink, const QString& text) {
        const QPointF centre = LatticePointIn(square, at);
        const QRectF box(centre.x() - side * scale / 2, centre.y() - side * scale / 2,
                         side * scale, side * scale);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(box, box.width() / 4, box.height() / 4);
        if (text.isEmpty()) return;
        painter.setPen(ink);
        painter.drawText(box, Qt::AlignCenter, text);
    };
    for (std::size_t i = 0; i < drawing_.factors.size(); ++i)
        if (drawing_.factors[i])
            marker(*drawing_.factors[i], kFactorMarker, kFactorColour, Qt::white,
                   QString::number(i + 1));
    if (drawing_.barycentre)
        marker(*drawing_.barycentre, kFactorMarker, kBarycentreColour, Qt::black,
               QStringLiteral("B"));
    // The network's result stays on top.
    if (drawing_.result) marker(*drawing_.result, kResultMarker, kResultColour, {}, {});
    painter.restore();
}

}  // namespace vpl

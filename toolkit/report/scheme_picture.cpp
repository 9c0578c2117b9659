#include "report/scheme_picture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <map>

#include "shell/fonts.h"
#include "shell/twips.h"

namespace vpl {

namespace {

// Measures of the stored scheme pictures, in their pixels; the picture is drawn in twips.
constexpr double kPx = kTwipsPerPixelAt96Dpi;
constexpr double kTop = 9 * kPx;
constexpr double kBoxWidth = 62 * kPx;
constexpr double kBoxHeight = 38 * kPx;
constexpr double kBoxPitch = 46 * kPx;
constexpr double kOutputDrop = 29 * kPx;  // where the degrees leave a factor's box
constexpr double kFirstGateGap = 43 * kPx;
constexpr double kGateWidth = 26 * kPx;
constexpr double kInputPitch = 12 * kPx;
constexpr double kBend = 12 * kPx;  // the wires turn this far before a gate
constexpr double kColumnPitch = 64 * kPx;
constexpr double kOuterGap = 22 * kPx;  // from the last gate to the wire down to the lattice
constexpr double kMargin = 17 * kPx;
constexpr double kMinimumHalfWidth = 150 * kPx;  // room for the key
constexpr double kLatticeGap = 43 * kPx;
constexpr double kLatticeSize = 64 * kPx;
constexpr double kKeyHeight = 18 * kPx;
constexpr double kArrowLength = 6.5 * kPx;
constexpr double kArrowHalfWidth = 3.2 * kPx;
constexpr double kOrBackDepth = 2.44 * kPx;  // an arrow's tip inside the hollow back of an OR
constexpr double kLabelGap = 4 * kPx;
constexpr double kLabelRise = 7 * kPx;

const QColor kInk(0x1d, 0x27, 0x33);
const QColor kContrary(0x9b, 0x1c, 0x1c);
const QColor kFavourable(0x1f, 0x4e, 0x8c);
const QColor kBoxFill(0xcf, 0xd4, 0xdb);
const QColor kBoxRule(0x5a, 0x64, 0x70);
const QColor kOrFill(0xd8, 0xf6, 0xf8);
const QColor kOrRule(0x2b, 0x6f, 0x77);
const QColor kAndFill(0xff, 0xe4, 0xc7);
const QColor kAndRule(0xa3, 0x58, 0x1a);

QFont font(double pixels, bool bold = false, bool italic = false) {
    QFont f = arialFont(1, bold);
    f.setPixelSize(static_cast<int>(pixels * kPx));
    f.setItalic(italic);
    return f;
}

double advance(const QFont& f, const QString& text) {
    return QFontMetricsF(f).horizontalAdvance(text);
}

// A degree's symbol: mu, then its index lowered ("2ab", "1R").
struct Symbol {
    QFont mu = font(13, false, true);
    QFont index = font(9.5);
    double width(const QString& name) const {
        return advance(mu, QString(QChar(0x03bc))) + 0.5 * kPx + advance(index, name);
    }
    void paint(QPainter& painter, QPointF baseline, const QString& name) const {
        painter.setFont(mu);
        painter.drawText(baseline, QString(QChar(0x03bc)));
        painter.setFont(index);
        const double x = baseline.x() + advance(mu, QString(QChar(0x03bc))) + 0.5 * kPx;
        painter.drawText(QPointF(x, baseline.y() + 3.5 * kPx), name);
    }
};

// Text with its baseline at y, starting at x, ending at x or centred on x.
enum class Anchor { Start, End, Middle };
void text(QPainter& painter, const QFont& f, const QColor& color, double x, double y, Anchor anchor,
          const QString& s) {
    const double w = advance(f, s);
    if (anchor == Anchor::End) x -= w;
    if (anchor == Anchor::Middle) x -= w / 2;
    painter.setFont(f);
    painter.setPen(color);
    painter.drawText(QPointF(x, y), s);
}

QPainterPath gateShape(const SchemePicture::Gate& gate) {
    const QRectF r = gate.rect;  // the tip on the left, the back on the right
    const double yc = r.center().y();
    QPainterPath path;
    if (gate.kind == core::Operator::Or) {
        const double control = r.right() - 0.6 * r.width();
        path.moveTo(r.right(), r.top());
        path.quadTo(control, r.top(), r.left(), yc);
        path.quadTo(control, r.bottom(), r.right(), r.bottom());
        path.quadTo(r.right() - 0.25 * r.width(), yc, r.right(), r.top());
    } else {
        const double round = std::min(r.width(), 12 * kPx);
        path.moveTo(r.right(), r.top());
        path.lineTo(r.left() + round, r.top());
        path.arcTo(QRectF(r.left(), r.top(), 2 * round, r.height()), 90, 180);
        path.lineTo(r.right(), r.bottom());
    }
    path.closeSubpath();
    return path;
}

// An arrowhead with its tip at `tip`, pointing left (-1) or right (1).
QPolygonF arrow(QPointF tip, double direction) {
    const double base = tip.x() - direction * kArrowLength;
    return QPolygonF(
        {tip, QPointF(base, tip.y() - kArrowHalfWidth), QPointF(base, tip.y() + kArrowHalfWidth)});
}

QPen wirePen(bool favourable) {
    QPen pen(favourable ? kFavourable : kContrary, 1.6 * kPx);
    pen.setJoinStyle(Qt::RoundJoin);
    if (favourable) pen.setDashPattern({7 / 1.6, 3 / 1.6, 1.5 / 1.6, 3 / 1.6});
    return pen;
}

}  // namespace

SchemePicture::SchemePicture(int factorCount, const std::vector<core::NetworkColumn>& columns)
    : factorCount_(factorCount) {
    const std::vector<std::vector<core::CellJoin>> joins = core::NetworkJoins(factorCount, columns);

    // The gates of a column stand one pitch apart, wide enough for the longest name that
    // leaves a gate towards the next column.
    const Symbol symbol;
    double pitch = kColumnPitch;
    std::map<int, QString> names;  // by a group's first row
    for (int f = 1; f <= factorCount; ++f) names[f] = QChar('a' + f - 1);
    for (const auto& column : joins)
        for (const core::CellJoin& cell : column) {
            QString name;
            for (const core::Span& input : cell.inputs) name += names.at(input.first);
            names[cell.rows.first] = name;
            if (cell.inputs.size() > 1)
                pitch =
                    std::max(pitch, kGateWidth + kBend + symbol.width("2" + name) + 2 * kLabelGap);
        }

    const int columnCount = std::max<int>(1, static_cast<int>(columns.size()));
    const double half =
        std::max(kMinimumHalfWidth, kBoxWidth / 2 + kFirstGateGap + (columnCount - 1) * pitch +
                                        kGateWidth + kOuterGap + kMargin);
    width_ = 2 * half;
    height_ = lattice().bottom() + kKeyHeight;

    std::map<int, Wire> standing;
    for (int f = 1; f <= factorCount; ++f)
        standing[f] = {QPointF(factorBox(f).left(), factorBox(f).top() + kOutputDrop),
                       QChar('a' + f - 1)};
    const double boxLeft = width_ / 2 - kBoxWidth / 2;
    for (std::size_t c = 0; c < joins.size(); ++c) {
        const double back = boxLeft - kFirstGateGap - static_cast<double>(c) * pitch;
        for (const core::CellJoin& cell : joins[c]) {
            std::vector<Wire> in;
            for (const core::Span& input : cell.inputs) {
                in.push_back(standing.at(input.first));
                standing.erase(input.first);
            }
            if (in.size() == 1) {  // passed on as it is
                standing[cell.rows.first] = in.front();
                continue;
            }
            Gate gate{columns[c].kind, static_cast<int>(c), {}, {}};
            const double yc = (in.front().from.y() + in.back().from.y()) / 2;
            const double gateHalf = kInputPitch * static_cast<double>(in.size()) / 2;
            gate.rect = QRectF(back - kGateWidth, yc - gateHalf, kGateWidth, 2 * gateHalf);
            const double tip = gate.kind == core::Operator::Or ? back - kOrBackDepth : back;
            QString name;
            for (std::size_t k = 0; k < in.size(); ++k) {
                const double y = gate.rect.top() + kInputPitch * (static_cast<double>(k) + 0.5);
                gate.inputs.push_back(y);
                inputs_.push_back({in[k], back + kBend, QPointF(tip, y)});
                name += in[k].name;
            }
            gates_.push_back(gate);
            standing[cell.rows.first] = {QPointF(gate.rect.left(), yc), name};
        }
    }
    result_ = standing.begin()->second;
    result_.name = QStringLiteral("R");
    resultBendX_ = boxLeft - kFirstGateGap - (columnCount - 1) * pitch - kGateWidth - kOuterGap;
}

QSizeF SchemePicture::size() const {
    return QSizeF(width_, height_);
}

QRectF SchemePicture::factorBox(int factor) const {
    return QRectF(width_ / 2 - kBoxWidth / 2, kTop + (factor - 1) * kBoxPitch, kBoxWidth,
                  kBoxHeight);
}

QRectF SchemePicture::lattice() const {
    const double top = factorBox(factorCount_).bottom() + kLatticeGap;
    return QRectF(width_ / 2 - kLatticeSize / 2, top, kLatticeSize, kLatticeSize);
}

QRectF SchemePicture::mirrored(const QRectF& rect) const {
    return QRectF(width_ - rect.right(), rect.top(), rect.width(), rect.height());
}

void SchemePicture::paint(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / width_, target.height() / height_);
    painter.setPen(QPen(QColor(0xc3, 0xc9, 0xd1), kPx));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0, 0, width_, height_).adjusted(kPx / 2, kPx / 2, -kPx / 2, -kPx / 2));
    paintFactors(painter);
    paintSide(painter, false);
    paintSide(painter, true);
    paintLattice(painter);
    paintKey(painter);
    painter.restore();
}

void SchemePicture::paintFactors(QPainter& painter) const {
    for (int f = 1; f <= factorCount_; ++f) {
        const QRectF box = factorBox(f);
        painter.setPen(QPen(kBoxRule, 1.2 * kPx));
        painter.setBrush(kBoxFill);
        painter.drawRoundedRect(box, 4 * kPx, 4 * kPx);
        text(painter, font(11, true), kInk, box.center().x(), box.top() + 13.5 * kPx,
             Anchor::Middle, QStringLiteral("Fator ") + QChar('A' + f - 1));
        text(painter, font(10, true), kContrary, box.left() + 6 * kPx, box.top() + 32.6 * kPx,
             Anchor::Start, QStringLiteral("D"));
        text(painter, font(10, true), kFavourable, box.right() - 6 * kPx, box.top() + 32.6 * kPx,
             Anchor::End, QStringLiteral("C"));
    }
}

// Everything is laid out on the contrary side; the favourable side is its mirror image,
// with its texts written the right way round.
void SchemePicture::paintSide(QPainter& painter, bool favourable) const {
    const QTransform mirror = favourable ? QTransform(-1, 0, 0, 1, width_, 0) : QTransform();
    const QColor ink = favourable ? kFavourable : kContrary;
    const QString side = favourable ? QStringLiteral("1") : QStringLiteral("2");
    const Symbol symbol;
    // A name beside where its wire starts, towards the wire.
    const auto name = [&](QPointF from, const QString& n) {
        const QPointF at = mirror.map(from);
        const double w = symbol.width(side + n);
        const double x = favourable ? at.x() + kLabelGap : at.x() - kLabelGap - w;
        painter.setPen(ink);
        symbol.paint(painter, QPointF(x, at.y() - kLabelRise), side + n);
    };

    for (const Input& input : inputs_) {
        painter.setPen(wirePen(favourable));
        painter.setBrush(Qt::NoBrush);
        const QPointF into(input.to.x() + kArrowLength, input.to.y());
        painter.drawPolyline(
            mirror.map(QPolygonF({input.wire.from, QPointF(input.bendX, input.wire.from.y()),
                                  QPointF(input.bendX, input.to.y()), into})));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPolygon(mirror.map(arrow(input.to, -1)));
        name(input.wire.from, input.wire.name);
    }

    for (const Gate& gate : gates_) {
        const bool isOr = gate.kind == core::Operator::Or;
        painter.setPen(QPen(isOr ? kOrRule : kAndRule, 1.4 * kPx));
        painter.setBrush(isOr ? kOrFill : kAndFill);
        painter.drawPath(mirror.map(gateShape(gate)));
        const QRectF r = favourable ? mirrored(gate.rect) : gate.rect;
        const double toBack = (favourable ? -1.5 : 1.5) * kPx;
        text(painter, font(isOr ? 8 : 7.5, true), isOr ? kOrRule : kAndRule,
             r.center().x() + toBack, r.center().y() + 3 * kPx, Anchor::Middle,
             isOr ? QStringLiteral("OR") : QStringLiteral("AND"));
    }

    // The result into the lattice, along its middle.
    const QRectF l = lattice();
    const double y = l.center().y();
    painter.setPen(wirePen(favourable));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(
        mirror.map(QPolygonF({result_.from, QPointF(resultBendX_, result_.from.y()),
                              QPointF(resultBendX_, y), QPointF(l.left() - kArrowLength, y)})));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPolygon(mirror.map(arrow(QPointF(l.left(), y), 1)));
    const double middle = mirror.map(QPointF((resultBendX_ + l.left()) / 2, y)).x();
    painter.setPen(ink);
    symbol.paint(painter, QPointF(middle - symbol.width(side + "R") / 2, y - 8 * kPx), side + "R");
}

void SchemePicture::paintLattice(QPainter& painter) const {
    const QRectF l = lattice();
    painter.setPen(QPen(kInk, 1.4 * kPx));
    painter.setBrush(QColor(0xfb, 0xfc, 0xfe));
    painter.drawRect(l);
    QPen grid(QColor(0x9a, 0xa5, 0xb1), 0.8 * kPx);
    grid.setDashPattern({1.5 / 0.8, 2.5 / 0.8});
    painter.setPen(grid);
    for (int i = 1; i < 5; ++i) {
        const double d = l.width() * i / 5;
        painter.drawLine(QPointF(l.left() + d, l.top()), QPointF(l.left() + d, l.bottom()));
        painter.drawLine(QPointF(l.left(), l.top() + d), QPointF(l.right(), l.top() + d));
    }
    painter.setPen(QPen(QColor(0x5b, 0x6b, 0x7d), kPx));
    painter.setBrush(QColor(0xe7, 0xef, 0xf9, 178));
    const QPointF c = l.center();
    painter.drawPolygon(QPolygonF({QPointF(c.x(), l.top()), QPointF(l.right(), c.y()),
                                   QPointF(c.x(), l.bottom()), QPointF(l.left(), c.y())}));
    // The guide lines of ~G2n 0.7 and 0.3.
    painter.setPen(QPen(QColor(0xd0, 0x00, 0x00), 1.2 * kPx));
    for (double level : {0.7, 0.3}) {
        const double y = l.bottom() - level * l.height();
        painter.drawLine(QPointF(l.left(), y), QPointF(l.right(), y));
    }
    painter.fillRect(QRectF(l.left() + 0.63 * l.width(), c.y() - 2 * kPx, 4 * kPx, 4 * kPx),
                     QColor(0xc0, 0x00, 0x00));
    text(painter, font(11, true), kInk, c.x(), l.top() - 8 * kPx, Anchor::Middle,
         QStringLiteral("Reticulado"));
}

void SchemePicture::paintKey(QPainter& painter) const {
    const Symbol symbol;
    const double y = lattice().bottom() + 6 * kPx;
    const QFont words = font(10.5);
    const auto key = [&](double left, bool favourable, const QString& n, const QString& what) {
        painter.setPen(wirePen(favourable));
        painter.drawLine(QPointF(left, y), QPointF(left + 24 * kPx, y));
        painter.setPen(favourable ? kFavourable : kContrary);
        const double x = left + 31.6 * kPx;
        symbol.paint(painter, QPointF(x, y + 4 * kPx), n);
        text(painter, words, kInk, x + symbol.width(n) + 2 * kPx, y + 4 * kPx, Anchor::Start, what);
    };
    key(10 * kPx, false, QStringLiteral("2"), QString::fromUtf8(": descrença (D)"));
    const QString favourable = QString::fromUtf8(": crença (C)");
    const double width = 31.6 * kPx + symbol.width("1") + 2 * kPx + advance(words, favourable);
    key(std::min(width_ / 2 + 71 * kPx, width_ - 10 * kPx - width), true, QStringLiteral("1"),
        favourable);
}

}  // namespace vpl

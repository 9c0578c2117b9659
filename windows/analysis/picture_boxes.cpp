#include "analysis/picture_boxes.h"

#include <QFile>
#include <QPainter>
#include <QPolygonF>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdlib>

#include "engine/logical_state.h"
#include "shell/twips.h"

namespace vpl {

namespace {

class SvgDocumentPicture : public Picture {
  public:
    explicit SvgDocumentPicture(const QByteArray& document) : renderer_(document) {}
    QSizeF size() const override { return renderer_.viewBoxF().size(); }
    void paint(QPainter& painter, const QRectF& target) const override {
        renderer_.render(&painter, target);
    }
    QSvgRenderer* renderer() const { return &renderer_; }

  private:
    mutable QSvgRenderer renderer_;
};

QByteArray readResource(const QString& source) {
    QFile file(source);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

QByteArray SvgWithDecimalSeparator(const QByteArray& svg, char separator) {
    static const QRegularExpression element(QStringLiteral("(<(?:text|tspan)\\b[^>]*>)([^<]*)"));
    static const QRegularExpression decimal(QStringLiteral("(\\d)[.,](\\d)"));
    const QString document = QString::fromUtf8(svg);
    QString out;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& m : element.globalMatch(document)) {
        out += QStringView(document).mid(done, m.capturedStart(2) - done);
        out += m.captured(2).replace(
            decimal, QStringLiteral("\\1") + QChar(separator) + QStringLiteral("\\2"));
        done = m.capturedEnd(2);
    }
    out += QStringView(document).mid(done);
    return out.toUtf8();
}

LocaleSvgPictureBox::LocaleSvgPictureBox(const QString& source, core::NumberLocale locale,
                                         QWidget* parent)
    : LocaleSvgPictureBox(
          source, SvgWithDecimalSeparator(readResource(source), locale.decimalSeparator), parent) {}

LocaleSvgPictureBox::LocaleSvgPictureBox(const QString& source, const QByteArray& document,
                                         QWidget* parent)
    : PictureBox(std::make_shared<SvgDocumentPicture>(document), parent),
      source_(source),
      document_(document) {}

LocaleSvgPictureBox::~LocaleSvgPictureBox() = default;

QSvgRenderer* LocaleSvgPictureBox::renderer() const {
    return static_cast<const SvgDocumentPicture&>(drawing()).renderer();
}

NetworkTableBox::NetworkTableBox(NetworkTablePicture picture, QWidget* parent)
    : NetworkTableBox(std::make_shared<const NetworkTablePicture>(std::move(picture)), parent) {}

NetworkTableBox::NetworkTableBox(std::shared_ptr<const NetworkTablePicture> table, QWidget* parent)
    : PictureBox(table, parent), table_(std::move(table)) {}

QRect NetworkTableBox::cellRect(const QRectF& cell) const {
    return NetworkTablePicture::mapToTarget(cell, table_->size(), QRectF(rect())).toRect();
}

LineControl::LineControl(QPoint end1, QPoint end2, const QColor& color, QWidget* parent)
    : QWidget(parent), color_(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setEnds(end1, end2);
}

void LineControl::setEnds(QPoint end1, QPoint end2) {
    end1_ = end1;
    end2_ = end2;
    const QPoint a(twips(end1.x()), twips(end1.y()));
    const QPoint b(twips(end2.x()), twips(end2.y()));
    setGeometry(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::abs(a.x() - b.x()) + 1,
                std::abs(a.y() - b.y()) + 1);
    update();
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(color_, 1));
    const QPoint a(twips(end1_.x()), twips(end1_.y()));
    const QPoint b(twips(end2_.x()), twips(end2_.y()));
    const QPoint origin = geometry().topLeft();
    painter.drawLine(a - origin, b - origin);
}

LatticeRegions::LatticeRegions(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LatticeRegions::setLevel(core::Fixed4 level) {
    if (level == level_) return;
    level_ = level;
    update();
}

void LatticeRegions::paintEvent(QPaintEvent*) {
    using E = core::EstadoLogico;
    const auto hue = [](E estado) {
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
    };
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
    // G1n = (Gc + 1) / 2 grows to the right, ~G2n = (Gct + 1) / 2 upwards.
    const auto at = [&](const core::PontoGc& p) {
        return QPointF((p.certainty + 1) / 2 * width(), (1 - p.contradiction) / 2 * height());
    };
    for (int i = 0; i < core::kEstadosLogicos; ++i) {
        const auto estado = static_cast<E>(i);
        QColor fill = hue(estado);
        fill.setAlpha(i < 4 ? 46 : 22);
        painter.setBrush(fill);
        QPolygonF region;
        for (const core::PontoGc& corner : core::RegiaoDoEstado(estado, level_))
            region << at(corner);
        painter.drawPolygon(region);
    }
}

}  // namespace vpl

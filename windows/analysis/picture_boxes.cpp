#include "analysis/picture_boxes.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstdlib>

#include "shell/twips.h"

namespace vpl {

LocaleSvgPictureBox::LocaleSvgPictureBox(const QString& source, core::NumberLocale locale,
                                         QWidget* parent)
    : LocaleSvgPictureBox(source, LocaleSvgDocument(source, locale), parent) {}

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

void LatticeRegions::setFaintRegions(std::vector<FaintRegion> regions) {
    faint_ = std::move(regions);
    update();
}

void LatticeRegions::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintStateRegions(painter, QRectF(rect()), level_);
    PaintFaintRegions(painter, QRectF(rect()), faint_);
}

}  // namespace vpl

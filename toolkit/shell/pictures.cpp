#include "shell/pictures.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace vpl {

SvgPicture::SvgPicture(const QString& source)
    : source_(source), renderer_(std::make_unique<QSvgRenderer>(source)) {}

SvgPicture::~SvgPicture() = default;

QSizeF SvgPicture::size() const {
    return renderer_->viewBoxF().size();
}

void SvgPicture::paint(QPainter& painter, const QRectF& target) const {
    renderer_->render(&painter, target);
}

PictureBox::PictureBox(std::shared_ptr<const Picture> picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)) {}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QString key = picture_->cacheKey();
    if (key.isEmpty()) {
        painter.setRenderHint(QPainter::Antialiasing);
        picture_->paint(painter, QRectF(rect()));
        return;
    }
    // Drawn once per picture, size and screen scale, and shown from the drawing after that.
    const qreal scale = devicePixelRatioF();
    const QString sized = QStringLiteral("%1@%2x%3*%4").arg(key).arg(width()).arg(height()).arg(scale);
    QPixmap drawing;
    if (!QPixmapCache::find(sized, &drawing)) {
        drawing = QPixmap(size() * scale);
        drawing.setDevicePixelRatio(scale);
        drawing.fill(Qt::transparent);
        QPainter offscreen(&drawing);
        offscreen.setRenderHint(QPainter::Antialiasing);
        picture_->paint(offscreen, QRectF(rect()));
        offscreen.end();
        QPixmapCache::insert(sized, drawing);
    }
    painter.drawPixmap(0, 0, drawing);
}

SvgPictureBox::SvgPictureBox(const QString& source, QWidget* parent)
    : SvgPictureBox(std::make_shared<const SvgPicture>(source), parent) {}

SvgPictureBox::SvgPictureBox(std::shared_ptr<const SvgPicture> svg, QWidget* parent)
    : PictureBox(svg, parent), svg_(std::move(svg)) {}

}  // namespace vpl

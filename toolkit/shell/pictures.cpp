#include "shell/pictures.h"

#include <QPainter>
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
    painter.setRenderHint(QPainter::Antialiasing);
    picture_->paint(painter, QRectF(rect()));
}

SvgPictureBox::SvgPictureBox(const QString& source, QWidget* parent)
    : SvgPictureBox(std::make_shared<const SvgPicture>(source), parent) {}

SvgPictureBox::SvgPictureBox(std::shared_ptr<const SvgPicture> svg, QWidget* parent)
    : PictureBox(svg, parent), svg_(std::move(svg)) {}

}  // namespace vpl

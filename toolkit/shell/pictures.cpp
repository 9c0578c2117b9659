#include "shell/pictures.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QRegularExpression>
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

QByteArray LocaleSvgDocument(const QString& source, core::NumberLocale locale) {
    QFile file(source);
    return SvgWithDecimalSeparator(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
                                   locale.decimalSeparator);
}

SvgDocumentPicture::SvgDocumentPicture(const QByteArray& document)
    : renderer_(std::make_unique<QSvgRenderer>(document)) {}

SvgDocumentPicture::~SvgDocumentPicture() = default;

QSizeF SvgDocumentPicture::size() const {
    return renderer_->viewBoxF().size();
}

void SvgDocumentPicture::paint(QPainter& painter, const QRectF& target) const {
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

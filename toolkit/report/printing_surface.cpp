#include "report/printing_surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>

#include "shell/pictures.h"
#include "shell/twips.h"

namespace vpl {

void PrintingSurface::Print(const QString& text) {
    drawText(CurrentX, CurrentY, text);
    CurrentX = 0;
    CurrentY += TextHeight();
}

const PrintingSurface::SizedFont& PrintingSurface::font() const {
    const auto key = std::make_tuple(FontName, FontSize, FontBold);
    if (const auto known = fonts_.find(key); known != fonts_.end()) return known->second;
    QFont font;
    // fontconfig puts the metric-compatible Liberation face where Arial is missing.
    font.setFamilies({FontName, QStringLiteral("Liberation Sans")});
    font.setPixelSize(qRound(FontSize * 20));  // a point is 20 twips
    font.setBold(FontBold);
    return fonts_.emplace(key, SizedFont{font, QFontMetricsF(font)}).first->second;
}

double PrintingSurface::TextWidth(const QString& text) const {
    return font().metrics.horizontalAdvance(text);
}

void PrintingSurface::PaintPicture(const Picture& picture, double x, double y, double width,
                                   double height) {
    drawPicture(picture, QRectF(x, y, width, height));
}

PainterSurface::PainterSurface(QPagedPaintDevice& device) : device_(device) {
    if (!painter_.begin(&device_)) return;
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    painter_.scale(device_.logicalDpiX() / kTwipsPerInch, device_.logicalDpiY() / kTwipsPerInch);
    painter_.setPen(Qt::black);
    width_ = device_.width() * kTwipsPerInch / device_.logicalDpiX();
    height_ = device_.height() * kTwipsPerInch / device_.logicalDpiY();
}

void PainterSurface::drawText(double x, double y, const QString& text) {
    const SizedFont& sized = font();
    if (painter_.font() != sized.font) painter_.setFont(sized.font);
    // The text's top at y: its baseline one ascent below.
    painter_.drawText(QPointF(x, y + sized.metrics.ascent()), text);
}

void PainterSurface::drawPicture(const Picture& picture, const QRectF& twips) {
    painter_.save();
    picture.paint(painter_, twips);
    painter_.restore();
}

void PainterSurface::NewPage() {
    device_.newPage();
}

void PainterSurface::EndDoc() {
    painter_.end();
}

RecordingSurface::Operation RecordingSurface::operation(Operation::Kind kind) const {
    Operation op;
    op.kind = kind;
    op.page = page_;
    op.fontName = FontName;
    op.fontSize = FontSize;
    op.bold = FontBold;
    return op;
}

void RecordingSurface::drawText(double x, double y, const QString& text) {
    Operation op = operation(Operation::Kind::Text);
    op.x = x;
    op.y = y;
    op.text = text;
    operations_.push_back(op);
}

void RecordingSurface::drawPicture(const Picture& picture, const QRectF& twips) {
    Operation op = operation(Operation::Kind::Picture);
    op.x = twips.x();
    op.y = twips.y();
    op.picture = &picture;
    op.rect = twips;
    operations_.push_back(op);
}

void RecordingSurface::NewPage() {
    operations_.push_back(operation(Operation::Kind::NewPage));
    ++page_;
}

void RecordingSurface::EndDoc() {
    operations_.push_back(operation(Operation::Kind::EndDoc));
}

}  // namespace vpl

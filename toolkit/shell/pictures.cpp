#include "shell/pictures.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QFontMetricsF>
#include <QHash>
#include <algorithm>

namespace vpl {

namespace {

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The texts of an SVG document that a painter can draw as the renderer would: plain text
// elements, their presentation attributes taken from them or from the groups around them.
// Each comes with the span of the document it stands in.
struct FoundText {
    SvgDocumentPicture::Text text;
    qsizetype from = 0, to = 0;
};

std::vector<FoundText> PlainTexts(const QString& document) {
    static const QStringList kInherited{"font-family", "font-size",   "font-weight",
                                        "font-style",  "text-anchor", "fill"};
    std::vector<FoundText> found;
    std::vector<QHash<QString, QString>> inherited{{}};
    QXmlStreamReader xml(document);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            inherited.pop_back();
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        QHash<QString, QString> attributes = inherited.back();
        for (const QString& name : kInherited)
            if (xml.attributes().hasAttribute(name))
                attributes[name] = xml.attributes().value(name).toString();
        if (xml.name() != u"text" || xml.attributes().hasAttribute("transform")) {
            inherited.push_back(std::move(attributes));
            continue;
        }
        FoundText t;
        t.from = document.lastIndexOf(u"<text", xml.characterOffset() - 1);
        t.text.at = QPointF(xml.attributes().value("x").toDouble(),
                            xml.attributes().value("y").toDouble());
        bool plain = true;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType inner = xml.readNext();
            if (inner == QXmlStreamReader::Characters) t.text.text += xml.text();
            if (inner == QXmlStreamReader::StartElement) plain = false;
            if (inner == QXmlStreamReader::EndElement && xml.name() == u"text") break;
        }
        t.to = xml.characterOffset();
        const QString anchor = attributes.value("text-anchor");
        t.text.anchor = anchor == u"middle" ? Qt::AlignHCenter
                        : anchor == u"end"  ? Qt::AlignRight
                                            : Qt::AlignLeft;
        t.text.family = attributes.value("font-family", "Arial");
        t.text.size = attributes.value("font-size", "16").toDouble();
        t.text.bold = attributes.value("font-weight") == u"bold";
        t.text.italic = attributes.value("font-style") == u"italic";
        t.text.fill = QColor(attributes.value("fill", "black"));
        t.text.text = t.text.text.simplified();
        if (plain && t.from >= 0 && t.text.fill.isValid()) found.push_back(std::move(t));
    }
    if (xml.hasError()) return {};  // the renderer draws a document it can read at all
    return found;
}

}  // namespace

SvgPicture::SvgPicture(const QString& source) : source_(source), document_(FileBytes(source)) {}

SvgPicture::~SvgPicture() = default;

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
    return SvgWithDecimalSeparator(FileBytes(source), locale.decimalSeparator);
}

SvgDocumentPicture::SvgDocumentPicture(const QByteArray& document) {
    QString rest = QString::fromUtf8(document);
    std::vector<FoundText> found = PlainTexts(rest);
    for (auto t = found.rbegin(); t != found.rend(); ++t) rest.remove(t->from, t->to - t->from);
    for (FoundText& t : found) texts_.push_back(std::move(t.text));
    renderer_ = std::make_unique<QSvgRenderer>(rest.toUtf8());
}

SvgDocumentPicture::~SvgDocumentPicture() = default;

QSizeF SvgDocumentPicture::size() const {
    return renderer_->viewBoxF().size();
}

void SvgDocumentPicture::paint(QPainter& painter, const QRectF& target) const {
    renderer_->render(&painter, target);
    if (texts_.empty()) return;
    const QRectF box = renderer_->viewBoxF();
    if (box.isEmpty()) return;
    // The texts are laid out large and scaled down, so that a size in the document's units
    // keeps its fraction whatever the picture's scale.
    constexpr double kLayoutScale = 64;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / box.width() / kLayoutScale,
                  target.height() / box.height() / kLayoutScale);
    painter.translate(-box.topLeft() * kLayoutScale);
    for (const Text& t : texts_) {
        QFont font(t.family);
        font.setPixelSize(std::max(1, qRound(t.size * kLayoutScale)));
        font.setBold(t.bold);
        font.setItalic(t.italic);
        painter.setFont(font);
        painter.setPen(t.fill);
        QPointF at = t.at * kLayoutScale;
        const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(t.text);
        if (t.anchor == Qt::AlignHCenter) at.rx() -= width / 2;
        if (t.anchor == Qt::AlignRight) at.rx() -= width;
        painter.drawText(at, t.text);
    }
    painter.restore();
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

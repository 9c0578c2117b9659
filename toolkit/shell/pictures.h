#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QColor>
#include <QPointF>
#include <QWidget>
#include <memory>
#include <vector>

#include "core/number_text.h"

class QPainter;
class QSvgRenderer;

namespace vpl {

// A drawing of the program: it has a natural size and paints itself scaled into any
// rectangle of any painter, so a window's picture box and a printed page draw the same
// object.
class Picture {
  public:
    virtual ~Picture() = default;
    virtual QSizeF size() const = 0;
    virtual void paint(QPainter& painter, const QRectF& target) const = 0;
    // Names what the picture draws, so that a box can show it again from a drawing kept from
    // an earlier paint, also of an earlier window; empty for a picture that is drawn afresh.
    virtual QString cacheKey() const { return {}; }
};

// An SVG document with the decimal numbers in its texts (of text and tspan elements) written
// with `separator`, the way the labels beside the picture write theirs; the drawing itself
// (coordinates, sizes) is left as it is.
QByteArray SvgWithDecimalSeparator(const QByteArray& svg, char separator);
// One of the stored SVG pictures with its numbers written as `locale` writes them.
QByteArray LocaleSvgDocument(const QString& source, core::NumberLocale locale);

// An SVG document held in memory. Its texts are drawn with the painter's own text drawing:
// Qt's SVG renderer draws a text as filled glyph outlines, which in a PDF or on a printer
// become thousands of path operators per label and most of a report's time, where the
// painter's text is embedded as text. A text this drawing cannot follow (one with a
// transform or with elements inside) is left to the renderer.
class SvgDocumentPicture : public Picture {
  public:
    explicit SvgDocumentPicture(const QByteArray& document);
    ~SvgDocumentPicture() override;
    QSizeF size() const override;
    void paint(QPainter& painter, const QRectF& target) const override;
    // Draws the document without the texts this picture draws itself.
    QSvgRenderer* renderer() const { return renderer_.get(); }

    struct Text {
        QPointF at;  // the start of the baseline, in the document's coordinates
        QString family;
        double size = 16;
        bool bold = false;
        bool italic = false;
        Qt::AlignmentFlag anchor = Qt::AlignLeft;
        QColor fill;
        QString text;
    };
    const std::vector<Text>& texts() const { return texts_; }

  private:
    std::vector<Text> texts_;
    std::unique_ptr<QSvgRenderer> renderer_;
};

// One of the stored SVG pictures, by its resource path.
class SvgPicture : public Picture {
  public:
    explicit SvgPicture(const QString& source);
    ~SvgPicture() override;

    const QString& source() const { return source_; }
    QSvgRenderer* renderer() const { return document_.renderer(); }
    QSizeF size() const override { return document_.size(); }
    void paint(QPainter& painter, const QRectF& target) const override {
        document_.paint(painter, target);
    }
    QString cacheKey() const override { return QStringLiteral("svg:") + source_; }

  private:
    QString source_;
    SvgDocumentPicture document_;
};

// A picture box: shows its picture scaled to the box.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(std::shared_ptr<const Picture> picture, QWidget* parent = nullptr);
    const Picture& drawing() const { return *picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::shared_ptr<const Picture> picture_;
};

// A picture box showing one of the stored SVG pictures.
class SvgPictureBox : public PictureBox {
    Q_OBJECT
  public:
    explicit SvgPictureBox(const QString& source, QWidget* parent = nullptr);
    const QString& source() const { return svg_->source(); }
    QSvgRenderer* renderer() const { return svg_->renderer(); }

  private:
    SvgPictureBox(std::shared_ptr<const SvgPicture> svg, QWidget* parent);
    std::shared_ptr<const SvgPicture> svg_;
};

}  // namespace vpl

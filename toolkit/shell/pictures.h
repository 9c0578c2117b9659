#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <memory>

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

// One of the stored SVG pictures, by its resource path.
class SvgPicture : public Picture {
  public:
    explicit SvgPicture(const QString& source);
    ~SvgPicture() override;

    const QString& source() const { return source_; }
    QSvgRenderer* renderer() const { return renderer_.get(); }
    QSizeF size() const override;
    void paint(QPainter& painter, const QRectF& target) const override;
    QString cacheKey() const override { return QStringLiteral("svg:") + source_; }

  private:
    QString source_;
    std::unique_ptr<QSvgRenderer> renderer_;
};

// An SVG document with the decimal numbers in its texts (of text and tspan elements) written
// with `separator`, the way the labels beside the picture write theirs; the drawing itself
// (coordinates, sizes) is left as it is.
QByteArray SvgWithDecimalSeparator(const QByteArray& svg, char separator);
// One of the stored SVG pictures with its numbers written as `locale` writes them.
QByteArray LocaleSvgDocument(const QString& source, core::NumberLocale locale);

// An SVG document held in memory.
class SvgDocumentPicture : public Picture {
  public:
    explicit SvgDocumentPicture(const QByteArray& document);
    ~SvgDocumentPicture() override;
    QSizeF size() const override;
    void paint(QPainter& painter, const QRectF& target) const override;
    QSvgRenderer* renderer() const { return renderer_.get(); }

  private:
    std::unique_ptr<QSvgRenderer> renderer_;
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

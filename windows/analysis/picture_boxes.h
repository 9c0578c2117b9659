#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>
#include <memory>
#include <vector>

#include "report/lattice_picture.h"
#include "report/network_table_picture.h"
#include "core/fixed4.h"
#include "core/number_text.h"
#include "shell/pictures.h"

class QSvgRenderer;

namespace vpl {

// A picture box showing a network table; labels placed over its cells are children of
// the box.
class NetworkTableBox : public PictureBox {
    Q_OBJECT
  public:
    NetworkTableBox(NetworkTablePicture picture, QWidget* parent = nullptr);

    const NetworkTablePicture& picture() const { return *table_; }
    // A cell of the picture in the box's own pixels.
    QRect cellRect(const QRectF& cell) const;

  private:
    NetworkTableBox(std::shared_ptr<const NetworkTablePicture> table, QWidget* parent);
    std::shared_ptr<const NetworkTablePicture> table_;
};

// A picture box showing one of the stored SVG pictures with its numbers in `locale`.
class LocaleSvgPictureBox : public PictureBox {
    Q_OBJECT
  public:
    LocaleSvgPictureBox(const QString& source, core::NumberLocale locale,
                        QWidget* parent = nullptr);
    ~LocaleSvgPictureBox() override;

    const QString& source() const { return source_; }
    // The document as it is drawn.
    const QByteArray& document() const { return document_; }
    QSvgRenderer* renderer() const;

  private:
    LocaleSvgPictureBox(const QString& source, const QByteArray& document, QWidget* parent);

    QString source_;
    QByteArray document_;
};

// A straight line between two end points given in twips of its window. The widget covers
// the line's extent only, so it hides nothing of what lies under it.
class LineControl : public QWidget {
    Q_OBJECT
  public:
    LineControl(QPoint end1, QPoint end2, const QColor& color, QWidget* parent = nullptr);

    QPoint end1() const { return end1_; }
    QPoint end2() const { return end2_; }
    void setEnds(QPoint end1, QPoint end2);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPoint end1_;
    QPoint end2_;
    QColor color_;
};

// The twelve regions of the logical states, faintly over the lattice square and under the
// points: one hue for each of the four extreme states, the states tending to it lighter.
class LatticeRegions : public QWidget {
    Q_OBJECT
  public:
    explicit LatticeRegions(QWidget* parent = nullptr);
    // The requirement level the regions are drawn at (0.50 until set).
    void setLevel(core::Fixed4 level);
    // Where resampled results fell, drawn faintly over the states.
    void setFaintRegions(std::vector<FaintRegion> regions);
    const std::vector<FaintRegion>& faintRegions() const { return faint_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    core::Fixed4 level_ = core::Fixed4::FromTicks(5000);
    std::vector<FaintRegion> faint_;
};

}  // namespace vpl

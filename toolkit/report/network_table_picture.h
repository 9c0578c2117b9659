#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "engine/networks.h"
#include "shell/pictures.h"

class QPainter;

namespace vpl {

// The picture of an analysis network as a table: the factor numbers in the middle, each
// factor's contrary degree to the left and favourable degree to the right, then the operator
// columns of the contrary network (leftwards) and of the favourable network (rightwards),
// and beyond them an empty outermost column on each side. The four-factor picture adds the
// rows of the normalised degrees below the table.
//
// Everything is measured in picture units, which are twips when the picture is printed at
// its natural size; the cell rectangles tell where a window or a report puts its texts.
class NetworkTablePicture : public Picture {
  public:
    // The network's own description, so that a picture shows what is computed from it.
    using Operator = core::Operator;
    using Span = core::Span;
    using Side = core::Side;

    // Operator rows that no cell joins stay blank.
    NetworkTablePicture(int factorCount, std::vector<core::NetworkColumn> columns,
                        bool withDegreeRows = false);
    // (1 OR 2) AND (3 OR 4), with the rows of G2n and G1n below.
    static NetworkTablePicture fourFactor();
    QString cacheKey() const override;

    int factorCount() const { return factorCount_; }
    const std::vector<core::NetworkColumn>& columns() const { return columns_; }
    bool withDegreeRows() const { return withDegreeRows_; }

    QSizeF size() const override;
    // Draws the whole picture scaled into `target`.
    void paint(QPainter& painter, const QRectF& target) const override;

    // Cells, in picture units. Factors are 1-based; operator columns count from the factor
    // columns outwards, their cells in the order given.
    QRectF contraryCell(int factor) const;
    QRectF favourableCell(int factor) const;
    QRectF factorNumberCell(int factor) const;
    QRectF operatorCell(Side side, int column, int cell) const;
    // The empty outermost column of a side, over all factor rows.
    QRectF outerCell(Side side) const;
    // The value boxes of the degree rows: 0 is G2n, 1 is G1n.
    QRectF degreeValueCell(int row) const;

    // A cell of a picture of `pictureSize` drawn into `target`.
    static QRectF mapToTarget(const QRectF& cell, const QSizeF& pictureSize, const QRectF& target);

  private:
    double tableLeft() const;
    double tableRight() const;
    double tableBottom() const;
    double rowTop(int factor) const;
    // Left edge of a column; columns are counted from the left edge of the table.
    double columnLeft(int index) const;
    double columnWidth(int index) const;
    int columnCount() const;
    int operatorColumnIndex(Side side, int column) const;
    int contraryColumnIndex() const;

    void paintHeadings(QPainter& painter) const;
    void paintFactorRows(QPainter& painter) const;
    void paintOperatorColumns(QPainter& painter) const;
    void paintDegreeRows(QPainter& painter) const;

    int factorCount_;
    std::vector<core::NetworkColumn> columns_;
    bool withDegreeRows_;
};

}  // namespace vpl

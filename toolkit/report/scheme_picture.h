#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "engine/networks.h"
#include "shell/pictures.h"

class QPainter;

namespace vpl {

// The scheme of a network, drawn in the language of the stored scheme pictures: a grey box
// per factor ("Fator A", "Fator B", ..) with its outputs D and C; the contrary degrees
// (mu2a, ..) travel on solid arrows through the gates to the left, the favourable ones
// (mu1a, ..) on dash-dotted arrows through the same gates mirrored to the right; the two
// results mu2R and mu1R point into a miniature of the lattice. A cell that joins one thing
// only passes it on and has no gate.
//
// Picture units are twips at the picture's natural size.
class SchemePicture : public Picture {
  public:
    // A gate of the contrary side; the favourable side has its mirror image.
    struct Gate {
        core::Operator kind;
        int column;
        QRectF rect;
        std::vector<double> inputs;  // the heights where the joined degrees enter
    };

    // std::invalid_argument for a network that core::NetworkJoins refuses.
    SchemePicture(int factorCount, const std::vector<core::NetworkColumn>& columns);

    QSizeF size() const override;
    void paint(QPainter& painter, const QRectF& target) const override;

    int factorCount() const { return factorCount_; }
    const std::vector<Gate>& gates() const { return gates_; }
    // A factor's box (1-based), the lattice miniature, in picture units.
    QRectF factorBox(int factor) const;
    QRectF lattice() const;
    // The mirror image of a contrary-side rectangle on the favourable side.
    QRectF mirrored(const QRectF& rect) const;

  private:
    // A degree on its way: where it leaves what made it, and its name after mu2 / mu1.
    struct Wire {
        QPointF from;
        QString name;
    };
    struct Input {
        Wire wire;
        double bendX;
        QPointF to;
    };

    void paintSide(QPainter& painter, bool favourable) const;
    void paintFactors(QPainter& painter) const;
    void paintLattice(QPainter& painter) const;
    void paintKey(QPainter& painter) const;

    int factorCount_;
    double width_ = 0;
    double height_ = 0;
    std::vector<Gate> gates_;
    std::vector<Input> inputs_;  // every wire into a gate
    Wire result_;                // the wire of mu2R
    double resultBendX_ = 0;
};

}  // namespace vpl

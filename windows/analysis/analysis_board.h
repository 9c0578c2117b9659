#pragma once

#include <QRect>
#include <QWidget>
#include <string>
#include <vector>

#include "report/network_table_picture.h"
#include "report/report.h"

class QLabel;

namespace vpl {

class NetworkTableBox;

// The part every analysis window shares: the network picture (`Picture2`) with the degree
// labels over its cells, the headings "Descrença" and "Crença" above the two degree columns,
// and the value boxes of the normalised degrees (`lblG2n`, `lblG1n`).
class AnalysisBoard : public QWidget {
    Q_OBJECT
  public:
    using Side = NetworkTablePicture::Side;

    // A network label over an operator cell. Labels that share a cell divide it from the
    // top down, in the order given.
    struct NetworkLabel {
        const char* name;
        Side side;
        int column;
        int cell;
    };
    // Which labels the board carries: the contrary degrees of factors 1 to
    // `contraryFactors` (lblF1G2 ..), the favourable ones of 1 to `favourableFactors`
    // (lblF1G1 ..), and the network labels.
    struct Labels {
        int contraryFactors = 4;
        int favourableFactors = 4;
        std::vector<NetworkLabel> network;
    };

    // The six labels of (1 OR 2) AND (3 OR 4) on both sides: lblMax1 and lblMax2 over the
    // two cells of the OR column, lblMin1 over the first cell of the AND column; lblMax3,
    // lblMax4 and lblMin2 the same on the favourable side.
    static std::vector<NetworkLabel> orAndLabels(int orColumn, int andColumn);

    // The analysis windows' scale, in twips per picture unit: large enough to read.
    static constexpr double kPictureScale = 1.4;

    // `scale`: twips of the window per picture unit.
    AnalysisBoard(NetworkTablePicture picture, const Labels& labels, double scale,
                  QWidget* parent = nullptr);

    NetworkTableBox* picture() const { return Picture2; }
    // Shows `text` in the label of that name; a label the board does not carry shows
    // nothing, as a network step without a label still computes.
    void setText(const char* name, const std::string& text);
    // A further label over a cell of the picture (picture units), in the font of the factor
    // labels, or of the network labels when `bold`.
    QLabel* addLabel(const char* name, const QRectF& cell, bool bold);
    // Tints the degree labels of `factors` (1-based), which entered the network with
    // degrees 0 for want of answers, and names them in `line`; the other factors' labels
    // lose the tint. The line is hidden when there is nothing to say.
    void markWithoutAnswers(const std::vector<int>& factors, core::Language idioma, QLabel* line);
    // Every degree shown over the picture, centred where its label stands, in the picture's
    // units: what the printed report writes into the same picture.
    std::vector<PlacedDegree> shownDegrees() const;
    // Asks for a file and saves the picture with those degrees there.
    void savePicture(QWidget* parent, const QString& name) const;
    // The band above the picture over this cell's column, where headings stand.
    QRect headingRect(const QRectF& cell) const;

  private:
    QLabel* labelOver(const char* name, const QRect& where);

    NetworkTableBox* Picture2;
    int headingHeight_;
};

}  // namespace vpl

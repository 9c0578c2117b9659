#include "analysis/analysis_board.h"

#include <QLabel>
#include <QRegularExpression>
#include <algorithm>

#include "analysis/picture_boxes.h"
#include "report/picture_files.h"
#include "report/report_actions.h"
#include "shell/fonts.h"
#include "shell/twips.h"

namespace vpl {

AnalysisBoard::AnalysisBoard(NetworkTablePicture picture, const Labels& labels, double scale,
                             QWidget* parent)
    : QWidget(parent), headingHeight_(twips(380)) {
    Picture2 = new NetworkTableBox(std::move(picture), this);
    Picture2->setObjectName("Picture2");
    const NetworkTablePicture& p = Picture2->picture();
    Picture2->setGeometry(0, headingHeight_, twips(p.size().width() * scale),
                          twips(p.size().height() * scale));
    setFixedSize(Picture2->width(), Picture2->geometry().bottom() + 1);

    const auto heading = [&](const char* name, const char* caption, const QRectF& column) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        label->setObjectName(QString::fromUtf8(name));
        label->setFont(arialFont(12));
        label->setStyleSheet("color: #d00000;");
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setGeometry(headingRect(column));
    };
    heading("Label1", "Descrença", p.contraryCell(1));
    heading("Label2", "Crença", p.favourableCell(1));

    for (int f = 1; f <= labels.contraryFactors; ++f)
        labelOver(("lblF" + std::to_string(f) + "G2").c_str(),
                  Picture2->cellRect(p.contraryCell(f)));
    for (int f = 1; f <= labels.favourableFactors; ++f)
        labelOver(("lblF" + std::to_string(f) + "G1").c_str(),
                  Picture2->cellRect(p.favourableCell(f)));

    for (const NetworkLabel& n : labels.network) {
        const auto sameCell = [&](const NetworkLabel& o) {
            return o.side == n.side && o.column == n.column && o.cell == n.cell;
        };
        int sharing = 0, index = 0;
        for (const NetworkLabel& o : labels.network) {
            if (&o == &n) index = sharing;
            sharing += sameCell(o);
        }
        const QRectF cell = p.operatorCell(n.side, n.column, n.cell);
        const double part = cell.height() / sharing;
        const QRectF slot(cell.left(), cell.top() + index * part, cell.width(), part);
        labelOver(n.name, Picture2->cellRect(slot))->setFont(arialFont(9, true));
    }

    const QRectF g2n = p.degreeValueCell(0);
    const QRectF g1n = p.degreeValueCell(1);
    for (const auto& [name, cell] : {std::pair{"lblG2n", g2n}, std::pair{"lblG1n", g1n}}) {
        QLabel* value = labelOver(name, Picture2->cellRect(cell));
        value->setFont(arialFont(9, true));
        value->setStyleSheet("color: #ff0000;");
    }
}

std::vector<AnalysisBoard::NetworkLabel> AnalysisBoard::orAndLabels(int orColumn, int andColumn) {
    return {
        {"lblMax1", Side::Contrary, orColumn, 0},   {"lblMax2", Side::Contrary, orColumn, 1},
        {"lblMin1", Side::Contrary, andColumn, 0},  {"lblMax3", Side::Favourable, orColumn, 0},
        {"lblMax4", Side::Favourable, orColumn, 1}, {"lblMin2", Side::Favourable, andColumn, 0}};
}

QLabel* AnalysisBoard::addLabel(const char* name, const QRectF& cell, bool bold) {
    QLabel* label = labelOver(name, Picture2->cellRect(cell));
    if (bold) label->setFont(arialFont(9, true));
    return label;
}

QLabel* AnalysisBoard::labelOver(const char* name, const QRect& where) {
    auto* label = new QLabel(Picture2);
    label->setObjectName(QString::fromUtf8(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFont(arialFont(9));
    label->setGeometry(where.adjusted(2, 2, -2, -2));
    return label;
}

void AnalysisBoard::setText(const char* name, const std::string& text) {
    if (auto* label =
            Picture2->findChild<QLabel*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly))
        label->setText(QString::fromStdString(text));
}

void AnalysisBoard::markWithoutAnswers(const std::vector<int>& factors, core::Language idioma,
                                       QLabel* line) {
    for (QLabel* label : Picture2->findChildren<QLabel*>(QRegularExpression("^lblF(\\d)G[12]$"),
                                                         Qt::FindDirectChildrenOnly)) {
        const int f = label->objectName().mid(4, 1).toInt();
        const bool without = std::find(factors.begin(), factors.end(), f) != factors.end();
        label->setStyleSheet(without ? "background-color: #ffd6d6;" : "");
        label->setToolTip(without ? QString::fromStdString(core::LinhaSemRespostas({f}, idioma))
                                  : QString());
    }
    line->setText(QString::fromStdString(core::LinhaSemRespostas(factors, idioma)));
    line->setVisible(!factors.empty());
}

std::vector<PlacedDegree> AnalysisBoard::shownDegrees() const {
    const QSizeF size = Picture2->picture().size();
    const QRectF whole = NetworkTablePicture::mapToTarget(QRectF(QPointF(0, 0), size), size,
                                                          QRectF(Picture2->rect()));
    std::vector<PlacedDegree> degrees;
    for (const QLabel* label : Picture2->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || label->text().isEmpty()) continue;
        const QPointF c = QRectF(label->geometry()).center();
        degrees.push_back({QPointF((c.x() - whole.left()) * size.width() / whole.width(),
                                   (c.y() - whole.top()) * size.height() / whole.height()),
                           label->text(), label->font().bold()});
    }
    return degrees;
}

void AnalysisBoard::savePicture(QWidget* parent, const QString& name) const {
    const NetworkWithDegrees picture(std::make_shared<NetworkTablePicture>(Picture2->picture()),
                                     shownDegrees());
    SavePictureAsked(parent, picture, name);
}

QRect AnalysisBoard::headingRect(const QRectF& cell) const {
    const QRect column = Picture2->cellRect(cell);
    return QRect(column.center().x() - twips(1000), 0, twips(2000), headingHeight_);
}

}  // namespace vpl

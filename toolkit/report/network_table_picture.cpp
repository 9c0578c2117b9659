#include "report/network_table_picture.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <stdexcept>

#include "shell/fonts.h"

namespace vpl {

namespace {

// Sizes in picture units. With two operator columns the picture is 7000 x 3500, the size
// at which the report prints it, and its cells fall where the report writes the degrees.
// A printed value starts near the left of its cell, so the favourable side stands further
// left of the factor numbers than the contrary side stands right of them: the factor column
// is narrow and the favourable outer column takes up the difference.
constexpr double kMargin = 565;
constexpr double kOuterWidth = 600;
constexpr double kFavourableOuterWidth = 750;
constexpr double kOperatorWidth = 580;
constexpr double kDegreeWidth = 850;
constexpr double kFactorWidth = 500;
constexpr double kDegreeValueWidth = 650;
constexpr double kTop = 200;
constexpr double kTitleBottom = 700;
constexpr double kHeadingBottom = 1080;
constexpr double kRowHeight = 245;
constexpr double kDegreeRowsGap = 200;
constexpr double kDegreeRowHeight = 240;
constexpr double kBottomMargin = 200;
constexpr double kDegreeBlockHeight = 1440;  // gap, two rows, the notes and the margin

const QColor kInk(0x1d, 0x27, 0x33);
const QColor kRule(0x4a, 0x55, 0x63);
const QColor kTitleFill(0x1f, 0x3a, 0x5f);
const QColor kHeadingFill(0xe6, 0xea, 0xf0);
const QColor kFactorFill(0xf2, 0xf4, 0xf7);
const QColor kOrFill(0xd8, 0xf6, 0xf8);  // light cyan
const QColor kOrHeadingFill(0xa9, 0xe6, 0xec);
const QColor kAndFill(0xff, 0xe4, 0xc7);  // light orange
const QColor kAndHeadingFill(0xfb, 0xc7, 0x8f);

QFont pictureFont(double pixelSize, bool bold = false, bool italic = false) {
    QFont font = arialFont(1, bold);
    font.setPixelSize(static_cast<int>(pixelSize));
    font.setItalic(italic);
    return font;
}

// The font made smaller, if need be, so that `s` fits on one line of `width`.
QFont fitted(QFont font, const QString& s, double width) {
    const double advance = QFontMetricsF(font).horizontalAdvance(s);
    if (advance > width) font.setPixelSize(std::max(1, int(font.pixelSize() * width / advance)));
    return font;
}

void cell(QPainter& painter, const QRectF& rect, const QColor& fill) {
    painter.setPen(QPen(kRule, 12));
    painter.setBrush(fill);
    painter.drawRect(rect);
}

void text(QPainter& painter, const QRectF& rect, const QString& s, const QFont& font,
          const QColor& color = kInk, int flags = Qt::AlignCenter) {
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect.adjusted(25, 20, -25, -20), flags | Qt::TextWordWrap, s);
}

QString operatorName(NetworkTablePicture::Operator kind) {
    return kind == NetworkTablePicture::Operator::Or ? QStringLiteral("OR") : QStringLiteral("AND");
}

QColor operatorFill(NetworkTablePicture::Operator kind) {
    return kind == NetworkTablePicture::Operator::Or ? kOrFill : kAndFill;
}

QColor operatorHeadingFill(NetworkTablePicture::Operator kind) {
    return kind == NetworkTablePicture::Operator::Or ? kOrHeadingFill : kAndHeadingFill;
}

}  // namespace

NetworkTablePicture::NetworkTablePicture(int factorCount, std::vector<core::NetworkColumn> columns,
                                         bool withDegreeRows)
    : factorCount_(factorCount), columns_(std::move(columns)), withDegreeRows_(withDegreeRows) {
    if (factorCount_ < 1) throw std::invalid_argument("a network table needs a factor");
    for (const core::NetworkColumn& column : columns_)
        for (const Span& span : column.cells)
            if (span.first < 1 || span.last > factorCount_ || span.first > span.last)
                throw std::invalid_argument("an operator cell joins rows outside the table");
}

NetworkTablePicture NetworkTablePicture::fourFactor() {
    return NetworkTablePicture(4, {{Operator::Or, {{1, 2}, {3, 4}}}, {Operator::And, {{1, 4}}}},
                               true);
}

QString NetworkTablePicture::cacheKey() const {
    QString key = QStringLiteral("network:%1:%2").arg(factorCount_).arg(withDegreeRows_);
    for (const core::NetworkColumn& column : columns_) {
        key += column.kind == Operator::Or ? QStringLiteral("|or") : QStringLiteral("|and");
        for (const Span& span : column.cells) key += QStringLiteral(",%1-%2").arg(span.first).arg(span.last);
    }
    return key;
}

int NetworkTablePicture::columnCount() const {
    return 2 * static_cast<int>(columns_.size()) + 5;
}

int NetworkTablePicture::contraryColumnIndex() const {
    return static_cast<int>(columns_.size()) + 1;
}

int NetworkTablePicture::operatorColumnIndex(Side side, int column) const {
    const int inner = contraryColumnIndex();
    return side == Side::Contrary ? inner - 1 - column : inner + 3 + column;
}

double NetworkTablePicture::columnWidth(int index) const {
    const int inner = contraryColumnIndex();
    if (index == 0) return kOuterWidth;
    if (index == columnCount() - 1) return kFavourableOuterWidth;
    if (index == inner || index == inner + 2) return kDegreeWidth;
    if (index == inner + 1) return kFactorWidth;
    return kOperatorWidth;
}

double NetworkTablePicture::columnLeft(int index) const {
    double x = tableLeft();
    for (int i = 0; i < index; ++i) x += columnWidth(i);
    return x;
}

double NetworkTablePicture::tableLeft() const {
    return kMargin;
}
double NetworkTablePicture::tableRight() const {
    return columnLeft(columnCount());
}
double NetworkTablePicture::rowTop(int factor) const {
    return kHeadingBottom + (factor - 1) * kRowHeight;
}
double NetworkTablePicture::tableBottom() const {
    return rowTop(factorCount_ + 1);
}

QSizeF NetworkTablePicture::size() const {
    const double height = tableBottom() + (withDegreeRows_ ? kDegreeBlockHeight : kBottomMargin);
    return {tableRight() + kMargin, height};
}

QRectF NetworkTablePicture::contraryCell(int factor) const {
    const int index = contraryColumnIndex();
    return {columnLeft(index), rowTop(factor), columnWidth(index), kRowHeight};
}

QRectF NetworkTablePicture::factorNumberCell(int factor) const {
    const int index = contraryColumnIndex() + 1;
    return {columnLeft(index), rowTop(factor), columnWidth(index), kRowHeight};
}

QRectF NetworkTablePicture::favourableCell(int factor) const {
    const int index = contraryColumnIndex() + 2;
    return {columnLeft(index), rowTop(factor), columnWidth(index), kRowHeight};
}

QRectF NetworkTablePicture::operatorCell(Side side, int column, int cellIndex) const {
    const Span span = columns_.at(column).cells.at(cellIndex);
    const int index = operatorColumnIndex(side, column);
    return {columnLeft(index), rowTop(span.first), columnWidth(index),
            rowTop(span.last + 1) - rowTop(span.first)};
}

QRectF NetworkTablePicture::outerCell(Side side) const {
    const int index = side == Side::Contrary ? 0 : columnCount() - 1;
    return {columnLeft(index), kHeadingBottom, columnWidth(index), tableBottom() - kHeadingBottom};
}

QRectF NetworkTablePicture::degreeValueCell(int row) const {
    const double top = tableBottom() + kDegreeRowsGap + row * kDegreeRowHeight;
    // From under the factor numbers, wide enough for a degree with four decimals.
    return {columnLeft(contraryColumnIndex() + 1), top, kDegreeValueWidth, kDegreeRowHeight};
}

QRectF NetworkTablePicture::mapToTarget(const QRectF& cell, const QSizeF& pictureSize,
                                        const QRectF& target) {
    const double sx = target.width() / pictureSize.width();
    const double sy = target.height() / pictureSize.height();
    return {target.left() + cell.left() * sx, target.top() + cell.top() * sy, cell.width() * sx,
            cell.height() * sy};
}

void NetworkTablePicture::paint(QPainter& painter, const QRectF& target) const {
    const QSizeF natural = size();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / natural.width(), target.height() / natural.height());
    painter.fillRect(QRectF(QPointF(0, 0), natural), Qt::white);
    paintHeadings(painter);
    paintFactorRows(painter);
    paintOperatorColumns(painter);
    if (withDegreeRows_) paintDegreeRows(painter);
    // The outer frame last, so that it is not cut by the cells.
    painter.setPen(QPen(kRule, 28));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(tableLeft(), kTop, tableRight() - tableLeft(), tableBottom() - kTop));
    painter.restore();
}

void NetworkTablePicture::paintHeadings(QPainter& painter) const {
    const int k = static_cast<int>(columns_.size());
    const int inner = contraryColumnIndex();
    const QFont titleFont = pictureFont(150, true);
    const QFont headingFont = pictureFont(115, true);  // "Concordantes" fits its column

    // The network titles span the outer and the operator columns of their side.
    const double contraryRight = columnLeft(inner);
    const double favourableLeft = columnLeft(inner + 3);
    const QRectF contraryTitle(tableLeft(), kTop, contraryRight - tableLeft(), kTitleBottom - kTop);
    const QRectF favourableTitle(favourableLeft, kTop, tableRight() - favourableLeft,
                                 kTitleBottom - kTop);
    cell(painter, contraryTitle, kTitleFill);
    text(painter, contraryTitle, QStringLiteral("Rede lógica Discordante"), titleFont, Qt::white);
    cell(painter, favourableTitle, kTitleFill);
    text(painter, favourableTitle, QStringLiteral("Rede lógica Concordante"), titleFont, Qt::white);

    const auto fullHeading = [&](int index, const QString& caption) {
        const QRectF rect(columnLeft(index), kTop, columnWidth(index), kHeadingBottom - kTop);
        cell(painter, rect, kHeadingFill);
        text(painter, rect, caption, headingFont);
    };
    fullHeading(inner, QStringLiteral("Discordantes do Fator"));
    fullHeading(inner + 1, QStringLiteral("Fatores"));
    fullHeading(inner + 2, QStringLiteral("Concordantes do Fator"));

    const QFont operatorFont = pictureFont(170, true);
    const auto operatorHeading = [&](int index, const core::NetworkColumn* column) {
        const QRectF rect(columnLeft(index), kTitleBottom, columnWidth(index),
                          kHeadingBottom - kTitleBottom);
        cell(painter, rect, column ? operatorHeadingFill(column->kind) : kHeadingFill);
        if (column) text(painter, rect, operatorName(column->kind), operatorFont);
    };
    operatorHeading(0, nullptr);
    operatorHeading(columnCount() - 1, nullptr);
    for (int c = 0; c < k; ++c) {
        operatorHeading(operatorColumnIndex(Side::Contrary, c), &columns_[c]);
        operatorHeading(operatorColumnIndex(Side::Favourable, c), &columns_[c]);
    }
}

void NetworkTablePicture::paintFactorRows(QPainter& painter) const {
    const QFont numberFont = pictureFont(170, true);
    for (int f = 1; f <= factorCount_; ++f) {
        cell(painter, contraryCell(f), Qt::white);
        cell(painter, favourableCell(f), Qt::white);
        cell(painter, factorNumberCell(f), kFactorFill);
        text(painter, factorNumberCell(f), QString::number(f), numberFont);
    }
    // The outermost columns are left empty.
    cell(painter, outerCell(Side::Contrary), Qt::white);
    cell(painter, outerCell(Side::Favourable), Qt::white);
}

void NetworkTablePicture::paintOperatorColumns(QPainter& painter) const {
    for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
        for (Side side : {Side::Contrary, Side::Favourable}) {
            const int index = operatorColumnIndex(side, c);
            // Rows that no cell joins are blank.
            for (int f = 1; f <= factorCount_; ++f)
                cell(painter, QRectF(columnLeft(index), rowTop(f), columnWidth(index), kRowHeight),
                     Qt::white);
            for (int i = 0; i < static_cast<int>(columns_[c].cells.size()); ++i)
                cell(painter, operatorCell(side, c, i), operatorFill(columns_[c].kind));
        }
    }
}

void NetworkTablePicture::paintDegreeRows(QPainter& painter) const {
    const struct {
        const char* title;
        const char* formula;
    } rows[] = {{"Grau de Contradição Normalizado G2n", "G2n = (G2 + 1)/2"},
                {"Grau de Certeza Normalizado G1n", "G1n = (G1 + 1)/2"}};
    for (int r = 0; r < 2; ++r) {
        const QRectF value = degreeValueCell(r);
        const QRectF title(tableLeft(), value.top(), value.left() - tableLeft(), value.height());
        const QRectF formula(value.right(), value.top(), tableRight() - value.right(),
                             value.height());
        const QString titleText = QString::fromUtf8(rows[r].title);
        const QString formulaText = QString::fromUtf8(rows[r].formula);
        cell(painter, title, kHeadingFill);
        text(painter, title, titleText, fitted(pictureFont(135), titleText, title.width() - 50),
             kInk, Qt::AlignVCenter | Qt::AlignRight);
        cell(painter, formula, Qt::white);
        text(painter, formula, formulaText,
             fitted(pictureFont(150, false, true), formulaText, formula.width() - 50), kInk,
             Qt::AlignVCenter | Qt::AlignLeft);
        painter.setPen(QPen(kRule, 24));
        painter.setBrush(Qt::white);
        painter.drawRect(value);
    }
    // The two definitions on one line where the table is wide enough, else one under the other.
    const QString certainty = QString::fromUtf8("G1 = μR − λR (Grau de Certeza)");
    const QString contradiction = QString::fromUtf8("G2 = μR + λR − 1 (Grau de Contradição)");
    const QString oneLine = certainty + "        " + contradiction;
    const QFont notesFont = pictureFont(135, false, true);
    const double width = tableRight() - tableLeft();
    const bool fits = QFontMetricsF(notesFont).horizontalAdvance(oneLine) <= width - 50;
    const double notesTop = degreeValueCell(1).bottom() + 120;
    text(painter, QRectF(tableLeft(), notesTop, width, fits ? 260 : 440),
         fits ? oneLine : certainty + "\n" + contradiction, notesFont, kRule);
}

}  // namespace vpl

#include "report/picture_files.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

#include "shell/fonts.h"

namespace vpl {

namespace {

constexpr double kPngPixelsPerTwip = 4.0 / 15;

std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

QPointF centreOf(const QRectF& cell) {
    return cell.center();
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "svg") return PictureFormat::Svg;
    if (suffix == "png") return PictureFormat::Png;
    return std::nullopt;
}

std::optional<QString> SavePicture(const Picture& picture, const QString& path,
                                   PictureFormat format) {
    const QSizeF size = picture.size();
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (format == PictureFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&bytes);
        svg.setResolution(1440);  // a twip to the unit: the picture's own size on paper
        svg.setSize(size.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), size));
        svg.setTitle(QStringLiteral("Velmar Paraconsistent Logic"));
        QPainter painter(&svg);
        if (!painter.isActive()) return QStringLiteral("the SVG document could not be started");
        picture.paint(painter, QRectF(QPointF(0, 0), size));
    } else {
        QImage image(std::max(1, qRound(size.width() * kPngPixelsPerTwip)),
                     std::max(1, qRound(size.height() * kPngPixelsPerTwip)),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            picture.paint(painter, QRectF(image.rect()));
        }
        if (!image.save(&bytes, "PNG")) return QStringLiteral("the PNG image could not be made");
    }
    return writeWhole(path, bytes.data());
}

NetworkWithDegrees::NetworkWithDegrees(std::shared_ptr<const Picture> network,
                                       std::vector<PlacedDegree> degrees)
    : network_(std::move(network)), degrees_(std::move(degrees)) {}

void NetworkWithDegrees::paint(QPainter& painter, const QRectF& target) const {
    network_->paint(painter, target);
    const double scale = target.width() / size().width();
    painter.save();
    painter.setPen(Qt::black);
    for (const PlacedDegree& d : degrees_) {
        QFont font = arialFont(8, d.bold);
        font.setPixelSize(std::max(1, qRound(160 * scale)));  // 8 pt in twips
        painter.setFont(font);
        const QPointF at(target.left() + d.centre.x() * scale, target.top() + d.centre.y() * scale);
        const QRectF box(at.x() - 2000 * scale, at.y() - 200 * scale, 4000 * scale, 400 * scale);
        painter.drawText(box, Qt::AlignCenter, d.text);
    }
    painter.restore();
}

std::vector<PlacedDegree> OwnNetworkDegrees(const NetworkTablePicture& picture,
                                            const core::AnaliseFatoresPropriosResult& result) {
    using core::Side;
    std::vector<PlacedDegree> degrees;
    const auto add = [&](const QRectF& cell, const std::string& text, bool bold) {
        if (!text.empty()) degrees.push_back({centreOf(cell), QString::fromStdString(text), bold});
    };
    for (int f = 1; f <= static_cast<int>(result.factors.size()); ++f) {
        add(picture.contraryCell(f), result.factors[f - 1].lambda.text, false);
        add(picture.favourableCell(f), result.factors[f - 1].mu.text, false);
    }
    for (std::size_t c = 0; c < result.cells.size(); ++c)
        for (std::size_t k = 0; k < result.cells[c].size(); ++k) {
            add(picture.operatorCell(Side::Contrary, int(c), int(k)), result.cells[c][k].lambda.text,
                true);
            add(picture.operatorCell(Side::Favourable, int(c), int(k)),
                result.cells[c][k].mu.text, true);
        }
    if (picture.withDegreeRows()) {
        add(picture.degreeValueCell(0), result.lblG2n, true);
        add(picture.degreeValueCell(1), result.lblG1n, true);
    }
    return degrees;
}

}  // namespace vpl

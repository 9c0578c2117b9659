#pragma once

// The program's drawings saved as files: SVG for documents that scale, PNG for everything
// else, drawn by the same code as the screen and the page.

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "engine/networks.h"
#include "report/network_table_picture.h"
#include "report/report.h"
#include "shell/pictures.h"

namespace vpl {

enum class PictureFormat { Svg, Png };

// By the file's suffix, letter case aside; nothing for any other.
std::optional<PictureFormat> PictureFormatOf(const QString& path);

// Writes `picture` to `path` through a temporary file renamed into place, so that a failure
// leaves no file behind and an existing one as it was. A PNG has 4 pixels to every 15 twips
// (twice the screen's); an SVG keeps the picture's units. The reason on failure.
std::optional<QString> SavePicture(const Picture& picture, const QString& path,
                                   PictureFormat format);

// A network picture with texts over it, placed as the report places them.
class NetworkWithDegrees : public Picture {
  public:
    NetworkWithDegrees(std::shared_ptr<const Picture> network, std::vector<PlacedDegree> degrees);
    QSizeF size() const override { return network_->size(); }
    void paint(QPainter& painter, const QRectF& target) const override;

  private:
    std::shared_ptr<const Picture> network_;
    std::vector<PlacedDegree> degrees_;
};

// Every degree of the user's factors' network at its cell of `picture`: each factor's
// pair, each operator cell's result and the normalised degrees, as the family windows show
// them on the user's own factors.
std::vector<PlacedDegree> OwnNetworkDegrees(const NetworkTablePicture& picture,
                                            const core::AnaliseFatoresPropriosResult& result);

}  // namespace vpl

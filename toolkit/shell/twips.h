#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

namespace vpl {

// Window layouts are given in twips; this converts them with the screen's logical DPI.
inline constexpr double kTwipsPerInch = 1440.0;
// Pictures are drawn to a size in pixels at 96 DPI: 15 twips to such a pixel.
inline constexpr int kTwipsPerPixelAt96Dpi = 15;

inline double pixelsPerTwip() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->logicalDotsPerInch() : 96.0) / kTwipsPerInch;
}
inline int twips(double t) {
    return qRound(t * pixelsPerTwip());
}

}  // namespace vpl

#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

namespace vpl {

// Window layouts are given in twips (1440 to the inch); this converts them with the
// screen's logical DPI (15 twips to a pixel at 96 DPI).
inline double pixelsPerTwip() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return (screen ? screen->logicalDotsPerInch() : 96.0) / 1440.0;
}
inline int twips(double t) {
    return qRound(t * pixelsPerTwip());
}

}  // namespace vpl

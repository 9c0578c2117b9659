#pragma once

#include <QFont>
#include <QStringList>

namespace vpl {

// A font of the first of `families` the system has, in points.
inline QFont familyFont(const QStringList& families, int pointSize, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

// The windows' fonts, with the metric-compatible Liberation faces where Arial is missing.
inline QFont arialFont(int pointSize, bool bold = false) {
    return familyFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pointSize,
                      bold);
}

inline QFont arialNarrowFont(int pointSize, bool bold = false) {
    return familyFont({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")},
                      pointSize, bold);
}

}  // namespace vpl

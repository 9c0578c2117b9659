#pragma once

#include <QFont>
#include <QStringList>

namespace vpl {

// The windows' fonts, with the metric-compatible Liberation faces where Arial is missing.
inline QFont arialFont(int pointSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

inline QFont arialNarrowFont(int pointSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow")});
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace vpl

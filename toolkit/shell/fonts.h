#pragma once

#include <QFont>
#include <QStringList>
#include <QWidget>

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

// A widget whose texts are numbers or the program's own Latin texts draws them without text
// shaping, its font otherwise inherited: shaping took most of the time to paint a label
// that changes at every key. Scripts that need shaping are still shaped.
inline void paintWithoutShaping(QWidget* widget) {
    QFont strategy;  // only the strategy is set: the rest still comes from the parents
    strategy.setStyleStrategy(QFont::PreferNoShaping);
    widget->setFont(strategy);
}

}  // namespace vpl

#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/number_text.h"
#include "decision/decision.h"
#include "store/schema.h"

namespace vpl {

namespace store {
class Database;
}
class Picture;
class PrintingSurface;

struct ReportFactor {
    QString title;
    std::vector<decision::Proposition> propositions;  // as many as the factor's Prop
    // Prop is empty: no number of propositions was ever entered for the factor. It is
    // printed with a note instead of propositions.
    bool withoutCount = false;
};

// The note printed under a factor without a number of propositions.
QString FactorWithoutCountNote(int factor);

// A degree printed over the network picture, centred on its cell: a point in the picture's
// own units.
struct PlacedDegree {
    QPointF centre;
    QString text;
    bool bold = false;
};

// The network block of an analysis of any factor count: every degree the window shows at
// its cell, and the lines printed under the picture (the result degrees, the verdicts)
// before the logical state's.
struct ReportNetwork {
    std::vector<PlacedDegree> degrees;
    QStringList lines;
};

// Everything the report prints, read before the print job starts.
struct ReportData {
    std::vector<ReportFactor> factors;
    std::array<QString, 4> contrary;    // factors 1 to 4, "0.0000"
    std::array<QString, 4> favourable;  // "0.0000"
    std::array<QString, 4> max;         // lblMax1 .. lblMax4, "0.00"
    QString min1;                       // "0.00"
    QString min2;
    QString g2n;  // "0.0000"
    QString g1n;
    // Any factor count; nothing prints the four-factor network's degrees from the fields
    // above at the places the four-factor report has always used.
    std::optional<ReportNetwork> network;
    QString state;     // the line of the result's logical state
    QString decision;  // the line of the decision at the requirement level
    QString barycentre;  // the line of the weighted factors' barycentre, empty without one
    // The lattice with the result, the factors' points and their barycentre, printed after the
    // citation with the legend of the factors under it; nothing prints none.
    std::shared_ptr<const Picture> lattice;
    QString latticeLegend;
    QString date;   // the user's short date
    core::NumberLocale locale;
};

// Factors 1 to `factorCount` (as many as the file holds) with their titles and as many
// propositions as their number of propositions says; a factor that has none entered (NULL or
// blanks) is marked withoutCount. StoreError when a table or field is missing, a count is
// not a number or the factor holds fewer propositions; InvalidDataError when the number of
// propositions is not a whole number from 0 to 99.
std::vector<ReportFactor> ReadReportFactors(store::Database& db, int factorCount,
                                            core::NumberLocale locale);

struct ReportPictures {
    const Picture& decoration;  // the main window's coloured triangles
    const Picture& network;     // the four-factor window's network table
    const Picture& logo;
};

// The report of a four-factor analysis. Its first page stands at the twips the report has
// always used; a body too long for the page goes on over as many pages as it needs, with
// the column headings repeated, and the network picture with its degrees, the date line
// and the citation each stay whole on one page. Pages are numbered "k / n". A proposition
// longer than the room before the counts goes on in further lines under itself, its counts
// on its first line, and stays on one page when a page can hold it.
void PrintReport(PrintingSurface& surface, const ReportData& data, const ReportPictures& pictures);

}  // namespace vpl

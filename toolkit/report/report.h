#pragma once

#include <QString>
#include <array>
#include <memory>
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

#include "report/report.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "report/printing_surface.h"
#include "shell/controls.h"
#include "shell/pictures.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/database.h"
#include "store/schema.h"

namespace vpl {

namespace {

// Room kept at the bottom of every page for its number, in twips.
constexpr double kFooterHeight = 500;
// Where a continued body starts on a new page, below the repeated headings.
constexpr double kHeadingsTopOnNewPage = 600;
constexpr double kBodyTopOnNewPage = 900;
// How far the degrees block and the date block reach below their first line.
constexpr double kPictureHeight = 3500;
// The logical state's line stands this far below the last degree row, under the picture.
constexpr double kStateLineOffset = 1150;
constexpr double kDecisionLineStep = 250;  // the decision's line under the state's
constexpr double kResultLineSize = 10;
constexpr double kLegendSize = 8;
// The date block stands this far below the last degree row.
constexpr double kDateBlockOffset = 4000;
constexpr double kPictureLeft = 2500;
// Lines that run across the page end this far before its right edge.
constexpr double kRightMargin = 500;
constexpr double kStateLineHeight = 250;
constexpr double kDateBlockHeight = 900;
// A proposition's lines end this far before the first count column.
constexpr double kPropositionX = 1700;
constexpr double kFirstCountX = 8000;
constexpr double kCountsGap = 150;
constexpr double kPropositionLine = 200;
constexpr double kPropositionSize = 9;

QString number00(double value, core::NumberLocale locale) {
    return QString::fromStdString(core::FormatNumber(value, "#00", locale));
}

class ReportWriter {
  public:
    ReportWriter(PrintingSurface& surface, const ReportData& data, const ReportPictures& pictures,
                 int pageCount)
        : s_(surface), data_(data), pictures_(pictures), pageCount_(pageCount) {}

    void write() {
        s_.FontName = QStringLiteral("arial");
        s_.CurrentX = 1;
        s_.CurrentY = 1;
        titleBlock();
        columnHeadings(1800);
        double y = body(2100);
        y = data_.network ? network(y, *data_.network) : degrees(y);
        y = dateAndCitation(y);
        lattice(y + kDateBlockHeight);
        footer();
        s_.EndDoc();
    }

  private:
    void at(double x, double y, double size, const QString& text) {
        s_.FontSize = size;
        s_.CurrentX = x;
        s_.CurrentY = y;
        s_.Print(text);
    }

    double bottom() const { return s_.ScaleHeight() - kFooterHeight; }

    void newPage() {
        footer();
        s_.NewPage();
        ++page_;
    }

    void footer() {
        if (pageCount_ < 2) return;  // page numbers only where there is more than one page
        s_.FontBold = false;
        at(10000, s_.ScaleHeight() - kFooterHeight + 150, 8,
           QStringLiteral("%1 / %2").arg(page_).arg(pageCount_));
    }

    void titleBlock() {
        s_.PaintPicture(pictures_.decoration, 1000, 300, 2300, 1500);
        s_.FontBold = true;
        at(3700, 700, 13, QStringLiteral("Velmar Paraconsistent Logic"));
        s_.FontBold = false;
    }

    void columnHeadings(double y) {
        const std::pair<double, const char*> headings[] = {
            {8000, "DT"}, {8400, "D"}, {8850, "I"}, {9200, "C"}, {9600, "CT"}, {10000, "QT."}};
        for (const auto& [x, text] : headings) at(x, y, 10, QString::fromLatin1(text));
    }

    // A line of `height` from y, on this page or at the top of the next one.
    double room(double y, double height) {
        if (y + height <= bottom()) return y;
        newPage();
        columnHeadings(kHeadingsTopOnNewPage);
        return kBodyTopOnNewPage;
    }

    // What a proposition of `lines` lines asks to find on one page: all of it, unless it is
    // longer than a page.
    double propositionHeight(qsizetype lines) const {
        return std::min(static_cast<double>(lines) * kPropositionLine,
                        bottom() - kBodyTopOnNewPage);
    }

    // A proposition's text as lines that end before the counts; a text that fits is one line,
    // as it stands.
    QStringList propositionLines(const QString& text) {
        return wrapped(text, kPropositionSize, kFirstCountX - kCountsGap - kPropositionX);
    }

    // `text` at `size` as lines no wider than `width`, broken between words; a text that fits
    // is one line, as it stands.
    QStringList wrapped(const QString& text, double size, double width) {
        s_.FontSize = size;
        if (s_.TextWidth(text) <= width) return {text};
        QStringList lines;
        QString line;
        for (QString word :
             text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + ' ' + word;
            if (s_.TextWidth(longer) <= width) {
                line = longer;
                continue;
            }
            if (!line.isEmpty()) lines << line;
            // A word longer than the line is cut where it has to be.
            while (s_.TextWidth(word) > width) {
                qsizetype n = 1;
                while (n < word.size() && s_.TextWidth(word.left(n + 1)) <= width) ++n;
                if (n < word.size() && word.at(n).isLowSurrogate()) n += n == 1 ? 1 : -1;
                lines << word.left(n);
                word = word.mid(n);
            }
            line = word;
        }
        if (!line.isEmpty() || lines.isEmpty()) lines << line;
        return lines;
    }

    // The state, decision and barycentre lines under the picture, each wrapped before the
    // page's right margin.
    QStringList resultLines() {
        QStringList lines;
        for (const QString* line : {&data_.state, &data_.decision, &data_.barycentre})
            if (!line->isEmpty())
                lines << wrapped(*line, kResultLineSize,
                                 s_.ScaleWidth() - kRightMargin - kPictureLeft);
        return lines;
    }

    double body(double y) {
        const core::NumberLocale locale = data_.locale;
        for (std::size_t i = 0; i < data_.factors.size(); ++i) {
            const ReportFactor& factor = data_.factors[i];
            std::vector<QStringList> texts;
            for (const decision::Proposition& p : factor.propositions)
                texts.push_back(propositionLines(qs(p.text.toText().value_or(""))));
            // The factor's line stays with its first proposition, or with its note.
            const double first = factor.withoutCount ? kPropositionLine
                                 : texts.empty()     ? 0
                                                     : propositionHeight(texts.front().size());
            y = room(y, 250 + first);
            at(1000, y, 11, QStringLiteral("Fator:  %1.%2").arg(i + 1).arg(factor.title));
            y += 250;
            if (factor.withoutCount) {
                at(kPropositionX, y, kPropositionSize,
                   FactorWithoutCountNote(static_cast<int>(i) + 1));
                y += kPropositionLine;
            }
            for (std::size_t j = 0; j < texts.size(); ++j) {
                const decision::Proposition& p = factor.propositions[j];
                y = room(y, propositionHeight(texts[j].size()));
                // The counts stand on the first line.
                at(kPropositionX, y, kPropositionSize, texts[j].front());
                const double xs[] = {kFirstCountX, 8400, 8800, 9200, 9600};
                double total = 0;
                for (int k = 0; k < store::kLikertPoints; ++k) {
                    at(xs[k], y, kPropositionSize, number00(p.stored[k], locale));
                    total += p.stored[k];
                }
                at(10000, y, kPropositionSize, number00(total, locale));
                y += kPropositionLine;
                for (qsizetype line = 1; line < texts[j].size(); ++line) {
                    y = room(y, kPropositionLine);
                    at(kPropositionX, y, kPropositionSize, texts[j][line]);
                    y += kPropositionLine;
                }
            }
            y += 275;
        }
        return y;
    }

    // The network picture with the degrees written into its cells; returns y after the
    // last degree row.
    double degrees(double y) {
        const auto& d = data_;
        const struct {
            double step;
            double x1;
            QString text1;
            double x2;
            QString text2;
        } rows[] = {
            {1120, 5000, d.contrary[0], 6450, d.favourable[0]},
            {125, 4400, d.max[0], 7200, d.max[2]},
            {125, 5000, d.contrary[1], 6450, d.favourable[1]},
            {125, 3850, d.min1, 7750, d.min2},
            {110, 5000, d.contrary[2], 6450, d.favourable[2]},
            {125, 4400, d.max[1], 7200, d.max[3]},
            {125, 5000, d.contrary[3], 6450, d.favourable[3]},
            {450, 5700, d.g2n, 0, {}},
            {225, 5700, d.g1n, 0, {}},
        };
        const QStringList lines = resultLines();
        // The result's lines, under the picture from its last degree row on, stay on its page.
        double linesEnd = kStateLineOffset + std::max<qsizetype>(lines.size(), 1) * kStateLineHeight;
        for (const auto& row : rows) linesEnd += row.step;
        if (y + std::max(kPictureHeight + kStateLineHeight, linesEnd) > bottom()) {
            newPage();
            y = kBodyTopOnNewPage;
        }
        s_.PaintPicture(pictures_.network, kPictureLeft, y, 7000, 3500);
        for (const auto& row : rows) {
            y += row.step;
            at(row.x1, y, 8, row.text1);
            if (row.x2 > 0) at(row.x2, y, 8, row.text2);
        }
        double line = y + kStateLineOffset;
        for (const QString& text : lines) {
            at(kPictureLeft, line, kResultLineSize, text);
            line += kDecisionLineStep;
        }
        // The date block keeps its place unless the lines reach it.
        return std::max(y + kDateBlockOffset, line + 600);
    }

    // The window's network picture with its degrees at their cells, then the result's lines;
    // returns where the date goes. The picture is as wide as the four-factor one, less when
    // a page could not hold it.
    double network(double y, const ReportNetwork& net) {
        const QSizeF size = pictures_.network.size();
        const QStringList lines = net.lines + resultLines();
        const double below = 200 + lines.size() * kDecisionLineStep;
        double width = 7000;
        double height = width * size.height() / size.width();
        if (height + below > bottom() - kBodyTopOnNewPage) {
            height = bottom() - kBodyTopOnNewPage - below;
            width = height * size.width() / size.height();
        }
        if (y + height + below > bottom()) {
            newPage();
            y = kBodyTopOnNewPage;
        }
        const double left = kPictureLeft;
        s_.PaintPicture(pictures_.network, left, y, width, height);
        const double scale = width / size.width();
        for (const PlacedDegree& d : net.degrees) {
            s_.FontBold = d.bold;
            s_.FontSize = 8;
            const double x = left + d.centre.x() * scale - s_.TextWidth(d.text) / 2;
            at(x, y + d.centre.y() * scale - s_.TextHeight() / 2, 8, d.text);
        }
        s_.FontBold = false;
        double line = y + height + 200;
        for (const QString& text : lines) {
            at(left, line, kResultLineSize, text);
            line += kDecisionLineStep;
        }
        return line + 600;
    }

    // Returns y of the date line, which may have moved to a new page.
    double dateAndCitation(double y) {
        if (y + kDateBlockHeight > bottom()) {
            newPage();
            y = kBodyTopOnNewPage;
        }
        at(1500, y, 10, QStringLiteral("Date: ") + data_.date);
        s_.FontSize = 8;
        s_.CurrentX = 1500;
        s_.CurrentY = y + 500;
        s_.Print(QStringLiteral("Velmar Paraconsistent Logic [Computer Software]. (2021)."));
        s_.CurrentX = 1500;
        s_.Print(QStringLiteral("Retrieved from ") + QString::fromUtf8(kWebAddress));
        s_.PaintPicture(pictures_.logo, 9000, y, 1400, 500);
        return y;
    }

    // The lattice as the result window draws it, a little smaller, with its legend.
    void lattice(double y) {
        if (!data_.lattice) return;
        const double width = 3600;
        const double height = width * data_.lattice->size().height() / data_.lattice->size().width();
        // Eight long factor titles make a legend wider than the page.
        const QStringList legend =
            data_.latticeLegend.isEmpty()
                ? QStringList()
                : wrapped(data_.latticeLegend, kLegendSize, s_.ScaleWidth() - kRightMargin - 1500);
        if (y + height + legend.size() * kStateLineHeight > bottom()) {
            newPage();
            y = kBodyTopOnNewPage;
        }
        s_.PaintPicture(*data_.lattice, 1500, y, width, height);
        double line = y + height;
        for (const QString& text : legend) {
            at(1500, line, kLegendSize, text);
            line += kPropositionLine;
        }
    }

    PrintingSurface& s_;
    const ReportData& data_;
    const ReportPictures& pictures_;
    int pageCount_;
    int page_ = 1;
};

}  // namespace

QString FactorWithoutCountNote(int factor) {
    return QString::fromUtf8(
               "O fator %1 não tem número de pressupostos: indique-o na janela de fatores.")
        .arg(factor);
}

std::vector<ReportFactor> ReadReportFactors(store::Database& db, int factorCount,
                                            core::NumberLocale locale) {
    std::vector<ReportFactor> factors;
    for (const decision::Factor& stored :
         decision::ReadFactors(db, std::clamp(factorCount, 0, store::kFactorSlots))) {
        ReportFactor& factor = factors.emplace_back();
        factor.title = qs(stored.titleText());
        // A delivered file's factors have no count until the factors window saves one.
        const decision::PropositionCount count = stored.propositionCount(locale);
        factor.withoutCount = count.state == decision::PropositionCount::State::Missing;
        if (factor.withoutCount) continue;
        factor.propositions =
            decision::ReadPropositions(db, stored.number, stored.rowsShown(locale));
    }
    return factors;
}

void PrintReport(PrintingSurface& surface, const ReportData& data, const ReportPictures& pictures) {
    // A dry run first: the page numbers need the number of pages.
    RecordingSurface dryRun(surface.ScaleWidth(), surface.ScaleHeight());
    ReportWriter(dryRun, data, pictures, 0).write();
    ReportWriter(surface, data, pictures, dryRun.pages()).write();
}

}  // namespace vpl

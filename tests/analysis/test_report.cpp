#include <pwd.h>
#include <unistd.h>

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QLocale>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "analysis/frmAnalise4f.h"
#include "engine/logical_state.h"
#include "engine/networks.h"
#include "report/lattice_picture.h"
#include "report/stored_analysis.h"
#include "report/network_table_picture.h"
#include "report/printing_surface.h"
#include "report/report.h"
#include "shell/file_dialog.h"
#include "shell/message_box.h"
#include "shell/pictures.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "tests/support/test_support.h"
#include "tests/support/window_checks.h"

using namespace vpl;
using vpl::test::child;
using vpl::test::Fixture;
using Kind = RecordingSurface::Operation::Kind;

namespace {

// Two distinct drawings stand for the pictures of the report.
struct Pictures {
    SvgPicture decoration{":/pictures/menu_image1.svg"};
    SvgPicture network{":/pictures/scheme_4f.svg"};
    SvgPicture logo{":/pictures/menu_image2.svg"};
    ReportPictures report() const { return {decoration, network, logo}; }
};

// Each degree gets a text of its own, to see where each one lands.
ReportData degreesData() {
    ReportData d;
    for (int i = 0; i < 4; ++i) {
        d.contrary[i] = QString("c%1").arg(i + 1);
        d.favourable[i] = QString("f%1").arg(i + 1);
        d.max[i] = QString("max%1").arg(i + 1);
    }
    d.min1 = "min1";
    d.min2 = "min2";
    d.g2n = "g2n";
    d.g1n = "g1n";
    d.state = "state";
    d.decision = "decision";
    d.barycentre = "barycentre";
    d.date = "08/12/2026";
    return d;
}

decision::Proposition proposition(const QString& text, std::array<double, 5> counts) {
    return {0, store::Value(text.toStdString()), counts};
}

// Factors of `propositions` each, with texts "F<i> P<j>" and every count 1.
void storeFactors(Fixture& f, int factors, int propositions) {
    f.db().execute("UPDATE Parametro SET Fatores = " + std::to_string(factors));
    f.db().execute("UPDATE Fatores SET Prop = '" + std::to_string(propositions) +
                   "', Fator = 'T' || Id");
    for (int i = 1; i <= store::kFactorSlots; ++i)
        f.db().execute("UPDATE Prop" + std::to_string(i) + " SET Proposicao = 'F" +
                       std::to_string(i) +
                       " P' || Id, N01 = 1, N02 = 1, N03 = 1, N04 = 1, N05 = 1");
}

QString cupsPdfFolder() {
    const passwd* user = getpwuid(getuid());
    return QDir(user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath()).filePath("PDF");
}

QString pdfText(const QString& file) {
    QProcess p;
    p.start("pdftotext", {"-layout", file, "-"});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class ReportTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { test::recordMessagesWithOnePdfPrinter(); }
    void cleanup() {
        Printers::clearFake();
        FileDialog::clearFake();
    }

    void selecionarImpressora_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("selected");  // empty: none
        QTest::newRow("first of two alike in 8 characters")
            << QStringList{"PDF", "HP LaserJet 4 Plus", "HP LaserJet 4 Pro"} << "HP LaserJet 4 Pro"
            << "HP LaserJet 4 Plus";
        QTest::newRow("other letter case")
            << QStringList{"PDF", "Xerox WorkCentre"} << "XEROX workcentre"
            << "Xerox WorkCentre";
        QTest::newRow("no match") << QStringList{"PDF", "Xerox"} << "Canon"
                                  << "";
        QTest::newRow("a shorter name is compared whole") << QStringList{"PDF printer"} << "PDF"
                                                          << "";
    }
    void selecionarImpressora() {
        QFETCH(QStringList, installed);
        QFETCH(QString, picked);
        QFETCH(QString, selected);
        QCOMPARE(SelecionarImpressora(installed, picked).value_or(QString()), selected);
    }

    void reportOfASmallProblem() {
        Fixture f;
        storeFactors(f, 2, 2);
        f.db().update("Fatores", 2, {{"Fator", "Prazo"}, {"Prop", 0}});
        f.db().update("Prop1", 1, {{"N01", 5}, {"N02", 123}, {"N03", 0}, {"N04", 1}, {"N05", 2}});
        ReportData data = degreesData();
        data.factors = ReadReportFactors(f.db(), 2, f.program().locale);
        const Pictures pictures;
        RecordingSurface page(11520, 16000);
        PrintReport(page, data, pictures.report());

        struct Op {
            double x, y, size;
            QString text;  // a picture: empty
        };
        const QList<Op> expected{
            {1000, 300, 0, ""},  // decoration
            {3700, 700, 13, "Velmar Paraconsistent Logic"},
            {8000, 1800, 10, "DT"},
            {8400, 1800, 10, "D"},
            {8850, 1800, 10, "I"},
            {9200, 1800, 10, "C"},
            {9600, 1800, 10, "CT"},
            {10000, 1800, 10, "QT."},
            {1000, 2100, 11, "Fator:  1.T1"},
            {1700, 2350, 9, "F1 P1"},
            {8000, 2350, 9, "05"},
            {8400, 2350, 9, "123"},
            {8800, 2350, 9, "00"},
            {9200, 2350, 9, "01"},
            {9600, 2350, 9, "02"},
            {10000, 2350, 9, "131"},
            {1700, 2550, 9, "F1 P2"},
            {8000, 2550, 9, "01"},
            {8400, 2550, 9, "01"},
            {8800, 2550, 9, "01"},
            {9200, 2550, 9, "01"},
            {9600, 2550, 9, "01"},
            {10000, 2550, 9, "05"},
            {1000, 3025, 11, "Fator:  2.Prazo"},  // no propositions: 250 + 275 on
            {2500, 3550, 0, ""},                  // the network picture
            {5000, 4670, 8, "c1"},
            {6450, 4670, 8, "f1"},
            {4400, 4795, 8, "max1"},
            {7200, 4795, 8, "max3"},
            {5000, 4920, 8, "c2"},
            {6450, 4920, 8, "f2"},
            {3850, 5045, 8, "min1"},
            {7750, 5045, 8, "min2"},
            {5000, 5155, 8, "c3"},
            {6450, 5155, 8, "f3"},
            {4400, 5280, 8, "max2"},
            {7200, 5280, 8, "max4"},
            {5000, 5405, 8, "c4"},
            {6450, 5405, 8, "f4"},
            {5700, 5855, 8, "g2n"},
            {5700, 6080, 8, "g1n"},
            {2500, 7230, 10, "state"},  // under the picture
            {2500, 7480, 10, "decision"},
            {2500, 7730, 10, "barycentre"},
            {1500, 10080, 10, "Date: 08/12/2026"},
            {1500, 10580, 8, "Velmar Paraconsistent Logic [Computer Software]. (2021)."},
        };
        const auto& ops = page.operations();
        QVERIFY(ops.size() >= std::size_t(expected.size()) + 3);
        for (int k = 0; k < expected.size(); ++k) {
            const auto& op = ops[k];
            const Op& e = expected[k];
            const QString where = QString("#%1 %2").arg(k).arg(e.text);
            QVERIFY2(op.x == e.x && op.y == e.y, qPrintable(where));
            QVERIFY2((op.kind == Kind::Picture) == e.text.isEmpty(), qPrintable(where));
            if (op.kind == Kind::Text) {
                QVERIFY2(op.text == e.text && op.fontSize == e.size, qPrintable(where));
                QCOMPARE(op.bold, e.size == 13);
                QCOMPARE(op.fontName, "arial");
            }
        }
        QCOMPARE(ops[0].rect, QRectF(1000, 300, 2300, 1500));
        QCOMPARE(ops[0].picture, &pictures.decoration);
        QCOMPARE(ops[24].rect, QRectF(2500, 3550, 7000, 3500));
        QCOMPARE(ops[24].picture, &pictures.network);
        // The address on the next line, the logo beside the date line, one page, the end.
        const auto& address = ops[expected.size()];
        QCOMPARE(address.x, 1500.0);
        QVERIFY(address.y > 10580 && address.y < 10580 + 400);
        QCOMPARE(address.text, QString("Retrieved from ") + kWebAddress);
        QCOMPARE(ops[expected.size() + 1].rect, QRectF(9000, 10080, 1400, 500));
        QCOMPARE(ops[expected.size() + 1].picture, &pictures.logo);
        QCOMPARE(ops.back().kind, Kind::EndDoc);
        QCOMPARE(page.pages(), 1);
    }

    // Each degree, at its widest, stands clear of the borders of the cell it is written in.
    void everyDegreeStaysInsideItsCell() {
        ReportData data;
        const QString wide = "0.0000", narrow = "0.00";
        for (int i = 0; i < 4; ++i) {
            data.contrary[i] = data.favourable[i] = wide;
            data.max[i] = narrow;
        }
        data.min1 = data.min2 = narrow;
        data.g2n = data.g1n = wide;
        const Pictures pictures;
        const NetworkTablePicture table = NetworkTablePicture::fourFactor();
        RecordingSurface page(11520, 16000);
        PrintReport(page, data, {pictures.decoration, table, pictures.logo});
        const auto& ops = page.operations();
        const auto picture = std::find_if(ops.begin(), ops.end(),
                                          [&](const auto& op) { return op.picture == &table; });
        QVERIFY(picture != ops.end());
        using Side = NetworkTablePicture::Side;
        // In the order the report writes them, row by row.
        const QList<QRectF> cells{table.contraryCell(1),
                                  table.favourableCell(1),
                                  table.operatorCell(Side::Contrary, 0, 0),
                                  table.operatorCell(Side::Favourable, 0, 0),
                                  table.contraryCell(2),
                                  table.favourableCell(2),
                                  table.operatorCell(Side::Contrary, 1, 0),
                                  table.operatorCell(Side::Favourable, 1, 0),
                                  table.contraryCell(3),
                                  table.favourableCell(3),
                                  table.operatorCell(Side::Contrary, 0, 1),
                                  table.operatorCell(Side::Favourable, 0, 1),
                                  table.contraryCell(4),
                                  table.favourableCell(4),
                                  table.degreeValueCell(0),
                                  table.degreeValueCell(1)};
        int k = 0;
        for (auto op = picture + 1; op != ops.end() && k < cells.size(); ++op, ++k) {
            QVERIFY(op->kind == Kind::Text);
            page.FontSize = op->fontSize;
            const QRectF box(op->x, op->y, page.TextWidth(op->text), page.TextHeight());
            // Clear of the rule drawn on the cell's edge.
            const QRectF cell =
                NetworkTablePicture::mapToTarget(cells[k], table.size(), picture->rect)
                    .adjusted(20, 0, -20, 0);
            QVERIFY2(cell.contains(box), qPrintable(QString("degree #%1").arg(k)));
        }
        QCOMPARE(k, cells.size());
    }

    // A factor whose number of propositions was never entered is printed with a note, and
    // the factors after it as ever.
    void factorWithoutACountIsPrintedWithANote() {
        Fixture f;
        storeFactors(f, 3, 2);
        f.db().execute("UPDATE Fatores SET Prop = '' WHERE Id = 2");
        f.db().execute("UPDATE Fatores SET Prop = NULL WHERE Id = 3");
        ReportData data = degreesData();
        data.factors = ReadReportFactors(f.db(), 3, f.program().locale);
        QCOMPARE(data.factors.size(), std::size_t(3));
        QVERIFY(!data.factors[0].withoutCount);
        QCOMPARE(data.factors[0].propositions.size(), std::size_t(2));
        for (int i : {1, 2}) {
            QVERIFY(data.factors[i].withoutCount);
            QVERIFY(data.factors[i].propositions.empty());
        }
        const Pictures pictures;
        RecordingSurface page(11520, 16000);
        PrintReport(page, data, pictures.report());
        QStringList texts;
        for (const auto& op : page.operations())
            if (op.kind == Kind::Text) texts << op.text;
        const qsizetype second = texts.indexOf("Fator:  2.T2");
        QVERIFY(second > 0);
        QVERIFY(texts.at(second + 1).contains(QString::fromUtf8("fator 2 não tem número")));
        QVERIFY(texts.at(second + 1).contains("janela de fatores"));
        QCOMPARE(texts.at(second + 2), "Fator:  3.T3");
        QVERIFY(texts.at(second + 3).contains("fator 3"));
    }

    void longReportGoesOnOverPages_data() {
        QTest::addColumn<int>("factors");
        QTest::newRow("4 x 99") << 4;
        QTest::newRow("8 x 99") << 8;
    }
    void longReportGoesOnOverPages() {
        QFETCH(int, factors);
        Fixture f;
        storeFactors(f, factors, 99);
        ReportData data = degreesData();
        data.factors = ReadReportFactors(f.db(), factors, f.program().locale);
        const Pictures pictures;
        const double height = 16118;  // A4 within its margins
        RecordingSurface surface(11000, height);
        PrintReport(surface, data, pictures.report());
        const int pages = surface.pages();
        QVERIFY(pages > 1);

        QMap<QString, int> seen;
        QMap<QString, int> pageOf;
        QSet<int> pagesWithHeadings, pagesWithPropositions;
        for (const auto& op : surface.operations()) {
            if (op.kind != Kind::Text) continue;
            ++seen[op.text];
            pageOf[op.text] = op.page;
            // Nothing runs past the bottom of the page.
            QVERIFY2(op.y + op.fontSize * 20 <= height, qPrintable(op.text));
            if (op.text == "DT") pagesWithHeadings << op.page;
            if (op.text.startsWith('F') && op.text.contains(" P")) pagesWithPropositions << op.page;
        }
        for (int i = 1; i <= factors; ++i)
            for (int j = 1; j <= 99; ++j) QCOMPARE(seen.value(QString("F%1 P%2").arg(i).arg(j)), 1);
        QVERIFY(pagesWithHeadings.contains(pagesWithPropositions));
        for (int k = 1; k <= pages; ++k)
            QCOMPARE(seen.value(QString("%1 / %2").arg(k).arg(pages)), 1);

        // The picture with its degrees on one page, inside the picture; the date line and
        // the citation together.
        const auto picture =
            std::find_if(surface.operations().begin(), surface.operations().end(),
                         [&](const auto& op) { return op.picture == &pictures.network; });
        QVERIFY(picture != surface.operations().end());
        QVERIFY(picture->rect.bottom() <= height);
        for (const auto& op : surface.operations())
            if (op.kind == Kind::Text &&
                QStringList{"c1", "f4", "min1", "max4", "g1n"}.contains(op.text)) {
                QCOMPARE(op.page, picture->page);
                QVERIFY(picture->rect.contains(op.x, op.y));
            }
        QCOMPARE(pageOf.value("state"), picture->page);
        QCOMPARE(pageOf.value("Date: 08/12/2026"),
                 pageOf.value(QString("Retrieved from ") + kWebAddress));
    }

    void longPropositionWrapsBeforeTheCounts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("joiner");  // what the lines are joined by to read it whole
        QString words;
        while (words.size() < 300) words += QString("palavra%1 ").arg(words.size() % 7);
        words = words.left(300).trimmed();
        QTest::newRow("300 characters of words") << words << " ";
        QTest::newRow("one word of 300 characters") << QString(300, QChar('W')) << "";
    }
    void longPropositionWrapsBeforeTheCounts() {
        QFETCH(QString, text);
        QFETCH(QString, joiner);
        ReportData data = degreesData();
        const std::array<double, 5> counts{1, 2, 3, 4, 5};
        data.factors = {ReportFactor{"T", {proposition("P1", counts), proposition(text, counts),
                                           proposition("P3", counts)}}};
        const Pictures pictures;
        RecordingSurface page(11000, 16118);
        PrintReport(page, data, pictures.report());

        QList<RecordingSurface::Operation> lines, countsOnFirstLine;
        double nextY = -1;
        bool inside = false;
        for (const auto& op : page.operations()) {
            if (op.kind != Kind::Text) continue;
            // Nothing passes the page's edge.
            page.FontSize = op.fontSize;
            page.FontBold = op.bold;
            QVERIFY2(op.x + page.TextWidth(op.text) <= page.ScaleWidth(), qPrintable(op.text));
            if (op.text == "P1") inside = true;
            if (op.text == "P3") {
                inside = false;
                nextY = op.y;
            }
            if (!inside || op.text == "P1") continue;
            if (op.x == 1700) {
                // Every line ends before the first count column.
                QVERIFY2(op.x + page.TextWidth(op.text) < 8000, qPrintable(op.text));
                lines << op;
            } else if (!lines.isEmpty() && op.y == lines.first().y) {
                countsOnFirstLine << op;
            }
        }
        QVERIFY(lines.size() > 1);
        QStringList parts;
        for (const auto& line : lines) parts << line.text;
        QCOMPARE(parts.join(joiner), text);
        for (qsizetype k = 1; k < lines.size(); ++k) QCOMPARE(lines[k].y, lines[k - 1].y + 200);
        QVERIFY(nextY >= lines.last().y + 200);  // the next proposition below the last line

        QStringList shown;
        QList<double> xs;
        for (const auto& op : countsOnFirstLine) {
            shown << op.text;
            xs << op.x;
        }
        QCOMPARE(shown, (QStringList{"01", "02", "03", "04", "05", "15"}));
        QCOMPARE(xs, (QList<double>{8000, 8400, 8800, 9200, 9600, 10000}));
    }

    // A line longer than the page (a barycentre with its decision, a legend of eight long
    // factor titles) goes on over lines that end before the right margin, and what follows it
    // stays below its last line.
    void longLineWrapsBeforeThePageEdge_data() {
        QTest::addColumn<bool>("ownNetwork");
        QTest::addColumn<bool>("legend");  // else the barycentre's line
        QTest::addColumn<double>("step");
        QTest::newRow("barycentre under the four-factor picture") << false << false << 250.0;
        QTest::newRow("barycentre under a family window's picture") << true << false << 250.0;
        QTest::newRow("legend under the lattice") << false << true << 200.0;
    }
    void longLineWrapsBeforeThePageEdge() {
        QFETCH(bool, ownNetwork);
        QFETCH(bool, legend);
        QFETCH(double, step);
        ReportData data = degreesData();
        const Pictures pictures;
        const QString text = QString("Baricentro dos fatores: 0,52 e 0,31. ") +
                             QString("dados incompletos demais para concluir ").repeated(6).trimmed();
        if (legend) {
            data.lattice = std::make_shared<SvgPicture>(":/pictures/lattice.svg");
            data.latticeLegend = text;
        } else {
            data.barycentre = text;
        }
        if (ownNetwork) data.network = ReportNetwork{{}, {"G1 = 0.50"}};
        RecordingSurface page(11000, 16118);
        PrintReport(page, data, pictures.report());

        QStringList parts;
        double lastY = -1, nextY = page.ScaleHeight() - 500;
        bool inside = false;
        for (const auto& op : page.operations()) {
            if (op.kind != Kind::Text) continue;
            page.FontSize = op.fontSize;
            page.FontBold = op.bold;
            QVERIFY2(op.x + page.TextWidth(op.text) <= page.ScaleWidth() - 400,
                     qPrintable(op.text));
            if (op.text.startsWith("Baricentro")) inside = true;
            if (op.text.startsWith("Date: ") && inside) {
                inside = false;
                nextY = op.y;
            }
            if (!inside) continue;
            if (lastY >= 0) QCOMPARE(op.y, lastY + step);
            parts << op.text;
            lastY = op.y;
        }
        QVERIFY(parts.size() > 1);
        QCOMPARE(parts.join(' '), text);
        QVERIFY(nextY >= lastY + step);
    }

    // Pushed down by short propositions, a wrapped one meets the page end at every height.
    void wrappedPropositionNearThePageEndMovesOn() {
        const Pictures pictures;
        const double height = 16118;
        const QString long_ = QString("uma proposição longa ").repeated(15).trimmed();
        bool movedWhole = false;
        for (int before = 55; before <= 75; ++before) {
            ReportData data = degreesData();
            ReportFactor factor{"T", {}};
            for (int j = 0; j < before; ++j)
                factor.propositions.push_back(proposition(QString("S%1").arg(j), {}));
            factor.propositions.push_back(proposition(long_, {1, 1, 1, 1, 1}));
            data.factors = {factor};
            RecordingSurface page(11000, height);
            PrintReport(page, data, pictures.report());

            QList<RecordingSurface::Operation> lines;
            int lastShortPage = 0;
            for (const auto& op : page.operations()) {
                if (op.kind != Kind::Text) continue;
                if (op.text == QString("S%1").arg(before - 1)) lastShortPage = op.page;
                if (op.x == 1700 && !op.text.startsWith('S')) lines << op;
            }
            QVERIFY(lines.size() > 1);
            for (const auto& line : lines) {
                QCOMPARE(line.page, lines.first().page);  // it fits a page: it stays on one
                QVERIFY2(line.y + 200 <= height - 500, qPrintable(QString::number(before)));
            }
            if (lines.first().page > lastShortPage) movedWhole = true;
        }
        QVERIFY(movedWhole);
    }

    // The lattice follows the citation, whole on its page, with the factors' points where
    // their pairs put them, the result above them, and the legend naming the factors.
    void latticeWithTheFactorsFollowsTheCitation() {
        Fixture f;
        storeFactors(f, 4, 2);
        const std::vector<std::pair<double, double>> stored{
            {0.9, 0.1}, {0.2, 0.7}, {0.6, 0.6}, {0.5, 0.1}};
        for (std::size_t i = 0; i < stored.size(); ++i)
            f.db().update("Fatores", store::Key(i + 1),
                          {{"Mi1", stored[i].first}, {"Mi2", stored[i].second}});
        const auto pairs = StoredFactorPairs(f.db(), 4);
        const ReportData data = FourFactorReportData(
            f.db(), 4, core::Rede4f(4, pairs, f.program().locale), f.program().locale,
            core::Language::Portuguese);
        QVERIFY(data.lattice);
        const Pictures pictures;
        RecordingSurface page(11520, 16118);
        PrintReport(page, data, pictures.report());
        const auto& ops = page.operations();
        const auto at = [&](auto found) {
            return std::find_if(ops.begin(), ops.end(), found);
        };
        const auto logo = at([&](const auto& op) { return op.picture == &pictures.logo; });
        const auto lattice = at([&](const auto& op) { return op.picture == data.lattice.get(); });
        QVERIFY(logo != ops.end() && lattice != ops.end());
        QVERIFY(lattice->page > logo->page || lattice->y > logo->y + logo->rect.height());
        QVERIFY(lattice->rect.bottom() < page.ScaleHeight() - 500);
        QVERIFY(at([](const auto& op) { return op.text.startsWith("Fatores: 1 T1; 2 T2"); }) !=
                ops.end());

        // Painted as on the page, the markers carry the factor's colour where it stands.
        QImage image(640, 590, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            data.lattice->paint(painter, QRectF(image.rect()));
        }
        const QRectF square = LatticePicture::SquareIn(QRectF(image.rect()));
        for (const std::size_t factor : {0u, 1u}) {
            const QPoint p =
                LatticePointIn(square, *PointOfPair(pairs[factor])).toPoint() + QPoint(-6, -6);
            QCOMPARE(image.pixelColor(p), kFactorColour);
        }
    }

    void pdfIsProposedInTheDocumentsFolder() {
        Fixture f;
        storeFactors(f, 4, 2);
        QTemporaryDir home;
        // A user whose documents folder does not exist yet.
        struct Environment {
            QByteArray home = qgetenv("HOME");
            QByteArray config = qgetenv("XDG_CONFIG_HOME");
            ~Environment() {
                qputenv("HOME", home);
                config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
            }
        } restore;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(".config").toUtf8());
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY(documents.startsWith(home.path()));

        test::Loaded<frmAnalise4f> window(f.program());
        QString proposed;
        FileDialog::setFake([&](const QString& p) {
            proposed = p;
            return QString();
        });
        QTest::mouseClick(child<QPushButton>(window, "cmdPdf"), Qt::LeftButton);
        const QFileInfo file(proposed);
        QCOMPARE(file.absolutePath(), documents);
        QVERIFY(file.dir().exists());  // a dialog shows a folder that is missing as its own
        QVERIFY(file.absolutePath() != QCoreApplication::applicationDirPath());
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void failedReadPrintsNothing_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("NULL count") << "UPDATE Prop2 SET N04 = NULL WHERE Id = 3"
                                    << "N04";
        QTest::newRow("Prop not a number") << "UPDATE Fatores SET Prop = 'muitas' WHERE Id = 3"
                                           << "muitas";
        QTest::newRow("fewer rows than Prop") << "DELETE FROM Prop4 WHERE Id > 2"
                                              << "Prop4";
        QTest::newRow("no table") << "DROP TABLE Prop1"
                                  << "Prop1";
    }
    void failedReadPrintsNothing() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        Fixture f;
        storeFactors(f, 4, 5);
        f.db().execute(damage.toStdString());
        test::Loaded<frmAnalise4f> window(f.program());
        bool asked = false;
        FileDialog::setFake([&](const QString&) {
            asked = true;
            return QString();
        });
        QTest::mouseClick(child<QPushButton>(window, "cmdPdf"), Qt::LeftButton);
        QVERIFY(!asked);  // the data first: no file is even proposed
        test::verifyOneError(message);
    }

    void unknownPrinterOrUnwritableFileIsAMessage() {
        Fixture f;
        storeFactors(f, 4, 2);
        test::Loaded<frmAnalise4f> window(f.program());
        child<QComboBox>(window, "Combo1")->setEditText("Canon");
        QTest::mouseClick(child<QPushButton>(window, "cmdPrinter"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text, QString::fromUtf8("Impressora não encontrada"));
        QCOMPARE(MessageBox::shown()[0].title, "Verifique.");
        QCOMPARE(MessageBox::shown()[0].icon, MessageBox::Icon::Critical);
        QVERIFY(f.program().currentPrinter.isEmpty());

        // Listed when the window opened, unknown to the printing service now.
        MessageBox::clearShown();
        Printers::setFake({"Ghost printer"}, "");
        test::Loaded<frmAnalise4f> stale(f.program());
        child<QComboBox>(stale, "Combo1")->setEditText("Ghost printer");
        QTest::mouseClick(child<QPushButton>(stale, "cmdPrinter"), Qt::LeftButton);
        test::verifyOneError("Ghost printer");

        MessageBox::clearShown();
        QTemporaryDir dir;
        const QString blocked = dir.filePath("no such folder/report.pdf");
        FileDialog::setFake([&](const QString&) { return blocked; });
        QTest::mouseClick(child<QPushButton>(window, "cmdPdf"), Qt::LeftButton);
        test::verifyOneError("report.pdf");
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // A real job through the printing service's PDF queue, and the same report saved as
    // a PDF file; both read back as text.
    void printedAndSavedReportsReadBack() {
        Fixture f;
        storeFactors(f, 4, 3);
        f.db().update("Cadastro", 1, {{"Questao", "Adotar o teletrabalho? Sim/Não"}});
        f.db().update("Fatores", 1, {{"Fator", "Custos"}, {"Mi1", 0.75}, {"Mi2", 0.125}});
        f.db().update("Prop1", 1, {{"N01", 5}, {"N02", 123}});
        test::Loaded<frmAnalise4f> window(f.program());
        const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
        const auto verifyReport = [&](const QString& text) {
            QVERIFY2(text.contains("Velmar Paraconsistent Logic"), qPrintable(text));
            QVERIFY(text.contains(QRegularExpression("Fator:\\s+1\\.Custos")));
            QVERIFY(
                text.contains(QRegularExpression("F1 P1\\s+05\\s+123\\s+01\\s+01\\s+01\\s+131")));
            QVERIFY(text.contains("0.7500"));
            QVERIFY(text.contains("0.1250"));
            QVERIFY(text.contains("Date: " + date));
            const auto state = core::EstadoDoResultado(f.program().gG1, f.program().gG2);
            QVERIFY(text.contains(
                QString::fromStdString(core::LinhaDoEstado(state, core::Language::Portuguese))));
            QVERIFY2(text.contains(QString::fromUtf8("Decisão: ")), qPrintable(text));
            QVERIFY2(text.contains(QString::fromUtf8("Baricentro dos fatores: Gc")), qPrintable(text));
        };

        QTemporaryDir dir;
        QString proposed;
        FileDialog::setFake([&](const QString& p) {
            proposed = p;
            return dir.filePath("report.pdf");
        });
        QTest::mouseClick(child<QPushButton>(window, "cmdPdf"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(QFileInfo(proposed).fileName(),
                 QString::fromUtf8("Adotar o teletrabalho Sim Não ") +
                     QDate::currentDate().toString(Qt::ISODate) + ".pdf");
        verifyReport(pdfText(dir.filePath("report.pdf")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.pdf"});

        // The printing service: its PDF queue writes into the user's PDF folder.
        Printers::clearFake();
        const PrinterList printers = Printers::list();
        QVERIFY2(printers.installed.contains("PDF"),
                 "no PDF queue: start the printing service with scripts/start-printer.sh");
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        child<QComboBox>(window, "Combo1")->setEditText("pdf");  // any letter case
        QTest::mouseClick(child<QPushButton>(window, "cmdPrinter"), Qt::LeftButton);
        // It says where the job went: the printer that took it, whatever the letter case typed.
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].icon, MessageBox::Icon::None);
        QVERIFY2(MessageBox::shown()[0].text.contains("\"PDF\""),
                 qPrintable(MessageBox::shown()[0].text));
        QCOMPARE(f.program().currentPrinter, "PDF");
        QString printed;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const QFileInfo& file :
                     QDir(cupsPdfFolder()).entryInfoList({"*.pdf"}, QDir::Files))
                    if (file.lastModified() >= start && file.size() > 0) {
                        printed = file.filePath();
                        return true;
                    }
                return false;
            }(),
            60000);
        QTRY_VERIFY_WITH_TIMEOUT(pdfText(printed).contains("Date: "), 10000);
        verifyReport(pdfText(printed));
        QFile::remove(printed);
    }

    // Asked on a worker thread, the list still comes into the box: the service's printers in
    // its order, the default one as the box's text; opening the box asks again.
    void printerBoxListsTheServicesPrinters() {
        Printers::clearFake();
        Fixture f;
        frmAnalise4f window(f.program());
        window.Form_Load();
        auto* box = child<QComboBox>(window, "Combo1");
        QStringList service;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
            service << info.printerName();
        QVERIFY2(service.contains("PDF"),
                 "no PDF queue: start the printing service with scripts/start-printer.sh");
        QTRY_COMPARE(box->count(), service.size());
        for (int i = 0; i < box->count(); ++i) QCOMPARE(box->itemText(i), service[i]);
        QCOMPARE(box->currentText(), QPrinterInfo::defaultPrinterName());
        box->setEditText("typed name");
        box->showPopup();
        QCOMPARE(box->count(), service.size());
        QCOMPARE(box->currentText(), QString("typed name"));  // what the user typed stays
        box->hidePopup();
    }
};

QTEST_MAIN(ReportTest)
#include "test_report.moc"

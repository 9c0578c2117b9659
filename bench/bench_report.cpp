// The printed report written to PDF, against the floor of the same text lines written by
// QPdfWriter alone: four factors of 99 propositions (goal: at most 1.5x the floor and under a
// second), and the family's eight factors on the reference table and on 8 x 99 own
// propositions (goal: at most 2x the floor and under a second).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "engine/networks.h"
#include "report/network_table_picture.h"
#include "report/picture_files.h"
#include "report/stored_analysis.h"
#include "report/printing_surface.h"
#include "report/report.h"
#include "bench/median_reporter.h"
#include "shell/pictures.h"
#include "store/database.h"
#include "store/schema.h"

namespace {

using namespace vpl;

// A delivered data file with `factors` factors of 99 propositions.
std::unique_ptr<store::Database> decisionOf99(const QTemporaryDir& dir, int factors) {
    const std::string file = dir.filePath("VPLData.mdb").toStdString();
    store::createDeliveredFile(file);
    auto db = store::Database::open(file, store::kDatabaseKey);
    db->execute("UPDATE Parametro SET Fatores = " + std::to_string(factors));
    db->execute("UPDATE Fatores SET Prop = '99', Fator = 'Fator ' || Id, Mi1 = 0.625, "
                "Mi2 = 0.25");
    for (int k = 1; k <= factors; ++k)
        db->execute("UPDATE Prop" + std::to_string(k) +
                    " SET Proposicao = 'O prazo de entrega é curto para a equipe ' || Id, "
                    "N01 = 3, N02 = 12, N03 = 5, N04 = 40, N05 = 8");
    return db;
}

struct Case {
    ReportData data;
    std::shared_ptr<const Picture> network;
};

// Four factors of 99 propositions, read as the window reads them.
Case fourFactorsOf99() {
    QTemporaryDir dir;
    auto db = decisionOf99(dir, 4);
    Case c{{}, std::make_shared<NetworkTablePicture>(NetworkTablePicture::fourFactor())};
    ReportData& data = c.data;
    data.factors = ReadReportFactors(*db, 4, {});
    for (int i = 0; i < 4; ++i) {
        data.contrary[i] = "0.2500";
        data.favourable[i] = "0.6250";
        data.max[i] = "0.25";
    }
    data.min1 = data.min2 = "0.25";
    data.g2n = data.g1n = "0.4375";
    data.date = "08/12/2026";
    return c;
}

// The eight-factor window's report, on the reference table or on its own 8 x 99 factors,
// with every cell of its network holding a degree.
Case eightFactors(bool own) {
    QTemporaryDir dir;
    auto db = decisionOf99(dir, 8);
    auto network = std::make_shared<NetworkTablePicture>(8, core::FamilyNetwork(8), true);
    const auto pairs = StoredFactorPairs(*db, 8);
    const core::AnaliseFatoresPropriosResult r =
        core::AnalisarFatoresProprios(pairs, network->columns(), {});
    ReportNetwork placed{OwnNetworkDegrees(*network, r), {"Gc = 0.3750    Gct = -0.1250"}};
    Case c{FamilyReportData(*db, 8, own, pairs, r.graus, std::move(placed), {}), network};
    c.data.date = "08/12/2026";
    return c;
}

const Case& reportCase(int which) {
    static const Case cases[] = {fourFactorsOf99(), eightFactors(false), eightFactors(true)};
    return cases[which];
}

void pdfPage(QPdfWriter& pdf) {
    pdf.setResolution(1200);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
}

// 0: four factors of 99; 1: eight factors on the reference table; 2: eight own factors of 99.
void BM_ReportToPdf(benchmark::State& state) {
    const SvgPicture decoration(":/pictures/menu_image1.svg");
    const SvgPicture logo(":/pictures/menu_image2.svg");
    const Case& c = reportCase(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&out);
        pdfPage(pdf);
        PainterSurface surface(pdf);
        PrintReport(surface, c.data, {decoration, *c.network, logo});
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_ReportToPdf)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

// The floor: the report's own text lines, at their places and pages, drawn by QPdfWriter and
// QPainter alone, with one font object per size and weight; nothing of the program's drawing.
void BM_TextLinesToPdf(benchmark::State& state) {
    const SvgPicture none(":/pictures/menu_image1.svg");
    const Case& c = reportCase(static_cast<int>(state.range(0)));
    RecordingSurface recorded(11000, 16118);
    PrintReport(recorded, c.data, {none, *c.network, none});
    using Kind = RecordingSurface::Operation::Kind;
    std::vector<RecordingSurface::Operation> lines;
    for (const auto& op : recorded.operations())
        if (op.kind == Kind::Text) lines.push_back(op);
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&out);
        pdfPage(pdf);
        QPainter painter(&pdf);
        painter.scale(pdf.logicalDpiX() / 1440.0, pdf.logicalDpiY() / 1440.0);  // twips
        std::map<std::pair<double, bool>, QFont> fonts;
        int page = 1;
        for (const auto& op : lines) {
            for (; page < op.page; ++page) pdf.newPage();
            auto [font, added] = fonts.try_emplace({op.fontSize, op.bold});
            if (added) {
                font->second.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
                font->second.setPixelSize(qRound(op.fontSize * 20));
                font->second.setBold(op.bold);
            }
            painter.setFont(font->second);
            painter.drawText(QPointF(op.x, op.y + QFontMetricsF(font->second).ascent()), op.text);
        }
        painter.end();
        benchmark::DoNotOptimize(out.size());
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_TextLinesToPdf)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::map<std::string, double> medians = vpl::bench::RunInterleaved(argc, argv);
    const char* names[] = {"four factors x 99", "eight factors, reference table",
                           "eight factors x 99, own data"};
    const double goals[] = {1.5, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const auto report = medians.find("BM_ReportToPdf/" + std::to_string(i));
        const auto floor = medians.find("BM_TextLinesToPdf/" + std::to_string(i));
        if (report != medians.end() && floor != medians.end())
            std::printf("%s: report to PDF median %.1f ms; text lines alone %.1f ms; ratio %.2f x "
                        "(goal %.1f x, under 1000 ms)\n",
                        names[i], report->second, floor->second, report->second / floor->second,
                        goals[i]);
    }
    return 0;
}

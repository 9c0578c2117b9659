// The printed report of four factors of 99 propositions written to PDF, against the floor
// of the same text lines written by QPdfWriter alone (goal: at most 1.5x the floor and under
// a second).

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
#include <utility>
#include <string>
#include <vector>

#include "report/network_table_picture.h"
#include "report/printing_surface.h"
#include "report/report.h"
#include "bench/median_reporter.h"
#include "shell/pictures.h"
#include "store/database.h"
#include "store/schema.h"

namespace {

using namespace vpl;

// Four factors of 99 propositions, read from a delivered data file as the window reads them.
ReportData fourFactorsOf99() {
    QTemporaryDir dir;
    const std::string file = dir.filePath("VPLData.mdb").toStdString();
    store::createDeliveredFile(file);
    auto db = store::Database::open(file, store::kDatabaseKey);
    db->execute("UPDATE Fatores SET Prop = '99', Fator = 'Fator ' || Id");
    for (int k = 1; k <= 4; ++k)
        db->execute("UPDATE Prop" + std::to_string(k) +
                    " SET Proposicao = 'O prazo de entrega é curto para a equipe ' || Id, "
                    "N01 = 3, N02 = 12, N03 = 5, N04 = 40, N05 = 8");
    ReportData data;
    data.factors = ReadReportFactors(*db, 4, {});
    for (int i = 0; i < 4; ++i) {
        data.contrary[i] = "0.2500";
        data.favourable[i] = "0.6250";
        data.max[i] = "0.25";
    }
    data.min1 = data.min2 = "0.25";
    data.g2n = data.g1n = "0.4375";
    data.date = "08/12/2026";
    return data;
}

const ReportData& data() {
    static const ReportData d = fourFactorsOf99();
    return d;
}

void pdfPage(QPdfWriter& pdf) {
    pdf.setResolution(1200);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
}

void BM_ReportToPdf(benchmark::State& state) {
    const SvgPicture decoration(":/pictures/menu_image1.svg");
    const SvgPicture logo(":/pictures/menu_image2.svg");
    const NetworkTablePicture network = NetworkTablePicture::fourFactor();
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&out);
        pdfPage(pdf);
        PainterSurface surface(pdf);
        PrintReport(surface, data(), {decoration, network, logo});
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

// The floor: the report's own text lines, at their places and pages, drawn by QPdfWriter and
// QPainter alone, with one font object per size and weight; nothing of the program's drawing.
void BM_TextLinesToPdf(benchmark::State& state) {
    const SvgPicture none(":/pictures/menu_image1.svg");
    const NetworkTablePicture network = NetworkTablePicture::fourFactor();
    RecordingSurface recorded(11000, 16118);
    PrintReport(recorded, data(), {none, network, none});
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
BENCHMARK(BM_TextLinesToPdf)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::map<std::string, double> medians = vpl::bench::RunInterleaved(argc, argv);
    const auto report = medians.find("BM_ReportToPdf");
    const auto floor = medians.find("BM_TextLinesToPdf");
    if (report != medians.end() && floor != medians.end())
        std::printf("\nreport to PDF median: %.1f ms; text lines alone: %.1f ms; ratio %.2f x\n",
                    report->second, floor->second, report->second / floor->second);
    return 0;
}

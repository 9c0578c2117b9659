// The spreadsheet of 8 factors of 99 propositions, read from the data file, analysed and
// written, against libxlsxwriter writing the same cells alone (goal: at most 3x and under
// 0.5 s).

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>

#include "bench/median_reporter.h"
#include "export/workbook.h"
#include "report/analysis_export.h"
#include "store/database.h"
#include "store/schema.h"

namespace {

using namespace vpl;

constexpr int kFactors = 8;

struct Decision {
    QTemporaryDir dir;
    std::unique_ptr<store::Database> db;
    std::string out() const { return dir.filePath("analysis.xlsx").toStdString(); }
};

Decision& decision() {
    static Decision d = [] {
        Decision made;
        const std::string file = made.dir.filePath("VPLData.mdb").toStdString();
        store::createDeliveredFile(file);
        made.db = store::Database::open(file, store::kDatabaseKey);
        made.db->execute("UPDATE Parametro SET Fatores = 8");
        made.db->execute("UPDATE Fatores SET Prop = '99', Fator = 'Fator ' || Id, Mi1 = 0.6, "
                         "Mi2 = 0.3");
        for (int k = 1; k <= kFactors; ++k)
            made.db->execute("UPDATE Prop" + std::to_string(k) +
                             " SET Proposicao = 'O prazo de entrega é curto para a equipe ' || "
                             "Id, N01 = 3, N02 = 12, N03 = 5, N04 = 40, N05 = 8");
        return made;
    }();
    return d;
}

void BM_ExportSpreadsheet(benchmark::State& state) {
    Decision& d = decision();
    for (auto _ : state) {
        const auto failure = ExportStoredAnalysis(*d.db, d.out(), kFactors,
                                                  AnalysisSource::OwnFactors, {'.'},
                                                  core::Language::Portuguese);
        if (failure) state.SkipWithError(failure->c_str());
    }
}
BENCHMARK(BM_ExportSpreadsheet)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

// The floor: the same sheets and cells, headings, texts, counts and degrees, written by
// libxlsxwriter straight to the file, with nothing read, computed or made durable.
void BM_SameCellsAlone(benchmark::State& state) {
    Decision& d = decision();
    const AnalysisWorkbook book = StoredAnalysisWorkbook(*d.db, kFactors, AnalysisSource::OwnFactors,
                                                         {'.'}, core::Language::Portuguese);
    for (auto _ : state) {
        lxw_workbook* out = workbook_new(d.out().c_str());
        lxw_format* bold = workbook_add_format(out);
        format_set_bold(bold);
        lxw_format* degree = workbook_add_format(out);
        format_set_num_format(degree, "0.0000");
        for (std::size_t i = 0; i < book.factors.size(); ++i) {
            const WorkbookFactor& f = book.factors[i];
            lxw_worksheet* s = workbook_add_worksheet(out, ("Fator " + std::to_string(i + 1)).c_str());
            worksheet_write_string(s, 0, 0, "Fator", bold);
            worksheet_write_string(s, 0, 1, f.title.c_str(), bold);
            for (lxw_col_t c = 0; c < 8; ++c) worksheet_write_string(s, 2, c, "DT", bold);
            lxw_row_t row = 3;
            for (std::size_t p = 0; p < f.counts.size(); ++p, ++row) {
                worksheet_write_number(s, row, 0, double(p + 1), nullptr);
                worksheet_write_string(s, row, 1, f.propositions[p].c_str(), nullptr);
                for (lxw_col_t k = 0; k < 6; ++k)
                    worksheet_write_number(s, row, 2 + k, k < 5 ? f.counts[p][k] : 68, nullptr);
            }
            worksheet_write_string(s, row, 1, "Soma", bold);
            for (lxw_col_t k = 0; k < 6; ++k) worksheet_write_number(s, row, 2 + k, 99, nullptr);
            worksheet_write_string(s, row + 2, 1, "mu", bold);
            worksheet_write_number(s, row + 2, 2, f.mu.value.value_or(0), degree);
            worksheet_write_string(s, row + 3, 1, "lambda", bold);
            worksheet_write_number(s, row + 3, 2, f.lambda.value.value_or(0), degree);
        }
        lxw_worksheet* network = workbook_add_worksheet(out, "Rede");
        lxw_row_t row = 1;
        for (const WorkbookCell& cell : book.cells) {
            worksheet_write_string(network, row, 0, cell.result.name.c_str(), nullptr);
            worksheet_write_string(network, row, 1, "Crença", nullptr);
            worksheet_write_string(network, row, 2, "OU", nullptr);
            worksheet_write_number(network, row, 3, cell.result.value.value_or(0), degree);
            for (std::size_t k = 0; k < cell.operands.size(); ++k) {
                worksheet_write_string(network, row, lxw_col_t(4 + 2 * k),
                                       cell.operands[k].name.c_str(), nullptr);
                worksheet_write_number(network, row, lxw_col_t(5 + 2 * k),
                                       cell.operands[k].value.value_or(0), degree);
            }
            ++row;
        }
        lxw_worksheet* result = workbook_add_worksheet(out, "Resultado");
        for (lxw_row_t r = 0; r < 22; ++r) {
            worksheet_write_string(result, r, 0, "Grau de Certeza Normalizado G1n", bold);
            worksheet_write_number(result, r, 1, 0.25, degree);
            worksheet_write_string(result, r, 2, "G1n", nullptr);
        }
        if (workbook_close(out) != LXW_NO_ERROR) state.SkipWithError("not written");
    }
}
BENCHMARK(BM_SameCellsAlone)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, double> medians = vpl::bench::RunInterleaved(argc, argv);
    const auto ours = medians.find("BM_ExportSpreadsheet");
    const auto floor = medians.find("BM_SameCellsAlone");
    if (ours != medians.end() && floor != medians.end())
        std::printf("\nspreadsheet of 8 x 99 median: %.1f ms; the same cells alone: %.1f ms; "
                    "ratio %.2f x\n",
                    ours->second, floor->second, ours->second / floor->second);
    return 0;
}

// Importing a survey export of 10,000 respondents and 99 propositions (about 5 MB): the
// file read, parsed and counted, against reading the same file's bytes in the same run.
// The goal: at most 20 times the read, and under 0.5 s.

#include <benchmark/benchmark.h>
#include <csv.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/median_reporter.h"
#include "survey/survey_file.h"

namespace {

constexpr int kRespondents = 10000;
constexpr int kPropositions = 99;

std::string filePath;

// A responses export as a form tool writes it: a timestamp and an e-mail, then one column
// per proposition holding the scale's words or points, some left empty.
void writeExport(const std::string& path) {
    static const char* kAnswers[] = {
        "Concordo totalmente", "Discordo", "3",          "Strongly agree", "",
        "De acuerdo",          "1",        "Indiferente"};
    std::ofstream out(path, std::ios::binary);
    out << "Carimbo de data/hora,E-mail";
    for (int p = 1; p <= kPropositions; ++p) out << ",\"Pressuposto " << p << ", em detalhe\"";
    out << "\r\n";
    for (int r = 0; r < kRespondents; ++r) {
        out << "2026/11/02 09:" << r % 60 << ":" << r % 59 << ",pessoa" << r << "@example.org";
        for (int p = 0; p < kPropositions; ++p) out << ',' << kAnswers[(r * 7 + p * 3) % 8];
        out << "\r\n";
    }
}

std::string readBytes() {
    std::ifstream in(filePath, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void BM_ReadBytes(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readBytes());
}
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->Repetitions(15);

// The CSV library alone, fields and records handed to callbacks that do nothing: the part
// of the import that is not ours.
void BM_ReadAndSplitOnly(benchmark::State& state) {
    for (auto _ : state) {
        const std::string bytes = readBytes();
        csv_parser parser;
        csv_init(&parser, 0);
        csv_parse(
            &parser, bytes.data(), bytes.size(), [](void*, std::size_t, void*) {},
            [](int, void*) {}, nullptr);
        csv_fini(
            &parser, [](void*, std::size_t, void*) {}, [](int, void*) {}, nullptr);
        csv_free(&parser);
    }
}
BENCHMARK(BM_ReadAndSplitOnly)->Unit(benchmark::kMillisecond)->Repetitions(15);

void BM_ReadAndCountExport(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(vpl::core::ReadSurvey(readBytes()));
}
BENCHMARK(BM_ReadAndCountExport)->Unit(benchmark::kMillisecond)->Repetitions(15);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    filePath = (dir.path() + "/export.csv").toStdString();
    writeExport(filePath);
    const vpl::core::SurveyFile file = vpl::core::ReadSurvey(readBytes());
    std::printf("%zu bytes, %d respondents, %zu propositions, %zu cells not understood\n",
                readBytes().size(), file.rowsRead, file.propositions.size(), file.unread.size());

    auto medians = vpl::bench::RunInterleaved(argc, argv);
    const double read = medians["BM_ReadBytes"];
    const double import = medians["BM_ReadAndCountExport"];
    const double split = medians["BM_ReadAndSplitOnly"];
    std::printf(
        "import %.1f ms against reading the bytes %.2f ms: %.1f times (goal: at most 20, "
        "and under 500 ms)\n",
        import, read, import / read);
    std::printf("of which the CSV library's splitting alone: %.1f ms, %.1f times the read\n", split,
                split / read);
}

// From exec to the main window shown, against a bare Qt window with a menu in the same run
// (goal: at most 1.7x). Both run on the offscreen platform from a folder of their own.
// Beside it, another decision opened from the File menu against the start-up's opening of
// the program's own file (goal: at most 1.5x).

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include <QFileInfo>

#include "shell/program.h"
#include "store/schema.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A program folder with the executable and a delivered data file, removed at the end.
struct Folder {
    Folder() {
        path = fs::temp_directory_path() /
               ("vpl_bench_start_" + std::to_string(std::random_device{}()));
        fs::create_directories(path);
        fs::copy_file(VPL_EXECUTABLE, path / "vpl");
        vpl::store::createDeliveredFile(path / vpl::store::kDataFileName);
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

void run(const std::string& program) {
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) std::abort();
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
}

void BM_StartVpl(benchmark::State& state) {
    static Folder folder;
    const std::string program = (folder.path / "vpl").string();
    for (auto _ : state) run(program);
}
BENCHMARK(BM_StartVpl)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->Iterations(4)
    ->UseRealTime();

void BM_StartBareWindow(benchmark::State& state) {
    for (auto _ : state) run(VPL_BARE_WINDOW);
}
BENCHMARK(BM_StartBareWindow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->Iterations(4)
    ->UseRealTime();

// The start-up's opening: the claim of the file, the opening on the worker thread, and the
// wait for it, with the key kept from the opening before.
void BM_OpenOwnFileAtStart(benchmark::State& state) {
    static Folder folder;
    for (auto _ : state) {
        vpl::Program program(QString::fromStdString(folder.path.string()));
        if (!program.claimSingleInstance()) std::abort();
        program.startOpening();
        benchmark::DoNotOptimize(program.dbBanco = program.takeOpened());
    }
}
BENCHMARK(BM_OpenOwnFileAtStart)->Unit(benchmark::kMillisecond)->Repetitions(15)->UseRealTime();

// Another decision in place of the open one: its claim, its opening, and the open one closed.
void BM_OpenAnotherDecision(benchmark::State& state) {
    static Folder folder;
    static const QString other = QString::fromStdString((folder.path / "outra.mdb").string());
    if (!QFileInfo::exists(other)) vpl::store::createDeliveredFile(other.toStdString());
    vpl::Program program(QString::fromStdString(folder.path.string()));
    program.dbBanco = program.takeOpened();
    const QString own = program.dataFilePath();
    bool toOther = true;
    for (auto _ : state) {
        program.switchTo(program.claimOther(toOther ? other : own));
        toOther = !toOther;
    }
}
BENCHMARK(BM_OpenAnotherDecision)->Unit(benchmark::kMillisecond)->Repetitions(15)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VPL_EXIT_WHEN_SHOWN", "1", 1);
    const std::map<std::string, double> medians = vpl::bench::RunInterleaved(argc, argv);
    const auto vpl = medians.find("BM_StartVpl");
    const auto bare = medians.find("BM_StartBareWindow");
    if (vpl != medians.end() && bare != medians.end())
        std::printf(
            "\nstart to the main window shown: %.1f ms; bare window with a menu: %.1f ms; "
            "ratio %.2f (goal: at most 1.7)\n",
            vpl->second, bare->second, vpl->second / bare->second);
    const auto own = medians.find("BM_OpenOwnFileAtStart");
    const auto another = medians.find("BM_OpenAnotherDecision");
    if (own != medians.end() && another != medians.end())
        std::printf(
            "another decision opened: %.2f ms; the own file at start-up: %.2f ms; ratio %.2f "
            "(goal: at most 1.5)\n",
            another->second, own->second, another->second / own->second);
    return 0;
}

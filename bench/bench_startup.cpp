// From exec to the main window shown, against a bare Qt window with a menu in the same run
// (goal: at most 1.7x). Both run on the offscreen platform from a folder of their own.

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
    return 0;
}

// The builder of the delivered data file, interrupted at random moments: it leaves no file
// or a complete one, never a partial file that a later "only when missing" would keep.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>
#include <filesystem>
#include <random>
#include <thread>

#include "store/database.h"
#include "store/schema.h"

namespace fs = std::filesystem;
using namespace vpl::store;

TEST(DatafileBuilder, AnInterruptedBuildLeavesNoFileOrAWholeOne) {
    const fs::path folder = fs::temp_directory_path() / ("vpl_builder_" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path file = folder / kDataFileName;
    std::mt19937 random(20261208);
    int complete = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        fs::remove(file);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(VPL_MAKE_DATAFILE, VPL_MAKE_DATAFILE, "--if-missing", file.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (!fs::exists(file)) continue;
        // Whatever exists is the whole delivered file.
        auto db = Database::open(file, kDatabaseKey);
        EXPECT_EQ(db->firstRows("PLikert", {"N01"}, kLikertSampleRows).size(),
                  std::size_t(kLikertSampleRows));
        EXPECT_EQ(db->firstRow("Parametro", {"versaoBD"}).text("versaoBD"), kDeliveredVersion);
        ++complete;
    }
    // The next build clears what the killed ones left: the file alone remains.
    fs::remove(file);
    ASSERT_EQ(std::system((std::string(VPL_MAKE_DATAFILE) + " " + file.string()).c_str()), 0);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{kDataFileName});
    fs::remove_all(folder);
    RecordProperty("complete", complete);
}

#pragma once

// A folder of its own for the running GoogleTest case; for the tests without Qt.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace vpl::test {

// Named by `stem`, a random number and the case, so that cases that ctest runs at the same
// time never share one; removed with everything in it when the case ends.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& stem)
        : path_(std::filesystem::temp_directory_path() /
                (stem + "-" + std::to_string(std::random_device{}()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace vpl::test

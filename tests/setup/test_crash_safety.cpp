// Kills the program in the middle of its larger writes and checks that the data file
// is always either exactly as before the write or exactly as after it, and sound.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/likert_evidence.h"
#include "store/database.h"
#include "store/key_derivation.h"
#include "store/schema.h"
#include "tests/setup/setup_test_support.h"

namespace fs = std::filesystem;
using namespace vpl;

namespace {

constexpr int kKills = 50;
constexpr const char* kSound = "'ok'";  // integrity_check's one row for a sound file

// What a file holds: every row of every table in key order, each value with its type,
// and the engine's verdict on the file's structure.
struct FileState {
    std::vector<std::string> rows;
    std::string integrity;
};

// The file is read with the engine's own calls: a table that nobody thought of is
// compared too, and the integrity check returns rows the store has no call for.
class RawFile {
  public:
    RawFile(const fs::path& file, const std::string& key) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
        sqlite3_key_v2(db_, "main", key.data(), static_cast<int>(key.size()));
        // The cipher settings the store writes every file with.
        sqlite3_exec(db_,
                     "PRAGMA cipher_page_size = 1024; PRAGMA kdf_iter = 64000; "
                     "PRAGMA cipher_use_hmac = ON; PRAGMA cipher_hmac_algorithm = HMAC_SHA1; "
                     "PRAGMA cipher_kdf_algorithm = PBKDF2_HMAC_SHA1;",
                     nullptr, nullptr, nullptr);
    }
    ~RawFile() { sqlite3_close(db_); }

    // Each row of the query as one line: its values, typed, between bars.
    std::vector<std::string> lines(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        std::vector<std::string> result;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::string line;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const int type = sqlite3_column_type(st, c);
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                line += c ? " | " : "";
                line += type == SQLITE_NULL    ? "NULL"
                        : type == SQLITE_TEXT  ? "'" + std::string(text) + "'"
                        : type == SQLITE_FLOAT ? "r" + std::string(text)
                                               : std::string(text ? text : "");
            }
            result.push_back(line);
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
        return result;
    }

  private:
    sqlite3* db_ = nullptr;
};

FileState inspect(const fs::path& file, const std::string& key) {
    RawFile db(file, key);
    FileState state;
    for (const std::string& verdict : db.lines("PRAGMA integrity_check"))
        state.integrity += verdict;
    for (std::string table : db.lines("SELECT name FROM sqlite_master WHERE type = 'table' "
                                      "ORDER BY name")) {
        table = table.substr(1, table.size() - 2);  // without the quotes of a text
        for (const std::string& row : db.lines("SELECT * FROM [" + table + "] ORDER BY rowid"))
            state.rows.push_back(table + " | " + row);
    }
    return state;
}

// The first line where two dumps part, for a failure message of one line.
std::string firstDifference(const FileState& a, const FileState& b) {
    for (std::size_t i = 0; i < std::min(a.rows.size(), b.rows.size()); ++i)
        if (a.rows[i] != b.rows[i]) return a.rows[i] + "  <>  " + b.rows[i];
    return std::to_string(a.rows.size()) + " rows <> " + std::to_string(b.rows.size()) + " rows";
}

// A file laid out as the user leaves it after some work: something in every field.
fs::path prepare(const QTemporaryDir& dir) {
    const fs::path file = fs::path(dir.path().toStdString()) / "prepared" / store::kDataFileName;
    fs::create_directories(file.parent_path());
    store::createDeliveredFile(file);
    auto db = store::Database::open(file, store::kDatabaseKey);
    test::fillWithData(*db);
    db->update("Fatores", 1, {{"Prop", "3"}});
    return file;
}

// The key in the x'..' form that opens the file without deriving it again: the derivation
// would take most of every run, and a write never changes the salt.
std::string rawKey(const fs::path& file) {
    return store::RawKeyOf(file, store::kDatabaseKey).value();
}

// A copy of the prepared file in a folder of its own, with no journal beside it.
fs::path freshCopy(const fs::path& prepared, const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(prepared, folder / store::kDataFileName);
    return folder / store::kDataFileName;
}

struct Child {
    pid_t pid = -1;
    int out = -1;
};

Child start(const std::string& mode, const fs::path& folder, const std::string& key) {
    int pipeFds[2];
    // Close-on-exec: a child started at the same time by another worker keeps no end.
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::execl(VPL_CRASH_CHILD, VPL_CRASH_CHILD, mode.c_str(), folder.c_str(), key.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

// Waits for the byte the child writes right before its write (or, called again, right
// after it); false when it ended first.
bool awaitByte(const Child& child) {
    char byte;
    return ::read(child.out, &byte, 1) == 1;
}

int finish(const Child& child) {
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    ::close(child.out);
    return status;
}

struct Expected {
    std::string mode;
    fs::path prepared;
    std::string key;
    FileState before, after;
    std::chrono::microseconds window;  // kills land this long after the write began
};

struct Tally {
    int asBefore = 0, asAfter = 0;
    std::string failure;  // the first file that was neither, or unsound
};

// Kills `kills` runs, each over a fresh copy in `folder`, at a random moment of the write.
Tally killRuns(const Expected& e, const fs::path& folder, int kills, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, e.window.count());
    Tally tally;
    for (int i = 0; i < kills; ++i) {
        freshCopy(e.prepared, folder);
        const Child child = start(e.mode, folder, e.key);
        if (!awaitByte(child)) {
            tally.failure = "the child ended before its write";
            return tally;
        }
        const long waited = delay(random);
        std::this_thread::sleep_for(std::chrono::microseconds(waited));
        ::kill(child.pid, SIGKILL);
        finish(child);
        const FileState state = inspect(folder / store::kDataFileName, e.key);
        const std::string when = "killed " + std::to_string(waited) + " us into the write: ";
        if (state.integrity != kSound) {
            tally.failure = when + state.integrity;
            return tally;
        }
        if (state.rows == e.before.rows) {
            ++tally.asBefore;
        } else if (state.rows == e.after.rows) {
            ++tally.asAfter;
        } else {
            tally.failure = when + firstDifference(state, e.after);
            return tally;
        }
    }
    return tally;
}

class CrashSafety : public ::testing::TestWithParam<const char*> {};

TEST_P(CrashSafety, AKilledWriteLeavesTheFileBeforeOrAfterAndSound) {
    // A killed process loses nothing the kernel already holds: a folder in memory, where
    // there is one, spares the disk syncs without changing what is tested.
    const QString shm = "/dev/shm";
    QTemporaryDir dir(QFileInfo(shm).isWritable() ? shm + "/vpl-crash-XXXXXX"
                                                  : QDir::tempPath() + "/vpl-crash-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    const fs::path root = dir.path().toStdString();
    Expected e{GetParam(), prepare(dir), {}, {}, {}, {}};
    e.key = rawKey(e.prepared);
    e.before = inspect(freshCopy(e.prepared, root / "whole"), e.key);

    // One run to its end gives the state after the write and how long the write takes.
    freshCopy(e.prepared, root / "whole");
    const Child whole = start(e.mode, root / "whole", e.key);
    ASSERT_TRUE(awaitByte(whole));
    const auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(awaitByte(whole));
    const auto written = std::chrono::steady_clock::now() - begun;
    const int status = finish(whole);
    // Kills land in the write and as long again after it, where closing the file folds
    // the log into it.
    e.window = 2 * std::max(std::chrono::duration_cast<std::chrono::microseconds>(written),
                            std::chrono::microseconds(100));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    e.after = inspect(root / "whole" / store::kDataFileName, e.key);
    ASSERT_EQ(e.after.integrity, kSound);
    ASSERT_NE(e.after.rows, e.before.rows) << "the write changed nothing";

    // Starting the program costs most of a run: the kills share the processors.
    const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 4u));
    const unsigned seed = std::random_device{}();
    std::vector<Tally> tallies(static_cast<std::size_t>(workers));
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            const int share = kKills / workers + (w < kKills % workers ? 1 : 0);
            Tally& tally = tallies[static_cast<std::size_t>(w)];
            try {
                tally = killRuns(e, root / ("run" + std::to_string(w)), share, seed + w);
            } catch (const std::exception& error) {  // a file that does not even open
                tally.failure = error.what();
            }
        });
    for (std::thread& t : threads) t.join();
    int asBefore = 0, asAfter = 0;
    for (const Tally& t : tallies) {
        EXPECT_EQ(t.failure, "") << "seed " << seed;
        asBefore += t.asBefore;
        asAfter += t.asAfter;
    }
    std::printf("%s: kills within %lld us; %d left the file as before, %d as after\n",
                e.mode.c_str(), static_cast<long long>(e.window.count()), asBefore, asAfter);
}

INSTANTIATE_TEST_SUITE_P(Writes, CrashSafety, ::testing::Values("clear", "meta", "likert", "import"));

// Killed while it copies the open decision or opens another in its place, the program
// leaves both decisions as they were and the copy either absent or whole.
TEST(CrashSafetyOfFiles, AKilledCopyOrSwitchLeavesEveryFileWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path prepared = prepare(dir);
    const fs::path folder = fs::path(dir.path().toStdString()) / "run";
    const fs::path other = folder / "outra.mdb";
    const fs::path copy = folder / "copia.mdb";
    const std::string key = rawKey(prepared);
    const FileState before = inspect(prepared, key);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delay(0, 60000);
    int copies = 0;
    for (int kill = 0; kill < 40; ++kill) {
        freshCopy(prepared, folder);
        store::createDeliveredFile(other);
        const std::string otherKey = rawKey(other);
        const FileState otherBefore = inspect(other, otherKey);
        const Child child = start("switch", folder, key);
        ASSERT_TRUE(awaitByte(child));
        const int waited = delay(random);
        std::this_thread::sleep_for(std::chrono::microseconds(waited));
        ::kill(child.pid, SIGKILL);
        finish(child);
        SCOPED_TRACE("killed " + std::to_string(waited) + " us into the work");
        const FileState open = inspect(folder / store::kDataFileName, key);
        EXPECT_EQ(open.integrity, kSound);
        EXPECT_EQ(open.rows, before.rows);
        EXPECT_EQ(inspect(other, otherKey).rows, otherBefore.rows);
        if (fs::exists(copy)) {
            ++copies;
            const FileState copied = inspect(copy, rawKey(copy));
            EXPECT_EQ(copied.integrity, kSound);
            EXPECT_EQ(copied.rows, before.rows);
        }
        if (::testing::Test::HasFailure()) return;
    }
    std::printf("copy or switch: %d of 40 kills left a whole copy, the others none\n", copies);
}

// The degrees that factor 1's stored counts give.
core::StoredDegrees degreesOfCounts(store::Database& db) {
    const store::Row factor = *db.rowByKey("Fatores", {"Prop"}, 1);
    std::vector<core::LikertRow> rows;
    for (const store::Row& row : db.firstRows("Prop1", {"N01", "N02", "N03", "N04", "N05"},
                                              std::stoi(factor.text("Prop")))) {
        core::LikertRow& counts = rows.emplace_back();
        for (int j = 1; j <= store::kLikertPoints; ++j)
            counts[j - 1] = row.number(store::likertField(j));
    }
    return core::DegreesToStore(core::ComputeLikertEvidence(rows));
}

// Factor 1's stored degrees against the degrees of its stored counts; empty when they agree.
std::string degreesAgainstCounts(const fs::path& file, const std::string& key) {
    auto db = store::Database::open(file, key);
    const store::Row factor = *db->rowByKey("Fatores", {"Mi1", "Mi2"}, 1);
    const core::StoredDegrees expected = degreesOfCounts(*db);
    const core::StoredDegrees stored{factor.number("Mi1"), factor.number("Mi2")};
    if (stored == expected) return "";
    return "stored " + std::to_string(stored.Mi1) + "/" + std::to_string(stored.Mi2) +
           ", the counts give " + std::to_string(expected.Mi1) + "/" + std::to_string(expected.Mi2);
}

// Keys typed one after the other, the program killed at any moment among them: the degrees
// the file holds always follow from the counts it holds.
TEST(CrashWhileTyping, TheStoredDegreesFollowTheStoredCounts) {
    const QString shm = "/dev/shm";
    QTemporaryDir dir(QFileInfo(shm).isWritable() ? shm + "/vpl-typing-XXXXXX"
                                                  : QDir::tempPath() + "/vpl-typing-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    const fs::path root = dir.path().toStdString();
    const fs::path prepared = prepare(dir);
    const std::string key = rawKey(prepared);
    {
        auto db = store::Database::open(prepared, key);
        const core::StoredDegrees agreeing = degreesOfCounts(*db);
        db->update("Fatores", 1, {{"Mi1", agreeing.Mi1}, {"Mi2", agreeing.Mi2}});
    }

    freshCopy(prepared, root / "whole");
    const Child whole = start("typing", root / "whole", key);
    ASSERT_TRUE(awaitByte(whole));
    const auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(awaitByte(whole));
    const auto typing = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - begun);
    ASSERT_EQ(finish(whole), 0);
    ASSERT_EQ(degreesAgainstCounts(root / "whole" / store::kDataFileName, key), "");

    constexpr int kTypingKills = 40;
    const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 2u, 4u));
    const unsigned seed = std::random_device{}();
    std::vector<std::string> failures(static_cast<std::size_t>(workers));
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&, w] {
            std::mt19937 random(seed + w);
            std::uniform_int_distribution<long> delay(0, typing.count());
            const fs::path folder = root / ("typing" + std::to_string(w));
            for (int i = w; i < kTypingKills && failures[w].empty(); i += workers) {
                freshCopy(prepared, folder);
                const Child child = start("typing", folder, key);
                if (!awaitByte(child)) {
                    failures[w] = "the child ended before typing";
                    break;
                }
                const long waited = delay(random);
                std::this_thread::sleep_for(std::chrono::microseconds(waited));
                ::kill(child.pid, SIGKILL);
                finish(child);
                try {
                    const std::string wrong =
                        degreesAgainstCounts(folder / store::kDataFileName, key);
                    if (!wrong.empty())
                        failures[w] = "killed " + std::to_string(waited) + " us in: " + wrong;
                } catch (const std::exception& error) {
                    failures[w] = error.what();
                }
            }
        });
    for (std::thread& t : threads) t.join();
    for (const std::string& failure : failures) EXPECT_EQ(failure, "") << "seed " << seed;
}

}  // namespace

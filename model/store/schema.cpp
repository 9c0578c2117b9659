#include "store/schema.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vpl::store {

std::string propositionTable(int factor) {
    return "Prop" + std::to_string(factor);
}

std::string likertField(int point) {
    return (point < 10 ? "N0" : "N") + std::to_string(point);
}

std::string participantField(int participant) {
    return "Participante" + std::to_string(participant);
}

namespace {

std::string likertColumns() {
    std::string cols;
    for (int j = 1; j <= kLikertPoints; ++j) cols += ", " + likertField(j) + " INTEGER DEFAULT 0";
    return cols;
}

std::string participantColumns() {
    std::string cols;
    for (int i = 1; i <= kParticipants; ++i)
        cols += ", " + participantField(i) + " TEXT DEFAULT ''";
    return cols;
}

// Plausible answer counts for the sample table: a fixed pattern, so that every
// delivered file is the same.
int sampleCount(int key, int point) {
    return (key * 7 + point * 13 + key * point) % 9;
}

}  // namespace

void createSchema(Database& db) {
    // Fatores of Parametro and nFatores of Cadastro take numbers, but keep a text
    // that is not one (NUMERIC affinity), so readers can tell the two apart.
    db.execute(
        "CREATE TABLE Parametro (Id INTEGER PRIMARY KEY, Idioma INTEGER DEFAULT 0, "
        "Fatores NUMERIC DEFAULT 0, versaoBD TEXT DEFAULT '')");
    db.execute(
        "CREATE TABLE Cadastro (Id INTEGER PRIMARY KEY, Questao TEXT DEFAULT '', "
        "Depto TEXT DEFAULT ''" +
        participantColumns() + ", nFatores NUMERIC DEFAULT 0)");
    db.execute(
        "CREATE TABLE Fatores (Id INTEGER PRIMARY KEY, Fator TEXT DEFAULT '', "
        "Prop TEXT DEFAULT '', Mi1 REAL DEFAULT 0, Mi2 REAL DEFAULT 0)");
    for (int k = 1; k <= kFactorSlots; ++k)
        db.execute("CREATE TABLE " + propositionTable(k) +
                   " (Id INTEGER PRIMARY KEY, Proposicao TEXT DEFAULT ''" + likertColumns() + ")");
    db.execute("CREATE TABLE PLikert (Id INTEGER PRIMARY KEY" + likertColumns() + ")");
}

void writeDeliveredRows(Database& db) {
    Transaction tx(db);
    db.execute("INSERT INTO Parametro (Id, Idioma, Fatores, versaoBD) VALUES (1, 3, 4, ?)",
               {Value(kDeliveredVersion)});
    db.execute("INSERT INTO Cadastro (Id, nFatores) VALUES (1, 4)");
    for (int k = 1; k <= kFactorSlots; ++k)
        db.execute("INSERT INTO Fatores (Id) VALUES (?)", {Value(k)});
    for (int k = 1; k <= kFactorSlots; ++k)
        for (int r = 1; r <= kPropositionRows; ++r)
            db.execute("INSERT INTO " + propositionTable(k) + " (Id) VALUES (?)", {Value(r)});
    for (int key = 1; key <= kLikertSampleRows; ++key) {
        std::vector<Value> row{Value(key)};
        for (int j = 1; j <= kLikertPoints; ++j) row.emplace_back(sampleCount(key, j));
        db.execute("INSERT INTO PLikert (Id, N01, N02, N03, N04, N05) VALUES (?, ?, ?, ?, ?, ?)",
                   row);
    }
    tx.commit();
}

namespace {

// Makes what was written to `path` durable: its bytes, or the entries of a folder.
void syncPath(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void removeQuietly(const std::filesystem::path& file) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(file.string() + suffix, ignored);
}

// Parts left by builders that were killed midway, whose process is gone.
void removeAbandonedParts(const std::filesystem::path& file) {
    const std::string prefix = file.filename().string() + ".part";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(
             file.parent_path().empty() ? "." : file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        const std::string digits = name.substr(prefix.size(), name.find('-') - prefix.size());
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        if (::kill(static_cast<pid_t>(std::stol(digits)), 0) != 0 && errno == ESRCH)
            std::filesystem::remove(entry.path(), error);
    }
}

}  // namespace

// Built whole under a name of its own beside the file, then linked in under the file's
// name in one step: an interrupted build leaves no file at all, never a partial one, and
// an existing file is never replaced.
void createDeliveredFile(const std::filesystem::path& file, const std::string& key) {
    if (std::filesystem::exists(file)) throw StoreError("O arquivo já existe: " + file.string());
    const std::filesystem::path part = file.string() + ".part" + std::to_string(::getpid());
    removeAbandonedParts(file);
    removeQuietly(part);
    try {
        {
            auto db = Database::create(part, key);
            createSchema(*db);
            writeDeliveredRows(*db);
        }  // closed: everything is in the file itself
        syncPath(part);
        if (::link(part.c_str(), file.c_str()) != 0) {
            const int error = errno;
            throw StoreError(error == EEXIST
                                 ? "O arquivo já existe: " + file.string()
                                 : std::string(std::strerror(error)) + " (" + file.string() + ")");
        }
        removeQuietly(part);
        syncPath(file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path());
    } catch (...) {
        removeQuietly(part);
        throw;
    }
}

}  // namespace vpl::store

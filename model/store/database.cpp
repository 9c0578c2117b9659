#include "store/database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "store/key_derivation.h"

namespace vpl::store {

namespace {

// Table and field names come from the program, never from the user; still, only
// plain identifiers may reach the statement text.
std::string identifier(std::string_view name) {
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
    if (!plain) throw StoreError("Nome de tabela ou campo inválido: " + std::string(name));
    // Brackets, not double quotes: a double-quoted name that matches no column
    // would be read as a text literal instead of failing.
    return '[' + std::string(name) + ']';
}

std::string fieldList(const std::vector<std::string>& fields) {
    std::string list = "[Id]";
    for (const auto& f : fields) list += ", " + identifier(f);
    return list;
}

Value columnValue(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, col)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(st, col));
        case SQLITE_NULL:
            return Value();
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
            return Value(
                std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, col))));
        }
    }
}

// A count of rows as the messages word it: "1 linha", "0 linhas", "2 linhas".
std::string rowCount(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " linha" : " linhas");
}

}  // namespace

StoreError::Kind StoreError::kindOf(int resultCode) {
    switch (resultCode & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Kind::Locked;
        case SQLITE_FULL:
            return Kind::Full;
        case SQLITE_ERROR:  // a table or field the program relies on is missing
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_SCHEMA:
        case SQLITE_MISMATCH:
        case SQLITE_CONSTRAINT:
            return Kind::Damaged;
        default:
            return Kind::Other;
    }
}

Row::Row(std::string table, Key key, std::vector<std::string> names, std::vector<Value> values)
    : table_(std::move(table)), key_(key), names_(std::move(names)), values_(std::move(values)) {}

const Value& Row::value(std::string_view field) const {
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == field) return values_[i];
    throw StoreError("Campo não lido: " + table_ + "." + std::string(field));
}

std::string Row::text(std::string_view field) const {
    auto t = value(field).toText();
    if (!t) throw StoreError("Uso inválido de Null: campo " + table_ + "." + std::string(field));
    return *t;
}

double Row::number(std::string_view field) const {
    const Value& v = value(field);
    if (v.isNull())
        throw StoreError("Uso inválido de Null: campo " + table_ + "." + std::string(field));
    if (auto n = v.number()) return *n;
    throw StoreError("Tipo de dado incompatível: campo " + table_ + "." + std::string(field) +
                     " contém \"" + v.text() + "\"");
}

Database::Database(sqlite3* handle) : db_(handle) {}

Database::~Database() {
    for (auto& [sql, st] : statements_) sqlite3_finalize(st);
    // Folds the log back into the file, so that the file alone holds every committed
    // write once the program has closed it. A reader still open keeps what it needs.
    if (!readOnly_)
        sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_close_v2(db_);
}

namespace {

// `name` is what the engine opens (a path, or a URI for a read-only opening); messages name
// the file as the user knows it.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> openHandle(const std::string& name,
                                                       const std::filesystem::path& file,
                                                       const std::string& key, int flags) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> handle(raw, sqlite3_close_v2);
    if (rc != SQLITE_OK) {
        std::string msg = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        throw StoreError(msg + " (" + file.string() + ")", StoreError::kindOf(rc));
    }
    if (sqlite3_key_v2(raw, "main", key.data(), static_cast<int>(key.size())) != SQLITE_OK)
        throw StoreError(sqlite3_errmsg(raw), StoreError::Kind::Other);
    return handle;
}

// Only a regular file can be a data file: a FIFO would block the opening, a device would
// feed it without end.
void refuseWhatIsNoRegularFile(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw StoreError("O arquivo de dados não é um arquivo comum: " + file.string(),
                         StoreError::Kind::Other);
}

// The cipher settings every file is written with, SQLCipher 3's, set at every opening so
// that a library with other defaults reads the same files. A library ignores the settings
// it does not know: SQLCipher 3 knows the first three, SQLCipher 4 all five.
constexpr const char* kCipherSettings =
    "PRAGMA cipher_page_size = 1024; PRAGMA kdf_iter = 64000; PRAGMA cipher_use_hmac = ON; "
    "PRAGMA cipher_hmac_algorithm = HMAC_SHA1; PRAGMA cipher_kdf_algorithm = PBKDF2_HMAC_SHA1;";

// A read-only opening that must not touch the folder: it reads the file as one that
// cannot change, so it is used only when no write-ahead log lies beside the file.
std::string immutableUri(const std::filesystem::path& file) {
    std::string uri = "file:";
    std::error_code noCurrentFolder;  // then the path is used as it was given
    const std::filesystem::path absolute = std::filesystem::absolute(file, noCurrentFolder);
    for (const char c : (noCurrentFolder ? file : absolute).string()) {
        if (c == '%')
            uri += "%25";
        else if (c == '?')
            uri += "%3f";
        else if (c == '#')
            uri += "%23";
        else
            uri += c;
    }
    return uri + "?immutable=1";
}

// Committed transactions that have not yet been folded back into the file.
bool hasWriteAheadLog(const std::filesystem::path& file) {
    std::error_code missing;
    return std::filesystem::file_size(file.string() + "-wal", missing) > 0 && !missing;
}

// The write-ahead log needs the folder as well as the file.
bool writable(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    return ::access(file.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::unique_ptr<Database> Database::open(const std::filesystem::path& file, const std::string& key,
                                         Access access, const KeptKeys& keptKeys) {
    refuseWhatIsNoRegularFile(file);
    // The password's key is derived here, faster than the library would, unless the key
    // is given already derived (x'..') or was kept from an earlier opening of the file.
    const std::optional<std::vector<std::uint8_t>> salt =
        key.rfind("x'", 0) == 0 ? std::nullopt : SaltOf(file);
    if (!salt) return openWithKey(file, key, access);
    if (const std::optional<std::string> kept = keptKeys.find(key, *salt)) {
        try {
            return openWithKey(file, *kept, access);
        } catch (const StoreError&) {
            // Not this file's key after all: derived below, and kept anew when it opens.
        }
    }
    const std::string derived = RawKeyFor(key, *salt);
    std::unique_ptr<Database> db = openWithKey(file, derived, access);
    keptKeys.keep(key, *salt, derived);
    return db;
}

std::unique_ptr<Database> Database::openWithKey(const std::filesystem::path& file,
                                                const std::string& fileKey, Access access) {
    // A file that cannot be written is opened for reading; either way nothing is written
    // here, so a file that turns out unusable keeps its bytes exactly.
    const bool readOnly = access == Access::ReadOnly || !writable(file);
    if (!readOnly)
        return openChecked(
            openHandle(file.string(), file, fileKey, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX),
            file, false);
    // Read-only, a file with a write-ahead log beside it is read together with the log, so
    // that what the program has committed (and not yet folded back) is seen. Without a log
    // the file alone holds everything, and is read as one that cannot change: nothing is
    // then created beside it.
    std::error_code noLog;
    if (std::filesystem::exists(file.string() + "-wal", noLog)) {
        try {
            return openChecked(openHandle(file.string(), file, fileKey,
                                          SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX),
                               file, true);
        } catch (const StoreError&) {
            // The log needs a file beside it that a read-only folder cannot take; an empty
            // log holds nothing to miss.
            if (hasWriteAheadLog(file)) throw;
        }
    }
    return openChecked(openHandle(immutableUri(file), file, fileKey,
                                  SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX),
                       file, true);
}

std::unique_ptr<Database> Database::openChecked(Handle handle, const std::filesystem::path& file,
                                                bool readOnly) {
    std::unique_ptr<Database> db(new Database(handle.release()));
    db->readOnly_ = readOnly;
    // A file another program holds is waited for, from the first read on.
    sqlite3_busy_timeout(db->db_, 3000);
    db->execute(kCipherSettings);
    // The key is checked only when the first page is read: read it now, so that a wrong
    // key or a damaged file fails here and not in some later window. A file without a
    // single table (an empty file reads so) is not a data file.
    sqlite3_stmt* st = db->prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table'");
    if (sqlite3_step(st) != SQLITE_ROW) db->fail(file.string());
    const int tables = sqlite3_column_int(st, 0);
    sqlite3_reset(st);
    if (tables == 0)
        throw StoreError("O arquivo não contém os dados do programa (" + file.string() + ")");
    if (!readOnly) db->execute("PRAGMA synchronous = FULL");
    return db;
}

std::unique_ptr<Database> Database::create(const std::filesystem::path& file,
                                           const std::string& key) {
    if (std::filesystem::exists(file)) throw StoreError("O arquivo já existe: " + file.string());
    auto handle = openHandle(file.string(), file, key,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX);
    std::unique_ptr<Database> db(new Database(handle.release()));
    db->execute(kCipherSettings);
    // Kept in the file: every later opening writes through the write-ahead log.
    db->execute("PRAGMA journal_mode = WAL");
    db->execute("PRAGMA synchronous = FULL");
    return db;
}

void Database::fail(const std::string& context) const {
    std::string msg = sqlite3_errmsg(db_);
    if (!context.empty()) msg += " (" + context + ")";
    throw StoreError(msg, StoreError::kindOf(sqlite3_extended_errcode(db_)));
}

sqlite3_stmt* Database::prepare(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) fail();
    statements_.emplace(sql, st);
    return st;
}

namespace {

void bind(sqlite3_stmt* st, int index, const Value& v) {
    if (v.isNull())
        sqlite3_bind_null(st, index);
    else if (v.isInteger())
        sqlite3_bind_int64(st, index, v.integer());
    else if (v.isReal())
        sqlite3_bind_double(st, index, v.real());
    else
        sqlite3_bind_text(st, index, v.text().c_str(), static_cast<int>(v.text().size()),
                          SQLITE_TRANSIENT);
}

// Resets a cached statement when the scope ends, so that it holds no read lock.
struct ResetOnExit {
    sqlite3_stmt* st;
    ~ResetOnExit() { sqlite3_reset(st); }
};

}  // namespace

std::vector<Row> Database::select(std::string_view table, const std::vector<std::string>& fields,
                                  const std::string& tail, const std::vector<Value>& binds) {
    const std::string sql = "SELECT " + fieldList(fields) + " FROM " + identifier(table) + tail;
    sqlite3_stmt* st = prepare(sql);
    ResetOnExit reset{st};
    for (size_t i = 0; i < binds.size(); ++i) bind(st, static_cast<int>(i + 1), binds[i]);
    std::vector<Row> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<Value> values;
        values.reserve(fields.size());
        for (size_t c = 0; c < fields.size(); ++c)
            values.push_back(columnValue(st, static_cast<int>(c + 1)));
        rows.emplace_back(std::string(table), sqlite3_column_int64(st, 0), fields,
                          std::move(values));
    }
    if (rc != SQLITE_DONE) fail(std::string(table));
    return rows;
}

std::vector<Row> Database::firstRows(std::string_view table, const std::vector<std::string>& fields,
                                     int count) {
    auto rows = firstRowsUpTo(table, fields, count);
    if (static_cast<int>(rows.size()) < count)
        throw StoreError("A tabela " + std::string(table) + " tem " +
                         rowCount(static_cast<std::int64_t>(rows.size())) +
                         (count == 1 ? "; é necessária 1."
                                     : "; são necessárias " + std::to_string(count) + "."));
    return rows;
}

std::vector<Row> Database::firstRowsUpTo(std::string_view table,
                                         const std::vector<std::string>& fields, int count) {
    return select(table, fields, " ORDER BY [Id] LIMIT ?", {Value(count)});
}

Key Database::keyAt(std::string_view table, int position) {
    auto rows = select(table, {}, " ORDER BY [Id] LIMIT 1 OFFSET ?", {Value(position - 1)});
    if (position < 1 || rows.empty())
        throw StoreError("A tabela " + std::string(table) + " tem menos de " + rowCount(position) +
                         ".");
    return rows.front().key();
}

Row Database::firstRow(std::string_view table, const std::vector<std::string>& fields) {
    return std::move(firstRows(table, fields, 1).front());
}

std::optional<Row> Database::rowByKey(std::string_view table,
                                      const std::vector<std::string>& fields, Key key) {
    auto rows = select(table, fields, " WHERE [Id] = ?", {Value(key)});
    if (rows.empty()) return std::nullopt;
    return std::move(rows.front());
}

std::vector<Row> Database::rowsFrom(std::string_view table, const std::vector<std::string>& fields,
                                    Key start, int count) {
    auto rows = select(table, fields, " WHERE [Id] >= ? ORDER BY [Id] LIMIT ?",
                       {Value(start), Value(count)});
    if (rows.empty() || rows.front().key() != start)
        throw StoreError("Registro não encontrado: " + std::string(table) + " chave " +
                         std::to_string(start) + ".");
    if (static_cast<int>(rows.size()) < count)
        throw StoreError("A tabela " + std::string(table) + " termina antes de " + rowCount(count) +
                         " a partir da chave " + std::to_string(start) + ".");
    return rows;
}

void Database::update(std::string_view table, Key key, const Assignments& fields) {
    if (fields.empty()) return;
    std::string sql = "UPDATE " + identifier(table) + " SET ";
    for (size_t i = 0; i < fields.size(); ++i)
        sql += (i ? ", " : "") + identifier(fields[i].first) + " = ?";
    sql += " WHERE [Id] = ?";
    sqlite3_stmt* st = prepare(sql);
    ResetOnExit reset{st};
    for (size_t i = 0; i < fields.size(); ++i) bind(st, static_cast<int>(i + 1), fields[i].second);
    bind(st, static_cast<int>(fields.size() + 1), Value(key));
    if (sqlite3_step(st) != SQLITE_DONE) fail(std::string(table));
    if (sqlite3_changes(db_) != 1)
        throw StoreError("Registro não encontrado: " + std::string(table) + " chave " +
                         std::to_string(key) + ".");
}

void Database::updateFirst(std::string_view table, int count, const Assignments& fields) {
    if (count > 0) keyAt(table, count);  // fails when the table is too short
    std::string sql = "UPDATE " + identifier(table) + " SET ";
    for (size_t i = 0; i < fields.size(); ++i)
        sql += (i ? ", " : "") + identifier(fields[i].first) + " = ?";
    sql += " WHERE [Id] IN (SELECT [Id] FROM " + identifier(table) + " ORDER BY [Id] LIMIT ?)";
    sqlite3_stmt* st = prepare(sql);
    ResetOnExit reset{st};
    for (size_t i = 0; i < fields.size(); ++i) bind(st, static_cast<int>(i + 1), fields[i].second);
    bind(st, static_cast<int>(fields.size() + 1), Value(count));
    if (sqlite3_step(st) != SQLITE_DONE) fail(std::string(table));
}

bool Database::hasField(std::string_view table, std::string_view field) {
    sqlite3_stmt* st = prepare("PRAGMA table_info(" + identifier(table) + ")");
    ResetOnExit reset{st};
    const auto sameName = [field](std::string_view name) {
        return name.size() == field.size() &&
               std::equal(name.begin(), name.end(), field.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    };
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        if (name && sameName(name)) return true;
    }
    if (rc != SQLITE_DONE) fail(std::string(table));
    return false;
}

namespace {

const char* typeName(Database::FieldType type) {
    switch (type) {
        case Database::FieldType::Integer:
            return "INTEGER";
        case Database::FieldType::Real:
            return "REAL";
        case Database::FieldType::Text:
            return "TEXT";
    }
    return "";
}

// A default takes no bound value: it is written out, exactly, into the statement.
std::string literal(const Value& value) {
    if (value.isInteger()) return std::to_string(value.integer());
    if (value.isReal()) {
        if (!std::isfinite(value.real()))
            throw StoreError("Valor inicial inválido para um campo novo.", StoreError::Kind::Other);
        // The shortest digits that read back as the same real, with a "." whatever the
        // program's locale.
        char buf[40];
        const auto end = std::to_chars(buf, buf + sizeof buf, value.real()).ptr;
        std::string text(buf, end);
        // Read back as a real also when it has no decimals.
        if (text.find_first_of(".e") == std::string::npos) text += ".0";
        return text;
    }
    std::string quoted = "'";
    for (const char c : value.text()) {
        if (c == '\'') quoted += c;
        quoted += c;
    }
    return quoted + "'";
}

}  // namespace

void Database::addField(std::string_view table, std::string_view field, FieldType type,
                        const Value& initial) {
    if (!inTransaction())
        throw std::logic_error("Um campo novo só é criado dentro de uma transação: " +
                               std::string(table) + "." + std::string(field));
    std::string sql = "ALTER TABLE " + identifier(table) + " ADD COLUMN " + identifier(field) +
                      " " + typeName(type);
    if (!initial.isNull()) sql += " DEFAULT " + literal(initial);
    execute(sql);
}

void Database::execute(const std::string& sql) {
    char* err = nullptr;
    if (const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err); rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw StoreError(msg, StoreError::kindOf(rc));
    }
}

void Database::execute(const std::string& sql, const std::vector<Value>& values) {
    sqlite3_stmt* st = prepare(sql);
    ResetOnExit reset{st};
    for (size_t i = 0; i < values.size(); ++i) bind(st, static_cast<int>(i + 1), values[i]);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail();
}

namespace {

// Makes a file's contents (or a folder's entries) durable before the program goes on.
void syncFile(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced)
        throw StoreError("Não foi possível gravar " + path.string(), StoreError::Kind::Other);
}

}  // namespace

void Database::backupTo(const std::filesystem::path& target, const std::string& key) {
    std::error_code noSuchFile;
    if (std::filesystem::equivalent(target, sqlite3_db_filename(db_, "main"), noSuchFile))
        throw StoreError("A cópia não pode substituir o próprio arquivo de dados (" +
                         target.string() + ")");
    const std::filesystem::path part = target.string() + ".part";
    const auto removePart = [&] {
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(part.string() + suffix, noSuchFile);
    };
    removePart();
    try {
        {
            std::unique_ptr<Database> copy = create(part, key);
            sqlite3_backup* backup = sqlite3_backup_init(copy->db_, "main", db_, "main");
            if (!backup) copy->fail(target.string());
            const int rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE) copy->fail(target.string());
        }  // closing the copy folds its log back into it
        syncFile(part, O_RDONLY);
        std::filesystem::rename(part, target);
        syncFile(target.has_parent_path() ? target.parent_path() : ".", O_RDONLY | O_DIRECTORY);
    } catch (const std::filesystem::filesystem_error& e) {
        removePart();
        throw StoreError(std::string(e.what()), StoreError::Kind::Other);
    } catch (...) {
        removePart();
        throw;
    }
}

std::int64_t Database::dataVersion() {
    sqlite3_stmt* st = prepare("PRAGMA data_version");
    ResetOnExit reset{st};
    if (sqlite3_step(st) != SQLITE_ROW) fail();
    return sqlite3_column_int64(st, 0);
}

void Database::begin() {
    execute("BEGIN IMMEDIATE");
}
void Database::commit() {
    execute("COMMIT");
}
void Database::rollback() {
    if (inTransaction()) execute("ROLLBACK");
}
bool Database::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.begin();
}

Transaction::Transaction(Database& db, std::int64_t seenVersion) : Transaction(db) {
    // Asked with the write lock held: nobody can commit between the check and the write.
    if (db_.dataVersion() == seenVersion) return;
    db_.rollback();
    done_ = true;
    throw ChangedElsewhere();
}

Transaction::~Transaction() {
    if (done_) return;
    try {
        db_.rollback();
    } catch (const StoreError&) {
        // Nothing more can be done while unwinding; the engine undoes an
        // unfinished transaction when the file is next opened.
    }
}

void Transaction::commit() {
    db_.commit();
    done_ = true;
}

}  // namespace vpl::store

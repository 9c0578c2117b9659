#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/key_derivation.h"
#include "store/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vpl::store {

using Key = std::int64_t;

// Every failure of the store, carrying the engine's own message.
class StoreError : public std::runtime_error {
  public:
    // What happened, so that a message can say it: a locked file or a full disk is no damage.
    enum class Kind {
        Damaged,  // not a data file, or a table, field or row the program relies on is missing
        Locked,   // another program holds the file (SQLITE_BUSY, SQLITE_LOCKED)
        Full,     // the disk, or the file's size limit, is full (SQLITE_FULL)
        Other,    // the file cannot be opened or read, the disk fails, ...
    };
    // The store's own errors are mostly about rows and fields the file lacks: damage.
    StoreError(const std::string& message, Kind kind = Kind::Damaged)
        : std::runtime_error(message), kind(kind) {}
    // The kind of an engine's result code (primary or extended).
    static Kind kindOf(int resultCode);
    Kind kind;
};

// A write refused because another program has committed to the file since the window that
// writes read it: what it would write rests on rows that are no longer there.
class ChangedElsewhere : public StoreError {
  public:
    ChangedElsewhere()
        : StoreError("O arquivo de dados foi alterado por outro programa depois de lido.",
                     Kind::Other) {}
};

// One row read from a table: its key and the fields that were asked for.
class Row {
  public:
    Row(std::string table, Key key, std::vector<std::string> names, std::vector<Value> values);

    Key key() const { return key_; }
    const std::string& table() const { return table_; }
    // The raw field; StoreError when the row was not read with that field.
    const Value& value(std::string_view field) const;
    // The field as text; StoreError when it is NULL.
    std::string text(std::string_view field) const;
    // The field as a number held by the engine; StoreError when it is NULL or a text.
    double number(std::string_view field) const;

  private:
    std::string table_;
    Key key_;
    std::vector<std::string> names_;
    std::vector<Value> values_;
};

using Assignments = std::vector<std::pair<std::string, Value>>;

// The encrypted data file. Rows are reached by position in key order or by key;
// the program never inserts or deletes rows. Every write is durable when it
// returns; writes inside a Transaction become durable together at commit.
class Database {
  public:
    enum class Access {
        AsTheFileAllows,  // read-only when the file or its folder cannot be written
        ReadOnly,
    };
    // Opens an existing file with its key. Never creates a file, and writes nothing to it
    // until something is saved. The key derived from a password is looked up in and kept
    // to `keptKeys` (none by default).
    static std::unique_ptr<Database> open(const std::filesystem::path& file, const std::string& key,
                                          Access access = Access::AsTheFileAllows,
                                          const KeptKeys& keptKeys = KeptKeys({}));
    // Creates a new, empty file with the key (used by the builder of the delivered file).
    static std::unique_ptr<Database> create(const std::filesystem::path& file,
                                            const std::string& key);

    ~Database();
    Database(const Database&) = delete;
    // Opened read-only: the file (or its folder) cannot be written, so nothing can be saved.
    bool readOnly() const { return readOnly_; }
    Database& operator=(const Database&) = delete;

    // The first `count` rows in key order; StoreError when the table has fewer.
    std::vector<Row> firstRows(std::string_view table, const std::vector<std::string>& fields,
                               int count);
    // At most the first `count` rows in key order: fewer when the table is shorter.
    std::vector<Row> firstRowsUpTo(std::string_view table, const std::vector<std::string>& fields,
                                   int count);
    Row firstRow(std::string_view table, const std::vector<std::string>& fields);
    // The key of the `position`-th row in key order (from 1); StoreError when the
    // table has fewer rows.
    Key keyAt(std::string_view table, int position);
    // The row with this key, if any.
    std::optional<Row> rowByKey(std::string_view table, const std::vector<std::string>& fields,
                                Key key);
    // The row with key `start` and the `count - 1` rows after it in key order;
    // StoreError when the start key is missing or the table ends too early.
    std::vector<Row> rowsFrom(std::string_view table, const std::vector<std::string>& fields,
                              Key start, int count);

    // Overwrites fields of the row with this key; StoreError when there is no such row.
    void update(std::string_view table, Key key, const Assignments& fields);
    // Gives the same fields to the first `count` rows in key order (every row when
    // count is negative); StoreError when the table has fewer than `count` rows.
    void updateFirst(std::string_view table, int count, const Assignments& fields);

    // Whether the table has this field; names compare as the engine compares them, without
    // regard to case. False for a table the file does not hold.
    bool hasField(std::string_view table, std::string_view field);
    // The kinds of field a table is given.
    enum class FieldType { Integer, Real, Text };
    // Gives the table a new field that every row, and every row written without it, holds as
    // `initial` (a NULL: no default). Only inside a transaction, so that a later field comes
    // with the write that needs it or not at all: std::logic_error outside one, StoreError
    // when the table has the field already or cannot take it.
    void addField(std::string_view table, std::string_view field, FieldType type,
                  const Value& initial);

    // Runs statements that return no rows (schema, bulk loads).
    void execute(const std::string& sql);
    // Runs one statement with bound values (used by the file builder).
    void execute(const std::string& sql, const std::vector<Value>& values);

    // A whole copy of the file as it stands, taken with the engine's online backup, so that
    // it holds every committed write, also those still in the write-ahead log. The copy is
    // made beside `target` and put in its place only when complete; StoreError when it
    // cannot be made, and then `target` is as it was.
    void backupTo(const std::filesystem::path& target, const std::string& key);

    // Changes whenever another connection commits to the file, never by this one's writes.
    std::int64_t dataVersion();

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

  private:
    using Handle = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;
    explicit Database(sqlite3* handle);
    static std::unique_ptr<Database> openWithKey(const std::filesystem::path& file,
                                                 const std::string& fileKey, Access access);
    static std::unique_ptr<Database> openChecked(Handle handle, const std::filesystem::path& file,
                                                 bool readOnly);
    sqlite3_stmt* prepare(const std::string& sql);
    [[noreturn]] void fail(const std::string& context = {}) const;
    std::vector<Row> select(std::string_view table, const std::vector<std::string>& fields,
                            const std::string& tail, const std::vector<Value>& binds);

    sqlite3* db_;
    bool readOnly_ = false;
    std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

// Makes the writes of one user action durable together: commit() keeps them,
// leaving the scope without it undoes them all.
class Transaction {
  public:
    explicit Transaction(Database& db);
    // A write that rests on the file as it was at `seenVersion` (a dataVersion()): when
    // another program has committed since, nothing is written and ChangedElsewhere is thrown.
    Transaction(Database& db, std::int64_t seenVersion);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Database& db_;
    bool done_ = false;
};

}  // namespace vpl::store

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "store/database.h"
#include "store/key_derivation.h"
#include "store/schema.h"
#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;
using namespace vpl::store;

namespace {

class StoreTest : public ::testing::Test {
  protected:
    std::unique_ptr<Database> delivered() {
        createDeliveredFile(file);
        return Database::open(file, kDatabaseKey);
    }

    std::string openError(const std::string& key = kDatabaseKey) {
        try {
            Database::open(file, key);
        } catch (const StoreError& e) {
            return e.what();
        }
        return "";
    }

    const vpl::test::ScratchFolder scratch{"vpl-store"};
    const fs::path dir = scratch.path();
    const fs::path file = dir / kDataFileName;
};

TEST_F(StoreTest, DeliveredFileHoldsEveryRowTheProgramUses) {
    auto db = delivered();
    Row p = db->firstRow("Parametro", {"Idioma", "Fatores", "versaoBD"});
    EXPECT_EQ(p.value("Idioma"), Value(3));
    EXPECT_EQ(p.value("Fatores"), Value(4));
    EXPECT_FALSE(p.text("versaoBD").empty());

    Row c = db->firstRow("Cadastro", {"Questao", "Depto", "Participante8", "nFatores"});
    EXPECT_EQ(c.text("Questao"), "");
    EXPECT_EQ(c.text("Participante8"), "");
    EXPECT_EQ(c.value("nFatores"), Value(4));

    auto factors = db->firstRows("Fatores", {"Fator", "Prop", "Mi1", "Mi2"}, 8);
    for (int k = 0; k < kFactorSlots; ++k) {
        EXPECT_EQ(factors[k].key(), k + 1);
        EXPECT_EQ(factors[k].text("Prop"), "");
        EXPECT_EQ(factors[k].number("Mi1"), 0.0);
    }
    for (int k = 1; k <= kFactorSlots; ++k) {
        auto rows =
            db->firstRows(propositionTable(k), {"Proposicao", "N01", "N05"}, kPropositionRows);
        EXPECT_EQ(rows.back().number("N05"), 0.0);
        EXPECT_THROW(db->firstRows(propositionTable(k), {}, 100), StoreError);
    }
    // Four blocks of 19 rows after the keys 1, 21, 41 and 61.
    for (int block = 1; block <= 4; ++block) {
        auto rows =
            db->rowsFrom("PLikert", {"N01", "N02", "N03", "N04", "N05"}, 20 * block - 19, 19);
        double total = 0;
        for (const auto& r : rows)
            for (int j = 1; j <= kLikertPoints; ++j) total += r.number(likertField(j));
        EXPECT_GT(total, 0.0) << "block " << block;
    }
}

TEST_F(StoreTest, FileIsEncryptedWithTheProgramKey) {
    createDeliveredFile(file);
    std::ifstream in(file, std::ios::binary);
    std::string head(16, '\0');
    in.read(head.data(), 16);
    EXPECT_NE(head, std::string("SQLite format 3\0", 16));
    EXPECT_NE(openError("wrong"), "");
    EXPECT_EQ(openError(), "");
}

TEST_F(StoreTest, OpenFailuresCarryTheEngineMessage) {
    EXPECT_NE(openError().find("unable to open database file"), std::string::npos);
    EXPECT_FALSE(fs::exists(file)) << "opening must never create the file";

    std::ofstream(file, std::ios::binary) << std::string(4096, 'x');
    EXPECT_NE(openError().find("not a database"), std::string::npos);
}

TEST_F(StoreTest, MissingTablesFieldsAndRowsAreErrorsNotCrashes) {
    auto db = delivered();
    db->execute("DROP TABLE Prop3");
    db->execute("DROP TABLE Parametro");
    db->execute("CREATE TABLE Parametro (Id INTEGER PRIMARY KEY, Fatores NUMERIC)");
    db->execute("DELETE FROM Fatores WHERE Id > 5");
    try {
        db->firstRows("Prop3", {"N01"}, 1);
        FAIL();
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table: Prop3"), std::string::npos);
    }
    try {
        db->firstRow("Parametro", {"Idioma"});
        FAIL();
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("no such column: Idioma"), std::string::npos);
    }
    EXPECT_THROW(db->firstRows("Fatores", {"Fator"}, 8), StoreError);
    EXPECT_FALSE(db->rowByKey("Fatores", {"Fator"}, 7).has_value());
    EXPECT_EQ(db->firstRowsUpTo("Fatores", {"Fator"}, 8).size(), 5u);
    EXPECT_THROW(db->update("Fatores", 7, {{"Fator", Value("x")}}), StoreError);
    EXPECT_THROW(db->firstRow("Fatores; DROP TABLE Fatores", {}), StoreError);
}

TEST_F(StoreTest, NullAndTextFieldsAreReportedWhereNumbersOrTextsAreExpected) {
    auto db = delivered();
    db->execute("UPDATE Fatores SET Fator = NULL, Mi1 = 'abc' WHERE Id = 2");
    db->execute("UPDATE Parametro SET Fatores = 'abc'");
    Row f = db->rowByKey("Fatores", {"Fator", "Mi1", "Mi2"}, 2).value();
    EXPECT_TRUE(f.value("Fator").isNull());
    EXPECT_THROW(f.text("Fator"), StoreError);
    EXPECT_THROW(f.number("Mi1"), StoreError);
    EXPECT_EQ(f.number("Mi2"), 0.0);
    EXPECT_EQ(db->firstRow("Parametro", {"Fatores"}).value("Fatores"), Value("abc"));
    EXPECT_THROW(f.value("Prop"), StoreError) << "a field that was not read";
}

TEST_F(StoreTest, WritesAreDurableAndTextsStayTexts) {
    {
        auto db = delivered();
        db->update("Fatores", 5,
                   {{"Fator", Value("Custo")}, {"Prop", Value("")}, {"Mi1", Value(0.68)}});
        db->update("Parametro", 1, {{"Fatores", Value("6")}});
        db->updateFirst("Prop2", 99, {{"N03", Value(7)}});
    }
    auto db = Database::open(file, kDatabaseKey);
    Row f = db->rowByKey("Fatores", {"Fator", "Prop", "Mi1"}, 5).value();
    EXPECT_EQ(f.text("Fator"), "Custo");
    EXPECT_EQ(f.text("Prop"), "");
    EXPECT_DOUBLE_EQ(f.number("Mi1"), 0.68);
    // A digit typed into the factor count is kept as a number.
    EXPECT_EQ(db->firstRow("Parametro", {"Fatores"}).value("Fatores"), Value(6));
    auto rows = db->firstRows("Prop2", {"N03"}, 99);
    EXPECT_EQ(rows.front().number("N03"), 7.0);
    EXPECT_EQ(rows.back().number("N03"), 7.0);
}

TEST_F(StoreTest, UpdateFirstLeavesLaterRowsAndFailsWholeOnShortTables) {
    auto db = delivered();
    db->execute("INSERT INTO Prop1 (Id, Proposicao, N01) VALUES (100, 'keep', 9)");
    db->updateFirst("Prop1", 99, {{"Proposicao", Value("")}, {"N01", Value(0)}});
    Row hundredth = db->rowByKey("Prop1", {"Proposicao", "N01"}, 100).value();
    EXPECT_EQ(hundredth.text("Proposicao"), "keep");
    EXPECT_EQ(hundredth.number("N01"), 9.0);

    db->execute("DELETE FROM Prop4 WHERE Id = 50");
    EXPECT_EQ(db->keyAt("Prop4", 50), 51);
    EXPECT_EQ(db->keyAt("Prop4", 98), 99);
    EXPECT_THROW(db->keyAt("Prop4", 99), StoreError);
    EXPECT_THROW(db->keyAt("Prop4", 0), StoreError);
    db->update("Prop4", 1, {{"N01", Value(5)}});
    EXPECT_THROW(db->updateFirst("Prop4", 99, {{"N01", Value(0)}}), StoreError);
    EXPECT_EQ(db->rowByKey("Prop4", {"N01"}, 1)->number("N01"), 5.0);
}

TEST_F(StoreTest, TransactionIsAllOrNothing) {
    auto db = delivered();
    try {
        Transaction tx(*db);
        db->update("Fatores", 1, {{"Fator", Value("first")}});
        db->update("Fatores", 99, {{"Fator", Value("no such row")}});
        tx.commit();
    } catch (const StoreError&) {
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(db->rowByKey("Fatores", {"Fator"}, 1)->text("Fator"), "");

    {
        Transaction tx(*db);
        db->update("Fatores", 1, {{"Fator", Value("kept")}});
        tx.commit();
    }
    db.reset();
    db = Database::open(file, kDatabaseKey);
    EXPECT_EQ(db->rowByKey("Fatores", {"Fator"}, 1)->text("Fator"), "kept");
}

// A field is added inside a transaction only, and lives or goes with it.
TEST_F(StoreTest, AFieldIsAddedWithItsTransactionOrNotAtAll) {
    auto db = delivered();
    using Type = Database::FieldType;
    EXPECT_TRUE(db->hasField("Fatores", "fator"));  // the engine's names ignore case
    EXPECT_FALSE(db->hasField("NoSuchTable", "Fator"));
    EXPECT_THROW(db->addField("Fatores", "Peso", Type::Integer, Value(1)), std::logic_error);
    {
        Transaction tx(*db);
        db->addField("Fatores", "Peso", Type::Integer, Value(1));
    }
    EXPECT_FALSE(db->hasField("Fatores", "Peso"));
    {
        Transaction tx(*db);
        db->addField("Parametro", "Exigencia", Type::Real, Value(0.35));
        db->addField("Cadastro", "Nota", Type::Text, Value("it's"));
        db->addField("Cadastro", "Vazio", Type::Text, Value());
        EXPECT_THROW(db->addField("Cadastro", "NOTA", Type::Text, Value()), StoreError);
        tx.commit();
    }
    db = Database::open(file, kDatabaseKey);
    EXPECT_EQ(db->firstRow("Parametro", {"Exigencia"}).value("Exigencia"), Value(0.35));
    const Row registration = db->firstRow("Cadastro", {"Nota", "Vazio"});
    EXPECT_EQ(registration.value("Nota"), Value("it's"));
    EXPECT_TRUE(registration.value("Vazio").isNull());
}

TEST_F(StoreTest, RowsFromNeedsTheStartKeyAndEnoughRows) {
    auto db = delivered();
    EXPECT_EQ(db->rowsFrom("PLikert", {"N01"}, 61, 19).back().key(), 79);
    db->execute("DELETE FROM PLikert WHERE Id = 21");
    EXPECT_THROW(db->rowsFrom("PLikert", {"N01"}, 21, 19), StoreError);
    db->execute("DELETE FROM PLikert WHERE Id > 70");
    EXPECT_THROW(db->rowsFrom("PLikert", {"N01"}, 61, 19), StoreError);
}

TEST_F(StoreTest, RowCountsInMessagesAgreeWithTheirNumber) {
    struct Case {
        int rows;  // rows of table T, keys 1 .. rows
        std::function<void(Database&)> read;
        std::string message;
    };
    const std::vector<Case> cases{
        {0, [](Database& db) { db.firstRow("T", {}); }, "A tabela T tem 0 linhas; é necessária 1."},
        {1, [](Database& db) { db.firstRows("T", {}, 2); },
         "A tabela T tem 1 linha; são necessárias 2."},
        {2, [](Database& db) { db.firstRows("T", {}, 3); },
         "A tabela T tem 2 linhas; são necessárias 3."},
        {0, [](Database& db) { db.keyAt("T", 1); }, "A tabela T tem menos de 1 linha."},
        {1, [](Database& db) { db.keyAt("T", 2); }, "A tabela T tem menos de 2 linhas."},
        {0, [](Database& db) { db.updateFirst("T", 1, {}); }, "A tabela T tem menos de 1 linha."},
        {1, [](Database& db) { db.rowsFrom("T", {}, 1, 2); },
         "A tabela T termina antes de 2 linhas a partir da chave 1."},
    };
    auto db = Database::create(file, kDatabaseKey);
    db->execute("CREATE TABLE T (Id INTEGER PRIMARY KEY)");
    for (const Case& c : cases) {
        db->execute("DELETE FROM T");
        for (int key = 1; key <= c.rows; ++key) db->execute("INSERT INTO T VALUES (?)", {key});
        try {
            c.read(*db);
            ADD_FAILURE() << "no error for: " << c.message;
        } catch (const StoreError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST_F(StoreTest, CreateNeverOverwritesAFile) {
    createDeliveredFile(file);
    {
        auto db = Database::open(file, kDatabaseKey);
        db->update("Cadastro", 1, {{"Questao", Value("mine")}});
    }
    EXPECT_THROW(createDeliveredFile(file), StoreError);
    const std::string tool = VPL_MAKE_DATAFILE;
    EXPECT_EQ(std::system((tool + " --if-missing '" + file.string() + "'").c_str()), 0);
    EXPECT_NE(std::system((tool + " '" + file.string() + "' 2>/dev/null").c_str()), 0);
    auto db = Database::open(file, kDatabaseKey);
    EXPECT_EQ(db->firstRow("Cadastro", {"Questao"}).text("Questao"), "mine");

    const fs::path fresh = dir / "fresh.mdb";
    EXPECT_EQ(std::system((tool + " '" + fresh.string() + "'").c_str()), 0);
    EXPECT_EQ(Database::open(fresh, kDatabaseKey)->firstRows("Prop8", {}, 99).size(), 99u);
}

}  // namespace

// The key is derived as SQLCipher derives it: RFC 6070's vectors, and a delivered file
// opened with its derived key alone.
TEST_F(StoreTest, KeyIsDerivedAsTheStandardAndTheLibraryDeriveIt) {
    const auto hex = [](const std::vector<std::uint8_t>& bytes) {
        std::string s;
        for (const std::uint8_t b : bytes) {
            char h[3];
            std::snprintf(h, sizeof h, "%02x", b);
            s += h;
        }
        return s;
    };
    const std::vector<std::uint8_t> salt{'s', 'a', 'l', 't'};
    EXPECT_EQ(hex(Pbkdf2HmacSha1("password", salt, 1, 20)),
              "0c60c80f961f0e71f3a9b524af6012062fe037a6");
    EXPECT_EQ(hex(Pbkdf2HmacSha1("password", salt, 4096, 20)),
              "4b007901b765489abead49d926f721d065a429c1");
    const std::vector<std::uint8_t> longSalt(std::begin("saltSALTsaltSALTsaltSALTsaltSALTsalt"),
                                             std::end("saltSALTsaltSALTsaltSALTsaltSALTsalt") - 1);
    EXPECT_EQ(hex(Pbkdf2HmacSha1("passwordPASSWORDpassword", longSalt, 4096, 25)),
              "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");

    createDeliveredFile(file);
    const std::optional<std::string> raw = RawKeyOf(file, kDatabaseKey);
    ASSERT_TRUE(raw);
    EXPECT_EQ(Database::open(file, *raw)->firstRow("Parametro", {"versaoBD"}).text("versaoBD"),
              kDeliveredVersion);
    EXPECT_FALSE(RawKeyOf(dir / "missing.mdb", kDatabaseKey));
}

// A derived key is kept for the next opening; a kept entry that is no key, or the key of
// another file, never stops the file from opening, and is replaced by the right one.
TEST_F(StoreTest, KeptKeysOpenTheFileAndNeverStopIt) {
    createDeliveredFile(file);
    const fs::path folder = dir / "keys";
    const KeptKeys kept(folder);
    const std::vector<std::uint8_t> salt = SaltOf(file).value();
    const std::string right = RawKeyOf(file, kDatabaseKey).value();
    auto openWithKept = [&] {
        return Database::open(file, kDatabaseKey, Database::Access::AsTheFileAllows, kept)
            ->firstRow("Parametro", {"versaoBD"})
            .text("versaoBD");
    };
    EXPECT_FALSE(kept.find(kDatabaseKey, salt));
    EXPECT_EQ(openWithKept(), kDeliveredVersion);
    EXPECT_EQ(kept.find(kDatabaseKey, salt), right);
    EXPECT_FALSE(kept.find("another password", salt));

    const fs::path other = dir / "other.mdb";
    createDeliveredFile(other);
    const std::string wrongKey = RawKeyOf(other, kDatabaseKey).value();
    for (const std::string& entry : {wrongKey, std::string("x'00'"), std::string("garbage")}) {
        SCOPED_TRACE(entry);
        kept.keep(kDatabaseKey, salt, entry);
        EXPECT_EQ(openWithKept(), kDeliveredVersion);
        EXPECT_EQ(kept.find(kDatabaseKey, salt), right);
    }
    // A wrong password is refused as before and keeps nothing.
    fs::remove_all(folder);
    EXPECT_THROW(Database::open(file, "wrong", Database::Access::AsTheFileAllows, kept),
                 StoreError);
    EXPECT_FALSE(fs::exists(folder) && !fs::is_empty(folder));
    // The folder keeps the newest entries only.
    for (std::uint8_t i = 0; i < KeptKeys::kKeptEntries + 5; ++i)
        kept.keep(kDatabaseKey, {i}, right);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
              static_cast<long>(KeptKeys::kKeptEntries));
    EXPECT_TRUE(kept.find(kDatabaseKey, {std::uint8_t(KeptKeys::kKeptEntries + 4)}));
    // A place where no folder can be made keeps nothing and opens all the same.
    { std::ofstream(dir / "a file") << "not a folder"; }
    const KeptKeys nowhere(dir / "a file" / "keys");
    EXPECT_NO_THROW(Database::open(file, kDatabaseKey, Database::Access::AsTheFileAllows, nowhere));
    EXPECT_FALSE(nowhere.find(kDatabaseKey, salt));
}

// A reader opened while the program holds the file, or after the program was killed, sees
// what was committed even while it sits in the write-ahead log; so does a backup.
TEST_F(StoreTest, ReadersAndBackupsSeeCommitsStillInTheLog) {
    auto writer = delivered();
    writer->update("Fatores", 2, {{"Mi1", 0.625}, {"Fator", "Prazo"}});
    ASSERT_GT(fs::file_size(file.string() + "-wal"), 0u);  // the commit is in the log only

    auto reader = Database::open(file, kDatabaseKey, Database::Access::ReadOnly);
    EXPECT_TRUE(reader->readOnly());
    const Row seen = *reader->rowByKey("Fatores", {"Mi1", "Fator"}, 2);
    EXPECT_EQ(seen.value("Mi1"), Value(0.625));
    EXPECT_EQ(seen.text("Fator"), "Prazo");

    const fs::path copy = dir / "copia.mdb";
    reader->backupTo(copy, kDatabaseKey);
    EXPECT_FALSE(fs::exists(copy.string() + ".part"));
    EXPECT_FALSE(fs::exists(copy.string() + "-wal"));  // the copy is one whole file
    auto restored = Database::open(copy, kDatabaseKey);
    EXPECT_EQ(restored->rowByKey("Fatores", {"Mi1"}, 2)->value("Mi1"), Value(0.625));
    EXPECT_EQ(restored->firstRows("Prop8", {"N05"}, kPropositionRows).size(),
              size_t(kPropositionRows));
}

TEST_F(StoreTest, ClosingFoldsTheLogBackIntoTheFile) {
    delivered()->update("Fatores", 1, {{"Mi2", 0.25}});
    EXPECT_FALSE(fs::exists(file.string() + "-wal") && fs::file_size(file.string() + "-wal") > 0);
    // Read as the file alone, as a copy of it alone would be.
    fs::copy_file(file, dir / "alone.mdb");
    EXPECT_EQ(Database::open(dir / "alone.mdb", kDatabaseKey)
                  ->rowByKey("Fatores", {"Mi2"}, 1)
                  ->value("Mi2"),
              Value(0.25));
}

TEST_F(StoreTest, BackupNeverReplacesWhatItCannotFinish) {
    auto db = delivered();
    EXPECT_THROW(db->backupTo(file, kDatabaseKey), StoreError);  // its own file
    EXPECT_NO_THROW(db->firstRow("Parametro", {"Idioma"}));

    const fs::path old = dir / "old.mdb";
    { std::ofstream(old) << "an older backup"; }
    EXPECT_THROW(db->backupTo(dir / "no-such-folder" / "copy.mdb", kDatabaseKey), StoreError);
    db->backupTo(old, kDatabaseKey);  // an older copy is replaced whole
    EXPECT_EQ(Database::open(old, kDatabaseKey)->firstRow("Parametro", {"Idioma"}).value("Idioma"),
              Value(3));
}

// Only a regular file is a data file: a FIFO, a device or a folder is refused at once with
// a message that names it, before the key is derived from what it would give.
TEST_F(StoreTest, WhatIsNoRegularFileIsRefusedAtOnce) {
    const fs::path fifo = dir / "fifo.mdb";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ::alarm(30);  // an opening that blocks ends the run instead of hanging it
    for (const fs::path& file : {fifo, fs::path("/dev/zero"), dir}) {
        SCOPED_TRACE(file.string());
        EXPECT_FALSE(RawKeyOf(file, kDatabaseKey));
        for (const auto access : {Database::Access::AsTheFileAllows, Database::Access::ReadOnly})
            try {
                Database::open(file, kDatabaseKey, access);
                ADD_FAILURE() << "opened";
            } catch (const StoreError& e) {
                EXPECT_EQ(e.kind, StoreError::Kind::Other);
                EXPECT_NE(std::string(e.what()).find("comum"), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos);
            }
    }
    ::alarm(0);
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);  // and nothing was written there
}

// An error says what happened: a file another program holds or a full file is no damage.
TEST_F(StoreTest, ErrorsCarryWhatHappened) {
    struct Case {
        const char* name;
        std::function<void(Database&, Database& other)> act;
        StoreError::Kind kind;
    };
    const std::vector<Case> cases{
        {"another program holds the file",
         [](Database& db, Database& other) {
             other.execute("BEGIN EXCLUSIVE");
             db.update("Fatores", 1, {{"Fator", Value("x")}});
         },
         StoreError::Kind::Locked},
        {"the file is full",
         [](Database& db, Database&) {
             db.execute("PRAGMA max_page_count = 1");  // as large as the file is now
             db.execute("UPDATE Prop1 SET Proposicao = hex(randomblob(900))");
         },
         StoreError::Kind::Full},
        {"a table is missing",
         [](Database& db, Database&) {
             db.execute("DROP TABLE Prop2");
             db.firstRows("Prop2", {"N01"}, 1);
         },
         StoreError::Kind::Damaged},
        {"a row is missing",
         [](Database& db, Database&) {
             db.execute("DELETE FROM Fatores WHERE Id > 2");
             db.firstRows("Fatores", {"Fator"}, 8);
         },
         StoreError::Kind::Damaged},
        {"a backup into no folder",
         [this](Database& db, Database&) {
             db.backupTo(dir / "no-such-folder" / "copia.mdb", kDatabaseKey);
         },
         StoreError::Kind::Other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(file);
        fs::remove(file.string() + "-wal");
        fs::remove(file.string() + "-shm");
        auto db = delivered();
        auto other = Database::open(file, kDatabaseKey);
        try {
            c.act(*db, *other);
            ADD_FAILURE() << "no error";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.kind, c.kind) << e.what();
        }
        other->rollback();
    }
}

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "decision/decision.h"
#include "store/schema.h"
#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;
using namespace vpl;
using decision::PropositionCount;
using store::Value;

namespace {

class DecisionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store::createDeliveredFile(file);
        db = store::Database::open(file, store::kDatabaseKey);
    }
    void TearDown() override { db.reset(); }

    const test::ScratchFolder dir{"vpl-decision"};
    const fs::path file = dir.path() / store::kDataFileName;
    std::unique_ptr<store::Database> db;
};

const core::NumberLocale kComma{','};

TEST_F(DecisionTest, TheStoredFactorCountIsReadByOneRule) {
    struct Case {
        Value stored;
        std::optional<int> analysed;
        std::int16_t asInteger;
        int covered;
    } cases[] = {
        {Value("6"), 6, 6, 6},
        {Value(" 5,0 "), 5, 5, 5},  // the user's locale
        {Value("5,0x"), 4, 4, 4},    // not a number: counts 4
        {Value(), 4, 4, 4},
        {Value(4.5), std::nullopt, 4, 4},  // half to even, as a 16-bit read rounds
        {Value(3.5), std::nullopt, 4, 4},
        {Value(1), std::nullopt, 1, 1},
        {Value(9), std::nullopt, 9, 8},
        {Value(-3), std::nullopt, -3, 0},
        {Value(1e9), std::nullopt, 32767, 8},
    };
    for (const Case& c : cases) {
        db->updateFirst("Parametro", 1, {{"Fatores", c.stored}});
        const decision::FactorCount count = decision::ReadFactorCount(*db, kComma);
        const std::string seen = c.stored.toText().value_or("NULL");
        EXPECT_EQ(count.analysed(), c.analysed) << seen;
        EXPECT_EQ(count.asInteger(), c.asInteger) << seen;
        EXPECT_EQ(count.factorsCovered(), c.covered) << seen;
    }
}

TEST_F(DecisionTest, TheNumberOfPropositionsIsReadByOneRule) {
    using State = PropositionCount::State;
    struct Case {
        Value stored;
        State state;
        int rowsShown;  // -1: InvalidDataError
    } cases[] = {
        {Value(), State::Missing, 4},      {Value(""), State::Missing, 4},
        {Value("  "), State::Missing, 4},  {Value("0"), State::Valid, 0},
        {Value("99"), State::Valid, 99},   {Value("7,0"), State::Valid, 7},
        {Value(12), State::Valid, 12},     {Value("100"), State::Invalid, -1},
        {Value("-1"), State::Invalid, -1}, {Value("2,5"), State::Invalid, -1},
        {Value("abc"), State::Invalid, -1},
    };
    for (const Case& c : cases) {
        db->update("Fatores", 3, {{"Prop", c.stored}});
        const decision::Factor factor = decision::ReadFactor(*db, 3);
        const std::string seen = c.stored.toText().value_or("NULL");
        EXPECT_EQ(factor.propositionCount(kComma).state, c.state) << seen;
        if (c.rowsShown >= 0)
            EXPECT_EQ(factor.rowsShown(kComma), c.rowsShown) << seen;
        else
            EXPECT_THROW(factor.rowsShown(kComma), decision::InvalidDataError) << seen;
    }
}

TEST_F(DecisionTest, AStoredCountThatIsNoWholeNumberIsKeptButNotCounted) {
    db->update("Prop2", 1, {{"N01", 3}, {"N02", 2.5}, {"N03", -1}, {"N04", 0}, {"N05", 7}});
    const decision::Proposition p = decision::ReadPropositions(*db, 2, 1).front();
    EXPECT_EQ(p.stored[1], 2.5);
    EXPECT_EQ(p.counts(), (core::Counts{3, 0, 0, 0, 7}));
    db->update("Prop2", 1, {{"N01", "abc"}});
    EXPECT_THROW(decision::ReadPropositions(*db, 2, 1), store::StoreError);
}

TEST_F(DecisionTest, ACountAndItsDegreesAreWrittenTogetherOrNotAtAll) {
    const std::int64_t seen = db->dataVersion();
    decision::SaveCount(*db, 1, 1, 4, 9, core::StoredDegrees{0.75, 0.25}, seen);
    const decision::Factor factor = decision::ReadFactor(*db, 1);
    EXPECT_EQ(decision::ReadPropositions(*db, 1, 1).front().stored[3], 9);
    EXPECT_EQ(factor.degrees(), std::pair(0.75, 0.25));

    // Another program's commit since the window read the file: neither is written.
    {
        auto other = store::Database::open(file, store::kDatabaseKey);
        other->update("Prop5", 1, {{"N01", 1}});
    }
    EXPECT_THROW(decision::SaveCount(*db, 1, 1, 4, 10, core::StoredDegrees{0.5, 0.5}, seen),
                 store::ChangedElsewhere);
    EXPECT_EQ(decision::ReadPropositions(*db, 1, 1).front().stored[3], 9);
    EXPECT_EQ(decision::ReadFactor(*db, 1).degrees(), std::pair(0.75, 0.25));
}

TEST_F(DecisionTest, AReplacementStoresTheDegreesOfItsCountsAndBlanksTheRest) {
    db->update("Prop1", 3, {{"Proposicao", "old"}, {"N05", 8}});
    const std::vector<decision::NewProposition> rows{{"A", {1, 0, 2, 0, 1}}, {"B", {0, 3, 0, 0, 1}}};
    decision::ReplacePropositions(*db, 1, rows);
    const decision::Factor factor = decision::ReadFactor(*db, 1);
    EXPECT_EQ(factor.propositionCount({}).count, 2);
    const std::vector<core::Counts> counts{rows[0].counts, rows[1].counts};
    const core::StoredDegrees degrees = core::DegreesOf(counts);
    EXPECT_EQ(factor.degrees(), std::pair(degrees.Mi1, degrees.Mi2));
    const decision::Proposition third = decision::ReadPropositions(*db, 1, 3).back();
    EXPECT_EQ(third.text, Value(""));
    EXPECT_EQ(third.counts(), core::Counts{});
}

TEST_F(DecisionTest, FactorsReplacedTogetherKeepTheirOwnRowsAndTitles) {
    db->update("Fatores", 2, {{"Fator", "Velho"}});
    db->update("Prop4", 1, {{"Proposicao", "fica"}, {"N02", 5}});
    EXPECT_FALSE(decision::FactorHoldsData(*db, 3));
    db->update("Prop3", 7, {{"N04", 1}});
    EXPECT_TRUE(decision::FactorHoldsData(*db, 3));
    decision::ReplaceFactors(*db, {{1, std::string("Custos"), {{"A", {1, 0, 0, 0, 0}}}},
                                   {2, std::nullopt, {{"B", {0, 2, 0, 0, 0}}, {"C", {0, 0, 3, 0, 0}}}},
                                   {3, std::string("Prazos"), {{"D", {0, 0, 0, 0, 4}}}}});
    const std::vector<decision::Factor> factors = decision::ReadFactors(*db, 4);
    EXPECT_EQ(factors[0].title, Value("Custos"));
    EXPECT_EQ(factors[1].title, Value("Velho"));  // no title chosen: it stays
    EXPECT_EQ(factors[2].title, Value("Prazos"));
    EXPECT_EQ(factors[1].propositionCount({}).count, 2);
    EXPECT_EQ(decision::ReadPropositions(*db, 2, 2)[1].counts(), (core::Counts{0, 0, 3, 0, 0}));
    EXPECT_EQ(decision::ReadPropositions(*db, 3, 7)[6].counts(), core::Counts{});
    EXPECT_EQ(decision::ReadPropositions(*db, 4, 1)[0].text, Value("fica"));
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(DecisionTest, TheSettingsAreReadByOneRule) {
    db->execute("ALTER TABLE Parametro ADD COLUMN Exigencia REAL");
    db->execute("ALTER TABLE Fatores ADD COLUMN Peso INTEGER");
    struct Case {
        int factor;  // 0: the level, else the weight of that factor
        Value stored;
        std::optional<int> read;  // none: read as the default and listed
    } cases[] = {
        {0, Value(0.57), 57},   {0, Value(1), 100},    {0, Value(0.555), 56},
        {0, Value("0,75"), 75}, {0, Value(1.004), {}}, {0, Value(-0.001), {}},
        {0, Value("x"), {}},    {0, Value(), {}},      {6, Value(10), 10},
        {6, Value("3,0"), 3},   {6, Value(0), {}},     {6, Value(11), {}},
        {6, Value(2.5), {}},    {6, Value("x"), {}},   {6, Value(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.factor) + ": " + decision::ShownValue(c.stored));
        db->updateFirst("Parametro", 1, {{"Exigencia", c.factor ? Value(0.5) : c.stored}});
        db->execute("UPDATE Fatores SET Peso = 1");
        if (c.factor) db->update("Fatores", c.factor, {{"Peso", c.stored}});
        const decision::DecisionSettings settings = decision::ReadDecisionSettings(*db, kComma);
        EXPECT_EQ(
            c.factor ? settings.weights[c.factor - 1] : settings.requirement,
            c.read.value_or(c.factor ? decision::kDefaultWeight : decision::kDefaultRequirement));
        const std::vector<decision::SettingProblem> problems{{c.factor, c.stored}};
        EXPECT_EQ(settings.problems, c.read ? decltype(problems){} : problems);
        EXPECT_EQ(decision::ReadFactorsForm(*db, kComma).settings.problems, settings.problems);
    }
}

// A field comes with the first save that writes a value into it, or not at all; a file that
// has it still serves a program that knows only the first fields.
TEST_F(DecisionTest, AFieldComesOnlyWithTheSaveThatSetsIt) {
    db->execute(
        "CREATE TRIGGER refuse BEFORE UPDATE ON Fatores WHEN NEW.Id = 8 "
        "BEGIN SELECT RAISE(ABORT, 'Fatores bloqueada'); END");
    db.reset();
    const std::string before = bytesOf(file);
    db = store::Database::open(file, store::kDatabaseKey);
    const decision::FactorsForm read = decision::ReadFactorsForm(*db, kComma);
    decision::FactorsForm typed = read;
    typed.settings.requirement = 80;  // written before the row that fails
    typed.titles[7] = "Prazo";
    EXPECT_THROW(decision::SaveFactorsForm(*db, read, typed, db->dataVersion()), store::StoreError);
    db.reset();
    EXPECT_EQ(bytesOf(file), before);

    db = store::Database::open(file, store::kDatabaseKey);
    typed = read;
    typed.titles[0] = "Custo";  // the defaults kept
    decision::SaveFactorsForm(*db, read, typed, db->dataVersion());
    EXPECT_FALSE(db->hasField("Parametro", "Exigencia"));
    decision::FactorsForm level = typed;
    level.settings.requirement = 80;
    decision::SaveFactorsForm(*db, typed, level, db->dataVersion());
    EXPECT_FALSE(db->hasField("Fatores", "Peso"));
    EXPECT_EQ(decision::ReadDecisionSettings(*db, kComma).requirement, 80);
    db->execute("INSERT INTO Parametro (Id, Idioma, Fatores, versaoBD) VALUES (2, 3, 4, '')");
    EXPECT_EQ(db->rowByKey("Parametro", {"Exigencia"}, 2)->value("Exigencia"), Value(0.5));
}

}  // namespace

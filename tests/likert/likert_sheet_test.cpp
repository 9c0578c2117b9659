#include "decision/likert_sheet.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace vpl::decision {
namespace {

using store::Value;
using Counts = std::array<double, store::kLikertPoints>;

constexpr core::NumberLocale kDot{'.'};
constexpr core::NumberLocale kComma{','};
constexpr char32_t kReach = '\n';  // in a key sequence: the cell is reached anew

Proposition row(store::Key key, Value text, Counts stored) {
    Proposition p;
    p.key = key;
    p.text = std::move(text);
    p.stored = stored;
    return p;
}

LikertSheet loaded(std::vector<Proposition> rows, Value mi1 = 0.0, Value mi2 = 0.0,
                   core::NumberLocale locale = kDot) {
    LikertSheet sheet(locale);
    sheet.load(1, std::move(rows), mi1, mi2);
    return sheet;
}

// Reaches the cell, then types each key into it.
void type(LikertSheet& sheet, int r, int cell, std::u32string_view keys) {
    sheet.reachCell();
    for (const char32_t key : keys) {
        if (key == kReach)
            sheet.reachCell();
        else
            sheet.type(r, cell, static_cast<int>(key));
    }
}

// A row's cell texts, the proposition first, "|" between them.
std::string rowTexts(const LikertSheet& sheet, int r) {
    std::string texts = sheet.text(r, 0);
    for (int c = 1; c < LikertSheet::kCells; ++c) texts += "|" + sheet.text(r, c);
    return texts;
}

TEST(LikertSheet, StoredValuesAreShownAndCountedByOneRule) {
    struct Case {
        core::NumberLocale locale;
        Value text;
        Counts stored;
        const char* texts;
        const char* total;
        core::Counts counts;
        std::vector<int> unreadable;  // points
    };
    const std::vector<Case> cases = {
        {kDot, "Preço", {1, 2, 3, 4, 5}, "Preço|01|02|03|04|05", "15", {1, 2, 3, 4, 5}, {}},
        {kDot, "", {0, 0, 0, 0, 0}, "|||||", "", {}, {}},
        {kDot, Value(), {0, 0, 5, 0, 0}, "|00|00|05|00|00", "5", {0, 0, 5, 0, 0}, {}},
        {kDot, Value(42), {}, "42|||||", "", {}, {}},
        {kDot, "", {2.5, 0, 1, 0, 0}, "|2.5|00|01|00|00", "3.5", {0, 0, 1, 0, 0}, {1}},
        {kComma, "", {2.5, 0, 1, 0, 0}, "|2,5|00|01|00|00", "3,5", {0, 0, 1, 0, 0}, {1}},
        {kDot,
         "",
         {2147483648.0, 0, 0, 3, 0},
         "|2147483648|00|00|03|00",
         "2147483651",
         {0, 0, 0, 3, 0},
         {1}},
        // A total that reads as no answer: the readable counts show empty and count 0.
        {kDot, "", {5, -5, 0, 0, 0}, "||-5|||", "", {}, {2}},
        {kComma, "", {0.5, 0, 0, 0, 0}, "|0,5||||", "", {}, {1}},
        {kDot, "", {0.5, 0, 0, 0, 0}, "|0.5|00|00|00|00", "0.5", {}, {1}},
        // As a screen shows it: no byte order mark, U+FFFD for a byte of no character.
        {kDot,
         "\xEF\xBB\xBFOi\xFF\xC3(\xC3\xA9",
         {},
         "Oi\xEF\xBF\xBD\xEF\xBF\xBD(\xC3\xA9|||||",
         "",
         {},
         {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Case& c = cases[i];
        const LikertSheet sheet = loaded({row(7, c.text, c.stored)}, 0.0, 0.0, c.locale);
        EXPECT_EQ(rowTexts(sheet, 0), c.texts);
        EXPECT_EQ(sheet.storedTotalText(0), c.total);
        EXPECT_EQ(sheet.counts()[0], c.counts);
        std::vector<int> unreadable;
        for (int p = 1; p <= store::kLikertPoints; ++p)
            if (!sheet.readable(0, p)) unreadable.push_back(p);
        EXPECT_EQ(unreadable, c.unreadable);
        EXPECT_EQ(sheet.everyCountReadable(), c.unreadable.empty());
    }
}

TEST(LikertSheet, KeysFollowTheCellsRule) {
    struct Case {
        int cell;
        std::u32string keys;  // typed after reaching the cell
        std::string text;
    };
    // The cells hold "Texto", "03", "2.5" (unreadable), "00", "00" and "00" before the keys.
    const std::vector<Case> cases = {
        {1, U"12", "12"},   // the first digit starts a new count
        {1, U"x5", "5"},    // a refused key leaves the cell just reached
        {1, U"\b5", "05"},  // backspace takes a character off, and the cell is no longer new
        {1, U"\b\b\b", ""},
        {1, U"5\n55", "55"},  // a digit that changes nothing also ends the fresh cell
        {1, U"1x,.- é2", "12"},
        {1, U"\x1b\t\r", "03"},
        {1, U"2147483647", "2147483647"},
        {1, U"21474836470", "2147483647"},
        {1, U"99999999999", "999999999"},
        {2, U"\b", "2."},
        {2, U"7", "7"},
        {4, U"\b", "0"},
        {4, U"0", "0"},
        {0, U"x,. é", "Textox,. é"},
        {0, U"9", "Texto9"},
        {0, U"é\b\b", "Text"},
        {0, U"\U0001F600\b", "Texto"},
        {0, U"\x1b\t\r\x1a", "Texto"},
        {0, U"\uFEFF", "Texto"},  // reaches the grid as a byte order mark
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        LikertSheet sheet = loaded({row(1, "Texto", {3, 2.5, 0, 0, 0})});
        type(sheet, 0, cases[i].cell, cases[i].keys);
        EXPECT_EQ(sheet.text(0, cases[i].cell), cases[i].text);
    }
    LikertSheet sheet = loaded({row(1, "", {})});
    EXPECT_FALSE(sheet.type(1, 1, '5'));  // past the last row
    EXPECT_FALSE(sheet.type(0, LikertSheet::kCells, '5'));
    EXPECT_FALSE(sheet.canUndo());
}

// The sums are kept per key; whatever is typed, they are the sums of the counts the cells
// give, and the evidence and degrees are those of the counts.
TEST(LikertSheet, RunningSumsAlwaysMatchTheCounts) {
    std::mt19937 random(11);
    const std::u32string keys = U"0123456789\b\b\bx";
    LikertSheet sheet = loaded(
        {row(1, "", {1, 2, 3, 4, 5}), row(2, "", {2.5, 0, -1, 0, 0}), row(3, "", {0, 0, 0, 0, 0})});
    int r = 0, cell = 1;
    for (int step = 0; step < 3000; ++step) {
        if (random() % 4 == 0) {  // on to another cell, which the next digit replaces
            r = static_cast<int>(random() % 3);
            cell = 1 + static_cast<int>(random() % store::kLikertPoints);
            sheet.reachCell();
        }
        if (random() % 7 == 0 && sheet.canUndo()) {
            std::tie(r, cell) = sheet.undoKey();  // the window moves to the cell put back
            sheet.reachCell();
        } else
            sheet.type(r, cell, static_cast<int>(keys[random() % keys.size()]));

        double grand = 0;
        for (int p = 1; p <= store::kLikertPoints; ++p) {
            double sum = 0;
            for (const core::Counts& counts : sheet.counts()) sum += counts[p - 1];
            ASSERT_EQ(sheet.columnSum(p), sum) << "step " << step << ", point " << p;
            grand += sum;
        }
        ASSERT_EQ(sheet.grandTotal(), grand);
        const core::Counts& counts = sheet.counts()[static_cast<std::size_t>(r)];
        ASSERT_EQ(sheet.rowTotal(r), counts[0] + counts[1] + counts[2] + counts[3] + counts[4]);
        ASSERT_EQ(sheet.degrees(), core::DegreesOf(sheet.counts()));
        ASSERT_EQ(sheet.evidence().total, core::ComputeLikertEvidence(sheet.counts()).total);
    }
}

TEST(LikertSheet, EvidenceTextsFollowTheLocale) {
    struct Case {
        core::NumberLocale locale;
        std::vector<Counts> rows;
        core::LikertTexts texts;
        core::StoredDegrees degrees;
    };
    const std::vector<Case> cases = {
        {kDot,
         {{1, 2, 3, 4, 5}, {0, 0, 2, 6, 2}},
         {"005.5", "019.5", "25", "0.6800", "0.1200"},
         {0.68, 0.12}},
        {kComma,
         {{1, 2, 3, 4, 5}, {0, 0, 2, 6, 2}},
         {"005,5", "019,5", "25", "0,6800", "0,1200"},
         {0.68, 0.12}},
        {kComma, {{0, 0, 31, 1, 0}}, {"015,5", "016,5", "32", "0,0313", "0,0000"}, {0.0313, 0}},
        {kDot, {{0, 0, 0, 0, 0}, {}}, {"000.0", "000.0", "0", std::nullopt, std::nullopt}, {0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<Proposition> rows;
        for (const Counts& counts : c.rows)
            rows.push_back(row(static_cast<store::Key>(rows.size() + 1), "", counts));
        const LikertSheet sheet = loaded(rows, 0.0, 0.0, c.locale);
        const core::LikertTexts texts = sheet.evidenceTexts();
        EXPECT_EQ(texts.df, c.texts.df);
        EXPECT_EQ(texts.cf, c.texts.cf);
        EXPECT_EQ(texts.total, c.texts.total);
        EXPECT_EQ(texts.Mi1, c.texts.Mi1);
        EXPECT_EQ(texts.Mi2, c.texts.Mi2);
        EXPECT_EQ(sheet.degrees(), c.degrees);
    }
}

TEST(LikertSheet, ASaveStoresOnlyWhatDiffersFromTheStoredValues) {
    struct Case {
        const char* name;
        Proposition stored;
        Value mi1, mi2;
        int cell;
        std::u32string keys;
        std::optional<Value> text;                         // the text to store
        std::vector<std::pair<int, std::int32_t>> counts;  // by point
        std::optional<core::StoredDegrees> degrees;
        bool staleOnceStored;
    };
    const std::vector<Case> cases = {
        {"nothing typed", row(5, "Um", {0, 0, 0, 4, 0}), 1.0, 0.0, 0, U"", {}, {}, {}, false},
        {"stale degrees", row(5, "Um", {0, 0, 0, 4, 0}), 0.9, 0.0, 0, U"", {}, {}, {{1, 0}}, false},
        {"NULL degrees", row(5, "Um", {}), Value(), 0.0, 0, U"", {}, {}, {{0, 0}}, false},
        {"text", row(5, "Um", {}), 0.0, 0.0, 0, U"!", Value("Um!"), {}, {}, false},
        {"text typed back", row(5, "Um", {}), 0.0, 0.0, 0, U"!\b", {}, {}, {}, false},
        {"NULL text left empty", row(5, Value(), {}), 0.0, 0.0, 0, U"x\b", {}, {}, {}, false},
        {"number text read the same",
         row(5, Value(42), {}),
         0.0,
         0.0,
         0,
         U"1\b",
         {},
         {},
         {},
         false},
        {"count",
         row(5, "Um", {0, 0, 0, 4, 0}),
         1.0,
         0.0,
         1,
         U"4",
         {},
         {{1, 4}},
         {{0.5, 0.5}},
         false},
        {"count typed as stored",
         row(5, "Um", {0, 0, 0, 4, 0}),
         1.0,
         0.0,
         4,
         U"4",
         {},
         {},
         {},
         false},
        {"count beside an unreadable one",
         row(5, "Um", {0, 2.5, 0, 4, 0}),
         0.9,
         0.0,
         1,
         U"4",
         {},
         {{1, 4}},
         {},
         true},
        {"unreadable typed over",
         row(5, "Um", {0, 2.5, 0, 4, 0}),
         0.9,
         0.0,
         2,
         U"4",
         {},
         {{2, 4}},
         {{0.5, 0.5}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LikertSheet sheet = loaded({row(4, "Zero", {}), c.stored}, c.mi1, c.mi2);
        type(sheet, 1, c.cell, c.keys);
        const LikertSheet::Changes changes = sheet.changes();
        EXPECT_EQ(changes.degrees, c.degrees);
        if (!c.text && c.counts.empty()) {
            EXPECT_TRUE(changes.propositions.empty());
        } else {
            ASSERT_EQ(changes.propositions.size(), 1u);
            EXPECT_EQ(changes.propositions[0].key, 5);
            EXPECT_EQ(changes.propositions[0].text, c.text);
            EXPECT_EQ(changes.propositions[0].counts, c.counts);
        }
        // Once stored, nothing differs any more.
        sheet.stored(changes);
        EXPECT_TRUE(sheet.changes().empty());
        EXPECT_EQ(sheet.degreesStale(), c.staleOnceStored);
    }
}

TEST(LikertSheet, AKeysWriteHoldsItsCountAndTheDegreesThatChanged) {
    struct Case {
        const char* name;
        Counts stored;
        Value mi1, mi2;
        int point;
        std::u32string keys;
        std::optional<std::int32_t> count;  // nothing: no write
        std::optional<core::StoredDegrees> degrees;
    };
    const std::vector<Case> cases = {
        {"count and degrees", {0, 0, 0, 4, 0}, 1.0, 0.0, 1, U"4", 4, {{0.5, 0.5}}},
        {"degrees as stored", {0, 0, 0, 4, 0}, 1.0, 0.0, 5, U"2", 2, {}},
        {"count as stored", {0, 0, 0, 4, 0}, 0.3, 0.3, 4, U"4", {}, {}},
        {"an unreadable count left", {0, 2.5, 0, 4, 0}, 0.3, 0.3, 1, U"4", 4, {}},
        {"the unreadable count typed over", {0, 2.5, 0, 4, 0}, 0.3, 0.3, 2, U"4", 4, {{0.5, 0.5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LikertSheet sheet = loaded({row(9, "", c.stored)}, c.mi1, c.mi2);
        type(sheet, 0, c.point, c.keys);
        const std::optional<LikertSheet::CountWrite> write = sheet.countToStore(0, c.point);
        ASSERT_EQ(write.has_value(), c.count.has_value());
        if (!write) continue;
        EXPECT_EQ(write->proposition, 9);
        EXPECT_EQ(write->point, c.point);
        EXPECT_EQ(write->count, *c.count);
        EXPECT_EQ(write->degrees, c.degrees);
        // A write that failed leaves both for the next key; one that worked, nothing.
        EXPECT_EQ(sheet.countToStore(0, c.point)->degrees, c.degrees);
        sheet.stored(*write);
        EXPECT_FALSE(sheet.countToStore(0, c.point));
        EXPECT_EQ(sheet.changes().degrees, std::nullopt);
    }
    LikertSheet none(kDot, 2);  // no factor: typing is summed and never stored
    type(none, 1, 3, U"5");
    EXPECT_EQ(none.columnSum(3), 5);
    EXPECT_FALSE(none.countToStore(1, 3));
    EXPECT_TRUE(none.changes().empty());
    EXPECT_FALSE(none.degreesStale());
}

TEST(LikertSheet, StoredDegreesAreStaleWhenTheCountsGiveOthers) {
    struct Case {
        const char* name;
        Value mi1, mi2;
        bool stale;
    };
    const std::vector<Case> cases = {
        {"as the counts give", 0.2, 0.8, false},
        {"belief", 0.9, 0.8, true},
        {"disbelief", 0.2, 0.0, true},
        {"NULL", Value(), 0.8, true},
        {"a text", 0.2, "0.8", true},
        {"unrounded", 0.2000001, 0.8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LikertSheet sheet = loaded({row(1, "", {8, 0, 0, 2, 0})}, c.mi1, c.mi2);
        EXPECT_EQ(sheet.degreesStale(), c.stale);
        // A key that stores the degrees the counts give ends it.
        type(sheet, 0, 1, U"4");
        sheet.stored(*sheet.countToStore(0, 1));
        EXPECT_FALSE(sheet.degreesStale());
    }
}

TEST(LikertSheet, UndoPutsBackOneKeyAfterTheOther) {
    LikertSheet sheet = loaded({row(1, "Um", {5, 0, 0, 3, 0}), row(2, "", {})});
    type(sheet, 0, 1, U"12");
    type(sheet, 1, 4, U"7");
    type(sheet, 0, 0, U"!");
    type(sheet, 0, 1, U"x");  // refused: nothing to undo

    const std::vector<std::pair<int, int>> cells = {{0, 0}, {1, 4}, {0, 1}, {0, 1}};
    const std::vector<std::string> texts = {"Um", "", "1", "05"};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        ASSERT_TRUE(sheet.canUndo());
        EXPECT_EQ(sheet.importToUndo(), nullptr);
        EXPECT_EQ(sheet.undoKey(), cells[i]);
        EXPECT_EQ(sheet.text(cells[i].first, cells[i].second), texts[i]);
    }
    EXPECT_FALSE(sheet.canUndo());
    EXPECT_EQ(sheet.counts()[0], (core::Counts{5, 0, 0, 3, 0}));
    EXPECT_EQ(sheet.columnSum(4), 3);
    EXPECT_FALSE(sheet.countToStore(0, 1));

    // The last steps are kept; the oldest go.
    for (std::size_t i = 0; i < LikertSheet::kUndoSteps + 1; ++i) type(sheet, 1, 0, U"a");
    std::size_t undone = 0;
    for (; sheet.canUndo(); ++undone) sheet.undoKey();
    EXPECT_EQ(undone, LikertSheet::kUndoSteps);
    EXPECT_EQ(sheet.text(1, 0), "a");
}

TEST(LikertSheet, ALoadStartsWithNothingToUndoButAnImport) {
    LikertSheet sheet = loaded({row(1, "", {5, 0, 0, 0, 0})});
    type(sheet, 0, 1, U"9");
    sheet.load(3, {row(1, "", {5, 0, 0, 0, 0})}, 1.0, 0.0);
    EXPECT_FALSE(sheet.canUndo());
    EXPECT_EQ(sheet.factor(), 3);
    // The current cell has not moved: the next digit adds to the count loaded.
    sheet.type(0, 1, '1');
    EXPECT_EQ(sheet.text(0, 1), "051");

    sheet.load(3, {row(1, "", {16, 0, 0, 4, 0})}, 0.2, 0.8);
    sheet.importedOver(FactorSnapshot{3, {}});
    type(sheet, 0, 1, U"2");
    EXPECT_EQ(sheet.importToUndo(), nullptr);  // the key goes back first
    sheet.undoKey();
    ASSERT_NE(sheet.importToUndo(), nullptr);
    EXPECT_EQ(sheet.importToUndo()->factor, 3);
}

}  // namespace
}  // namespace vpl::decision

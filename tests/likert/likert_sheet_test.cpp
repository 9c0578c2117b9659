#include "decision/likert_sheet.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
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
    // The cells hold "Texto", "03", "2147483648" (unreadable), "00", "00" and "00" before the
    // keys, in either locale.
    const std::vector<Case> cases = {
        {1, U"12", "12"},   // the first digit starts a new count
        {1, U"x5", "5"},    // a refused key leaves the cell just reached
        {1, U"\b5", "05"},  // backspace takes a character off, and the cell is no longer new
        {1, U"\b\b\b", ""},
        {1, U"5\n55", "55"},  // a digit that changes nothing also ends the fresh cell
        {1, U"1x,.- é2", "12"},
        {1, U"\x1b\t\r", "03"},
        {1, U"21474836470", "2147483647"},
        {2, U"\b", "214748364"},
        {2, U"7", "7"},
        {0, U"x,. é9", "Textox,. é9"},
        {0, U"é\b\b", "Text"},
        {0, U"\U0001F600\b", "Texto"},
        {0, U"\x1b\t\r\x1a", "Texto"},
        {0, U"\uFEFF", "Texto"},  // reaches the grid as a byte order mark
    };
    for (const core::NumberLocale locale : {kDot, kComma}) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE("case " + std::to_string(i) + ", decimal " + locale.decimalSeparator);
            LikertSheet sheet =
                loaded({row(1, "Texto", {3, 2147483648.0, 0, 0, 0})}, 0.0, 0.0, locale);
            type(sheet, 0, cases[i].cell, cases[i].keys);
            EXPECT_EQ(sheet.text(0, cases[i].cell), cases[i].text);
        }
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

// One favourable answer in 32: the degree as shown, rounded to four places, is the one kept.
TEST(LikertSheet, TheEvidenceIsShownInTheLocaleAndKeptAsShown) {
    const LikertSheet sheet =
        loaded({row(1, "", {0, 0, 30, 1, 0}), row(2, "", {0, 0, 1, 0, 0})}, 0.0, 0.0, kComma);
    const core::LikertTexts t = sheet.evidenceTexts();
    EXPECT_EQ(
        t.df + "|" + t.cf + "|" + t.total + "|" + t.Mi1.value_or("") + "|" + t.Mi2.value_or(""),
        "015,5|016,5|32|0,0313|0,0000");
    EXPECT_EQ(sheet.degrees(), (core::StoredDegrees{0.0313, 0}));
    // Without answers there are no degrees to show, and 0 and 0 to keep.
    const LikertSheet none = loaded({row(1, "", {})});
    EXPECT_EQ(none.evidenceTexts().Mi1, std::nullopt);
    EXPECT_EQ(none.degrees(), (core::StoredDegrees{0, 0}));
}

// What a write holds, as "key: text T, point=count; degrees Mi1 Mi2".
std::string written(const std::vector<PropositionChange>& rows,
                    const std::optional<core::StoredDegrees>& degrees) {
    std::ostringstream out;
    for (const PropositionChange& change : rows) {
        out << change.key << ":";
        if (change.text) out << " text " << change.text->toText().value_or("NULL");
        for (const auto& [point, count] : change.counts) out << " " << point << "=" << count;
        out << "; ";
    }
    if (degrees) out << "degrees " << degrees->Mi1 << " " << degrees->Mi2;
    return out.str();
}

std::string written(const std::optional<LikertSheet::CountWrite>& write) {
    if (!write) return "";
    return written({{write->proposition, std::nullopt, {{write->point, write->count}}}},
                   write->degrees);
}

TEST(LikertSheet, AKeyAndASaveWriteWhatDiffersFromTheStoredValues) {
    struct Case {
        Proposition stored;
        Value mi1;  // Mi2 is stored as 0
        int cell;
        std::u32string keys;
        const char* key;   // what the key writes
        const char* save;  // what a save then writes
        bool staleOnceSaved;
    };
    const Counts fourC{0, 0, 0, 4, 0};
    const Counts unreadableD{0, 2.5, 0, 4, 0};
    const std::vector<Case> cases = {
        {row(5, "Um", fourC), 1.0, 0, U"", "", "", false},
        {row(5, "Um", fourC), 0.9, 0, U"", "", "degrees 1 0", false},
        {row(5, "Um", {}), Value(), 0, U"", "", "degrees 0 0", false},
        {row(5, "Um", {}), 0.0, 0, U"!", "", "5: text Um!; ", false},
        {row(5, "Um", {}), 0.0, 0, U"!\b", "", "", false},
        // A NULL or a number stored as the text stays while the text reads the same.
        {row(5, Value(), {}), 0.0, 0, U"x\b", "", "", false},
        {row(5, Value(42), {}), 0.0, 0, U"1\b", "", "", false},
        {row(5, "Um", fourC), 1.0, 1, U"4", "5: 1=4; degrees 0.5 0.5", "5: 1=4; degrees 0.5 0.5",
         false},
        {row(5, "Um", fourC), 1.0, 5, U"2", "5: 5=2; ", "5: 5=2; ", false},
        {row(5, "Um", fourC), 1.0, 4, U"4", "", "", false},
        // Counts the sheet cannot read give no degrees: the stored ones stay, and are stale.
        {row(5, "Um", unreadableD), 0.9, 1, U"4", "5: 1=4; ", "5: 1=4; ", true},
        {row(5, "Um", unreadableD), 0.9, 2, U"4", "5: 2=4; degrees 0.5 0.5",
         "5: 2=4; degrees 0.5 0.5", false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const Case& c = cases[i];
        LikertSheet sheet = loaded({row(4, "Zero", {}), c.stored}, c.mi1, 0.0);
        type(sheet, 1, c.cell, c.keys);
        const std::optional<LikertSheet::CountWrite> key =
            c.cell == LikertSheet::kTextCell ? std::nullopt : sheet.countToStore(1, c.cell);
        EXPECT_EQ(written(key), c.key);
        const LikertSheet::Changes changes = sheet.changes();
        EXPECT_EQ(written(changes.propositions, changes.degrees), c.save);

        // Once the key's write is stored, it leaves the save nothing of its own to write.
        if (key) {
            LikertSheet afterKey = sheet;
            afterKey.stored(*key);
            const LikertSheet::Changes rest = afterKey.changes();
            EXPECT_EQ(written(rest.propositions, rest.degrees), "");
        }
        sheet.stored(changes);
        EXPECT_TRUE(sheet.changes().empty());
        EXPECT_EQ(sheet.degreesStale(), c.staleOnceSaved);
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
        Value mi1, mi2;
        bool stale;
    };
    const std::vector<Case> cases = {
        {0.2, 0.8, false},    {0.9, 0.8, true},   {0.2, 0.0, true},
        {Value(), 0.8, true}, {0.2, "0.8", true}, {0.2000001, 0.8, true},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        LikertSheet sheet = loaded({row(1, "", {8, 0, 0, 2, 0})}, cases[i].mi1, cases[i].mi2);
        EXPECT_EQ(sheet.degreesStale(), cases[i].stale);
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

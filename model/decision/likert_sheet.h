#pragma once

// One factor's sheet of Likert answers as the Likert window edits it: the propositions as
// stored, the texts of their cells as typed, the counts those give and what follows from
// them, and what a write has to store. It writes nothing itself.

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/counts.h"
#include "core/likert_evidence.h"
#include "core/number_text.h"
#include "decision/decision.h"

namespace vpl::decision {

class LikertSheet {
  public:
    // The cells of a row: the proposition's text, then its counts of points 1 to 5.
    static constexpr int kTextCell = 0;
    static constexpr int kCells = store::kLikertPoints + 1;
    // Enough for a long session of typing; older steps are dropped.
    static constexpr std::size_t kUndoSteps = 200;

    // The write a typed count needs, together with the factor's degrees when they changed.
    struct CountWrite {
        int row = 0;
        store::Key proposition = 0;
        int point = 0;
        std::int32_t count = 0;
        std::optional<core::StoredDegrees> degrees;
    };

    // Everything that differs from the stored values: the changed rows and the degrees.
    struct Changes {
        std::vector<PropositionChange> propositions;
        std::optional<core::StoredDegrees> degrees;
        bool empty() const { return propositions.empty() && !degrees; }
    };

    // `rows` blank rows of no factor: they take typing and sum it, and store nothing.
    explicit LikertSheet(core::NumberLocale locale = {}, int rows = 0);

    // The factor as read; the steps to undo belong to the one shown before. Whether the next
    // digit starts a new count stays: the current cell has not moved.
    void load(int factor, std::vector<Proposition> stored, const store::Value& mi1,
              const store::Value& mi2);

    int factor() const { return factor_; }  // 0: none
    int rows() const { return static_cast<int>(texts_.size()); }

    // A cell's text as typed, or as the stored value shows.
    const std::string& text(int row, int cell) const;
    // A stored count that is no whole count of answers stays shown as stored and out of the
    // sums, until the user types over it.
    bool readable(int row, int point) const;
    bool everyCountReadable() const { return unreadable_ == 0; }
    // The counts the cells give, an empty or unreadable cell 0.
    const std::vector<core::Counts>& counts() const { return counts_; }
    double rowTotal(int row) const;
    double columnSum(int point) const { return columnSums_[point - 1]; }
    double grandTotal() const;
    // A row's total of the stored counts as loaded; empty when it reads as no answer.
    std::string storedTotalText(int row) const;

    const core::LikertEvidence& evidence() const { return evidence_; }
    core::LikertTexts evidenceTexts() const;
    // The degrees the counts give, as the factor keeps them.
    const core::StoredDegrees& degrees() const { return degrees_; }
    // The stored degrees do not follow from the counts shown.
    bool degreesStale() const;
    std::optional<core::AnswerSpread> unevenAnswers() const;

    // The current cell has moved, or been clicked: the next digit typed starts a new count.
    void reachCell() { fresh_ = true; }
    // A key typed into a cell: a printable character adds to a text; a digit adds to a count
    // while the count fits 32 bits; backspace takes off the last character. True when the
    // cell's text changed, which can then be undone.
    bool type(int row, int cell, int keyAscii);

    // The count of a cell when it differs from the stored one; nothing for no factor.
    std::optional<CountWrite> countToStore(int row, int point) const;
    void stored(const CountWrite& write);
    Changes changes() const;
    void stored(const Changes& changes);

    bool canUndo() const { return !undo_.empty(); }
    // The rows an import replaced, when the last step is an import; it stays until the
    // sheet is loaded anew.
    const FactorSnapshot* importToUndo() const;
    // When the last step is a key: puts back the text of its cell and gives its row and cell.
    std::pair<int, int> undoKey();
    // After an import into the factor, loaded anew: one step puts every row back.
    void importedOver(FactorSnapshot before);

  private:
    // What Ctrl+Z puts back: a cell's text before a key, or the rows before an import.
    struct UndoStep {
        int row = 0;
        int cell = 0;
        std::string before;
        std::optional<FactorSnapshot> beforeImport;
    };

    void edit(int row, int cell, std::string text);
    std::optional<core::StoredDegrees> degreesToWrite() const;
    void keepDegrees(const std::optional<core::StoredDegrees>& written);
    void follow();  // the evidence after a count changed

    core::NumberLocale locale_;
    int factor_ = 0;
    std::vector<Proposition> stored_;
    std::optional<double> storedMi1_, storedMi2_;
    std::vector<std::array<std::string, kCells>> texts_;
    std::vector<core::Counts> counts_;
    std::vector<std::array<bool, store::kLikertPoints>> unreadableCells_;
    int unreadable_ = 0;
    // Kept running: a key changes one count and one sum, however many rows the factor has.
    std::array<double, store::kLikertPoints> columnSums_{};
    core::LikertEvidence evidence_;
    core::StoredDegrees degrees_;
    bool fresh_ = true;
    std::deque<UndoStep> undo_;  // the last one last
};

}  // namespace vpl::decision

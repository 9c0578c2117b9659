#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decision/factor_import.h"
#include "core/likert_evidence.h"
#include "shell/windows.h"
#include "store/database.h"
#include "store/schema.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vpl {

class FlexGrid;
class Program;

// The Likert window: the answer counts of one factor at a time, written back at every
// key, and the factor's evidence.
class frmTabela : public QDialog {
    Q_OBJECT
  public:
    explicit frmTabela(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    void cmbFator_Click();
    void cmdAnalise_Click();
    void cmdImportar_Click();
    void cmdSair_Click();
    void MSFlexGrid1_KeyPress(int keyAscii);
    void MSFlexGrid1_Click();
    // Ctrl+Z: puts back the last key edit or import of the shown factor, stored rows too.
    void undoLastChange();

  protected:
    // Closing by the title bar or Escape saves the shown factor like the return button.
    void reject() override;

  private:
    // One proposition row as last stored, so that a write touches only what changed.
    using StoredProposition = decision::Proposition;
    // What Ctrl+Z puts back: a cell's text before a key, or the rows before an import.
    struct UndoStep {
        int row = 0;
        int col = 0;
        QString before;
        std::optional<decision::FactorSnapshot> beforeImport;
    };
    struct RowChange {
        std::size_t index;
        StoredProposition after;
        decision::PropositionChange fields;
    };

    void SetUpGrid();
    void loadFactor(int factor);
    void FillLikertGrid();
    void RecalcTotals();
    void RefreshEvidence();
    void SaveShownFactor(int factor);
    Leaving saveBeforeLeaving();
    void importInto(int factor, const QString& path);

    int factorCountOf(const store::Value& nFatores);
    std::vector<RowChange> changedRows() const;
    void moveToNextCell(bool tab);
    void moveToPreviousCell();
    void editCell(int row, int col, const QString& text);
    bool showsEveryCount() const;
    void showUnevenAnswers();
    void showStaleDegrees();
    void showChangedElsewhere(const store::ChangedElsewhere& change);
    bool isPropositionRow(int row) const;
    // The cell's text after the key, or nothing when the key changes nothing there.
    std::optional<QString> typed(const QString& text, int keyAscii, int col) const;
    std::int32_t countOf(const QString& text) const;
    void setCount(int row, int col, std::int32_t count);
    void storeCount(int row, int col);
    std::optional<core::StoredDegrees> degreesToWrite() const;
    void keepStoredDegrees(const std::optional<core::StoredDegrees>& written);
    void showRowTotal(int row);
    void showColumnSum(int col);
    void showGrandTotal();

    Program& program_;
    QComboBox* cmbFator;
    QLabel* lblMsg;
    FlexGrid* MSFlexGrid1;
    QLabel* lblCf;
    QLabel* lblDf;
    QLabel* lblTotal;
    QLabel* lblMi2;
    QLabel* lblMi1;
    QLabel* lblRespostas;  // says when the propositions have different numbers of answers
    QLabel* lblGraus;      // says when the stored degrees do not follow from the answers
    QPushButton* cmdAnalise;
    QPushButton* cmdImportar;
    QPushButton* cmdSair;

    int NumFactors = 0;
    int CurFactor = 0;
    int PrevFactor = 0;  // the factor the grid shows; 0 none
    int NumProps = 0;
    int EditRow = 2;
    int EditCol = 0;
    int MarkRow = 2;
    int MarkCol = 0;
    std::vector<StoredProposition> shown_;  // the rows of PrevFactor as stored
    store::Value storedMi1_, storedMi2_;    // the degrees of PrevFactor as stored
    // The counts the grid shows and their column sums, kept running: a key changes one
    // cell, so it changes one count and one sum, however many rows the factor has.
    std::vector<core::Counts> counts_;
    std::array<double, store::kLikertPoints> columnSums_{};
    // Stored counts the grid cannot take as counts (fractions, negatives, beyond the largest
    // count): shown as stored, left out of the sums, and kept until the user types over them.
    std::vector<std::array<bool, store::kLikertPoints>> unreadable_;
    // The first digit typed after moving to a count cell starts a new count.
    bool freshCell_ = true;
    // The degrees of the counts the grid shows, as the factor keeps them; kept by
    // RefreshEvidence.
    core::StoredDegrees shownDegrees_;
    // The file's data version when the shown factor was read: a write finds out whether
    // another program has written since.
    std::int64_t seenVersion_ = 0;
    std::vector<UndoStep> undo_;  // the shown factor's changes, the last one last
};

}  // namespace vpl

#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "decision/factor_import.h"
#include "decision/likert_sheet.h"
#include "shell/windows.h"
#include "store/database.h"
#include "store/schema.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vpl {

class FlexGrid;
class NoteArea;
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
    void SetUpGrid(int rows);
    void loadFactor(int factor);
    void FillLikertGrid();
    void RecalcTotals();
    void RefreshEvidence();
    void SaveShownFactor(int factor);
    Leaving saveBeforeLeaving();
    void importInto(int factor, const QString& path);

    int factorCountOf(const store::Value& nFatores);
    void moveToNextCell(bool tab);
    void moveToPreviousCell();
    void showEdit(int row, int col);
    void showUnevenAnswers();
    void showStaleDegrees();
    void showChangedElsewhere(const store::ChangedElsewhere& change);
    bool isPropositionRow(int row) const;
    void storeCount(int row, int col);
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
    NoteArea* notes_;      // holds the two notes below
    QLabel* lblRespostas;  // says when the propositions have different numbers of answers
    QLabel* lblGraus;      // says when the stored degrees do not follow from the answers
    QPushButton* cmdAnalise;
    QPushButton* cmdImportar;
    QPushButton* cmdSair;

    int NumFactors = 0;
    int CurFactor = 0;
    int EditRow = 2;
    int EditCol = 0;
    int MarkRow = 2;
    int MarkCol = 0;
    // The shown factor's rows as stored and as typed, and their undo steps; a sheet of no
    // factor before the first choice.
    decision::LikertSheet sheet_;
    // The file's data version when the shown factor was read: a write finds out whether
    // another program has written since.
    std::int64_t seenVersion_ = 0;
};

}  // namespace vpl

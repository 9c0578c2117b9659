#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "analysis/analysis_board.h"
#include "report/network_table_picture.h"
#include "report/report.h"
#include "engine/paraconsistent.h"

class QComboBox;
class QLabel;

namespace vpl {

class PrinterBox;
class Program;

// One analysis window of the family for 2, 3, 5, 6, 7 and 8 factors. The members compute
// the same thing; they differ in name, caption, the table their picture draws and the
// labels they carry.
struct FamilyMember {
    int factors;
    const char* name;     // the window's objectName, "frmAnalise2f" ..
    const char* caption;  // "Análise 2f" ..
    // The network its picture draws and its own-data analysis computes, from the factors
    // outwards.
    std::vector<core::NetworkColumn> columns;
    AnalysisBoard::Labels labels;
    std::array<const char*, 2> rLabels;  // the "R" after the mu2 and the mu1 symbol
};

// The member for a factor count of 2, 3 or 5 to 8; std::out_of_range for any other.
const FamilyMember& familyMember(int factors);

// Two sources, chosen in cmbFonte. The reference table (the default): four blocks of answer
// counts from PLikert, whatever the window's factor count, through (1 OR 2) AND (3 OR 4).
// The user's own factors: the stored pairs of its factors through the network its picture
// draws. Either way it words the two verdicts.
class frmAnaliseFamilia : public QDialog {
    Q_OBJECT
  public:
    frmAnaliseFamilia(Program& program, const FamilyMember& member, QWidget* parent = nullptr);

    void Form_Load();
    void cmbFonte_Click();
    void cmdEsquema_Click();
    void cmdResutado_Click();
    void cmdExportarPlanilha_Click();
    void cmdSair_Click();
    void cmdPrinter_Click();
    void cmdPdf_Click();
    // The report of what the window shows.
    ReportData reportData() const;

  private:
    using Side = AnalysisBoard::Side;
    // The label that shows an operator cell's result on the user's own factors.
    struct CellLabel {
        Side side;
        int column;
        int cell;
        std::string name;
    };

    void addOwnDataLabels(const NetworkTablePicture& picture);
    void AnalisarFatores();
    void analyseReferenceTable();
    void analyseOwnFactors();
    void showOutcome(const core::NetworkOutcome& outcome);
    QLabel* boardLabel(const std::string& name) const;

    Program& program_;
    const FamilyMember& member_;
    AnalysisBoard* board_;
    QComboBox* cmbFonte;
    PrinterBox* Combo1;
    QLabel* lblSemRespostas;
    QLabel* lblReferencia;
    QLabel* lblMsg2;
    QLabel* lblMsg1;
    std::vector<CellLabel> cellLabels_;
    std::vector<QLabel*> ownOnly_;        // labels the member lacks, shown on own data only
    std::vector<QLabel*> referenceOnly_;  // labels shown on the reference table only
    int sourceShown_ = 0;                 // the cmbFonte index whose result is on screen
    core::Graus graus_;  // of this window's result, published when the result is opened
    // The pairs the result window places: the factors, or the reference blocks.
    std::vector<std::optional<core::EvidencePair>> resultPairs_;
    bool resultPairsAreFactors_ = false;
};

}  // namespace vpl

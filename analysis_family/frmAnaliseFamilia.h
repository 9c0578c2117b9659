#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "analysis/analysis_board.h"
#include "analysis/network_table_picture.h"
#include "analysis/paraconsistent.h"

class QLabel;

namespace vpl {

class Program;

// One analysis window of the family for 2, 3, 5, 6, 7 and 8 factors. The members compute
// the same thing; they differ in name, caption, the table their picture draws and the
// labels they carry.
struct FamilyMember {
    int factors;
    const char* name;     // the window's objectName, "frmAnalise2f" ..
    const char* caption;  // "Análise 2f" ..
    std::vector<NetworkTablePicture::OperatorColumn> columns;  // from the factors outwards
    AnalysisBoard::Labels labels;
    std::array<const char*, 2> rLabels;  // the "R" after the mu2 and the mu1 symbol
};

// The member for a factor count of 2, 3 or 5 to 8; std::out_of_range for any other.
const FamilyMember& familyMember(int factors);

// Reads four blocks of answer counts from PLikert, whatever its own factor count, runs
// them through (1 OR 2) AND (3 OR 4) and words the two verdicts.
class frmAnaliseFamilia : public QDialog {
    Q_OBJECT
  public:
    frmAnaliseFamilia(Program& program, const FamilyMember& member, QWidget* parent = nullptr);

    void Form_Load();
    void cmdEsquema_Click();
    void cmdResutado_Click();
    void cmdSair_Click();

  private:
    void AnalisarFatores();

    Program& program_;
    const FamilyMember& member_;
    AnalysisBoard* board_;
    QLabel* lblMsg2;
    QLabel* lblMsg1;
    core::Graus graus_;  // of this window's result, published when the result is opened
};

}  // namespace vpl

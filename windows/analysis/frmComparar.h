#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

#include "report/comparison.h"

class QLabel;
class QTableWidget;

namespace vpl {

class Program;

// Decisions side by side: one row per data file, ranked by the degree of certainty, and
// every file's result on one lattice, numbered as in the table. The files are only read.
class frmComparar : public QDialog {
    Q_OBJECT
  public:
    // Compares the files in program.filesToCompare.
    explicit frmComparar(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    const std::vector<ComparedDecision>& compared() const { return compared_; }

  private:
    Program& program_;
    QTableWidget* grdComparacao;
    QWidget* lattice_;
    QLabel* lblFalhas;
    std::vector<ComparedDecision> compared_;
};

}  // namespace vpl

#pragma once

#include <QDialog>
#include <cstdint>

#include "engine/networks.h"
#include "report/report.h"
#include "shell/printers.h"

class QComboBox;
class QPagedPaintDevice;
class QLabel;
class QPushButton;
class QTableWidget;

namespace vpl {

class AnalysisBoard;
class Program;

// The analysis of a four-factor problem: the stored evidence pairs of the factors run
// through the network (1 OR 2) AND (3 OR 4), every degree shown over the network picture,
// the result degrees in the grid and kept for the result window and the report.
class frmAnalise4f : public QDialog {
    Q_OBJECT
  public:
    explicit frmAnalise4f(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    void cmdEsquema_Click();
    void cmdResutado_Click();
    void cmdPrinter_Click();
    void cmdPdf_Click();
    void cmdExportarPlanilha_Click();
    void cmdSair_Click();

  private:
    void setUpPrinters();
    // Everything the report prints; StoreError before anything is printed.
    ReportData reportData();
    void setUpGrid();

    Program& program_;
    AnalysisBoard* board_;
    QTableWidget* MSFlexGrid1;
    PrinterBox* Combo1;
    QLabel* lblSemRespostas;
    std::int16_t F_ = 4;
    core::Rede4fResult result_;
};

}  // namespace vpl

#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "engine/sensitivity.h"
#include "report/lattice_picture.h"

class QLabel;
class QProgressBar;
class QTableWidget;

namespace vpl {

class Program;

// How sure the decision of the last analysis is: the decision with each factor left out and
// the levels that keep it at once, then the respondents drawn again on a worker thread, with
// a progress bar until the shares of the decisions and the region of the results are known.
// The analysis is the one the result window shows: the factors of gPares (the user's when
// gParesSaoFatores, else the reference table's blocks), read again from the data file.
class frmSensibilidade : public QDialog {
    Q_OBJECT
  public:
    explicit frmSensibilidade(Program& program, QWidget* parent = nullptr);
    // Stops the draws and waits for the worker.
    ~frmSensibilidade() override;

    void Form_Load();
    void cmdSair_Click();

    bool drawing() const { return worker_.joinable() && !finished_; }
    // The faint regions of the draws' results, once they are known.
    std::vector<FaintRegion> faintRegions() const;

  signals:
    void drawsFinished();

  private:
    void showOutcome(const core::Sensibilidade& s, bool drawsDone);
    void drawsEnded(std::shared_ptr<const core::Sensibilidade> s, QString failure);

    Program& program_;
    QWidget* lattice_;
    QLabel* lblRede;
    QLabel* lblBaricentro;
    QLabel* lblSorteios;
    QLabel* lblFatoresDecisivos;
    QProgressBar* prgSorteios;
    QTableWidget* grdSensibilidade;
    LatticeDrawing drawing_;
    core::EntradaDaSensibilidade input_;
    std::optional<core::Sensibilidade> outcome_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool finished_ = false;
};

}  // namespace vpl

#pragma once

#include <QDialog>

#include "core/fixed4.h"
#include "engine/paraconsistent.h"
#include "engine/sensitivity.h"
#include "report/lattice_picture.h"

class QLabel;
class QPushButton;

namespace vpl {

class LatticeRegions;
class LineControl;
class Program;

// The result of the last four-factor analysis as a point on the lattice, with the sentence
// on the quality of the data and the opinion. Every position is given in twips of this
// window.
class frmResultado : public QDialog {
    Q_OBJECT
  public:
    explicit frmResultado(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    void cmdSair_Click();
    void cmdSensibilidade_Click();

  private:
    // The factors' points, numbered, with their legend, and their barycentre.
    void showFactors(core::Fixed4 level);
    QLabel* marker(const QString& name, const QString& text, core::PontoNormalizado point,
                   const char* style);
    QLabel* label(const char* name, const QString& caption, int left, int top, int width,
                  int height);

    Program& program_;
    LineControl* Line1;
    LineControl* Line2;
    QLabel* lblPonto;
    QLabel* lblG1;
    QLabel* lblG2;
    QLabel* lblResultado;
    QLabel* lblG1n;
    QLabel* lblG2n;
    QLabel* lblEstado;
    QLabel* lblDecisao;
    QLabel* lblBaricentro;
    QLabel* lblLegendaFatores;
    QPushButton* cmdSensibilidade;
    LatticeRegions* regions_;
    LatticeDrawing drawing_;  // what the lattice shows, to save as a picture
};

}  // namespace vpl

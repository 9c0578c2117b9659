#pragma once

#include <QDialog>
#include <QString>

#include "store/database.h"

class QLabel;
class QRadioButton;

namespace vpl {

class Program;

// The screen resolution as the information window shows it: each size with a
// leading sign position (a blank when positive), " 1920 x 1080 DPI".
QString resolutionText(double widthPixels, double heightPixels);

// Facts about the installation and the machine, and the choice of the interface
// language. Its own captions are never translated.
class frmInformacoes : public QDialog {
    Q_OBJECT
  public:
    explicit frmInformacoes(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    void cmdVOLTAR_Click();

    // The computer's network name; "" when the system does not give one.
    static QString GetComputer();
    // The logged-in user's name, also shown in lblUSUARIO; "" (label untouched)
    // when the system does not give one.
    QString sUserID();

  private:
    void MostrarResolucao();

    Program& program_;
    store::Key parametroKey_ = 0;
    QRadioButton* opt_[3];
    QLabel* lblPasta_;
    QLabel* lblBancoDados_;
    QLabel* lblArquivoDados_;
    QLabel* lblUSUARIO_;
    QLabel* lblVAR_;
    QLabel* lblVIDEO_;
};

}  // namespace vpl

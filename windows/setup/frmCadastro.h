#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "decision/decision.h"
#include "store/schema.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vpl {

class Program;

// Registration of the decision problem: the question and up to eight participants
// (the first Cadastro row), and the place to wipe all set-up and opinion data.
class frmCadastro : public QDialog {
    Q_OBJECT
  public:
    explicit frmCadastro(Program& program, QWidget* parent = nullptr);

    void Form_Load();
    void cmdSair_Click();
    void cmdFatores_Click();
    void cmdClear_Click();

  protected:
    // Escape and the title bar's close save as the return button does.
    void reject() override;

  private:
    void SalvarCadastro();

    Program& program_;
    QLineEdit* txtQuestao_;
    QLabel* lblQuestaoConta_;  // how many of the question's characters are used
    QLineEdit* txtP_[store::kParticipants];
    QPushButton* cmdClear_;
    // The fields as read, so that a save writes only what the user changed, and the file's
    // data version then, so that it never writes over another program's save.
    decision::Registration loaded_;
    std::int64_t seenVersion_ = 0;
};

}  // namespace vpl

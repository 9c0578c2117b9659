#include "setup/frmCadastro.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/schema.h"

namespace vpl {

namespace {

constexpr int kQuestionLength = 80;
constexpr int kParticipantLength = 60;

}  // namespace

frmCadastro::frmCadastro(Program& program, QWidget* parent) : QDialog(parent), program_(program) {
    setObjectName("frmCadastro");
    setWindowTitle("Cadastro");
    setFont(arialFont(10));

    auto* label1 = new QLabel("Decidir sobre:", this);
    label1->setObjectName("Label1");
    txtQuestao_ = textBox(this, "txtQuestao", kQuestionLength);
    txtQuestao_->setMinimumWidth(620);
    label1->setBuddy(txtQuestao_);
    lblQuestaoConta_ = new QLabel(this);
    lblQuestaoConta_->setObjectName("lblQuestaoConta");
    lblQuestaoConta_->setAlignment(Qt::AlignRight);
    // Red while the last key or paste was refused for the length.
    lblQuestaoConta_->setStyleSheet(
        "QLabel[refused=\"true\"] { color: #b00000; font-weight: bold; }");
    const auto showCount = [this](bool refused) {
        lblQuestaoConta_->setText(
            QString("%1/%2").arg(txtQuestao_->text().size()).arg(kQuestionLength));
        lblQuestaoConta_->setProperty("refused", refused);
        lblQuestaoConta_->style()->unpolish(lblQuestaoConta_);
        lblQuestaoConta_->style()->polish(lblQuestaoConta_);
    };
    connect(txtQuestao_, &QLineEdit::textChanged, this, [showCount] { showCount(false); });
    // Queued: the box says it refused before it has put its text back.
    connect(
        txtQuestao_, &QLineEdit::inputRejected, this, [showCount] { showCount(true); },
        Qt::QueuedConnection);
    showCount(false);

    auto* label3 = new QLabel("Equipe Velmar:", this);
    label3->setObjectName("Label3");
    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName("Frame1");
    auto* team = new QGridLayout(frame1);
    team->setHorizontalSpacing(16);
    for (int i = 0; i < store::kParticipants; ++i) {
        txtP_[i] = textBox(frame1, QString("txtP%1").arg(i + 1), kParticipantLength);
        auto* number = new QLabel(QString("%1.").arg(i + 1), frame1);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Participants 1-4 in the left column, 5-8 in the right one.
        const int row = i % (store::kParticipants / 2),
                  column = (i / (store::kParticipants / 2)) * 2;
        team->addWidget(number, row, column);
        team->addWidget(txtP_[i], row, column + 1);
    }
    team->setColumnStretch(1, 1);
    team->setColumnStretch(3, 1);

    cmdClear_ = pictureButton(this, "cmdClear", "&Apagar todos os dados", "button_clear.svg",
                              kSetupButtonSize);
    auto* cmdFatores =
        pictureButton(this, "cmdFatores", "&Fatores", "button_factors.svg", kSetupButtonSize);
    auto* cmdSair = pictureButton(this, "cmdSair", "&Salvar/ Retornar", "button_save_return.svg",
                                  kSetupButtonSize);
    connect(cmdClear_, &QPushButton::clicked, this, &frmCadastro::cmdClear_Click);
    connect(cmdFatores, &QPushButton::clicked, this, &frmCadastro::cmdFatores_Click);
    connect(cmdSair, &QPushButton::clicked, this, &frmCadastro::cmdSair_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClear_);
    buttons->addStretch(1);
    buttons->addWidget(cmdFatores);
    buttons->addWidget(cmdSair);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(8);
    layout->addWidget(label1);
    layout->addWidget(txtQuestao_);
    layout->addWidget(lblQuestaoConta_);
    layout->addSpacing(8);
    layout->addWidget(label3);
    layout->addWidget(frame1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void frmCadastro::Form_Load() {
    applyStoredLanguage(program_, *this, kCadastroCaptions);
    seenVersion_ = program_.db().dataVersion();
    loaded_ = decision::ReadRegistration(program_.db());
    // A NULL left by another program reads as empty, so the window (and clear-all) stays usable.
    auto text = [](const std::optional<std::string>& stored) {
        return QString::fromStdString(stored.value_or(""));
    };
    txtQuestao_->setText(text(loaded_.question));
    for (int i = 0; i < store::kParticipants; ++i) txtP_[i]->setText(text(loaded_.participants[i]));
    // A read-only data file is shown, not edited.
    const bool readOnly = program_.readOnly();
    txtQuestao_->setReadOnly(readOnly);
    for (QLineEdit* box : txtP_) box->setReadOnly(readOnly);
    cmdClear_->setEnabled(!readOnly);
    program_.gProximaJanela = NextWindow::None;
}

void frmCadastro::SalvarCadastro() {
    decision::Registration typed;
    typed.question = txtQuestao_->text().toStdString();
    for (int i = 0; i < store::kParticipants; ++i)
        typed.participants[i] = txtP_[i]->text().toStdString();
    decision::SaveRegistration(program_.db(), loaded_, typed, seenVersion_);
    loaded_ = typed;
}

void frmCadastro::cmdSair_Click() {
    if (saveToLeave(this, program_, [&] { SalvarCadastro(); }) == Leaving::Stay) return;
    accept();
}

// Staying after a failed save leaves the window open (Qt then ignores the close)
// with what was typed still in it.
void frmCadastro::reject() {
    cmdSair_Click();
}

void frmCadastro::cmdFatores_Click() {
    const Leaving leaving = saveToLeave(this, program_, [&] { SalvarCadastro(); });
    if (leaving == Leaving::Stay) return;
    // A registration closed without saving does not lead on to the factors window.
    if (leaving == Leaving::Saved) program_.gProximaJanela = NextWindow::Factors;
    accept();
}

void frmCadastro::cmdClear_Click() {
    if (program_.readOnly()) return;
    guarded(this, [&] {
        const auto answer = MessageBox::show(
            this,
            "Confirma que deseja apagar todas as informações (Cadastros, Fatores e Proposições) "
            "do banco de dados?",
            "ATENÇÃO!", MessageBox::Icon::None, MessageBox::Buttons::YesNo);
        if (answer != MessageBox::Answer::Yes) return;
        decision::ClearDecision(program_.db());
        // The boxes follow the file only once it has really been cleared.
        txtQuestao_->clear();
        for (QLineEdit* box : txtP_) box->clear();
        loaded_ = {std::string(), {}};
        loaded_.participants.fill(std::string());
    });
}

}  // namespace vpl

#include "setup/frmMeta.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/decision_settings.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/windows.h"
#include "store/schema.h"

namespace vpl {

namespace {

constexpr int kTitleLength = 60;
constexpr int kPropositionCountLength = 2;  // at most kPropositionRows
constexpr const char* kDefaultFactorCount = "4";

constexpr core::Translated kTexts[] = {
    {"lblSemPressupostos",
     "Sem número de pressupostos no fator %1: indique-o na coluna Pressupostos.",
     "No number of propositions for factor %1: enter it in the Propositions column.",
     "Sin número de proposiciones en el factor %1: indíquelo en la columna Proposiciones."},
};

// The level box writes and reads the user's decimal separator, as every number text does.
QLocale spinBoxLocale(core::NumberLocale locale) {
    QLocale spoken = locale.decimalSeparator == ',' ? QLocale(QLocale::Portuguese, QLocale::Brazil)
                                                    : QLocale::c();
    spoken.setNumberOptions(QLocale::OmitGroupSeparator);
    return spoken;
}

}  // namespace

const std::span<const core::Translated> kMetaTexts{kTexts};

QString validFactorCount(const QString& typed, core::NumberLocale locale) {
    const std::optional<double> count = core::ParseLocaleNumber(typed.toStdString(), locale);
    if (!count || *count < 2 || *count > store::kFactorSlots) return kDefaultFactorCount;
    return typed;
}

frmMeta::frmMeta(Program& program, QWidget* parent) : QDialog(parent), program_(program) {
    setObjectName("frmMeta");
    setWindowTitle("Fatores");
    setFont(arialFont(10));

    auto* label11 = new QLabel(
        "Insira a quantidade de fatores a analisar (de 2 a 8) e nas linhas abaixo escreva os "
        "títulos de cada um deles e a quantidade de pressupostos.",
        this);
    label11->setObjectName("Label11");
    label11->setWordWrap(true);

    auto* label10 = new QLabel("Número de Fatores a analisar:", this);
    label10->setObjectName("Label10");
    lblFatores_ = textBox(this, "lblFatores", 1);
    lblFatores_->setAlignment(Qt::AlignCenter);
    lblFatores_->setFixedWidth(36);
    lblFatores_->installEventFilter(this);
    label10->setBuddy(lblFatores_);
    // The level the degree of certainty must reach, for the whole decision: beside the count.
    auto* label13 = new QLabel(QString::fromUtf8("Nível de exigência:"), this);
    label13->setObjectName("Label13");
    txtExigencia_ = new QDoubleSpinBox(this);
    txtExigencia_->setObjectName("txtExigencia");
    txtExigencia_->setLocale(spinBoxLocale(program.locale));
    txtExigencia_->setRange(0, decision::kMaxRequirement / 100.0);
    txtExigencia_->setDecimals(2);
    txtExigencia_->setSingleStep(0.01);
    txtExigencia_->setValue(decision::kDefaultRequirement / 100.0);
    txtExigencia_->setAlignment(Qt::AlignCenter);
    label13->setBuddy(txtExigencia_);
    auto* count = new QHBoxLayout;
    count->addWidget(label10);
    count->addWidget(lblFatores_);
    count->addStretch(1);
    count->addWidget(label13);
    count->addWidget(txtExigencia_);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    auto* label12 = new QLabel("Pressupostos:", this);
    label12->setObjectName("Label12");
    grid->addWidget(label12, 0, 2, Qt::AlignHCenter);
    auto* label14 = new QLabel("Peso:", this);
    label14->setObjectName("Label14");
    grid->addWidget(label14, 0, 3, Qt::AlignHCenter);
    for (int n = 0; n < store::kFactorSlots; ++n) {
        auto* label = new QLabel(QString("Fator %1:").arg(n + 1), this);
        label->setObjectName(QString("Label%1").arg(n + 1));
        lblFator_[n] = textBox(this, QString("lblFator%1").arg(n + 1), kTitleLength);
        lblFator_[n]->setMinimumWidth(460);
        txtP_[n] = textBox(this, QString("txtP%1").arg(n + 1), kPropositionCountLength);
        txtP_[n]->setAlignment(Qt::AlignCenter);
        txtP_[n]->setFixedWidth(48);
        grid->addWidget(label, n + 1, 0);
        grid->addWidget(lblFator_[n], n + 1, 1);
        grid->addWidget(txtP_[n], n + 1, 2, Qt::AlignHCenter);
        txtPeso_[n] = new QSpinBox(this);
        txtPeso_[n]->setObjectName(QString("txtPeso%1").arg(n + 1));
        txtPeso_[n]->setRange(decision::kMinWeight, decision::kMaxWeight);
        txtPeso_[n]->setValue(decision::kDefaultWeight);
        txtPeso_[n]->setAlignment(Qt::AlignCenter);
        grid->addWidget(txtPeso_[n], n + 1, 3, Qt::AlignHCenter);
    }
    grid->setColumnStretch(1, 1);
    // Tab goes as one reads: the count and the level, then each factor's title, its
    // proposition count and its weight.
    setTabOrder(lblFatores_, txtExigencia_);
    setTabOrder(txtExigencia_, lblFator_[0]);
    for (int n = 0; n < store::kFactorSlots; ++n) {
        setTabOrder(lblFator_[n], txtP_[n]);
        setTabOrder(txtP_[n], txtPeso_[n]);
        if (n + 1 < store::kFactorSlots) setTabOrder(txtPeso_[n], lblFator_[n + 1]);
    }

    // Which of the factors analysed have no number of propositions yet: the report prints
    // them without propositions and the export leaves them out until one is entered.
    auto* lblSemPressupostos = new QLabel(this);
    lblSemPressupostos->setObjectName("lblSemPressupostos");
    lblSemPressupostos->setWordWrap(true);
    lblSemPressupostos->setStyleSheet("color: #a00000;");
    const auto markMissingCounts = [this, lblSemPressupostos] {
        const std::optional<double> analysed = core::ParseLocaleNumber(
            validFactorCount(lblFatores_->text(), program_.locale).toStdString(), program_.locale);
        QStringList missing;
        for (int n = 0; n < static_cast<int>(analysed.value_or(0)); ++n)
            if (decision::ReadPropositionCount(txtP_[n]->text().toStdString(), program_.locale)
                    .state == decision::PropositionCount::State::Missing)
                missing << QString::number(n + 1);
        QString mark;
        if (!missing.isEmpty())
            mark = QString::fromUtf8(core::TextIn(kTexts[0], program_.gIdioma))
                       .arg(missing.join(", "));
        lblSemPressupostos->setText(mark);
        lblSemPressupostos->setVisible(!mark.isEmpty());
    };
    connect(lblFatores_, &QLineEdit::textChanged, this, markMissingCounts);
    for (QLineEdit* box : txtP_) connect(box, &QLineEdit::textChanged, this, markMissingCounts);
    lblSemPressupostos->hide();

    auto* cmdFatores =
        pictureButton(this, "cmdFatores", "&Opiniões", "button_opinions.svg", kSetupButtonSize);
    auto* cmdSair =
        pictureButton(this, "cmdSair", "&Save/Return", "button_save_return.svg", kSetupButtonSize);
    connect(cmdFatores, &QPushButton::clicked, this, &frmMeta::cmdFatores_Click);
    connect(cmdSair, &QPushButton::clicked, this, &frmMeta::cmdSair_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFatores);
    buttons->addWidget(cmdSair);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(10);
    layout->addWidget(label11);
    layout->addLayout(count);
    layout->addLayout(grid);
    layout->addWidget(lblSemPressupostos);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

void frmMeta::Form_Load() {
    seenVersion_ = program_.db().dataVersion();
    loaded_ = decision::ReadFactorsForm(program_.db(), program_.locale);
    lblFatores_->setText(QString::fromStdString(loaded_.count));
    txtExigencia_->setValue(loaded_.settings.requirement / 100.0);
    applyStoredLanguage(program_, *this, kMetaCaptions);
    // A read-only data file is shown, not edited.
    const bool readOnly = program_.readOnly();
    lblFatores_->setReadOnly(readOnly);
    txtExigencia_->setReadOnly(readOnly);
    for (int n = 0; n < store::kFactorSlots; ++n) {
        lblFator_[n]->setText(QString::fromStdString(loaded_.titles[n]));
        txtP_[n]->setText(QString::fromStdString(loaded_.props[n]));
        txtPeso_[n]->setValue(loaded_.settings.weights[n]);
        lblFator_[n]->setReadOnly(readOnly);
        txtP_[n]->setReadOnly(readOnly);
        txtPeso_[n]->setReadOnly(readOnly);
    }
    program_.gProximaJanela = NextWindow::None;
    reportSettingProblems(this, program_, loaded_.settings);
}

bool frmMeta::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblFatores_ && event->type() == QEvent::FocusOut) lblFatores_LostFocus();
    return QDialog::eventFilter(watched, event);
}

void frmMeta::lblFatores_LostFocus() {
    guarded(this,
            [&] { lblFatores_->setText(validFactorCount(lblFatores_->text(), program_.locale)); });
}

void frmMeta::SalvarFatores() {
    // A button reached by its access key takes no focus from the count box, so
    // the count is checked here too: only a count from 2 to 8 is ever stored.
    lblFatores_->setText(validFactorCount(lblFatores_->text(), program_.locale));
    decision::FactorsForm typed;
    typed.count = lblFatores_->text().toStdString();
    for (int n = 0; n < store::kFactorSlots; ++n) {
        typed.titles[n] = lblFator_[n]->text().toStdString();
        typed.props[n] = txtP_[n]->text().toStdString();
        typed.settings.weights[n] = txtPeso_[n]->value();
    }
    typed.settings.requirement = qRound(txtExigencia_->value() * 100);
    // Only what differs from what was read is written.
    decision::SaveFactorsForm(program_.db(), loaded_, typed, seenVersion_);
    loaded_ = typed;
}

void frmMeta::cmdSair_Click() {
    if (saveToLeave(this, program_, [&] { SalvarFatores(); }) == Leaving::Stay) return;
    accept();
}

// Staying after a failed save leaves the window open (Qt then ignores the close)
// with what was typed still in it.
void frmMeta::reject() {
    cmdSair_Click();
}

void frmMeta::cmdFatores_Click() {
    const Leaving leaving = saveToLeave(this, program_, [&] { SalvarFatores(); });
    if (leaving == Leaving::Stay) return;
    // Factors closed without saving do not lead on to the Likert window.
    if (leaving == Leaving::Saved) program_.gProximaJanela = NextWindow::Likert;
    accept();
}

}  // namespace vpl

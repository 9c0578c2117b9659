#include "main/frmInformacoes.h"

#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSvgWidget>
#include <QSysInfo>
#include <QVBoxLayout>

#include "core/number_text.h"
#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/windows.h"

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace vpl {

namespace {

// The languages of opt1, opt2 and opt3, whose stored numbers are 1, 2 and 3.
constexpr Language kChoices[] = {Language::English, Language::Spanish, Language::Portuguese};

// A number with its sign position: a blank before a positive value, where a negative one
// has its minus sign.
QString signedNumberText(double value) {
    const std::string digits = core::FormatGeneral(value, core::NumberLocale{'.'});
    return QString::fromStdString((value < 0 ? "" : " ") + digits);
}

// One "caption: value" line of the computer frame; returns the value label.
QLabel* factLine(QGroupBox* frame, QFormLayout* form, const char* captionName,
                 const QString& caption, const char* valueName) {
    auto* value = namedLabel(frame, valueName, QString());
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setWordWrap(true);
    auto* label = namedLabel(frame, captionName, caption);
    label->setFont(arialFont(10, true));
    form->addRow(label, value);
    return value;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& title) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    return box;
}

std::string loginName() {
#ifdef Q_OS_UNIX
    char buffer[256] = {};
    if (getlogin_r(buffer, sizeof buffer) == 0 && buffer[0] != '\0') return buffer;
    if (const passwd* user = getpwuid(geteuid()); user && user->pw_name) return user->pw_name;
    return qEnvironmentVariable("USER").toStdString();
#else
    return qEnvironmentVariable("USERNAME").toStdString();
#endif
}

}  // namespace

QString resolutionText(double widthPixels, double heightPixels) {
    return signedNumberText(widthPixels) + " x" + signedNumberText(heightPixels) + " DPI";
}

frmInformacoes::frmInformacoes(Program& program, QWidget* parent)
    : QDialog(parent), program_(program) {
    setObjectName("frmInformacoes");
    setWindowTitle("General Information");
    setFont(arialFont(10));

    auto* picture1 = new QSvgWidget(":/pictures/info_picture.svg", this);
    picture1->setObjectName("Picture1");
    picture1->setFixedSize(180, 180);

    auto* frame1 = frame(this, "Frame1", "Especificação do Computador: ");
    auto* facts = new QFormLayout(frame1);
    facts->setHorizontalSpacing(12);
    lblPasta_ = factLine(frame1, facts, "Label9", "Pasta do Software:", "lblPasta");
    lblBancoDados_ = factLine(frame1, facts, "Label10", "Versão Banco de Dados:", "lblBancoDados");
    // An installed program keeps the data apart from the program: the user finds it here
    // to back it up.
    lblArquivoDados_ = factLine(frame1, facts, "Label15", "Arquivo de Dados:", "lblArquivoDados");
    lblUSUARIO_ = factLine(frame1, facts, "Label3", "Usuário Logado:", "lblUSUARIO");
    lblVAR_ = factLine(frame1, facts, "Label2", "Nome do Micro na Rede:", "lblVAR");
    lblVIDEO_ = factLine(frame1, facts, "Label1", "Resolução do Vídeo:", "lblVIDEO");

    auto* frame3 = frame(this, "Frame3", "Autoria: ");
    auto* authors = new QVBoxLayout(frame3);
    authors->addWidget(namedLabel(frame3, "Label13", "Velmar Paraconsistent Logic"));
    authors->addWidget(namedLabel(frame3, "Label12", "Equipe Velmar Paraconsistent Logic"));
    authors->addWidget(
        namedLabel(frame3, "Label11", "Lógica paraconsistente anotada no apoio à decisão"));

    auto* frame2 = frame(this, "Frame2", "Suporte: ");
    auto* support = new QVBoxLayout(frame2);
    support->addWidget(namedLabel(
        frame2, "Label14", "Dúvidas e sugestões: equipe de suporte Velmar Paraconsistent Logic"));
    support->addWidget(namedLabel(frame2, "Label8",
                                  "© Velmar Paraconsistent Logic. Todos os direitos reservados."));
    auto* label7 = namedLabel(frame2, "Label7", kWebAddress);
    label7->setStyleSheet("color: #0000ff;");
    label7->setTextInteractionFlags(Qt::TextSelectableByMouse);
    support->addWidget(label7);

    auto* frame4 = frame(this, "Frame4", "Language: ");
    auto* languages = new QHBoxLayout(frame4);
    const char* optionNames[] = {"opt1", "opt2", "opt3"};
    const char* optionTexts[] = {"English", "Espanhõl", "Português"};
    for (int i = 0; i < 3; ++i) {
        opt_[i] = new QRadioButton(optionTexts[i], frame4);
        opt_[i]->setObjectName(optionNames[i]);
        languages->addWidget(opt_[i]);
    }
    languages->addStretch(1);

    auto* cmdVOLTAR = new QPushButton("&Return", this);
    cmdVOLTAR->setObjectName("cmdVOLTAR");
    cmdVOLTAR->setMinimumSize(110, 32);
    connect(cmdVOLTAR, &QPushButton::clicked, this, &frmInformacoes::cmdVOLTAR_Click);

    auto* right = new QVBoxLayout;
    right->addWidget(frame1);
    right->addWidget(frame3);
    right->addWidget(frame2);
    right->addWidget(frame4);
    auto* left = new QVBoxLayout;
    left->addWidget(picture1);
    left->addStretch(1);
    left->addWidget(cmdVOLTAR, 0, Qt::AlignHCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(18);
    layout->addLayout(left);
    layout->addLayout(right, 1);
    setMinimumWidth(720);
}

QString frmInformacoes::GetComputer() {
    return QSysInfo::machineHostName();
}

QString frmInformacoes::sUserID() {
    const QString name = QString::fromLocal8Bit(loginName());
    if (!name.isEmpty()) lblUSUARIO_->setText(name);
    return name;
}

void frmInformacoes::MostrarResolucao() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // In device pixels, as the monitor is sold: a scaled desktop still reads 3840 x 2160.
    const double ratio = screen->devicePixelRatio();
    lblVIDEO_->setText(resolutionText(qRound(screen->size().width() * ratio),
                                      qRound(screen->size().height() * ratio)));
}

void frmInformacoes::Form_Load() {
    lblVAR_->setText(GetComputer());
    MostrarResolucao();
    sUserID();
    lblPasta_->setText(QDir::toNativeSeparators(program_.appDir));
    lblArquivoDados_->setText(QDir::toNativeSeparators(program_.dataFilePath()));
    const decision::Parameters parameters = decision::ReadParameters(program_.db());
    parametroKey_ = parameters.key;
    lblBancoDados_->setText(QString::fromStdString(parameters.fileVersion));
    const std::optional<double> idioma = parameters.language;
    for (int i = 0; i < 3; ++i) {
        opt_[i]->setChecked(idioma == double(core::StoredNumber(kChoices[i])));
        // The choice could not be stored in a read-only data file.
        opt_[i]->setEnabled(!program_.readOnly());
    }
}

void frmInformacoes::cmdVOLTAR_Click() {
    if (program_.readOnly()) {
        accept();
        return;
    }
    guarded(this, [&] {
        for (int i = 0; i < 3; ++i) {
            if (!opt_[i]->isChecked()) continue;
            const Language language = kChoices[i];
            // Stored first: the menu never shows a language the file does not hold.
            decision::SaveLanguage(program_.db(), parametroKey_, language);
            program_.gIdioma = language;
            MessageBox::setLanguage(language);
            if (program_.mainWindow) applyLanguage(*program_.mainWindow, language, kMenuCaptions);
        }
        accept();
    });
}

}  // namespace vpl

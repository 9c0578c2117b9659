#include "main/Menu.h"

#include <QAction>
#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>

#include "core/number_text.h"
#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/fonts.h"
#include "shell/message_box.h"
#include "shell/pictures.h"
#include "shell/program.h"
#include "store/schema.h"

namespace vpl {

namespace {

QAction* addMenuItem(QMenuBar* bar, const char* name, const char* caption) {
    QAction* action = bar->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

QLabel* statusPanel(QStatusBar* bar, const char* name, const QString& text) {
    auto* panel = new QLabel(text, bar);
    panel->setObjectName(QString::fromUtf8(name));
    panel->setFrameShape(QFrame::StyledPanel);
    bar->addWidget(panel, 1);
    return panel;
}

}  // namespace

Menu::Menu(Program& program) : QMainWindow(nullptr), program_(program) {
    setObjectName("Menu");
    program_.mainWindow = this;
    setWindowTitle("Velmar Paraconsistent Logic");

    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    auto* image1 = new SvgPictureBox(":/pictures/menu_image1.svg", central);
    image1->setObjectName("Image1");
    image1->setFixedSize(300, 200);
    auto* image2 = new SvgPictureBox(":/pictures/menu_image2.svg", central);
    image2->setObjectName("Image2");
    image2->setFixedSize(210, 75);
    QLabel* label2 = namedLabel(central, "Label2", "Velmar Paraconsistent Logic ");
    label2->setFont(arialFont(24, true));
    QLabel* label1 = namedLabel(central, "Label1", "Velmar");
    label1->setFont(arialFont(14));
    grid->addWidget(image1, 0, 0, 2, 1);
    grid->addWidget(label2, 0, 1, Qt::AlignBottom);
    grid->addWidget(label1, 1, 1, Qt::AlignTop);
    grid->addWidget(image2, 2, 1, Qt::AlignRight | Qt::AlignBottom);
    grid->setContentsMargins(40, 30, 40, 20);
    grid->setHorizontalSpacing(30);
    setCentralWidget(central);

    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QString::fromUtf8("A&rquivo"));  // Alt+A opens the analyses
    file->setObjectName("mnuArquivo");
    const auto fileItem = [&](const char* name, const char* caption, QKeySequence keys,
                              void (Menu::*slot)()) {
        QAction* item = file->addAction(QString::fromUtf8(caption));
        item->setObjectName(QString::fromUtf8(name));
        item->setShortcut(keys);
        connect(item, &QAction::triggered, this, slot);
    };
    fileItem("mnuNova", "&Nova decisão...", QKeySequence::New, &Menu::mnuNova_Click);
    fileItem("mnuAbrir", "&Abrir...", QKeySequence::Open, &Menu::mnuAbrir_Click);
    fileItem("mnuCopia", "Salvar &cópia como...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
             &Menu::mnuCopia_Click);
    recentMenu_ = file->addMenu(QString::fromUtf8("&Recentes"));
    recentMenu_->setObjectName("mnuRecentes");
    connect(recentMenu_, &QMenu::aboutToShow, this, &Menu::fillRecentMenu);
    file->addSeparator();
    fileItem("mnuComparar", "Co&mparar decisões...", QKeySequence(), &Menu::mnuComparar_Click);
    connect(addMenuItem(bar, "mnuCad", "&Metadados"), &QAction::triggered, this,
            &Menu::mnuCad_Click);
    connect(addMenuItem(bar, "mnuMeta", "&Fatores"), &QAction::triggered, this,
            &Menu::mnuMeta_Click);
    connect(addMenuItem(bar, "mnuTabela", "&Pressupostos"), &QAction::triggered, this,
            &Menu::mnuTabela_Click);
    connect(addMenuItem(bar, "mnuAna", "&Análise"), &QAction::triggered, this, &Menu::mnuAna_Click);
    QMenu* util = bar->addMenu("&Informações");
    util->setObjectName("mnuUtil");
    QAction* compactar = util->addAction("&Compactar Banco de Dados");
    compactar->setObjectName("mnuCompactar");
    compactar->setEnabled(false);  // kept for its place in the menu; it has no action
    QAction* suporte = util->addAction("&Suporte");
    suporte->setObjectName("mnuSuporte");
    connect(suporte, &QAction::triggered, this, &Menu::mnuSuporte_Click);
    connect(addMenuItem(bar, "mnuSair", "&Sair"), &QAction::triggered, this, &Menu::mnuSair_Click);

    // The translated captions carry no access keys: F10 reaches the menu in every
    // language, as desktops do, with the first item active for the arrows and Enter.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [bar] {
        bar->setFocus(Qt::MenuBarFocusReason);
        bar->setActiveAction(bar->actions().value(0));
    });

    auto* status = new QStatusBar(this);
    status->setObjectName("StatusBar1");
    statusPanel(status, "Panel1", "Paraconsistent Logic");
    statusPanel(status, "Panel2", QString::fromUtf8("© Velmar Paraconsistent Logic"));
    statusPanel(status, "Panel3", QString::fromUtf8("Versão: " VPL_VERSION));
    setStatusBar(status);
    resize(900, 420);
}

Menu::~Menu() {
    if (program_.mainWindow == this) program_.mainWindow = nullptr;
}

namespace {

// A file the user named that another instance has open may still be looked at.
bool readOnlyWanted(QWidget* parent, const QString& file) {
    return MessageBox::show(parent,
                            QString::fromUtf8("O arquivo de dados está aberto em outra janela do "
                                              "programa:\n") +
                                QDir::toNativeSeparators(file) +
                                QString::fromUtf8("\nAbri-lo somente para leitura?"),
                            "Aviso", MessageBox::Icon::Warning,
                            MessageBox::Buttons::YesNo) == MessageBox::Answer::Yes;
}

void warnReadOnly(QWidget* parent, const QString& file) {
    MessageBox::show(parent,
                     QString::fromUtf8("O arquivo de dados não pode ser gravado:\n") +
                         QDir::toNativeSeparators(file) +
                         QString::fromUtf8("\nOs dados serão mostrados, mas nenhuma "
                                           "alteração poderá ser salva."),
                     "Aviso", MessageBox::Icon::Warning);
}

void reportOpeningFailure(QWidget* parent, const store::StoreError& e) {
    MessageBox::show(parent,
                     QString::fromUtf8("Ocorreu um erro na Abertura de Arquivos.") + "\n" +
                         QString::fromUtf8("Como referência, anote a seguinte mensagem: ") +
                         "\n" + "Ref.: " + QString::fromUtf8(e.what()),
                     "Erro", MessageBox::Icon::Critical);
}

QString documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

const QString kDecisionFilter = QString::fromUtf8("Decisões (*.mdb);;Todos os arquivos (*)");

}  // namespace

Menu::StartUp Menu::Form_Load() {
    const bool claimed = program_.claimSingleInstance();
    if (!claimed && !program_.dataFileNamed()) {
        MessageBox::show(this, QString::fromUtf8("Programa ativo pela segunda vez, será fechado!"),
                         QString::fromUtf8("Programa Paralizado!"), MessageBox::Icon::Warning);
        return StartUp::Quit;
    }
    if (!claimed && !readOnlyWanted(this, program_.dataFilePath())) return StartUp::Quit;
    showFileInTitle();
    try {
        program_.dbBanco = claimed ? program_.takeOpened() : program_.openForReading();
        if (program_.readOnly() && claimed)  // the user chose reading only otherwise
            warnReadOnly(this, program_.dataFilePath());
        applyStoredLanguage(program_, *this, kMenuCaptions);
        if (program_.dataFileNamed()) program_.recentFiles.add(program_.dataFilePath());
    } catch (const store::StoreError& e) {
        reportOpeningFailure(this, e);
    }
    MessageBox::setLanguage(program_.gIdioma);
    return StartUp::Continue;
}

void Menu::showFileInTitle() {
    const QString name = QStringLiteral("Velmar Paraconsistent Logic");
    setWindowTitle(program_.dataFileNamed()
                       ? name + " - " + QFileInfo(program_.dataFilePath()).fileName()
                       : name);
}

bool Menu::openDecision(const QString& file) {
    if (QFileInfo(file).absoluteFilePath() == program_.dataFilePath()) return true;
    Program::OtherFile other = program_.claimOther(file);
    if (!other.claimed && !readOnlyWanted(this, other.path)) return false;
    const QString path = other.path;
    try {
        program_.switchTo(std::move(other));
    } catch (const store::StoreError& e) {
        reportOpeningFailure(this, e);  // the open file stays open
        return false;
    }
    program_.recentFiles.add(path);
    showFileInTitle();
    guarded(this, [&] {
        if (program_.readOnly() && program_.instanceClaimed()) warnReadOnly(this, path);
        applyStoredLanguage(program_, *this, kMenuCaptions);
    });
    return true;
}

void Menu::mnuNova_Click() {
    const QString target =
        FileDialog::saveFileName(this, QString::fromUtf8("Nova decisão"),
                                 QDir(documentsFolder()).filePath(QString::fromUtf8("decisão.mdb")),
                                 kDecisionFilter, "mdb");
    if (target.isEmpty()) return;
    if (QFileInfo(target).absoluteFilePath() == program_.dataFilePath()) {
        MessageBox::show(this,
                         QString::fromUtf8("Este é o arquivo aberto: escolha outro nome para a "
                                           "nova decisão."),
                         "Aviso", MessageBox::Icon::Warning);
        return;
    }
    if (guarded(this, [&] { store::createDeliveredFile(target.toStdString()); }))
        openDecision(target);
}

void Menu::mnuAbrir_Click() {
    const QString file = FileDialog::openFileName(this, QString::fromUtf8("Abrir decisão"),
                                                  kDecisionFilter);
    if (!file.isEmpty()) openDecision(file);
}

void Menu::mnuCopia_Click() {
    const QString proposed = QDir(documentsFolder()).filePath(
        QFileInfo(program_.dataFilePath()).completeBaseName() + QString::fromUtf8(" - cópia.mdb"));
    const QString target = FileDialog::saveFileName(
        this, QString::fromUtf8("Salvar cópia como"), proposed, kDecisionFilter, "mdb");
    if (target.isEmpty()) return;
    // A file another program has open is never replaced under it; held while copying.
    const Program::OtherFile held = program_.claimOther(target);
    if (!held.claimed && held.path != program_.dataFilePath()) {
        MessageBox::show(this,
                         QString::fromUtf8("O arquivo está aberto em outra janela do programa:\n") +
                             QDir::toNativeSeparators(held.path) +
                             QString::fromUtf8("\nEscolha outro nome para a cópia."),
                         "Aviso", MessageBox::Icon::Warning);
        return;
    }
    // The store's own backup: a whole, consistent copy even of a file in use.
    guarded(this, [&] { program_.db().backupTo(target.toStdString(), store::kDatabaseKey); });
}

void Menu::mnuComparar_Click() {
    const QStringList others = FileDialog::openFileNames(
        this, QString::fromUtf8("Comparar com as decisões"), kDecisionFilter);
    if (others.isEmpty()) return;
    QStringList files{program_.dataFilePath()};
    for (const QString& other : others)
        if (!files.contains(QFileInfo(other).absoluteFilePath()))
            files << QFileInfo(other).absoluteFilePath();
    if (files.size() < 2) {
        MessageBox::show(this,
                         QString::fromUtf8("Escolha ao menos uma decisão além da que está "
                                           "aberta."),
                         "Aviso", MessageBox::Icon::Warning);
        return;
    }
    program_.filesToCompare = files;
    open(WindowId::Comparar);
}

void Menu::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = program_.recentFiles.files();
    int number = 0;
    for (const QString& file : files) {
        QAction* item = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(++number).arg(QDir::toNativeSeparators(file)));
        item->setObjectName(QStringLiteral("mnuRecente%1").arg(number));
        // A file no longer there is shown greyed until the user removes it.
        item->setEnabled(QFileInfo::exists(file));
        connect(item, &QAction::triggered, this, [this, file] { openDecision(file); });
    }
    if (files.isEmpty()) {
        recentMenu_->addAction(QString::fromUtf8("(nenhum)"))->setEnabled(false);
        return;
    }
    recentMenu_->addSeparator();
    QAction* prune = recentMenu_->addAction(QString::fromUtf8("Remover os arquivos ausentes"));
    prune->setObjectName("mnuRemoverAusentes");
    prune->setEnabled(std::any_of(files.begin(), files.end(),
                                  [](const QString& f) { return !QFileInfo::exists(f); }));
    connect(prune, &QAction::triggered, this, [this] { program_.recentFiles.removeMissing(); });
}

void Menu::open(WindowId id) {
    program_.open(id, this);
}

void Menu::mnuCad_Click() {
    program_.gProximaJanela = NextWindow::None;
    open(WindowId::Cadastro);
    if (program_.gProximaJanela == NextWindow::Factors) open(WindowId::Meta);
    if (program_.gProximaJanela == NextWindow::Likert) open(WindowId::Tabela);
}

void Menu::mnuMeta_Click() {
    program_.gProximaJanela = NextWindow::None;
    open(WindowId::Meta);
    if (program_.gProximaJanela == NextWindow::Likert) open(WindowId::Tabela);
}

void Menu::mnuTabela_Click() {
    open(WindowId::Tabela);
}

void Menu::mnuAna_Click() {
    guarded(this, [&] {
        const decision::FactorCount count = decision::ReadFactorCount(program_.db(), program_.locale);
        if (auto id = analysisWindowForCount(count.number)) return open(*id);
        // A count edited by hand (1, 9, 4.5): say which one, rather than do nothing.
        MessageBox::show(this,
                         QString::fromUtf8("O número de fatores gravado é %1 e não abre nenhuma "
                                           "análise: as análises são de 2 a 8 fatores.")
                             .arg(qs(core::FormatGeneral(count.number, program_.locale))),
                         "Aviso", MessageBox::Icon::Warning);
    });
}

void Menu::mnuSuporte_Click() {
    open(WindowId::Informacoes);
}

void Menu::mnuSair_Click() {
    close();
}

}  // namespace vpl

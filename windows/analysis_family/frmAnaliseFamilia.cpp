#include "analysis_family/frmAnaliseFamilia.h"

#include "engine/barycentre.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/frmEsquema.h"
#include "analysis/frmResultado.h"
#include "engine/networks.h"
#include "analysis/picture_boxes.h"
#include "report/report_actions.h"
#include "analysis/spreadsheet_export.h"
#include "report/stored_analysis.h"
#include "shell/printers.h"
#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"
#include "store/schema.h"

namespace vpl {

namespace {

using Side = AnalysisBoard::Side;

constexpr int kOwnFactors = 1;  // cmbFonte's item for the user's own factors

constexpr int kBlocks = 4;

const std::array<FamilyMember, 6>& members() {
    const auto orAnd = AnalysisBoard::orAndLabels;
    static const std::array<FamilyMember, 6> table{{
        {2,
         "frmAnalise2f",
         "Análise 2f",
         core::FamilyNetwork(2),
         {2,
          0,
          {{"lblMax1", Side::Contrary, 0, 0},
           {"lblMax3", Side::Favourable, 0, 0},
           {"lblMax4", Side::Favourable, 0, 0}}},
         {"Label3", "Label4"}},
        {3,
         "frmAnalise3f",
         "Análise 3f",
         core::FamilyNetwork(3),
         {3, 3, orAnd(0, 1)},
         {"Label4", "Label5"}},
        {5,
         "frmAnalise5f",
         "Análise 5f",
         core::FamilyNetwork(5),
         {4, 4, orAnd(0, 1)},
         {"Label3", "Label4"}},
        {6,
         "frmAnalise6f",
         "Análise 6f",
         core::FamilyNetwork(6),
         {4, 4, orAnd(1, 2)},
         {"Label3", "Label4"}},
        {7,
         "frmAnalise7f",
         "Análise 7f",
         core::FamilyNetwork(7),
         {4, 4, orAnd(0, 1)},
         {"Label3", "Label4"}},
        {8,
         "frmAnalise8f",
         "Análise 8f",
         core::FamilyNetwork(8),
         {4, 4, orAnd(0, 1)},
         {"Label3", "Label4"}},
    }};
    return table;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    QPushButton* b = namedButton(parent, name, caption);
    b->setMinimumSize(twips(1800), twips(400));
    return b;
}

QLabel* verdictLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setFont(arialFont(10, true));
    label->setStyleSheet("color: #000080;");  // dark blue
    label->setWordWrap(true);
    return label;
}

std::string factorLabel(int factor, Side side) {
    return "lblF" + std::to_string(factor) + (side == Side::Contrary ? "G2" : "G1");
}

}  // namespace

const FamilyMember& familyMember(int factors) {
    for (const FamilyMember& member : members())
        if (member.factors == factors) return member;
    throw std::out_of_range("no family window for " + std::to_string(factors) + " factors");
}

frmAnaliseFamilia::frmAnaliseFamilia(Program& program, const FamilyMember& member, QWidget* parent)
    : QDialog(parent), program_(program), member_(member) {
    setObjectName(QString::fromUtf8(member.name));
    setWindowTitle(QString::fromUtf8(member.caption));

    const NetworkTablePicture picture(member.factors, member.columns, true);
    board_ = new AnalysisBoard(picture, member.labels, AnalysisBoard::kPictureScale, this);

    // mu2R and mu1R over the outermost columns, where the two networks end.
    const auto resultSymbol = [&](Side side, const char* pictureName, const char* svg,
                                  const char* rName) {
        auto* symbol = new QWidget(board_);
        auto* image = new SvgPictureBox(QString(":/pictures/") + svg, symbol);
        image->setObjectName(QString::fromUtf8(pictureName));
        image->setFixedSize(twips(360), twips(360));
        auto* r = new QLabel("R", symbol);
        r->setObjectName(QString::fromUtf8(rName));
        r->setFont(arialFont(12, true));
        auto* row = new QHBoxLayout(symbol);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        row->addStretch(1);
        row->addWidget(image, 0, Qt::AlignBottom);
        row->addWidget(r, 0, Qt::AlignBottom);
        row->addStretch(1);
        symbol->setGeometry(board_->headingRect(picture.outerCell(side)));
    };
    resultSymbol(Side::Contrary, "Picture1", "likert_mi2.svg", member.rLabels[0]);
    resultSymbol(Side::Favourable, "Picture3", "likert_mi1.svg", member.rLabels[1]);

    addOwnDataLabels(picture);

    auto* lblFonte = namedLabel(this, "lblFonte", "&Fonte dos dados:");
    cmbFonte = new QComboBox(this);
    cmbFonte->setObjectName("cmbFonte");
    cmbFonte->addItem(QString::fromUtf8("Tabela de referência"));
    cmbFonte->addItem(QStringLiteral("Fatores cadastrados"));
    lblFonte->setBuddy(cmbFonte);
    connect(cmbFonte, &QComboBox::currentIndexChanged, this, &frmAnaliseFamilia::cmbFonte_Click);
    lblSemRespostas = namedLabel(this, "lblSemRespostas", "");
    lblSemRespostas->setStyleSheet("color: #b00000;");
    lblSemRespostas->setWordWrap(true);
    lblSemRespostas->hide();
    // While the reference table is shown, where its numbers come from: the family's one text
    // in the interface language (its caption table), as it is about the user's own data.
    lblReferencia = namedLabel(
        this, "lblReferencia",
        QString::fromUtf8("Estes números vêm da tabela de referência que acompanha o programa, "
                          "não dos seus fatores."));
    lblReferencia->setStyleSheet("color: #1f3a5f;");
    lblReferencia->setWordWrap(true);

    lblMsg2 = verdictLabel(this, "lblMsg2");
    lblMsg1 = verdictLabel(this, "lblMsg1");

    auto* cmdEsquema = button(this, "cmdEsquema", "&Esquema Utilizado");
    auto* cmdResutado = button(this, "cmdResutado", "&Resultado");
    auto* cmdExportarPlanilha = button(this, "cmdExportarPlanilha", "Exportar p&lanilha...");
    auto* cmdSair = button(this, "cmdSair", "Re&turn");
    connect(cmdExportarPlanilha, &QPushButton::clicked, this,
            &frmAnaliseFamilia::cmdExportarPlanilha_Click);
    connect(cmdEsquema, &QPushButton::clicked, this, &frmAnaliseFamilia::cmdEsquema_Click);
    connect(cmdResutado, &QPushButton::clicked, this, &frmAnaliseFamilia::cmdResutado_Click);
    connect(cmdSair, &QPushButton::clicked, this, &frmAnaliseFamilia::cmdSair_Click);
    // The report's controls, last in the window and in the tab order.
    auto* Label7 = new QLabel("Pri&nter:", this);
    Label7->setObjectName("Label7");
    Combo1 = new PrinterBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);  // a printer name may also be typed
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(twips(3000));
    Label7->setBuddy(Combo1);
    auto* cmdPrinter = button(this, "cmdPrinter", "&Imprimir");
    auto* cmdPdf = button(this, "cmdPdf", "Salvar &PDF...");
    auto* cmdSalvarImagem = button(this, "cmdSalvarImagem", "Salvar i&magem...");
    connect(cmdSalvarImagem, &QPushButton::clicked, this, [this] {
        guarded(this, [&] { board_->savePicture(this, QString::fromUtf8(member_.caption)); });
    });
    connect(cmdPrinter, &QPushButton::clicked, this, &frmAnaliseFamilia::cmdPrinter_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &frmAnaliseFamilia::cmdPdf_Click);

    auto* verdicts = new QVBoxLayout;
    verdicts->setSpacing(twips(120));
    verdicts->addWidget(lblMsg2);
    verdicts->addWidget(lblMsg1);
    verdicts->addStretch(1);
    auto* printing = new QHBoxLayout;
    printing->setSpacing(twips(120));
    printing->addWidget(Label7);
    printing->addWidget(Combo1, 1);
    printing->addWidget(cmdPrinter);
    printing->addWidget(cmdPdf);
    printing->addWidget(cmdSalvarImagem);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(twips(120));
    buttons->addWidget(cmdEsquema);
    buttons->addWidget(cmdResutado);
    buttons->addWidget(cmdExportarPlanilha);
    buttons->addWidget(cmdSair);
    auto* lower = new QHBoxLayout;
    lower->addLayout(verdicts, 1);
    lower->addSpacing(twips(400));
    lower->addLayout(buttons);

    auto* source = new QHBoxLayout;
    source->setSpacing(twips(120));
    source->addWidget(lblFonte);
    source->addWidget(cmbFonte);
    source->addSpacing(twips(240));
    source->addWidget(lblSemRespostas, 1);
    source->addWidget(lblReferencia, 1);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(twips(240), twips(120), twips(240), twips(240));
    main->setSpacing(twips(200));
    main->addLayout(source);
    main->addWidget(board_, 0, Qt::AlignHCenter);
    main->addLayout(lower);
    main->addLayout(printing);
    setFixedWidth(board_->width() + twips(480));
}

// On the user's own factors every factor and every operator cell shows its degree: the
// labels the member lacks are added, and hidden while the reference table is shown.
void frmAnaliseFamilia::addOwnDataLabels(const NetworkTablePicture& picture) {
    for (int f = 1; f <= member_.factors; ++f) {
        if (f > member_.labels.contraryFactors)
            ownOnly_.push_back(board_->addLabel(factorLabel(f, Side::Contrary).c_str(),
                                                picture.contraryCell(f), false));
        if (f > member_.labels.favourableFactors)
            ownOnly_.push_back(board_->addLabel(factorLabel(f, Side::Favourable).c_str(),
                                                picture.favourableCell(f), false));
    }
    for (int c = 0; c < static_cast<int>(member_.columns.size()); ++c) {
        for (int k = 0; k < static_cast<int>(member_.columns[c].cells.size()); ++k) {
            for (Side side : {Side::Contrary, Side::Favourable}) {
                std::string name;
                for (const AnalysisBoard::NetworkLabel& n : member_.labels.network)
                    if (name.empty() && n.side == side && n.column == c && n.cell == k)
                        name = n.name;
                if (name.empty()) {
                    name = core::CellLabelName(side, c, k);
                    ownOnly_.push_back(
                        board_->addLabel(name.c_str(), picture.operatorCell(side, c, k), true));
                }
                cellLabels_.push_back({side, c, k, name});
            }
        }
    }
    for (QLabel* label : ownOnly_) label->hide();
    // A member label that shares its cell with the one showing the cell's result.
    for (const AnalysisBoard::NetworkLabel& n : member_.labels.network)
        if (std::none_of(cellLabels_.begin(), cellLabels_.end(),
                         [&](const CellLabel& c) { return c.name == n.name; }))
            referenceOnly_.push_back(boardLabel(n.name));
}

void frmAnaliseFamilia::Form_Load() {
    applyLanguage(*this, program_.gIdioma, kFamiliaCaptions);
    Printers::whenKnown(this, [this](const PrinterList& printers) { Combo1->showPrinters(printers); });
    AnalisarFatores();
}

void frmAnaliseFamilia::cmbFonte_Click() {
    if (guarded(this, [&] { AnalisarFatores(); })) return;
    // The screen still shows the other source's result: so does the box.
    const QSignalBlocker blocker(cmbFonte);
    cmbFonte->setCurrentIndex(sourceShown_);
}

void frmAnaliseFamilia::AnalisarFatores() {
    const int source = cmbFonte->currentIndex();
    if (source == kOwnFactors)
        analyseOwnFactors();
    else
        analyseReferenceTable();
    sourceShown_ = source;
}

void frmAnaliseFamilia::analyseReferenceTable() {
    store::Database& db = program_.db();
    const auto blocks = decision::ReadReferenceBlocks(db);
    const core::AnaliseFatoresResult r =
        core::AnalisarFatores({blocks[0], blocks[1], blocks[2], blocks[3]}, program_.locale);

    for (int i = 0; i < kBlocks; ++i) {
        board_->setText(factorLabel(i + 1, Side::Contrary).c_str(), r.blocks[i].lambda.text);
        board_->setText(factorLabel(i + 1, Side::Favourable).c_str(), r.blocks[i].mu.text);
    }
    const char* steps[] = {"lblMax1", "lblMax2", "lblMin1", "lblMax3", "lblMax4", "lblMin2"};
    for (std::size_t k = 0; k < r.steps.size(); ++k)
        board_->setText(steps[k], r.steps[k].result.text);
    for (QLabel* label : ownOnly_) label->hide();
    for (QLabel* label : referenceOnly_) label->show();
    board_->markWithoutAnswers({}, program_.gIdioma, lblSemRespostas);
    lblReferencia->show();
    resultPairs_.clear();
    for (const core::Anotacao& block : r.blocks)  // a block without answers has no texts
        resultPairs_.push_back(block.mu.text.empty() ? std::nullopt
                                                     : std::optional(core::EvidencePair{
                                                           block.mu.value, block.lambda.value}));
    resultPairsAreFactors_ = false;
    showOutcome(r);
}

void frmAnaliseFamilia::analyseOwnFactors() {
    store::Database& db = program_.db();
    const auto pairs = StoredFactorPairs(db, member_.factors);
    const core::AnaliseFatoresPropriosResult r =
        core::AnalisarFatoresProprios(pairs, member_.columns, program_.locale);
    const std::vector<int> without = StoredFactorsWithoutAnswers(db, pairs, program_.locale);

    for (int f = 1; f <= member_.factors; ++f) {
        board_->setText(factorLabel(f, Side::Contrary).c_str(), r.factors[f - 1].lambda.text);
        board_->setText(factorLabel(f, Side::Favourable).c_str(), r.factors[f - 1].mu.text);
    }
    for (const CellLabel& c : cellLabels_) {
        const core::Anotacao& result = r.cells[c.column][c.cell];
        board_->setText(c.name.c_str(),
                        c.side == Side::Contrary ? result.lambda.text : result.mu.text);
    }
    for (QLabel* label : ownOnly_) label->show();
    for (QLabel* label : referenceOnly_) label->hide();
    board_->markWithoutAnswers(without, program_.gIdioma, lblSemRespostas);
    lblReferencia->hide();
    resultPairs_ = core::ParesComRespostas(pairs, without);
    resultPairsAreFactors_ = true;
    showOutcome(r);
}

void frmAnaliseFamilia::showOutcome(const core::NetworkOutcome& r) {
    board_->setText("lblG2n", r.lblG2n);
    board_->setText("lblG1n", r.lblG1n);
    lblMsg2->setText(QString::fromUtf8(r.lblMsg2.data(), static_cast<int>(r.lblMsg2.size())));
    lblMsg1->setText(QString::fromUtf8(r.lblMsg1.data(), static_cast<int>(r.lblMsg1.size())));
    graus_ = r.graus;
}

QLabel* frmAnaliseFamilia::boardLabel(const std::string& name) const {
    return board_->findChild<QLabel*>(QString::fromStdString(name));
}

void frmAnaliseFamilia::cmdEsquema_Click() {
    guarded(this, [&] {
        const SchemeMember& scheme = schemeMember(member_.factors);
        // On the user's own factors the scheme is the network this window computed.
        if (sourceShown_ == kOwnFactors)
            openModal<frmEsquema>(program_, this, scheme, member_.columns);
        else
            openModal<frmEsquema>(program_, this, scheme);
    });
}

void frmAnaliseFamilia::cmdResutado_Click() {
    // The result window reads the program-wide values: they become this window's result.
    program_.gG1 = graus_.G1;
    program_.gG2 = graus_.G2;
    program_.gG1n = graus_.G1n;
    program_.gG2n = graus_.G2nSingle;
    program_.gPares = resultPairs_;
    program_.gParesSaoFatores = resultPairsAreFactors_;
    guarded(this, [&] { openModal<frmResultado>(program_, this); });
}

ReportData frmAnaliseFamilia::reportData() const {
    const core::NumberLocale locale = program_.locale;
    ReportNetwork network{board_->shownDegrees(), {}};
    network.lines << QStringLiteral("Gc = %1    Gct = %2")
                         .arg(qs(core::FormatNumber(graus_.G1.ToDouble(), "0.0000", locale)),
                              qs(core::FormatNumber(graus_.G2.ToDouble(), "0.0000", locale)));
    for (const QLabel* verdict : {lblMsg2, lblMsg1})
        if (!verdict->text().isEmpty()) network.lines << verdict->text();
    return FamilyReportData(program_.db(), member_.factors, sourceShown_ == kOwnFactors,
                            resultPairs_, graus_, std::move(network), locale);
}

void frmAnaliseFamilia::cmdPrinter_Click() {
    guarded(this, [&] {
        PrintReportOnPickedPrinter(this, program_, *Combo1, [&] { return reportData(); },
                                   board_->picture()->picture());
    });
}

void frmAnaliseFamilia::cmdPdf_Click() {
    guarded(this, [&] {
        SaveReportPdfAsked(this, program_, reportData(), board_->picture()->picture());
    });
}

// The spreadsheet of the source on screen.
void frmAnaliseFamilia::cmdExportarPlanilha_Click() {
    guarded(this, [&] {
        ExportSpreadsheet(this, program_, member_.factors,
                          sourceShown_ == kOwnFactors ? AnalysisSource::OwnFactors
                                                      : AnalysisSource::ReferenceTable);
    });
}

void frmAnaliseFamilia::cmdSair_Click() {
    guarded(this, [&] { close(); });
}

}  // namespace vpl

#include "analysis/frmAnalise4f.h"

#include "engine/barycentre.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "analysis/analysis_board.h"
#include "analysis/frmEsquema.h"
#include "analysis/frmResultado.h"
#include "engine/networks.h"
#include "analysis/picture_boxes.h"
#include "analysis/spreadsheet_export.h"
#include "report/printing_surface.h"
#include "report/report.h"
#include "report/report_actions.h"
#include "report/stored_analysis.h"
#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/fonts.h"
#include "shell/message_box.h"
#include "shell/printers.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace vpl {

namespace {

// The degrees grid, in twips.
constexpr int kTitleColumnWidth = 3800;
constexpr int kValueColumnWidth = 1000;
constexpr int kGridRowHeight = 300;

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    QPushButton* b = namedButton(parent, name, caption);
    b->setMinimumHeight(twips(400));
    return b;
}

}  // namespace

frmAnalise4f::frmAnalise4f(Program& program, QWidget* parent) : QDialog(parent), program_(program) {
    setObjectName("frmAnalise4f");
    setWindowTitle(QString::fromUtf8("Análise LP 4f"));

    // The network picture with every degree over its cell, (1 OR 2) AND (3 OR 4).
    board_ = new AnalysisBoard(NetworkTablePicture::fourFactor(),
                               {4, 4, AnalysisBoard::orAndLabels(0, 1)},
                               AnalysisBoard::kPictureScale, this);

    MSFlexGrid1 = new QTableWidget(5, 2, this);
    MSFlexGrid1->setObjectName("MSFlexGrid1");
    MSFlexGrid1->horizontalHeader()->hide();
    MSFlexGrid1->verticalHeader()->hide();
    MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    MSFlexGrid1->setFocusPolicy(Qt::NoFocus);
    MSFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->verticalHeader()->setDefaultSectionSize(twips(kGridRowHeight));
    MSFlexGrid1->setFont(arialFont(9));

    auto* Label7 = new QLabel("Pri&nter:", this);
    Label7->setObjectName("Label7");
    Combo1 = new PrinterBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);  // a printer name may also be typed
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(twips(3000));
    Label7->setBuddy(Combo1);

    // Access keys of their own: Return leaves R to the result.
    auto* cmdPrinter = button(this, "cmdPrinter", "&Imprimir");
    auto* cmdPdf = button(this, "cmdPdf", "Salvar &PDF...");
    auto* cmdSalvarImagem = button(this, "cmdSalvarImagem", "Salvar i&magem...");
    auto* cmdEsquema = button(this, "cmdEsquema", "&Esquema Utilizado");
    auto* cmdResutado = button(this, "cmdResutado", "&Resultado");
    auto* cmdSair = button(this, "cmdSair", "Re&turn");
    // Below the others, and last in the tab order.
    auto* cmdExportarPlanilha = button(this, "cmdExportarPlanilha", "Exportar p&lanilha...");
    connect(cmdEsquema, &QPushButton::clicked, this, &frmAnalise4f::cmdEsquema_Click);
    connect(cmdResutado, &QPushButton::clicked, this, &frmAnalise4f::cmdResutado_Click);
    connect(cmdSair, &QPushButton::clicked, this, &frmAnalise4f::cmdSair_Click);
    connect(cmdPrinter, &QPushButton::clicked, this, &frmAnalise4f::cmdPrinter_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &frmAnalise4f::cmdPdf_Click);
    connect(cmdSalvarImagem, &QPushButton::clicked, this, [this] {
        guarded(this, [&] { board_->savePicture(this, QStringLiteral("Rede 4f")); });
    });
    connect(cmdExportarPlanilha, &QPushButton::clicked, this,
            &frmAnalise4f::cmdExportarPlanilha_Click);

    auto* controls = new QGridLayout;
    controls->setHorizontalSpacing(twips(120));
    controls->setVerticalSpacing(twips(120));
    controls->addWidget(Label7, 0, 0);
    controls->addWidget(Combo1, 0, 1, 1, 3);
    controls->addWidget(cmdPrinter, 1, 0);
    controls->addWidget(cmdPdf, 1, 1);
    controls->addWidget(cmdSalvarImagem, 1, 2);
    controls->addWidget(cmdEsquema, 1, 2, 1, 2);
    controls->addWidget(cmdResutado, 2, 0, 1, 2);
    controls->addWidget(cmdSair, 2, 2, 1, 2);
    controls->addWidget(cmdExportarPlanilha, 3, 0, 1, 2);
    controls->setRowStretch(4, 1);

    auto* lower = new QHBoxLayout;
    lower->addWidget(MSFlexGrid1, 0, Qt::AlignTop);
    lower->addSpacing(twips(400));
    lower->addLayout(controls, 1);

    // Under the picture, the factors whose degrees are 0 for want of answers.
    lblSemRespostas = namedLabel(this, "lblSemRespostas", "");
    lblSemRespostas->setStyleSheet("color: #b00000;");
    lblSemRespostas->setWordWrap(true);
    lblSemRespostas->hide();

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(twips(240), twips(120), twips(240), twips(240));
    main->setSpacing(twips(200));
    main->addWidget(board_, 0, Qt::AlignHCenter);
    main->addWidget(lblSemRespostas);
    main->addLayout(lower);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

// The list comes from the worker thread that asks the print service, never on the way to
// the window's first paint.
void frmAnalise4f::setUpPrinters() {
    Printers::whenKnown(this, [this](const PrinterList& printers) { Combo1->showPrinters(printers); });
}

void frmAnalise4f::setUpGrid() {
    MSFlexGrid1->clearContents();
    MSFlexGrid1->setColumnWidth(0, twips(kTitleColumnWidth));
    MSFlexGrid1->setColumnWidth(1, twips(kValueColumnWidth));
    const char* titles[5] = {"Grau de Contradição G2 [-1;1]", "Grau de Certeza G1 [-1;1]", "",
                             "Grau de Não-Contradição Normalizado ~G2n",
                             "Grau de Certeza Normalizado G1n"};
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 2; ++col) {
            auto* item = new QTableWidgetItem(col == 0 ? QString::fromUtf8(titles[row]) : "");
            item->setTextAlignment(Qt::AlignCenter);
            if (col == 1) item->setForeground(QColor(255, 0, 0));
            MSFlexGrid1->setItem(row, col, item);
        }
    }
    const int frame = 2 * MSFlexGrid1->frameWidth();
    MSFlexGrid1->setFixedSize(twips(kTitleColumnWidth) + twips(kValueColumnWidth) + frame,
                              5 * twips(kGridRowHeight) + frame);
}

void frmAnalise4f::Form_Load() {
    setUpPrinters();
    setUpGrid();
    store::Database& db = program_.db();
    F_ = decision::ReadFactorCount(db, program_.locale).asInteger();
    applyStoredLanguage(program_, *this, kAnalise4fCaptions);

    const auto pairs = StoredFactorPairs(db, std::clamp<int>(F_, 0, 4));
    result_ = core::Rede4f(F_, pairs, program_.locale);
    const std::vector<int> without = StoredFactorsWithoutAnswers(db, pairs, program_.locale);
    board_->markWithoutAnswers(without, program_.gIdioma, lblSemRespostas);
    const core::Rede4fResult& r = result_;
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        board_->setText(("lblF" + n + "G2").c_str(), r.lblG2[i]);
        board_->setText(("lblF" + n + "G1").c_str(), r.lblG1[i]);
        board_->setText(("lblMax" + n).c_str(), r.lblMax[i]);
    }
    board_->setText("lblMin1", r.lblMin1);
    board_->setText("lblMin2", r.lblMin2);
    for (int row = 0; row < 5; ++row) MSFlexGrid1->item(row, 1)->setText(qs(r.grid[row]));
    // The value boxes of the picture repeat the normalised degrees of the grid.
    board_->setText("lblG2n", r.grid[3]);
    board_->setText("lblG1n", r.grid[4]);

    program_.gG1 = r.gG1;
    program_.gG2 = r.gG2;
    program_.gG1n = r.gG1n;
    program_.gG2n = r.gG2n;
    program_.gPares = core::ParesComRespostas(pairs, without);
    program_.gParesSaoFatores = true;
}

void frmAnalise4f::cmdEsquema_Click() {
    guarded(this, [&] { openModal<frmEsquema>(program_, this, schemeMember(4)); });
}

void frmAnalise4f::cmdResutado_Click() {
    guarded(this, [&] { openModal<frmResultado>(program_, this); });
}

ReportData frmAnalise4f::reportData() {
    return FourFactorReportData(program_.db(), F_, result_, program_.locale, program_.gIdioma);
}

void frmAnalise4f::cmdPrinter_Click() {
    guarded(this, [&] {
        PrintReportOnPickedPrinter(this, program_, *Combo1, [&] { return reportData(); },
                                   board_->picture()->picture());
    });
}

void frmAnalise4f::cmdPdf_Click() {
    guarded(this, [&] {
        SaveReportPdfAsked(this, program_, reportData(), board_->picture()->picture());
    });
}

void frmAnalise4f::cmdExportarPlanilha_Click() {
    guarded(this, [&] { ExportSpreadsheet(this, program_, F_, AnalysisSource::FourFactor); });
}

void frmAnalise4f::cmdSair_Click() {
    guarded(this, [&] { close(); });
}

}  // namespace vpl

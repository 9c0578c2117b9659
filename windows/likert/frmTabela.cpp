#include "likert/frmTabela.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QSvgWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/number_text.h"
#include "decision/factor_import.h"
#include "likert/import_preview.h"
#include "survey/workbook.h"
#include "core/likert_evidence.h"
#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/flex_grid.h"
#include "shell/import_map.h"
#include "shell/fonts.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/twips.h"
#include "shell/windows.h"
#include "store/schema.h"

namespace vpl {

namespace {

// The proposition, its Likert counts, then their total.
constexpr int kQtCol = store::kLikertPoints + 1;
constexpr int kCols = kQtCol + 1;
constexpr int kFirstRow = 2;  // rows 0 and 1 are the headings
constexpr int kDesignRows = 22;

// Column widths and row height, in twips.
constexpr int kPropositionColumnWidth = 4800;
constexpr int kPointColumnWidth = 600;
constexpr int kTotalColumnWidth = 700;
constexpr int kRowHeight = 300;

const QColor kCountColor(200, 224, 230);
const QColor kMarkColor(255, 255, 0);
const QColor kUnmarkColor(255, 255, 255);
const QColor kUnreadableColor(176, 0, 0);
const QColor kCountTextColor(0, 0, 0);

// A result value: a small sunken box that reads like a field. Its size is fixed, so that a
// new value repaints the box alone, without a layout pass over the window at every key.
QLabel* valueLabel(QWidget* parent, const char* name) {
    QLabel* l = namedLabel(parent, name, "0000000.0000");
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setFixedSize(std::max(twips(1300), l->sizeHint().width()), l->sizeHint().height());
    l->clear();
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);
    paintWithoutShaping(l);  // a key changes all five values
    return l;
}

// Larger than the set-up windows' buttons: they stand alone beside the grid.
const PictureButtonSize kButtonSize{QSize(28, 28), 44};

QWidget* symbol(QWidget* parent, const char* name, const char* picture) {
    auto* s = new QSvgWidget(QString(":/pictures/") + picture, parent);
    s->setObjectName(name);
    s->setFixedSize(twips(360), twips(360));
    return s;
}

QString staleDegreesText(Language idioma, int factor) {
    const char* text =
        idioma == Language::English
            ? "The stored degrees of factor %1 do not follow from its answers: they are "
              "recomputed and stored when an answer changes or the factor is left."
        : idioma == Language::Spanish
            ? "Los grados guardados del factor %1 no resultan de sus respuestas: se recalculan "
              "y se guardan cuando cambia una respuesta o se deja el factor."
            : "Os graus gravados do fator %1 não decorrem das suas respostas: eles são "
              "recalculados e gravados quando uma resposta muda ou o fator é deixado.";
    return QString::fromUtf8(text).arg(factor);
}

QString unevenAnswersText(Language idioma, const core::AnswerSpread& spread,
                          core::NumberLocale locale) {
    const char* text = idioma == Language::English
                           ? "The propositions have different numbers of answers: from %1 to %2."
                       : idioma == Language::Spanish
                           ? "Las proposiciones tienen números de respuestas distintos: de %1 a %2."
                           : "Os pressupostos têm números de respostas diferentes: de %1 a %2.";
    return QString::fromUtf8(text).arg(qs(core::FormatGeneral(spread.fewest, locale)),
                                       qs(core::FormatGeneral(spread.most, locale)));
}

}  // namespace

frmTabela::frmTabela(Program& program, QWidget* parent) : QDialog(parent), program_(program) {
    setObjectName("frmTabela");
    setWindowTitle("Likert - Fatores");
    setFont(arialFont(10));

    QLabel* label20 = namedLabel(this, "Label20", "&Fator:");
    cmbFator = new QComboBox(this);
    cmbFator->setObjectName("cmbFator");
    cmbFator->setEditable(false);
    cmbFator->setMinimumWidth(twips(4800));
    label20->setBuddy(cmbFator);

    lblMsg = namedLabel(this, "lblMsg", "Escolha um fator para iniciar os trabalhos");
    lblMsg->setStyleSheet("color: #8b0000; font-weight: bold;");
    QSizePolicy keepPlace = lblMsg->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblMsg->setSizePolicy(keepPlace);

    QLabel* label50 = namedLabel(this, "Label50", "Respostas dos entrevistados");
    label50->setStyleSheet("font-weight: bold;");

    MSFlexGrid1 = new FlexGrid(kDesignRows, kCols, kFirstRow, this);
    MSFlexGrid1->setObjectName("MSFlexGrid1");
    MSFlexGrid1->setFont(arialFont(9));
    MSFlexGrid1->verticalHeader()->setDefaultSectionSize(twips(kRowHeight));
    const int gridWidth = twips(kPropositionColumnWidth + store::kLikertPoints * kPointColumnWidth +
                                kTotalColumnWidth) +
                          2 * MSFlexGrid1->frameWidth() +
                          MSFlexGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    MSFlexGrid1->setMinimumSize(gridWidth, twips(kRowHeight) * 16 + 2 * MSFlexGrid1->frameWidth());
    MSFlexGrid1->setStretchColumn(0);  // long propositions get the room the window has

    notes_ = new NoteArea(this);
    // A palette, not a style sheet: a note repainted at every key is then drawn by the plain
    // style, and follows the window's font.
    QPalette notesPalette = notes_->palette();
    notesPalette.setColor(QPalette::WindowText, QColor(0x8b, 0x00, 0x00));
    notes_->setPalette(notesPalette);
    lblRespostas = notes_->addNote("lblRespostas");
    lblGraus = notes_->addNote("lblGraus");

    auto* frame7 = new QGroupBox("Resultados: ", this);
    frame7->setObjectName("Frame7");
    lblCf = valueLabel(frame7, "lblCf");
    lblDf = valueLabel(frame7, "lblDf");
    lblTotal = valueLabel(frame7, "lblTotal");
    lblMi2 = valueLabel(frame7, "lblMi2");
    lblMi1 = valueLabel(frame7, "lblMi1");
    auto* mi2 = new QHBoxLayout;
    mi2->addWidget(symbol(frame7, "imgMi2", "likert_mi2.svg"));
    mi2->addWidget(namedLabel(frame7, "captionMi2", " ="));
    auto* mi1 = new QHBoxLayout;
    mi1->addWidget(symbol(frame7, "imgMi1", "likert_mi1.svg"));
    mi1->addWidget(namedLabel(frame7, "captionMi1", " ="));
    auto* results = new QGridLayout(frame7);
    results->setVerticalSpacing(10);
    // The value labels' names cross their captions: lblCf holds Df, lblDf holds Cf.
    results->addWidget(namedLabel(frame7, "captionDf", "Df ="), 0, 0, Qt::AlignRight);
    results->addWidget(lblCf, 0, 1);
    results->addWidget(namedLabel(frame7, "captionCf", "Cf ="), 1, 0, Qt::AlignRight);
    results->addWidget(lblDf, 1, 1);
    results->addWidget(namedLabel(frame7, "captionTotal", "Total ="), 2, 0, Qt::AlignRight);
    results->addWidget(lblTotal, 2, 1);
    results->addLayout(mi2, 3, 0, Qt::AlignRight);
    results->addWidget(lblMi2, 3, 1);
    results->addLayout(mi1, 4, 0, Qt::AlignRight);
    results->addWidget(lblMi1, 4, 1);

    cmdAnalise = pictureButton(this, "cmdAnalise", "&Análise", "likert_analise.svg", kButtonSize);
    cmdSair = pictureButton(this, "cmdSair", "&Return", "likert_sair.svg", kButtonSize);
    cmdImportar = namedButton(this, "cmdImportar", "&Importar...");

    auto* choice = new QHBoxLayout;
    choice->addWidget(label20);
    choice->addWidget(cmbFator);
    choice->addSpacing(16);
    choice->addWidget(lblMsg);
    choice->addStretch();
    auto* side = new QVBoxLayout;
    side->addWidget(frame7);
    side->addStretch();
    side->addWidget(cmdImportar);
    side->addWidget(cmdAnalise);
    side->addWidget(cmdSair);
    auto* body = new QGridLayout;
    body->addWidget(label50, 0, 0);
    body->addWidget(MSFlexGrid1, 1, 0);
    body->addLayout(side, 1, 1);
    body->addWidget(notes_, 2, 0);
    body->setColumnStretch(0, 1);
    body->setRowStretch(1, 1);
    body->setHorizontalSpacing(16);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addLayout(choice);
    layout->addLayout(body);

    connect(cmbFator, &QComboBox::activated, this, &frmTabela::cmbFator_Click);
    connect(MSFlexGrid1, &FlexGrid::keyPress, this, &frmTabela::MSFlexGrid1_KeyPress);
    connect(MSFlexGrid1, &FlexGrid::click, this, &frmTabela::MSFlexGrid1_Click);
    connect(cmdAnalise, &QPushButton::clicked, this, &frmTabela::cmdAnalise_Click);
    connect(cmdImportar, &QPushButton::clicked, this, &frmTabela::cmdImportar_Click);
    connect(cmdSair, &QPushButton::clicked, this, &frmTabela::cmdSair_Click);
    connect(MSFlexGrid1, &FlexGrid::backTab, this,
            [this] { guarded(this, [&] { moveToPreviousCell(); }); });
    connect(MSFlexGrid1, &QTableWidget::currentCellChanged, this, [this] { sheet_.reachCell(); });
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &frmTabela::undoLastChange);

    // Reading order for the keyboard: the factor, the grid, then the buttons.
    setTabOrder(cmbFator, MSFlexGrid1);
    setTabOrder(MSFlexGrid1, cmdImportar);
    setTabOrder(cmdImportar, cmdAnalise);
    setTabOrder(cmdAnalise, cmdSair);
}

void frmTabela::Form_Load() {
    store::Database& db = program_.db();
    applyStoredLanguage(program_, *this, kTabelaCaptions);
    NumFactors = factorCountOf(decision::ReadOfferedFactors(db));
    const std::vector<decision::Factor> factors = decision::ReadFactors(db, NumFactors);
    if (static_cast<int>(factors.size()) < NumFactors)
        throw store::StoreError("Registros não encontrados: Fatores tem " +
                                std::to_string(factors.size()) + " de " +
                                std::to_string(NumFactors) + ".");
    for (const decision::Factor& factor : factors)
        cmbFator->addItem(QString::number(factor.number) + ". " + qs(factor.titleText()));
    cmbFator->setCurrentIndex(-1);
    const store::Value fatores = decision::ReadFactorCount(db, program_.locale).stored;
    SetUpGrid(decision::StoredNumber(fatores, program_.locale) ? NumFactors : 4);
    CurFactor = 0;
    cmdImportar->setEnabled(!program_.readOnly());
}

// nFatores follows the factors window's count; a value edited by hand that cannot be a
// number of factors offers none, and says so.
int frmTabela::factorCountOf(const store::Value& nFatores) {
    if (const std::optional<int> count = decision::OfferedFactorCount(nFatores, program_.locale))
        return *count;
    MessageBox::show(
        this,
        QString::fromUtf8("O número de fatores do cadastro (nFatores) não é válido: ") +
            qs(decision::ShownValue(nFatores)) + QString::fromUtf8(".\nNenhum fator pode ser escolhido."),
        "Aviso", MessageBox::Icon::Warning);
    return 0;
}

void frmTabela::SetUpGrid(int rows) {
    FlexGrid& grid = *MSFlexGrid1;
    sheet_ = decision::LikertSheet(program_.locale, rows);
    grid.clearTexts();
    grid.setRows(rows + 3);
    grid.setColWidthTwips(0, kPropositionColumnWidth);
    for (int c = 1; c <= store::kLikertPoints; ++c) grid.setColWidthTwips(c, kPointColumnWidth);
    grid.setColWidthTwips(kQtCol, kTotalColumnWidth);
    const char* points[] = {"Likert Scale", "1", "2", "3", "4", "5", ""};
    const char* labels[] = {"Pressupostos", "DT", "D", "I", "C", "CT", "QT"};
    for (int c = 0; c < kCols; ++c) {
        grid.setTextAt(0, c, points[c]);
        grid.setTextAt(1, c, labels[c]);
        grid.setCellBold(0, c, true);
        grid.setCellBold(1, c, true);
        grid.setCellBold(rows + 2, c, true);
        grid.setColAlignment(c, c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    }
    MarkRow = kFirstRow;
    MarkCol = 0;
    grid.setCell(kFirstRow, 0);
}

void frmTabela::cmbFator_Click() {
    const bool loaded = guarded(this, [&] {
        CurFactor = cmbFator->currentIndex() + 1;  // item i is factor i
        const int shown = sheet_.factor();
        if (shown > 0 && shown != CurFactor && CurFactor > 0 && !program_.readOnly()) {
            try {
                SaveShownFactor(shown);
            } catch (const store::ChangedElsewhere& change) {
                showChangedElsewhere(change);  // what the other program wrote stays
            }
        }
        if (CurFactor >= 1 && CurFactor <= store::kFactorSlots) loadFactor(CurFactor);
    });
    if (loaded) return;
    // The grid still shows the factor it showed before: so must the choice.
    CurFactor = sheet_.factor();
    cmbFator->setCurrentIndex(sheet_.factor() - 1);
}

void frmTabela::loadFactor(int factor) {
    // Taken before the rows are read: a write by another program in between is then seen
    // as one after the reading, never missed.
    const std::int64_t version = program_.db().dataVersion();
    const decision::Factor stored = decision::ReadFactor(program_.db(), factor);
    const int count = stored.rowsShown(program_.locale);
    // Everything is read before the grid changes, so a failure leaves it as it was.
    std::vector<decision::Proposition> rows =
        decision::ReadPropositions(program_.db(), factor, count);
    sheet_.load(factor, std::move(rows), stored.mi1, stored.mi2);
    seenVersion_ = version;
    FillLikertGrid();
    lblMsg->hide();
    RefreshEvidence();
    showStaleDegrees();
}

void frmTabela::FillLikertGrid() {
    FlexGrid& grid = *MSFlexGrid1;
    const core::NumberLocale locale = program_.locale;
    const int rows = sheet_.rows();
    const int totalRow = rows + 2;
    grid.setRows(rows + 3);
    for (int r = kFirstRow; r <= totalRow; ++r) {
        for (int c = 0; c < kCols; ++c) {
            grid.setTextAt(r, c, QString());
            // The total row may stand where a count row stood for the factor before.
            grid.setCellBold(r, c, r == totalRow || c == kQtCol);
            if (c >= 1 && c <= store::kLikertPoints)
                grid.setCellBackground(r, c, r < totalRow ? kCountColor : kUnmarkColor);
        }
    }
    for (int i = 0; i < rows; ++i) {
        const int r = kFirstRow + i;
        grid.setTextAt(r, 0, qs(sheet_.text(i, decision::LikertSheet::kTextCell)));
        grid.setToolTipAt(r, 0, grid.textAt(r, 0));
        grid.setTextAt(r, kQtCol, qs(sheet_.storedTotalText(i)));
        for (int j = 1; j <= store::kLikertPoints; ++j) {
            grid.setTextAt(r, j, qs(sheet_.text(i, j)));
            grid.setCellForeground(r, j,
                                   sheet_.readable(i, j) ? kCountTextColor : kUnreadableColor);
        }
    }
    grid.setTextAt(totalRow, 0, "Total");
    for (int j = 1; j <= store::kLikertPoints; ++j)
        grid.setTextAt(totalRow, j, qs(core::FormatGeneral(sheet_.columnSum(j), locale)));
    grid.setTextAt(totalRow, kQtCol, qs(core::FormatGeneral(sheet_.grandTotal(), locale)));
}

bool frmTabela::isPropositionRow(int row) const {
    return row >= kFirstRow && row <= sheet_.rows() + 1;
}

void frmTabela::showRowTotal(int row) {
    MSFlexGrid1->setTextAt(
        row, kQtCol,
        qs(core::FormatNumber(sheet_.rowTotal(row - kFirstRow), "#00", program_.locale)));
}

void frmTabela::showColumnSum(int col) {
    MSFlexGrid1->setTextAt(sheet_.rows() + 2, col,
                           qs(core::FormatNumber(sheet_.columnSum(col), "#00", program_.locale)));
}

void frmTabela::showGrandTotal() {
    MSFlexGrid1->setTextAt(sheet_.rows() + 2, kQtCol,
                           qs(core::FormatNumber(sheet_.grandTotal(), "#00", program_.locale)));
}

// After a click: the row's total and the column's sum as an edit shows them, and the
// evidence.
void frmTabela::RecalcTotals() {
    if (!isPropositionRow(EditRow)) return;
    showRowTotal(EditRow);
    if (EditCol >= 1 && EditCol <= store::kLikertPoints) showColumnSum(EditCol);
    RefreshEvidence();
}

void frmTabela::RefreshEvidence() {
    if (sheet_.factor() == 0) return;  // no factor shown: an edit changes only the grid
    const core::LikertTexts texts = sheet_.evidenceTexts();
    lblCf->setText(qs(texts.df));
    lblDf->setText(qs(texts.cf));
    lblTotal->setText(qs(texts.total));
    // Without answers there are no degrees, and no degrees of another factor stay shown.
    lblMi2->setText(qs(texts.Mi2.value_or("")));
    lblMi1->setText(qs(texts.Mi1.value_or("")));
    showUnevenAnswers();
}

void frmTabela::showUnevenAnswers() {
    const std::optional<core::AnswerSpread> spread = sheet_.unevenAnswers();
    const QString text =
        spread ? unevenAnswersText(program_.gIdioma, *spread, program_.locale) : QString();
    notes_->setNote(lblRespostas, text);
}

// Degrees written by other means, or before every key stored them with its count, are named
// until the window stores the ones the answers give.
void frmTabela::showStaleDegrees() {
    notes_->setNote(lblGraus, sheet_.degreesStale()
                                  ? staleDegreesText(program_.gIdioma, sheet_.factor())
                                  : QString());
}

// Writes the cell's count at once, when it differs from the stored one, together with the
// factor's degrees: the file never holds counts and degrees that disagree. A failed write
// leaves it on screen, and the next write or the save stores it.
void frmTabela::storeCount(int row, int col) {
    const std::optional<decision::LikertSheet::CountWrite> write =
        sheet_.countToStore(row - kFirstRow, col);
    if (!write) return;
    decision::SaveCount(program_.db(), sheet_.factor(), write->proposition, write->point,
                        write->count, write->degrees, seenVersion_);
    sheet_.stored(*write);
}

// The proposition texts, any count not yet stored and the degrees, as one transaction;
// only what differs from the stored values is written.
void frmTabela::SaveShownFactor(int factor) {
    // A factor without answers shows no degrees; it stores 0 and 0, as the analyses
    // read a factor without answers.
    const decision::LikertSheet::Changes changes = sheet_.changes();
    if (changes.empty()) return;
    try {
        decision::SavePropositions(program_.db(), factor, changes.propositions, changes.degrees,
                                   seenVersion_);
    } catch (const store::ChangedElsewhere&) {
        loadFactor(sheet_.factor());  // the grid shows what the other program wrote
        throw;
    }
    sheet_.stored(changes);
    showStaleDegrees();
}

void frmTabela::MSFlexGrid1_KeyPress(int keyAscii) {
    // Ctrl+Z reaches the grid itself when the window's shortcut does not take it.
    if (keyAscii == KeyAscii::CtrlZ) return undoLastChange();
    guarded(this, [&] {
        FlexGrid& grid = *MSFlexGrid1;
        if (keyAscii == KeyAscii::Enter || keyAscii == KeyAscii::Tab) {
            moveToNextCell(keyAscii == KeyAscii::Tab);
            EditRow = grid.row();
            RecalcTotals();
            return;
        }
        // A read-only data file takes no typing; the headings, the totals and the total
        // row never do.
        if (program_.readOnly()) return;
        const int row = grid.row();
        const int col = grid.col();
        if (!isPropositionRow(row) || col < 0 || col >= kQtCol) return;
        if (sheet_.type(row - kFirstRow, col, keyAscii)) showEdit(row, col);
    });
}

// A cell's new text as typed or put back, and everything that follows from it.
void frmTabela::showEdit(int row, int col) {
    FlexGrid& grid = *MSFlexGrid1;
    const QString text = qs(sheet_.text(row - kFirstRow, col));
    grid.setTextAt(row, col, text);
    EditRow = row;
    if (col == 0) grid.setToolTipAt(row, 0, text);
    if (col >= 1) {
        grid.setCellForeground(row, col, kCountTextColor);
        showColumnSum(col);
        showGrandTotal();
    }
    showRowTotal(row);
    RefreshEvidence();
    // The user sees the new count before its durable write, which takes as long as the
    // paint: the write still ends before the next key or click is handled.
    paintPendingNow(this);
    try {
        if (col >= 1) storeCount(row, col);
    } catch (const store::ChangedElsewhere& change) {
        showChangedElsewhere(change);
        return;
    }
    showStaleDegrees();
}

// Another program wrote to the file since the shown factor was read: nothing is written over
// it, and the grid shows what is stored now.
void frmTabela::showChangedElsewhere(const store::ChangedElsewhere& change) {
    if (sheet_.factor() > 0) loadFactor(sheet_.factor());
    MessageBox::show(this, storeErrorText(change), "Aviso", MessageBox::Icon::Warning);
}

void frmTabela::undoLastChange() {
    if (!sheet_.canUndo() || program_.readOnly()) return;
    guarded(this, [&] {
        if (const decision::FactorSnapshot* before = sheet_.importToUndo()) {
            const int factor = before->factor;
            try {
                decision::RestoreFactor(program_.db(), *before, seenVersion_);
                loadFactor(factor);  // clears the steps: nothing came before
            } catch (const store::ChangedElsewhere& change) {
                showChangedElsewhere(change);
            }
            return;
        }
        const auto [i, col] = sheet_.undoKey();
        MSFlexGrid1->setCell(kFirstRow + i, col);
        showEdit(kFirstRow + i, col);
    });
}

// Enter and Tab go on to the next cell, then to the next row; after the last proposition
// row Enter starts again at the first one, never the total row or the headings, and Tab
// leaves the grid for the buttons.
void frmTabela::moveToNextCell(bool tab) {
    FlexGrid& grid = *MSFlexGrid1;
    if (sheet_.rows() < 1) return;
    int row = grid.row();
    int col = grid.col() + 1;
    if (col >= grid.cols()) {
        col = 0;
        ++row;
    }
    if (!isPropositionRow(row)) {
        if (tab) return grid.leave(true);
        row = kFirstRow;
    }
    grid.setCell(row, col);
}

// Shift+Tab goes back a cell; from the first cell it leaves the grid for the factor box.
void frmTabela::moveToPreviousCell() {
    FlexGrid& grid = *MSFlexGrid1;
    int row = grid.row();
    int col = grid.col() - 1;
    if (col < 0) {
        col = grid.cols() - 1;
        --row;
    }
    if (sheet_.rows() < 1 || !isPropositionRow(row)) return grid.leave(false);
    grid.setCell(row, col);
}

void frmTabela::MSFlexGrid1_Click() {
    guarded(this, [&] {
        FlexGrid& grid = *MSFlexGrid1;
        if (grid.col() > store::kLikertPoints || grid.row() > sheet_.rows() + 1) return;
        EditRow = grid.row();
        EditCol = grid.col();
        sheet_.reachCell();
        grid.setCellBackground(MarkRow, MarkCol, kUnmarkColor);
        grid.setCellBackground(EditRow, EditCol, kMarkColor);
        MarkRow = EditRow;
        MarkCol = EditCol;
        RecalcTotals();
    });
}

// Saves the shown factor before the window closes.
Leaving frmTabela::saveBeforeLeaving() {
    const int shown = sheet_.factor();
    if (shown == 0) return Leaving::Saved;
    return saveToLeave(this, program_, [&] { SaveShownFactor(shown); });
}

void frmTabela::cmdAnalise_Click() {
    const Leaving leaving = saveBeforeLeaving();
    if (leaving == Leaving::Stay) return;
    // The analysis reads the stored degrees: not after a save that failed.
    if (leaving == Leaving::Saved) {
        if (std::optional<WindowId> id = analysisWindowForCount(NumFactors)) {
            program_.open(*id, this);
        } else {
            // A count edited by hand: say which one, rather than close without a word.
            guarded(this, [&] {
                const store::Value stored = decision::ReadOfferedFactors(program_.db());
                const std::optional<double> count = decision::StoredNumber(stored, program_.locale);
                MessageBox::show(
                    this,
                    QString::fromUtf8("O número de fatores gravado no cadastro (nFatores) é %1 e "
                                      "não abre nenhuma análise: as análises são de 2 a 8 fatores.")
                        .arg(qs(count ? core::FormatGeneral(*count, program_.locale)
                                      : decision::ShownValue(stored))),
                    "Aviso", MessageBox::Icon::Warning);
            });
        }
    }
    accept();
}

// Replaces the shown factor's propositions and answers by those of a survey export, after
// the user has seen what will be stored.
void frmTabela::cmdImportar_Click() {
    const ImportTexts& t = importTexts(program_.gIdioma);
    const int shown = sheet_.factor();
    if (shown == 0) {
        MessageBox::show(this, QString::fromUtf8(t.chooseFactor), QString::fromUtf8(t.title),
                         MessageBox::Icon::Warning);
        return;
    }
    const QString path =
        FileDialog::openFileName(this, QString::fromUtf8(t.title), QString::fromUtf8(t.fileFilter));
    if (path.isEmpty()) return;
    guarded(this, [&] { importInto(shown, path); });
}

namespace {

QString workbookRefusal(const ImportTexts& t, const core::WorkbookError& e) {
    using Reason = core::WorkbookError::Reason;
    switch (e.reason) {
        case Reason::NotAZip:
            return QString::fromUtf8(t.workbookNotZip);
        case Reason::Protected:
            return QString::fromUtf8(t.workbookProtected);
        case Reason::OldWorkbook:
            return QString::fromUtf8(t.workbookOld);
        case Reason::NoSheet:
            return QString::fromUtf8(t.workbookNoSheet);
        case Reason::TooLarge:
            return QString::fromUtf8(t.workbookTooLarge);
        case Reason::TooManyRows:
            return QString::fromUtf8(t.workbookTooManyRows).arg(core::kSheetRows);
        case Reason::TooManyColumns:
            return QString::fromUtf8(t.workbookTooManyColumns).arg(core::kSheetColumns);
        case Reason::Damaged:
            break;
    }
    return QString::fromUtf8(t.workbookDamaged);
}

}  // namespace

void frmTabela::importInto(int factor, const QString& path) {
    const ImportTexts& t = importTexts(program_.gIdioma);
    const auto refuse = [&](const QString& text) {
        MessageBox::show(this, text, QString::fromUtf8(t.title), MessageBox::Icon::Warning);
    };
    const std::string file = QFile::encodeName(path).toStdString();
    core::SurveyFile survey;
    try {
        // A workbook of several sheets: the user says which.
        std::string sheet;
        if (core::KindOfFile(file) == core::FileKind::Workbook) {
            const std::vector<std::string> names = core::WorkbookSheets(file);
            if (names.size() > 1) {
                QStringList items;
                for (const std::string& name : names) items << QString::fromStdString(name);
                bool chosen = false;
                const QString name =
                    QInputDialog::getItem(this, QString::fromUtf8(t.title),
                                          QString::fromUtf8(t.chooseSheet), items, 0, false, &chosen);
                if (!chosen) return;
                sheet = name.toStdString();
            }
        }
        survey = core::ReadSurveyExport(file, sheet);
    } catch (const core::SurveyFileError& e) {
        refuse(QString::fromUtf8(t.cannotRead) + QDir::toNativeSeparators(path) + "\n" +
               QString::fromUtf8(e.what()));
        return;
    } catch (const core::WorkbookError& e) {
        refuse(workbookRefusal(t, e));
        return;
    } catch (const core::SurveyError& e) {
        using Reason = core::SurveyError::Reason;
        if (e.reason == Reason::NoPropositions && !e.read.skippedColumns.empty()) {
            // Respondents' rows but no statement: the preview says why, and imports nothing.
            frmImportar(e.read, factor, cmbFator->currentText(), program_.gIdioma, this).exec();
        } else if (e.reason == Reason::TooManyPropositions) {
            refuse(QString::fromUtf8(t.tooMany).arg(e.propositions).arg(store::kPropositionRows));
        } else if (e.reason == Reason::EveryFactor) {
            refuse(QString::fromUtf8(t.everyFactor));
        } else {
            refuse(QString::fromUtf8(e.reason == Reason::NotCsv ? t.notCsv : t.noPropositions));
        }
        return;
    }
    // The choices made last time for a survey of the same headings, or everything into the
    // shown factor.
    const QString settings = program_.recentFiles.settingsFile();
    core::ImportChoices initial = RememberedChoices(settings, survey).value_or(
        core::DefaultChoices(survey, factor));
    frmImportar preview(survey, std::move(initial), factor, cmbFator->currentText(),
                        program_.gIdioma, this);
    if (preview.exec() != QDialog::Accepted) return;
    const core::ImportChoices& choices = preview.choices();
    RememberChoices(settings, survey, choices);
    std::vector<core::FactorImport> factors;
    try {
        factors = core::FactorsToImport(survey, choices, program_.gIdioma);
    } catch (const core::SurveyError& e) {
        refuse(QString::fromUtf8(t.tooMany).arg(e.propositions).arg(store::kPropositionRows));
        return;
    }
    if (factors.empty()) return;

    // Into the shown factor alone: one step that Ctrl+Z puts back.
    if (factors.size() == 1 && factors.front().factor == factor && factors.front().title.empty()) {
        decision::FactorSnapshot before = decision::SnapshotFactor(program_.db(), factor);
        StoreImportedFactor(program_.db(), factor, factors.front().propositions);
        loadFactor(factor);
        sheet_.importedOver(std::move(before));
        return;
    }
    // Into several factors: the user says whether the data of the others may go.
    QStringList holding;
    for (const int f : FactorsReplacingData(program_.db(), factors))
        if (f != factor) holding << QString::number(f);
    if (!holding.isEmpty() &&
        MessageBox::show(this, QString::fromUtf8(t.askReplace).arg(holding.join(", ")),
                         QString::fromUtf8(t.title), MessageBox::Icon::Warning,
                         MessageBox::Buttons::YesNo) != MessageBox::Answer::Yes)
        return;
    StoreImportedFactors(program_.db(), factors);
    for (const core::FactorImport& f : factors)
        if (!f.title.empty() && f.factor <= cmbFator->count())
            cmbFator->setItemText(f.factor - 1, QString::number(f.factor) + ". " + qs(f.title));
    loadFactor(factor);
}

void frmTabela::cmdSair_Click() {
    if (saveBeforeLeaving() == Leaving::Stay) return;
    program_.gProximaJanela = NextWindow::None;
    accept();
}

void frmTabela::reject() {
    cmdSair_Click();
}

}  // namespace vpl

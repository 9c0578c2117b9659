#include "likert/frmTabela.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QSvgWidget>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
#include <span>

#include "core/number_text.h"
#include "likert/factor_import.h"
#include "likert/import_preview.h"
#include "likert/likert_evidence.h"
#include "shell/captions.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/flex_grid.h"
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

// A result value: a small sunken box that reads like a field.
QLabel* valueLabel(QWidget* parent, const char* name) {
    QLabel* l = namedLabel(parent, name, "");
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(twips(1300));
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);
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

bool isWholeCount(double n, int max) {
    return n >= 0 && n <= max && n == std::floor(n);
}

std::string shownValue(const store::Value& value) {
    return value.toText().value_or("Null");
}

// Enough for a long session of typing; older steps are dropped.
constexpr std::size_t kUndoSteps = 200;

QString staleDegreesText(std::int16_t idioma, int factor) {
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

QString unevenAnswersText(std::int16_t idioma, const core::AnswerSpread& spread,
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

    lblRespostas = namedLabel(this, "lblRespostas", "");
    lblRespostas->setStyleSheet("color: #8b0000;");
    lblRespostas->setWordWrap(true);
    lblGraus = namedLabel(this, "lblGraus", "");
    lblGraus->setStyleSheet("color: #8b0000;");
    lblGraus->setWordWrap(true);

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
    body->addWidget(lblRespostas, 2, 0);
    body->addWidget(lblGraus, 3, 0);
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
    connect(MSFlexGrid1, &QTableWidget::currentCellChanged, this, [this] { freshCell_ = true; });
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
    applyStoredLanguage(program_, *this, {TabelaCaptionsEN, TabelaCaptionsES});
    NumFactors = factorCountOf(db.firstRow("Cadastro", {"nFatores"}).value("nFatores"));
    PrevFactor = 0;
    int number = 0;
    for (const store::Row& row : db.firstRows("Fatores", {"Fator"}, NumFactors))
        cmbFator->addItem(QString::number(++number) + ". " +
                          qs(row.value("Fator").toText().value_or("")));
    cmbFator->setCurrentIndex(-1);
    const store::Value fatores = db.firstRow("Parametro", {"Fatores"}).value("Fatores");
    NumProps = storedNumber(fatores, program_.locale) ? NumFactors : 4;
    SetUpGrid();
    CurFactor = 0;
    cmdImportar->setEnabled(!program_.readOnly());
}

// nFatores follows the factors window's count; a value edited by hand that cannot be a
// number of factors offers none, and says so.
int frmTabela::factorCountOf(const store::Value& nFatores) {
    const std::optional<double> count = storedNumber(nFatores, program_.locale);
    if (count && isWholeCount(*count, store::kFactorSlots)) return static_cast<int>(*count);
    MessageBox::show(
        this,
        QString::fromUtf8("O número de fatores do cadastro (nFatores) não é válido: ") +
            qs(shownValue(nFatores)) + QString::fromUtf8(".\nNenhum fator pode ser escolhido."),
        "Aviso", MessageBox::Icon::Warning);
    return 0;
}

void frmTabela::SetUpGrid() {
    FlexGrid& grid = *MSFlexGrid1;
    grid.clearTexts();
    grid.setRows(NumProps + 3);
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
        grid.setCellBold(NumProps + 2, c, true);
        grid.setColAlignment(c, c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    }
    counts_.assign(static_cast<std::size_t>(NumProps), {});
    unreadable_.assign(static_cast<std::size_t>(NumProps), {});
    columnSums_ = {};
    MarkRow = kFirstRow;
    MarkCol = 0;
    grid.setCell(kFirstRow, 0);
}

void frmTabela::cmbFator_Click() {
    const bool loaded = guarded(this, [&] {
        CurFactor = cmbFator->currentIndex() + 1;  // item i is factor i
        if (PrevFactor > 0 && PrevFactor != CurFactor && CurFactor > 0 && !program_.readOnly()) {
            try {
                SaveShownFactor(PrevFactor);
            } catch (const store::ChangedElsewhere& change) {
                showChangedElsewhere(change);  // what the other program wrote stays
            }
        }
        if (CurFactor >= 1 && CurFactor <= store::kFactorSlots) loadFactor(CurFactor);
    });
    if (loaded) return;
    // The grid still shows the factor it showed before: so must the choice.
    CurFactor = PrevFactor;
    cmbFator->setCurrentIndex(PrevFactor - 1);
}

void frmTabela::loadFactor(int factor) {
    // Taken before the rows are read: a write by another program in between is then seen
    // as one after the reading, never missed.
    const std::int64_t version = program_.db().dataVersion();
    const std::optional<store::Row> row =
        program_.db().rowByKey("Fatores", {"Prop", "Mi1", "Mi2"}, factor);
    if (!row)
        throw store::StoreError("Registro não encontrado: Fatores chave " + std::to_string(factor) +
                                ".");
    const int count = propositionCountOf(row->value("Prop"), factor);
    // Everything is read before the grid changes, so a failure leaves it as it was.
    std::vector<StoredProposition> rows = readPropositions(factor, count);
    NumProps = count;
    shown_ = std::move(rows);
    storedMi1_ = row->value("Mi1");
    storedMi2_ = row->value("Mi2");
    seenVersion_ = version;
    PrevFactor = factor;
    undo_.clear();  // the steps belong to the factor shown before
    FillLikertGrid();
    lblMsg->hide();
    RefreshEvidence();
    showStaleDegrees();
}

// Prop as typed in the factors window: not a number gives 4 rows.
int frmTabela::propositionCountOf(const store::Value& prop, int factor) const {
    const std::optional<double> count = storedNumber(prop, program_.locale);
    if (!count) return 4;
    if (!isWholeCount(*count, store::kPropositionRows))
        throw store::StoreError("O número de pressupostos do fator " + std::to_string(factor) +
                                " não é válido: " + shownValue(prop) + ".");
    return static_cast<int>(*count);
}

std::vector<frmTabela::StoredProposition> frmTabela::readPropositions(int factor, int count) {
    std::vector<std::string> fields{"Proposicao"};
    for (int j = 1; j <= store::kLikertPoints; ++j) fields.push_back(store::likertField(j));
    std::vector<StoredProposition> rows;
    for (const store::Row& row :
         program_.db().firstRows(store::propositionTable(factor), fields, count)) {
        StoredProposition p{row.key(), row.value("Proposicao"), {}};
        for (int j = 1; j <= store::kLikertPoints; ++j)
            p.counts[j - 1] = row.number(store::likertField(j));
        rows.push_back(std::move(p));
    }
    return rows;
}

void frmTabela::FillLikertGrid() {
    FlexGrid& grid = *MSFlexGrid1;
    const core::NumberLocale locale = program_.locale;
    const int totalRow = NumProps + 2;
    grid.setRows(NumProps + 3);
    for (int r = kFirstRow; r <= totalRow; ++r) {
        for (int c = 0; c < kCols; ++c) {
            grid.setTextAt(r, c, QString());
            // The total row may stand where a count row stood for the factor before.
            grid.setCellBold(r, c, r == totalRow || c == kQtCol);
            if (c >= 1 && c <= store::kLikertPoints)
                grid.setCellBackground(r, c, r < totalRow ? kCountColor : kUnmarkColor);
        }
    }
    counts_.assign(static_cast<std::size_t>(NumProps), {});
    unreadable_.assign(static_cast<std::size_t>(NumProps), {});
    columnSums_ = {};
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const StoredProposition& p = shown_[i];
        const int r = kFirstRow + static_cast<int>(i);
        grid.setTextAt(r, 0, qs(p.proposicao.toText().value_or("")));
        grid.setToolTipAt(r, 0, grid.textAt(r, 0));
        double total = 0;
        for (double count : p.counts) total += count;
        std::string qt = core::FormatGeneral(total, locale);
        if (core::LeadingNumber(qt) == 0) qt.clear();
        grid.setTextAt(r, kQtCol, qs(qt));
        const bool answered = core::LeadingNumber(qt) > 0;  // else the count cells stay empty
        for (int j = 1; j <= store::kLikertPoints; ++j) {
            const double stored = p.counts[j - 1];
            const bool readable = isWholeCount(stored, std::numeric_limits<std::int32_t>::max());
            unreadable_[i][j - 1] = !readable;
            QString cell = answered ? qs(core::FormatNumber(stored, "#00", locale)) : QString();
            if (!readable) cell = qs(core::FormatGeneral(stored, locale));
            grid.setTextAt(r, j, cell);
            grid.setCellForeground(r, j, readable ? kCountTextColor : kUnreadableColor);
            counts_[i][j - 1] = readable ? countOf(cell) : 0;
            columnSums_[j - 1] += counts_[i][j - 1];
        }
    }
    grid.setTextAt(totalRow, 0, "Total");
    double grandTotal = 0;
    for (int j = 1; j <= store::kLikertPoints; ++j) {
        grid.setTextAt(totalRow, j, qs(core::FormatGeneral(columnSums_[j - 1], locale)));
        grandTotal += columnSums_[j - 1];
    }
    grid.setTextAt(totalRow, kQtCol, qs(core::FormatGeneral(grandTotal, locale)));
}

// A count cell holds digits only: its count, or 0 when it is empty. A count loaded from a
// file edited by other means is read by the locale's rules.
std::int32_t frmTabela::countOf(const QString& text) const {
    return core::CountFromText(text.toStdString(), program_.locale).value_or(0);
}

bool frmTabela::isPropositionRow(int row) const {
    return row >= kFirstRow && row <= NumProps + 1;
}

void frmTabela::showRowTotal(int row) {
    const auto& counts = counts_[static_cast<std::size_t>(row - kFirstRow)];
    double total = 0;
    for (std::int32_t count : counts) total += count;
    MSFlexGrid1->setTextAt(row, kQtCol, qs(core::FormatNumber(total, "#00", program_.locale)));
}

void frmTabela::showColumnSum(int col) {
    MSFlexGrid1->setTextAt(NumProps + 2, col,
                           qs(core::FormatNumber(columnSums_[col - 1], "#00", program_.locale)));
}

void frmTabela::showGrandTotal() {
    double total = 0;
    for (double sum : columnSums_) total += sum;
    MSFlexGrid1->setTextAt(NumProps + 2, kQtCol,
                           qs(core::FormatNumber(total, "#00", program_.locale)));
}

// After a click: the row's total and the column's sum as an edit shows them, and the
// evidence.
void frmTabela::RecalcTotals() {
    if (!isPropositionRow(EditRow)) return;
    showRowTotal(EditRow);
    if (EditCol >= 1 && EditCol <= store::kLikertPoints) showColumnSum(EditCol);
    RefreshEvidence();
}

// The evidence pools the counts of all propositions; with whole counts that is the
// evidence of one row holding the column sums.
void frmTabela::RefreshEvidence() {
    if (PrevFactor == 0) return;  // no factor shown: an edit changes only the grid
    const core::LikertRow sums = columnSums_;
    const core::LikertEvidence evidence = core::ComputeLikertEvidence(std::span(&sums, 1));
    shownDegrees_ = core::DegreesToStore(evidence);
    const core::LikertTexts texts = core::FormatLikertEvidence(evidence, program_.locale);
    lblCf->setText(qs(texts.df));
    lblDf->setText(qs(texts.cf));
    lblTotal->setText(qs(texts.total));
    // Without answers there are no degrees, and no degrees of another factor stay shown.
    lblMi2->setText(qs(texts.Mi2.value_or("")));
    lblMi1->setText(qs(texts.Mi1.value_or("")));
    showUnevenAnswers();
}

void frmTabela::showUnevenAnswers() {
    std::vector<core::LikertRow> rows;
    rows.reserve(counts_.size());
    for (const auto& counts : counts_)
        rows.push_back({double(counts[0]), double(counts[1]), double(counts[2]), double(counts[3]),
                        double(counts[4])});
    const std::optional<core::AnswerSpread> spread = core::UnevenAnswers(rows);
    const QString text =
        spread ? unevenAnswersText(program_.gIdioma, *spread, program_.locale) : QString();
    if (lblRespostas->text() != text) lblRespostas->setText(text);
}

// Degrees written by other means, or before every key stored them with its count, are named
// until the window stores the ones the answers give.
void frmTabela::showStaleDegrees() {
    const core::StoredDegrees shown = shownDegrees_;
    const bool stale =
        PrevFactor > 0 && (storedMi1_.number() != shown.Mi1 || storedMi2_.number() != shown.Mi2);
    lblGraus->setText(stale ? staleDegreesText(program_.gIdioma, PrevFactor) : QString());
}

bool frmTabela::showsEveryCount() const {
    for (const auto& row : unreadable_)
        for (const bool unreadable : row)
            if (unreadable) return false;
    return true;
}


// A new count in a cell: its column's sum and the grand total follow.
void frmTabela::setCount(int row, int col, std::int32_t count) {
    const std::size_t i = static_cast<std::size_t>(row - kFirstRow);
    columnSums_[col - 1] += static_cast<double>(count) - counts_[i][col - 1];
    counts_[i][col - 1] = count;
    showColumnSum(col);
    showGrandTotal();
}

// Writes the cell's count at once, when it differs from the stored one, together with the
// factor's degrees: the file never holds counts and degrees that disagree. A failed write
// leaves it on screen, and the next write or the save stores it.
void frmTabela::storeCount(int row, int col) {
    const std::size_t i = static_cast<std::size_t>(row - kFirstRow);
    const std::int32_t count = counts_[i][col - 1];
    if (PrevFactor == 0 || i >= shown_.size() || shown_[i].counts[col - 1] == count) return;
    // Counts the grid cannot read give no degrees: the stored ones stay.
    const core::StoredDegrees degrees = shownDegrees_;
    store::Assignments changedDegrees;
    if (showsEveryCount()) {
        if (storedMi1_.number() != degrees.Mi1) changedDegrees.emplace_back("Mi1", degrees.Mi1);
        if (storedMi2_.number() != degrees.Mi2) changedDegrees.emplace_back("Mi2", degrees.Mi2);
    }
    store::Database& db = program_.db();
    store::Transaction tx(db, seenVersion_);
    db.update(store::propositionTable(PrevFactor), shown_[i].key,
              {{store::likertField(col), store::Value(count)}});
    if (!changedDegrees.empty()) db.update("Fatores", PrevFactor, changedDegrees);
    tx.commit();
    shown_[i].counts[col - 1] = count;
    for (const auto& [field, value] : changedDegrees)
        (field == "Mi1" ? storedMi1_ : storedMi2_) = value;
}

// The rows whose texts or counts differ from what is stored.
std::vector<frmTabela::RowChange> frmTabela::changedRows() const {
    std::vector<RowChange> changes;
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        RowChange change{i, shown_[i], {}};
        const std::string text = MSFlexGrid1->utf8At(kFirstRow + static_cast<int>(i), 0);
        // A NULL or a number stored as the text stays as it is while the text reads the same.
        if (change.after.proposicao.toText().value_or("") != text) {
            change.after.proposicao = store::Value(text);
            change.fields.emplace_back("Proposicao", change.after.proposicao);
        }
        for (int j = 1; j <= store::kLikertPoints; ++j) {
            const std::int32_t count = counts_[i][j - 1];
            if (unreadable_[i][j - 1] || count == change.after.counts[j - 1]) continue;
            change.after.counts[j - 1] = count;
            change.fields.emplace_back(store::likertField(j), store::Value(count));
        }
        if (!change.fields.empty()) changes.push_back(std::move(change));
    }
    return changes;
}

// The proposition texts, any count not yet stored and the degrees, as one transaction;
// only what differs from the stored values is written.
void frmTabela::SaveShownFactor(int factor) {
    // A factor without answers shows no degrees; it stores 0 and 0, as the analyses
    // read a factor without answers.
    const auto [mi1, mi2] = shownDegrees_;
    store::Assignments degrees;
    if (showsEveryCount()) {
        if (storedMi1_.number() != mi1) degrees.emplace_back("Mi1", mi1);
        if (storedMi2_.number() != mi2) degrees.emplace_back("Mi2", mi2);
    }
    const std::vector<RowChange> changes = changedRows();
    if (changes.empty() && degrees.empty()) return;
    store::Database& db = program_.db();
    std::optional<store::Transaction> tx;
    try {
        tx.emplace(db, seenVersion_);
    } catch (const store::ChangedElsewhere&) {
        loadFactor(PrevFactor);  // the grid shows what the other program wrote
        throw;
    }
    for (const RowChange& change : changes)
        db.update(store::propositionTable(PrevFactor), shown_[change.index].key, change.fields);
    if (!degrees.empty() && db.rowByKey("Fatores", {}, factor))
        db.update("Fatores", factor, degrees);
    tx->commit();
    for (const RowChange& change : changes) shown_[change.index] = change.after;
    for (const auto& [field, value] : degrees) (field == "Mi1" ? storedMi1_ : storedMi2_) = value;
    showStaleDegrees();
}

std::optional<QString> frmTabela::typed(const QString& text, int keyAscii, int col) const {
    if (keyAscii == KeyAscii::Backspace) {
        if (text.isEmpty()) return std::nullopt;
        return text.chopped(text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1);
    }
    if (keyAscii < 32) return std::nullopt;
    const char32_t character = static_cast<char32_t>(keyAscii);
    const QString after = text + QString::fromUcs4(&character, 1);
    if (col == 0) return after;  // a proposition text takes any printable character
    // A count is a whole number of respondents: digits only, up to the largest count
    // the file keeps.
    if (keyAscii < '0' || keyAscii > '9') return std::nullopt;
    if (!core::CountFromText(after.toStdString(), program_.locale)) return std::nullopt;
    return after;
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
        // As in a spreadsheet, a digit typed into a count cell just reached replaces it.
        const bool replaces = col >= 1 && freshCell_ && keyAscii != KeyAscii::Backspace;
        const QString before = grid.text();
        const std::optional<QString> after = typed(replaces ? QString() : before, keyAscii, col);
        if (!after) return;
        freshCell_ = false;
        if (*after == before) return;
        undo_.push_back({row, col, before, std::nullopt});
        if (undo_.size() > kUndoSteps) undo_.erase(undo_.begin());
        editCell(row, col, *after);
    });
}

// A cell's new text as typed or put back, and everything that follows from it.
void frmTabela::editCell(int row, int col, const QString& text) {
    FlexGrid& grid = *MSFlexGrid1;
    grid.setTextAt(row, col, text);
    EditRow = row;
    if (col == 0) grid.setToolTipAt(row, 0, text);
    if (col >= 1) {
        unreadable_[static_cast<std::size_t>(row - kFirstRow)][col - 1] = false;
        grid.setCellForeground(row, col, kCountTextColor);
        setCount(row, col, countOf(text));
    }
    showRowTotal(row);
    RefreshEvidence();
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
    if (PrevFactor > 0) loadFactor(PrevFactor);
    MessageBox::show(this, storeErrorText(change), "Aviso", MessageBox::Icon::Warning);
}

void frmTabela::undoLastChange() {
    if (undo_.empty() || program_.readOnly()) return;
    guarded(this, [&] {
        UndoStep step = undo_.back();
        if (step.beforeImport) {
            try {
                RestoreFactor(program_.db(), *step.beforeImport, seenVersion_);
                loadFactor(step.beforeImport->factor);  // clears the steps: nothing came before
            } catch (const store::ChangedElsewhere& change) {
                showChangedElsewhere(change);
            }
            return;
        }
        undo_.pop_back();
        if (!isPropositionRow(step.row)) return;
        MSFlexGrid1->setCell(step.row, step.col);
        editCell(step.row, step.col, step.before);
    });
}

// Enter and Tab go on to the next cell, then to the next row; after the last proposition
// row Enter starts again at the first one, never the total row or the headings, and Tab
// leaves the grid for the buttons.
void frmTabela::moveToNextCell(bool tab) {
    FlexGrid& grid = *MSFlexGrid1;
    if (NumProps < 1) return;
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
    if (NumProps < 1 || !isPropositionRow(row)) return grid.leave(false);
    grid.setCell(row, col);
}

void frmTabela::MSFlexGrid1_Click() {
    guarded(this, [&] {
        FlexGrid& grid = *MSFlexGrid1;
        if (grid.col() > store::kLikertPoints || grid.row() > NumProps + 1) return;
        EditRow = grid.row();
        EditCol = grid.col();
        freshCell_ = true;
        grid.setCellBackground(MarkRow, MarkCol, kUnmarkColor);
        grid.setCellBackground(EditRow, EditCol, kMarkColor);
        MarkRow = EditRow;
        MarkCol = EditCol;
        RecalcTotals();
    });
}

// Saves the shown factor before the window closes.
Leaving frmTabela::saveBeforeLeaving() {
    if (PrevFactor == 0) return Leaving::Saved;
    return saveToLeave(this, program_, [&] { SaveShownFactor(PrevFactor); });
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
                const store::Value stored =
                    program_.db().firstRow("Cadastro", {"nFatores"}).value("nFatores");
                const std::optional<double> count = storedNumber(stored, program_.locale);
                MessageBox::show(
                    this,
                    QString::fromUtf8("O número de fatores gravado no cadastro (nFatores) é %1 e "
                                      "não abre nenhuma análise: as análises são de 2 a 8 fatores.")
                        .arg(qs(count ? core::FormatGeneral(*count, program_.locale)
                                      : shownValue(stored))),
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
    if (PrevFactor == 0) {
        MessageBox::show(this, QString::fromUtf8(t.chooseFactor), QString::fromUtf8(t.title),
                         MessageBox::Icon::Warning);
        return;
    }
    const QString path =
        FileDialog::openFileName(this, QString::fromUtf8(t.title), QString::fromUtf8(t.fileFilter));
    if (path.isEmpty()) return;
    guarded(this, [&] { importInto(PrevFactor, path); });
}

void frmTabela::importInto(int factor, const QString& path) {
    const ImportTexts& t = importTexts(program_.gIdioma);
    const auto refuse = [&](const QString& text) {
        MessageBox::show(this, text, QString::fromUtf8(t.title), MessageBox::Icon::Warning);
    };
    core::SurveyFile survey;
    try {
        survey = core::ReadSurveyFile(QFile::encodeName(path).toStdString());
    } catch (const core::SurveyFileError& e) {
        refuse(QString::fromUtf8(t.cannotRead) + QDir::toNativeSeparators(path) + "\n" +
               QString::fromUtf8(e.what()));
        return;
    } catch (const core::SurveyError& e) {
        using Reason = core::SurveyError::Reason;
        if (e.reason == Reason::NoPropositions && !e.read.skippedColumns.empty()) {
            // Respondents' rows but no statement: the preview says why, and imports nothing.
            frmImportar(e.read, cmbFator->currentText(), program_.gIdioma, this).exec();
        } else if (e.reason == Reason::TooManyPropositions) {
            refuse(QString::fromUtf8(t.tooMany).arg(e.propositions).arg(store::kPropositionRows));
        } else if (e.reason == Reason::EveryFactor) {
            refuse(QString::fromUtf8(t.everyFactor));
        } else {
            refuse(QString::fromUtf8(e.reason == Reason::NotCsv ? t.notCsv : t.noPropositions));
        }
        return;
    }
    frmImportar preview(survey, cmbFator->currentText(), program_.gIdioma, this);
    if (preview.exec() != QDialog::Accepted) return;
    FactorSnapshot before = SnapshotFactor(program_.db(), factor);
    StoreImportedFactor(program_.db(), factor, survey.propositions);
    loadFactor(factor);
    undo_.push_back({0, 0, QString(), std::move(before)});
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

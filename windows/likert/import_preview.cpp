#include "likert/import_preview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/program.h"

namespace vpl {

namespace {

using core::Alike;

// Each member of ImportTexts under its own name.
constexpr core::Translated kTexts[] = {
    {"title", "Importar respostas", "Import answers", "Importar respuestas"},
    {"chooseFactor", "Escolha um fator antes de importar.", "Choose a factor before importing.",
     "Elija un factor antes de importar."},
    {"fileFilter", "Respostas (*.csv *.tsv *.txt)", "Answers (*.csv *.tsv *.txt)",
     "Respuestas (*.csv *.tsv *.txt)"},
    {"cannotRead", "Não foi possível ler o arquivo ",
     "The file could not be read: ", "No se pudo leer el archivo "},
    {"notCsv", "O arquivo não pôde ser lido como CSV.", "The file could not be read as CSV.",
     "El archivo no se pudo leer como CSV."},
    {"noPropositions", "O arquivo não tem pressupostos para importar.",
     "The file has no propositions to import.", "El archivo no tiene proposiciones para importar."},
    {"tooMany", "O arquivo tem %1 pressupostos; um fator tem no máximo %2. Nada foi importado.",
     "The file has %1 propositions; a factor holds at most %2. Nothing was imported.",
     "El archivo tiene %1 proposiciones; un factor tiene como máximo %2. No se importó nada."},
    {"countsLayout",
     "Formato: um pressuposto por linha, com as cinco contagens (separador %1). Linhas lidas: %2.",
     "Layout: one proposition per row, with its five counts (delimiter %1). Rows read: %2.",
     "Formato: una proposición por fila, con sus cinco conteos (separador %1). Filas leídas: %2."},
    {"responsesLayout",
     "Formato: um entrevistado por linha, um pressuposto por coluna (separador %1). "
     "Entrevistados lidos: %2.",
     "Layout: one respondent per row, one proposition per column (delimiter %1). "
     "Respondents read: %2.",
     "Formato: un encuestado por fila, una proposición por columna (separador %1). "
     "Encuestados leídos: %2."},
    {"replaces", "Os pressupostos e as respostas do fator \"%1\" serão substituídos por estes.",
     "The propositions and answers of factor \"%1\" will be replaced by these.",
     "Las proposiciones y respuestas del factor \"%1\" serán reemplazadas por estas."},
    {"proposition", "Pressuposto", "Proposition", "Proposición"},
    {"notUnderstood", "Células não compreendidas: %1 (não entram nas contagens)",
     "Cells not understood: %1 (left out of the counts)",
     "Celdas no comprendidas: %1 (no entran en los conteos)"},
    {"cell", "Linha %1, coluna %2: \"%3\"", "Row %1, column %2: \"%3\"",
     "Fila %1, columna %2: \"%3\""},
    {"moreCells", "… e mais %1", "… and %1 more", "… y %1 más"},
    {"total", "Linha %1: total %2, mas a soma das contagens é %3",
     "Row %1: total %2, but the counts add up to %3",
     "Fila %1: total %2, pero la suma de los conteos es %3"},
    {"importAll", "&Importar", "&Import", "&Importar", Alike::InSpanish},
    {"importRest", "&Importar o restante", "&Import the rest", "&Importar el resto"},
    {"cancel", "&Cancelar", "&Cancel", "&Cancelar", Alike::InSpanish},
    {"skippedToolField", "Coluna %1 (\"%2\") ignorada: é um campo da ferramenta de pesquisa",
     "Column %1 (\"%2\") skipped: it is a field of the survey tool",
     "Columna %1 (\"%2\") omitida: es un campo de la herramienta de encuestas"},
    {"skippedDates", "Coluna %1 (\"%2\") ignorada: traz datas ou horas",
     "Column %1 (\"%2\") skipped: it holds dates or times",
     "Columna %1 (\"%2\") omitida: contiene fechas u horas"},
    {"skippedEmails", "Coluna %1 (\"%2\") ignorada: traz endereços de e-mail",
     "Column %1 (\"%2\") skipped: it holds e-mail addresses",
     "Columna %1 (\"%2\") omitida: contiene direcciones de correo electrónico"},
    {"skippedNumbers", "Coluna %1 (\"%2\") ignorada: traz números fora da escala de 1 a 5",
     "Column %1 (\"%2\") skipped: it holds numbers off the scale of 1 to 5",
     "Columna %1 (\"%2\") omitida: contiene números fuera de la escala de 1 a 5"},
    {"skippedNotAnswers",
     "Coluna %1 (\"%2\") ignorada: só %3 de %4 células são respostas da escala",
     "Column %1 (\"%2\") skipped: only %3 of its %4 cells are answers on the scale",
     "Columna %1 (\"%2\") omitida: solo %3 de sus %4 celdas son respuestas de la escala"},
    {"skippedEmpty", "Coluna %1 (\"%2\") ignorada: não tem respostas",
     "Column %1 (\"%2\") skipped: it holds no answers",
     "Columna %1 (\"%2\") omitida: no tiene respuestas"},
    {"nothingToImport",
     "Nada a importar: nenhuma coluna traz respostas da escala (1 a 5 ou as palavras da "
     "escala). Abaixo, por que cada coluna foi ignorada.",
     "Nothing to import: no column holds answers on the scale (1 to 5 or the scale's words). "
     "Below, why each column was skipped.",
     "Nada que importar: ninguna columna contiene respuestas de la escala (1 a 5 o las "
     "palabras de la escala). Abajo, por qué se omitió cada columna."},
    {"everyFactor",
     "O arquivo traz os pressupostos de todos os fatores (primeira coluna \"Fator\"). Importe "
     "um fator de cada vez, de um arquivo só com os pressupostos desse fator. Nada foi importado.",
     "The file holds the propositions of every factor (first column \"Fator\"). Import one "
     "factor at a time, from a file of that factor's propositions only. Nothing was imported.",
     "El archivo contiene las proposiciones de todos los factores (primera columna \"Fator\"). "
     "Importe un factor a la vez, de un archivo solo con las proposiciones de ese factor. No se "
     "importó nada."},
};

// Each member by its name, so that no text can take another's place.
ImportTexts textsIn(core::Language language) {
    const auto text = [language](const char* key) {
        return core::TextIn(core::Lookup(kTexts, key), language);
    };
    return {.title = text("title"),
            .chooseFactor = text("chooseFactor"),
            .fileFilter = text("fileFilter"),
            .cannotRead = text("cannotRead"),
            .notCsv = text("notCsv"),
            .noPropositions = text("noPropositions"),
            .tooMany = text("tooMany"),
            .countsLayout = text("countsLayout"),
            .responsesLayout = text("responsesLayout"),
            .replaces = text("replaces"),
            .proposition = text("proposition"),
            .notUnderstood = text("notUnderstood"),
            .cell = text("cell"),
            .moreCells = text("moreCells"),
            .total = text("total"),
            .importAll = text("importAll"),
            .importRest = text("importRest"),
            .cancel = text("cancel"),
            .skippedToolField = text("skippedToolField"),
            .skippedDates = text("skippedDates"),
            .skippedEmails = text("skippedEmails"),
            .skippedNumbers = text("skippedNumbers"),
            .skippedNotAnswers = text("skippedNotAnswers"),
            .skippedEmpty = text("skippedEmpty"),
            .nothingToImport = text("nothingToImport"),
            .everyFactor = text("everyFactor")};
}

QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

QString skippedLine(const ImportTexts& t, const core::SkippedColumn& c) {
    using Reason = core::SkipReason;
    const char* text = t.skippedEmpty;
    switch (c.reason) {
        case Reason::ToolField:
            text = t.skippedToolField;
            break;
        case Reason::Dates:
            text = t.skippedDates;
            break;
        case Reason::Emails:
            text = t.skippedEmails;
            break;
        case Reason::Numbers:
            text = t.skippedNumbers;
            break;
        case Reason::NotAnswers:
            return tr8(t.skippedNotAnswers)
                .arg(c.column)
                .arg(QString::fromStdString(c.heading))
                .arg(c.answers)
                .arg(c.filled);
        case Reason::Empty:
            break;
    }
    return tr8(text).arg(c.column).arg(QString::fromStdString(c.heading));
}

QString delimiterName(char delimiter) {
    if (delimiter == '\t') return "TAB";
    return QString("\"%1\"").arg(QChar(delimiter));
}

}  // namespace

const std::span<const core::Translated> kImportTexts{kTexts};

const ImportTexts& importTexts(core::Language language) {
    static const ImportTexts english = textsIn(Language::English);
    static const ImportTexts spanish = textsIn(Language::Spanish);
    static const ImportTexts portuguese = textsIn(Language::Portuguese);
    if (language == Language::English) return english;
    if (language == Language::Spanish) return spanish;
    return portuguese;
}

frmImportar::frmImportar(const core::SurveyFile& survey, const QString& factor,
                         core::Language language, QWidget* parent)
    : QDialog(parent) {
    const ImportTexts& t = importTexts(language);
    setObjectName("frmImportar");
    setWindowTitle(tr8(t.title));

    const bool counts = survey.layout == core::SurveyLayout::Counts;
    lblFormato = namedLabel(this, "lblFormato",
                            tr8(counts ? t.countsLayout : t.responsesLayout)
                                .arg(delimiterName(survey.delimiter))
                                .arg(survey.rowsRead));
    lblAviso = namedLabel(this, "lblAviso", tr8(t.replaces).arg(factor));
    lblAviso->setStyleSheet("color: #8b0000; font-weight: bold;");

    grdPrevia = new QTableWidget(static_cast<int>(survey.propositions.size()),
                                 store::kLikertPoints + 2, this);
    grdPrevia->setObjectName("grdPrevia");
    grdPrevia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPrevia->setHorizontalHeaderLabels({tr8(t.proposition), "DT", "D", "I", "C", "CT", "QT"});
    grdPrevia->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int r = 0; r < grdPrevia->rowCount(); ++r) {
        const core::SurveyProposition& p = survey.propositions[static_cast<std::size_t>(r)];
        grdPrevia->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(p.text)));
        qint64 total = 0;
        for (int j = 0; j < store::kLikertPoints; ++j) {
            grdPrevia->setItem(r, j + 1, new QTableWidgetItem(QString::number(p.counts[j])));
            total += p.counts[j];
        }
        grdPrevia->setItem(r, store::kLikertPoints + 1,
                           new QTableWidgetItem(QString::number(total)));
    }
    grdPrevia->resizeColumnsToContents();
    grdPrevia->setMinimumSize(640, 260);

    lstNaoLidas = new QListWidget(this);
    lstNaoLidas->setObjectName("lstNaoLidas");
    for (const core::UnreadCell& c : survey.unread)
        lstNaoLidas->addItem(
            tr8(t.cell).arg(c.row).arg(c.column).arg(QString::fromStdString(c.text)));
    if (survey.unreadNotListed > 0)
        lstNaoLidas->addItem(tr8(t.moreCells).arg(survey.unreadNotListed));
    for (const core::TotalMismatch& m : survey.totals)
        lstNaoLidas->addItem(
            tr8(t.total).arg(m.row).arg(QString::fromStdString(m.total)).arg(m.sum));
    for (const core::SkippedColumn& c : survey.skippedColumns)
        lstNaoLidas->addItem(skippedLine(t, c));
    lblNaoLidas =
        namedLabel(this, "lblNaoLidas",
                   tr8(t.notUnderstood).arg(survey.unread.size() + survey.unreadNotListed));
    const bool anyRemark = lstNaoLidas->count() > 0;
    lstNaoLidas->setVisible(anyRemark);
    lblNaoLidas->setVisible(anyRemark);

    cmdImportar =
        namedButton(this, "cmdImportar", tr8(survey.unread.empty() ? t.importAll : t.importRest));
    cmdCancelar = namedButton(this, "cmdCancelar", tr8(t.cancel));
    // Nothing that is a statement: the preview only says why each column was skipped.
    if (survey.propositions.empty()) {
        lblAviso->setText(tr8(t.nothingToImport));
        lblAviso->setWordWrap(true);
        grdPrevia->hide();
        lblNaoLidas->hide();
        cmdImportar->setEnabled(false);
        cmdCancelar->setDefault(true);
    }
    connect(cmdImportar, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImportar);
    buttons->addWidget(cmdCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFormato);
    layout->addWidget(lblAviso);
    layout->addWidget(grdPrevia, 1);
    layout->addWidget(lblNaoLidas);
    layout->addWidget(lstNaoLidas);
    layout->addLayout(buttons);
}

}  // namespace vpl

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

const ImportTexts kPortuguese{
    "Importar respostas",
    "Escolha um fator antes de importar.",
    "Respostas (*.csv *.tsv *.txt)",
    "Não foi possível ler o arquivo ",
    "O arquivo não pôde ser lido como CSV.",
    "O arquivo não tem pressupostos para importar.",
    "O arquivo tem %1 pressupostos; um fator tem no máximo %2. Nada foi importado.",
    "Formato: um pressuposto por linha, com as cinco contagens (separador %1). Linhas lidas: %2.",
    "Formato: um entrevistado por linha, um pressuposto por coluna (separador %1). "
    "Entrevistados lidos: %2.",
    "Os pressupostos e as respostas do fator \"%1\" serão substituídos por estes.",
    "Pressuposto",
    "Células não compreendidas: %1 (não entram nas contagens)",
    "Linha %1, coluna %2: \"%3\"",
    "… e mais %1",
    "Linha %1: total %2, mas a soma das contagens é %3",
    "&Importar",
    "&Importar o restante",
    "&Cancelar",
    "Coluna %1 (\"%2\") ignorada: é um campo da ferramenta de pesquisa",
    "Coluna %1 (\"%2\") ignorada: traz datas ou horas",
    "Coluna %1 (\"%2\") ignorada: traz endereços de e-mail",
    "Coluna %1 (\"%2\") ignorada: traz números fora da escala de 1 a 5",
    "Coluna %1 (\"%2\") ignorada: só %3 de %4 células são respostas da escala",
    "Coluna %1 (\"%2\") ignorada: não tem respostas",
    "Nada a importar: nenhuma coluna traz respostas da escala (1 a 5 ou as palavras da "
    "escala). Abaixo, por que cada coluna foi ignorada.",
    "O arquivo traz os pressupostos de todos os fatores (primeira coluna \"Fator\"). Importe "
    "um fator de cada vez, de um arquivo só com os pressupostos desse fator. Nada foi importado.",
};

const ImportTexts kEnglish{
    "Import answers",
    "Choose a factor before importing.",
    "Answers (*.csv *.tsv *.txt)",
    "The file could not be read: ",
    "The file could not be read as CSV.",
    "The file has no propositions to import.",
    "The file has %1 propositions; a factor holds at most %2. Nothing was imported.",
    "Layout: one proposition per row, with its five counts (delimiter %1). Rows read: %2.",
    "Layout: one respondent per row, one proposition per column (delimiter %1). "
    "Respondents read: %2.",
    "The propositions and answers of factor \"%1\" will be replaced by these.",
    "Proposition",
    "Cells not understood: %1 (left out of the counts)",
    "Row %1, column %2: \"%3\"",
    "… and %1 more",
    "Row %1: total %2, but the counts add up to %3",
    "&Import",
    "&Import the rest",
    "&Cancel",
    "Column %1 (\"%2\") skipped: it is a field of the survey tool",
    "Column %1 (\"%2\") skipped: it holds dates or times",
    "Column %1 (\"%2\") skipped: it holds e-mail addresses",
    "Column %1 (\"%2\") skipped: it holds numbers off the scale of 1 to 5",
    "Column %1 (\"%2\") skipped: only %3 of its %4 cells are answers on the scale",
    "Column %1 (\"%2\") skipped: it holds no answers",
    "Nothing to import: no column holds answers on the scale (1 to 5 or the scale's words). "
    "Below, why each column was skipped.",
    "The file holds the propositions of every factor (first column \"Fator\"). Import one "
    "factor at a time, from a file of that factor's propositions only. Nothing was imported.",
};

const ImportTexts kSpanish{
    "Importar respuestas",
    "Elija un factor antes de importar.",
    "Respuestas (*.csv *.tsv *.txt)",
    "No se pudo leer el archivo ",
    "El archivo no se pudo leer como CSV.",
    "El archivo no tiene proposiciones para importar.",
    "El archivo tiene %1 proposiciones; un factor tiene como máximo %2. No se importó nada.",
    "Formato: una proposición por fila, con sus cinco conteos (separador %1). Filas leídas: %2.",
    "Formato: un encuestado por fila, una proposición por columna (separador %1). "
    "Encuestados leídos: %2.",
    "Las proposiciones y respuestas del factor \"%1\" serán reemplazadas por estas.",
    "Proposición",
    "Celdas no comprendidas: %1 (no entran en los conteos)",
    "Fila %1, columna %2: \"%3\"",
    "… y %1 más",
    "Fila %1: total %2, pero la suma de los conteos es %3",
    "&Importar",
    "&Importar el resto",
    "&Cancelar",
    "Columna %1 (\"%2\") omitida: es un campo de la herramienta de encuestas",
    "Columna %1 (\"%2\") omitida: contiene fechas u horas",
    "Columna %1 (\"%2\") omitida: contiene direcciones de correo electrónico",
    "Columna %1 (\"%2\") omitida: contiene números fuera de la escala de 1 a 5",
    "Columna %1 (\"%2\") omitida: solo %3 de sus %4 celdas son respuestas de la escala",
    "Columna %1 (\"%2\") omitida: no tiene respuestas",
    "Nada que importar: ninguna columna contiene respuestas de la escala (1 a 5 o las "
    "palabras de la escala). Abajo, por qué se omitió cada columna.",
    "El archivo contiene las proposiciones de todos los factores (primera columna \"Fator\"). "
    "Importe un factor a la vez, de un archivo solo con las proposiciones de ese factor. No se "
    "importó nada.",
};

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

const ImportTexts& importTexts(std::int16_t language) {
    if (language == Language::English) return kEnglish;
    if (language == Language::Spanish) return kSpanish;
    return kPortuguese;
}

frmImportar::frmImportar(const core::SurveyFile& survey, const QString& factor,
                         std::int16_t language, QWidget* parent)
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

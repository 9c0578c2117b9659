#include "likert/import_preview.h"

#include <QCheckBox>
#include <algorithm>
#include <optional>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/file_dialog.h"
#include "shell/import_map.h"
#include "shell/message_box.h"
#include "shell/program.h"

namespace vpl {

namespace {

using core::Alike;

// Each member of ImportTexts under its own name.
constexpr core::Translated kTexts[] = {
    {"title", "Importar respostas", "Import answers", "Importar respuestas"},
    {"chooseFactor", "Escolha um fator antes de importar.", "Choose a factor before importing.",
     "Elija un factor antes de importar."},
    {"fileFilter", "Respostas (*.csv *.tsv *.txt *.xlsx)", "Answers (*.csv *.tsv *.txt *.xlsx)",
     "Respuestas (*.csv *.tsv *.txt *.xlsx)"},
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
    {"countsSheet",
     "Formato: um pressuposto por linha, com as cinco contagens (planilha \"%1\"). Linhas "
     "lidas: %2.",
     "Layout: one proposition per row, with its five counts (sheet \"%1\"). Rows read: %2.",
     "Formato: una proposición por fila, con sus cinco conteos (hoja \"%1\"). Filas leídas: "
     "%2."},
    {"responsesSheet",
     "Formato: um entrevistado por linha, um pressuposto por coluna (planilha \"%1\"). "
     "Entrevistados lidos: %2.",
     "Layout: one respondent per row, one proposition per column (sheet \"%1\"). "
     "Respondents read: %2.",
     "Formato: un encuestado por fila, una proposición por columna (hoja \"%1\"). "
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
    {"knownExport", "Exportação reconhecida: %1.", "Export recognised: %1.",
     "Exportación reconocida: %1."},
    {"workbookNotZip", "O arquivo não é uma pasta de trabalho XLSX (não é um arquivo zip).",
     "The file is no XLSX workbook (it is not a zip file).",
     "El archivo no es un libro XLSX (no es un archivo zip)."},
    {"workbookProtected",
     "A pasta de trabalho está protegida por senha. Salve-a sem senha e importe de novo.",
     "The workbook is protected by a password. Save it without one and import again.",
     "El libro está protegido con contraseña. Guárdelo sin contraseña e importe de nuevo."},
    {"workbookOld",
     "O arquivo é uma pasta de trabalho antiga do Excel (.xls). Salve-a como .xlsx ou CSV.",
     "The file is an old Excel workbook (.xls). Save it as .xlsx or CSV.",
     "El archivo es un libro antiguo de Excel (.xls). Guárdelo como .xlsx o CSV."},
    {"workbookDamaged", "A pasta de trabalho está danificada e não pôde ser lida.",
     "The workbook is damaged and could not be read.",
     "El libro está dañado y no se pudo leer."},
    {"workbookNoSheet", "A pasta de trabalho não tem a planilha pedida.",
     "The workbook has no such sheet.", "El libro no tiene la hoja pedida."},
    {"workbookTooLarge",
     "A pasta de trabalho descompactada passaria de 200 MB ou de 100 vezes o seu tamanho. "
     "Nada foi importado.",
     "Unpacked, the workbook would pass 200 MB or 100 times its size. Nothing was imported.",
     "Descomprimido, el libro pasaría de 200 MB o de 100 veces su tamaño. No se importó nada."},
    {"workbookTooManyRows", "A planilha tem mais de %1 linhas. Nada foi importado.",
     "The sheet has more than %1 rows. Nothing was imported.",
     "La hoja tiene más de %1 filas. No se importó nada."},
    {"workbookTooManyColumns", "A planilha tem mais de %1 colunas. Nada foi importado.",
     "The sheet has more than %1 columns. Nothing was imported.",
     "La hoja tiene más de %1 columnas. No se importó nada."},
    {"chooseSheet", "Planilha a importar:", "Sheet to import:", "Hoja a importar:"},
    {"factorColumn", "Fator", "Factor", "Factor"},
    {"reversedColumn", "Invertido", "Reversed", "Invertida"},
    {"noFactor", "(nenhum)", "(none)", "(ninguno)"},
    {"factorTitle", "Título do fator", "Factor title", "Título del factor"},
    {"markReversed", "&Marcar no texto os pressupostos invertidos",
     "&Mark the reversed propositions in their text",
     "&Marcar en el texto las proposiciones invertidas"},
    {"codesAsk",
     "As respostas vêm em códigos. Escolha o ponto da escala de cada código antes de importar.",
     "The answers come as codes. Choose each code's point on the scale before importing.",
     "Las respuestas vienen en códigos. Elija el punto de la escala de cada código antes de "
     "importar."},
    {"codesProposed",
     "As respostas vêm em códigos; os pontos abaixo seguem a ordem dos códigos. Confira-os.",
     "The answers come as codes; the points below follow the codes' order. Check them.",
     "Las respuestas vienen en códigos; los puntos abajo siguen el orden de los códigos. "
     "Revíselos."},
    {"code", "Código", "Code", "Código", Alike::InSpanish},
    {"point", "Ponto", "Point", "Punto"},
    {"unassigned", "?", "?", "?", Alike::InAll},
    {"noAnswer", "sem resposta", "no answer", "sin respuesta"},
    {"saveMap", "&Salvar mapa...", "&Save map...", "&Guardar mapa..."},
    {"mapFilter", "Mapa de importação (*.json)", "Import map (*.json)",
     "Mapa de importación (*.json)"},
    {"cannotSaveMap", "Não foi possível salvar o mapa ", "The map could not be saved: ",
     "No se pudo guardar el mapa "},
    {"replacesFactors",
     "Os pressupostos e as respostas dos fatores %1 serão substituídos por estes.",
     "The propositions and answers of factors %1 will be replaced by these.",
     "Las proposiciones y respuestas de los factores %1 serán reemplazadas por estas."},
    {"askReplace", "Os fatores %1 já têm pressupostos ou respostas. Substituí-los?",
     "Factors %1 already hold propositions or answers. Replace them?",
     "Los factores %1 ya tienen proposiciones o respuestas. ¿Reemplazarlos?"},
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
            .countsSheet = text("countsSheet"),
            .responsesSheet = text("responsesSheet"),
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
            .everyFactor = text("everyFactor"),
            .knownExport = text("knownExport"),
            .workbookNotZip = text("workbookNotZip"),
            .workbookProtected = text("workbookProtected"),
            .workbookOld = text("workbookOld"),
            .workbookDamaged = text("workbookDamaged"),
            .workbookNoSheet = text("workbookNoSheet"),
            .workbookTooLarge = text("workbookTooLarge"),
            .workbookTooManyRows = text("workbookTooManyRows"),
            .workbookTooManyColumns = text("workbookTooManyColumns"),
            .chooseSheet = text("chooseSheet"),
            .factorColumn = text("factorColumn"),
            .reversedColumn = text("reversedColumn"),
            .noFactor = text("noFactor"),
            .factorTitle = text("factorTitle"),
            .markReversed = text("markReversed"),
            .codesAsk = text("codesAsk"),
            .codesProposed = text("codesProposed"),
            .code = text("code"),
            .point = text("point"),
            .unassigned = text("unassigned"),
            .noAnswer = text("noAnswer"),
            .saveMap = text("saveMap"),
            .mapFilter = text("mapFilter"),
            .cannotSaveMap = text("cannotSaveMap"),
            .replacesFactors = text("replacesFactors"),
            .askReplace = text("askReplace")};
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

frmImportar::frmImportar(const core::SurveyFile& survey, int factor, const QString& factorName,
                         core::Language language, QWidget* parent)
    : frmImportar(survey, core::DefaultChoices(survey, factor), factor, factorName, language,
                  parent) {}

frmImportar::frmImportar(const core::SurveyFile& survey, core::ImportChoices choices, int factor,
                         const QString& factorName, core::Language language, QWidget* parent)
    : QDialog(parent),
      survey_(survey),
      choices_(std::move(choices)),
      items_(core::ImportItems(survey, choices_.codes)),
      codes_(core::AnswerCodes(survey)),
      factor_(factor),
      factorName_(factorName),
      language_(language) {
    const ImportTexts& t = importTexts(language);
    setObjectName("frmImportar");
    setWindowTitle(tr8(t.title));
    // Every proposition of the file has a choice, the shown factor's when none was kept.
    for (const core::ImportItem& item : items_)
        if (std::none_of(choices_.items.begin(), choices_.items.end(),
                         [&](const core::ItemChoice& c) { return c.key == item.key; }))
            choices_.items.push_back({item.key, factor, false});

    const bool counts = survey.layout == core::SurveyLayout::Counts;
    QString format =
        survey.sheet.empty()
            ? tr8(counts ? t.countsLayout : t.responsesLayout).arg(delimiterName(survey.delimiter))
            : tr8(counts ? t.countsSheet : t.responsesSheet).arg(QString::fromStdString(survey.sheet));
    format = format.arg(survey.rowsRead);
    if (survey.tool != core::SurveyTool::None)
        format += ' ' + tr8(t.knownExport).arg(QString::fromUtf8(core::SurveyToolName(survey.tool)));
    lblFormato = namedLabel(this, "lblFormato", format);
    lblFormato->setWordWrap(true);
    lblAviso = namedLabel(this, "lblAviso", QString());
    lblAviso->setStyleSheet("color: #8b0000; font-weight: bold;");
    lblAviso->setWordWrap(true);

    grdPrevia = new QTableWidget(static_cast<int>(items_.size()), kReversedColumn + 1, this);
    grdPrevia->setObjectName("grdPrevia");
    grdPrevia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPrevia->setHorizontalHeaderLabels({tr8(t.proposition), "DT", "D", "I", "C", "CT", "QT",
                                          tr8(t.factorColumn), tr8(t.reversedColumn)});
    grdPrevia->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int r = 0; r < grdPrevia->rowCount(); ++r) {
        const core::ImportItem& item = items_[static_cast<std::size_t>(r)];
        grdPrevia->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(item.text)));
        for (int j = 0; j <= store::kLikertPoints; ++j)
            grdPrevia->setItem(r, j + 1, new QTableWidgetItem);
        const core::ItemChoice& choice = *std::find_if(
            choices_.items.begin(), choices_.items.end(),
            [&](const core::ItemChoice& c) { return c.key == item.key; });
        auto* factorBox = new QComboBox(grdPrevia);
        factorBox->setObjectName(QString("cmbFator%1").arg(r));
        factorBox->addItem(tr8(t.noFactor));
        for (int f = 1; f <= store::kFactorSlots; ++f) factorBox->addItem(QString::number(f));
        factorBox->setCurrentIndex(choice.factor);
        grdPrevia->setCellWidget(r, kFactorColumn, factorBox);
        auto* reversed = new QTableWidgetItem;
        reversed->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        reversed->setCheckState(choice.reversed ? Qt::Checked : Qt::Unchecked);
        grdPrevia->setItem(r, kReversedColumn, reversed);
        const int key = item.key;
        connect(factorBox, &QComboBox::currentIndexChanged, this, [this, key](int index) {
            for (core::ItemChoice& c : choices_.items)
                if (c.key == key) c.factor = index;
            proposeTitle(index);
            refresh();
        });
    }
    connect(grdPrevia, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() != kReversedColumn) return;
        const int key = items_[static_cast<std::size_t>(item->row())].key;
        for (core::ItemChoice& c : choices_.items)
            if (c.key == key) c.reversed = item->checkState() == Qt::Checked;
        refresh();
    });
    grdPrevia->setMinimumSize(720, 260);

    chkMarcar = new QCheckBox(tr8(t.markReversed), this);
    chkMarcar->setObjectName("chkMarcar");
    chkMarcar->setChecked(choices_.markReversed);
    connect(chkMarcar, &QCheckBox::toggled, this, [this](bool on) {
        choices_.markReversed = on;
        refresh();
    });

    // The answer codes, each with its point: proposed by their order, or to be chosen.
    const bool proposed =
        !codes_.empty() && std::all_of(codes_.begin(), codes_.end(), [&](const std::string& c) {
            return std::any_of(choices_.codes.begin(), choices_.codes.end(),
                               [&](const auto& m) { return m.first == c; });
        });
    lblCodigos = namedLabel(this, "lblCodigos", tr8(proposed ? t.codesProposed : t.codesAsk));
    lblCodigos->setWordWrap(true);
    grdCodigos = new QTableWidget(static_cast<int>(codes_.size()), 2, this);
    grdCodigos->setObjectName("grdCodigos");
    grdCodigos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCodigos->setHorizontalHeaderLabels({tr8(t.code), tr8(t.point)});
    for (int r = 0; r < grdCodigos->rowCount(); ++r) {
        const std::string& code = codes_[static_cast<std::size_t>(r)];
        grdCodigos->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(code)));
        auto* pointBox = new QComboBox(grdCodigos);
        pointBox->setObjectName(QString("cmbPonto%1").arg(r));
        // Index 0 no point yet; 1 to 5 the points; 6 no answer.
        pointBox->addItems({tr8(t.unassigned), "DT", "D", "I", "C", "CT", tr8(t.noAnswer)});
        for (const auto& [mapped, point] : choices_.codes)
            if (mapped == code) pointBox->setCurrentIndex(point == core::kNoAnswer ? 6 : point);
        grdCodigos->setCellWidget(r, 1, pointBox);
        connect(pointBox, &QComboBox::currentIndexChanged, this, [this, code](int index) {
            std::erase_if(choices_.codes, [&](const auto& m) { return m.first == code; });
            if (index > 0)
                choices_.codes.emplace_back(code, index == 6 ? core::kNoAnswer : index);
            items_ = core::ImportItems(survey_, choices_.codes);
            refresh();
        });
    }
    lblCodigos->setVisible(!codes_.empty());

    // The titles of the factors that receive propositions; empty keeps the stored one.
    grdTitulos = new QTableWidget(0, 2, this);
    grdTitulos->setObjectName("grdTitulos");
    grdTitulos->setHorizontalHeaderLabels({tr8(t.factorColumn), tr8(t.factorTitle)});
    grdTitulos->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grdTitulos->verticalHeader()->hide();
    connect(grdTitulos, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() != 1) return;
        const int f = grdTitulos->item(item->row(), 0)->text().toInt();
        if (f >= 1 && f <= store::kFactorSlots)
            choices_.titles[static_cast<std::size_t>(f - 1)] = item->text().toStdString();
    });
    grdCodigos->setVisible(!codes_.empty());

    lstNaoLidas = new QListWidget(this);
    lstNaoLidas->setObjectName("lstNaoLidas");
    std::size_t unread = survey.unread.size() + static_cast<std::size_t>(survey.unreadNotListed);
    for (const core::UnreadCell& c : survey.unread) {
        // A code is understood once it has its point.
        if (core::HoldsCodes(survey, c.column)) {
            --unread;
            continue;
        }
        lstNaoLidas->addItem(
            tr8(t.cell).arg(c.row).arg(c.column).arg(QString::fromStdString(c.text)));
    }
    if (survey.unreadNotListed > 0)
        lstNaoLidas->addItem(tr8(t.moreCells).arg(survey.unreadNotListed));
    for (const core::TotalMismatch& m : survey.totals)
        lstNaoLidas->addItem(
            tr8(t.total).arg(m.row).arg(QString::fromStdString(m.total)).arg(m.sum));
    for (const core::SkippedColumn& c : survey.skippedColumns)
        if (!core::HoldsCodes(survey, c.column)) lstNaoLidas->addItem(skippedLine(t, c));
    lblNaoLidas = namedLabel(this, "lblNaoLidas", tr8(t.notUnderstood).arg(unread));
    const bool anyRemark = lstNaoLidas->count() > 0;
    lstNaoLidas->setVisible(anyRemark);
    lblNaoLidas->setVisible(anyRemark);

    cmdImportar =
        namedButton(this, "cmdImportar", tr8(survey.unread.empty() ? t.importAll : t.importRest));
    cmdSalvarMapa = namedButton(this, "cmdSalvarMapa", tr8(t.saveMap));
    cmdCancelar = namedButton(this, "cmdCancelar", tr8(t.cancel));
    connect(cmdImportar, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSalvarMapa, &QPushButton::clicked, this, &frmImportar::cmdSalvarMapa_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkMarcar);
    buttons->addStretch();
    buttons->addWidget(cmdSalvarMapa);
    buttons->addWidget(cmdImportar);
    buttons->addWidget(cmdCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFormato);
    layout->addWidget(lblAviso);
    layout->addWidget(grdPrevia, 1);
    layout->addWidget(lblCodigos);
    layout->addWidget(grdCodigos);
    layout->addWidget(grdTitulos);
    layout->addWidget(lblNaoLidas);
    layout->addWidget(lstNaoLidas);
    layout->addLayout(buttons);

    // Nothing that is a statement: the preview only says why each column was skipped.
    if (items_.empty()) {
        lblAviso->setText(tr8(t.nothingToImport));
        grdPrevia->hide();
        lblNaoLidas->hide();
        chkMarcar->hide();
        cmdSalvarMapa->hide();
        cmdImportar->setEnabled(false);
        cmdCancelar->setDefault(true);
        return;
    }
    refresh();
    grdPrevia->resizeColumnsToContents();
}

void frmImportar::refresh() {
    const ImportTexts& t = importTexts(language_);
    const QSignalBlocker blocker(grdPrevia);
    std::vector<int> factors;
    for (int r = 0; r < grdPrevia->rowCount(); ++r) {
        const core::ImportItem& item = items_[static_cast<std::size_t>(r)];
        const core::ItemChoice& choice = *std::find_if(
            choices_.items.begin(), choices_.items.end(),
            [&](const core::ItemChoice& c) { return c.key == item.key; });
        // The counts as they will be stored: reversed where ticked.
        const core::LikertCounts counts = choice.reversed ? core::Reversed(item.counts) : item.counts;
        qint64 total = 0;
        for (int j = 0; j < store::kLikertPoints; ++j) {
            grdPrevia->item(r, j + 1)->setText(QString::number(counts[j]));
            total += counts[j];
        }
        grdPrevia->item(r, store::kLikertPoints + 1)->setText(QString::number(total));
        QString text = QString::fromStdString(item.text);
        if (choice.reversed && choices_.markReversed) text += tr8(core::ReversedMark(language_));
        grdPrevia->item(r, 0)->setText(text);
        if (choice.factor > 0 && std::find(factors.begin(), factors.end(), choice.factor) == factors.end())
            factors.push_back(choice.factor);
    }
    std::sort(factors.begin(), factors.end());
    {
        const QSignalBlocker titles(grdTitulos);
        grdTitulos->setRowCount(static_cast<int>(factors.size()));
        for (int r = 0; r < grdTitulos->rowCount(); ++r) {
            const int f = factors[static_cast<std::size_t>(r)];
            auto* number = new QTableWidgetItem(QString::number(f));
            number->setFlags(Qt::ItemIsEnabled);
            grdTitulos->setItem(r, 0, number);
            grdTitulos->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(
                                          choices_.titles[static_cast<std::size_t>(f - 1)])));
        }
        grdTitulos->setVisible(!(factors.size() == 1 && factors.front() == factor_));
    }
    if (factors.size() == 1 && factors.front() == factor_) {
        lblAviso->setText(tr8(t.replaces).arg(factorName_));
    } else {
        QStringList names;
        for (const int f : factors) names << QString::number(f);
        lblAviso->setText(tr8(t.replacesFactors).arg(names.join(", ")));
    }
    cmdImportar->setEnabled(!factors.empty() && core::UnassignedCodes(survey_, choices_).empty());
}

void frmImportar::proposeTitle(int factor) {
    if (factor < 1 || factor == factor_) return;
    std::string& title = choices_.titles[static_cast<std::size_t>(factor - 1)];
    if (!title.empty()) return;
    // The grid or question that all of the factor's propositions belong to.
    std::optional<std::string> group;
    for (const core::ItemChoice& c : choices_.items) {
        if (c.factor != factor) continue;
        const auto item = std::find_if(items_.begin(), items_.end(),
                                       [&](const core::ImportItem& i) { return i.key == c.key; });
        if (item == items_.end() || (group && *group != item->group)) return;
        group = item->group;
    }
    if (group) title = *group;
}

void frmImportar::cmdSalvarMapa_Click() {
    const ImportTexts& t = importTexts(language_);
    const QString path =
        FileDialog::saveFileName(this, tr8(t.saveMap).remove('&'), "import-map.json",
                                 tr8(t.mapFilter), "json");
    if (path.isEmpty()) return;
    if (!WriteImportMap(path, ImportMapJson(survey_, choices_)))
        MessageBox::show(this, tr8(t.cannotSaveMap) + QDir::toNativeSeparators(path),
                         tr8(t.title), MessageBox::Icon::Warning);
}

}  // namespace vpl

#include "shell/captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <string_view>

#include "decision/decision.h"
#include "shell/message_box.h"
#include "shell/program.h"

namespace vpl {

namespace {

using core::Alike;

constexpr core::Translated kMenu[] = {
    {"mnuArquivo", "Arquivo", "File", "Archivo"},
    {"mnuNova", "Nova decisão...", "New decision...", "Nueva decisión..."},
    {"mnuAbrir", "Abrir...", "Open...", "Abrir...", Alike::InSpanish},
    {"mnuCopia", "Salvar cópia como...", "Save a copy as...", "Guardar copia como..."},
    {"mnuRecentes", "Recentes", "Recent", "Recientes"},
    {"mnuComparar", "Comparar decisões...", "Compare decisions...", "Comparar decisiones..."},
    {"mnuCad", "Metadados", "Metadata", "Metadados", Alike::InSpanish},
    {"mnuMeta", "Fatores", "Factors", "Factores"},
    {"mnuTabela", "Pressupostos", "Opinions", "Opiniones"},
    {"mnuAna", "Análises", "Analysis", "Análisis"},
    {"mnuUtil", "Informações", "Information", "Información"},
    {"mnuSair", "Sair", "Quit", "Salir"},
};

constexpr core::Translated kCadastro[] = {
    {kWindowTitle, "Cadastro", "Registration", "Registro"},
    {"Label1", "Decidir sobre:", "Decide on:", "Decidir por:"},
    {"Label3", "Equipe Velmar:", "Participants:", "Participantes:"},
    {"cmdClear", "&Apagar todos os dados", "Clear all data", "Borrar todos los datos"},
    {"cmdFatores", "&Fatores", "Factors", "Factores"},
};

// The next window's button reads "Factors" in Spanish too.
constexpr core::Translated kMeta[] = {
    {kWindowTitle, "Fatores", "Factors", "Factores"},
    {"Label10", "Número de Fatores a analisar:", "Number of Factors to be analyzed:",
     "Número de factores a analizar:"},
    {"Label11",
     "Insira a quantidade de fatores a analisar (de 2 a 8) e nas linhas abaixo escreva os "
     "títulos de cada um deles e a quantidade de pressupostos.",
     "Enter the number of factors to analyze (from 2 to 8) and, in the lines below, write the "
     "title of each one of them and its number of propositions.",
     "Introduzca la cantidad de factores a analizar (de 2 a 8) y, en las líneas de abajo, "
     "escriba el título de cada uno de ellos y la cantidad de proposiciones."},
    {"Label12", "Pressupostos:", "Propositions:", "Proposiciones:"},
    {"Label13", "Nível de exigência:", "Requirement level:", "Nivel de exigencia:"},
    {"Label14", "Peso:", "Weight:", "Peso:", Alike::InSpanish},
    {"cmdFatores", "&Opiniões", "Factors", "Factors"},
};

constexpr core::Translated kTabela[] = {
    {kWindowTitle, "Likert - Fatores", "Likert - Factors", "Likert - Factores"},
    {"lblMsg", "Escolha um fator para iniciar os trabalhos",
     "Choose a factor to start the work:", "Elija un factor para comenzar el trabajo:"},
    {"Label20", "&Fator:", "&Factor:", "&Factor:"},
    {"Label50", "Respostas dos entrevistados", "Respondents' Answers",
     "Respuestas de los encuestados"},
    {"Frame7", "Resultados: ", "Results: ", "Resultados: ", Alike::InSpanish},
    {"cmdAnalise", "&Análise", "Analysis", "Análisis"},
    {"cmdImportar", "&Importar...", "Import...", "Importar..."},
};

// The analysis windows are used from the keyboard too: every button keeps an access key,
// one of its own in each language.
constexpr core::Translated kAnalise4f[] = {
    {kWindowTitle, "Análise LP 4f", "LP 4f Analysis", "Análisis LP 4f"},
    {"cmdEsquema", "&Esquema Utilizado", "&Scheme used", "&Esquema utilizado"},
    {"cmdResutado", "&Resultado", "&Result:", "&Resultado", Alike::InSpanish},
    {"cmdPrinter", "&Imprimir", "&Print out", "&Imprimir", Alike::InSpanish},
    {"cmdPdf", "Salvar &PDF...", "Save P&DF...", "&Guardar PDF..."},
    {"cmdSalvarImagem", "Salvar i&magem...", "Save i&mage...", "Guardar i&magen..."},
    {"cmdExportarPlanilha", "Exportar p&lanilha...", "E&xport spreadsheet...",
     "Exportar &hoja de cálculo..."},
    {"Label1", "Descrença", "Disbelief", "Incredulidad"},
    {"Label2", "Crença", "Belief", "Creencia"},
};

constexpr core::Translated kFamilia[] = {
    {"cmdExportarPlanilha", "Exportar p&lanilha...", "E&xport spreadsheet...",
     "Exportar &hoja de cálculo..."},
    {"lblReferencia",
     "Estes números vêm da tabela de referência que acompanha o programa, não dos seus fatores.",
     "These numbers come from the reference table delivered with the program, not from your "
     "factors.",
     "Estos números provienen de la tabla de referencia que acompaña al programa, no de sus "
     "factores."},
    {"cmdPrinter", "&Imprimir", "&Print out", "&Imprimir", Alike::InSpanish},
    {"cmdPdf", "Salvar &PDF...", "Save P&DF...", "&Guardar PDF..."},
    {"cmdSalvarImagem", "Salvar i&magem...", "Save i&mage...", "Guardar i&magen..."},
};

constexpr core::Translated kEsquema[] = {
    {"Label1", "Esquema de Lógica Paraconsistente Utilizado ", "Paraconsistent Logic Scheme Used",
     "Esquema de Lógica Paraconsistente utilizado"},
};

void setCaption(QWidget& window, const char* key, const QString& text) {
    const QString name = QString::fromUtf8(key);
    if (std::string_view(key) == kWindowTitle) {
        window.setWindowTitle(text);
    } else if (auto* menu = window.findChild<QMenu*>(name)) {
        menu->setTitle(text);
    } else if (auto* action = window.findChild<QAction*>(name)) {
        action->setText(text);
    } else if (auto* label = window.findChild<QLabel*>(name)) {
        label->setText(text);
    } else if (auto* button = window.findChild<QAbstractButton*>(name)) {
        button->setText(text);
    } else if (auto* frame = window.findChild<QGroupBox*>(name)) {
        frame->setTitle(text);
    }
}

}  // namespace

const CaptionTable kMenuCaptions{kMenu};
const CaptionTable kCadastroCaptions{kCadastro};
const CaptionTable kMetaCaptions{kMeta};
const CaptionTable kTabelaCaptions{kTabela};
const CaptionTable kAnalise4fCaptions{kAnalise4f};
const CaptionTable kFamiliaCaptions{kFamilia};
const CaptionTable kEsquemaCaptions{kEsquema};

void applyLanguage(QWidget& window, core::Language language, CaptionTable captions) {
    for (const core::Translated& row : captions)
        setCaption(window, row.key, QString::fromUtf8(core::TextIn(row, language)));
}

void applyStoredLanguage(Program& program, QWidget& window, CaptionTable captions) {
    const std::optional<double> stored = decision::ReadStoredLanguage(program.db());
    program.gIdioma = core::LanguageFromStored(stored);
    // A value that names no language keeps the captions the window was built with.
    if (stored == double(core::StoredNumber(program.gIdioma)))
        applyLanguage(window, program.gIdioma, captions);
    MessageBox::setLanguage(program.gIdioma);
}

}  // namespace vpl

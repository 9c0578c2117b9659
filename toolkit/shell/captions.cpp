#include "shell/captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

#include "shell/message_box.h"
#include "shell/program.h"
#include "decision/decision.h"

namespace vpl {

void applyCaptions(QWidget& window, CaptionSet captions) {
    for (const Caption& c : captions) {
        const QString text = QString::fromUtf8(c.text);
        const QString name = QString::fromUtf8(c.control);
        if (name.isEmpty()) {
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
}

void MenuCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"mnuCad", "Metadata"},
                      {"mnuMeta", "Factors"},
                      {"mnuTabela", "Opinions"},
                      {"mnuAna", "Analysis"},
                      {"mnuUtil", "Information"},
                      {"mnuSair", "Quit"}});
}

void MenuCaptionsES(QWidget& w) {
    applyCaptions(w, {{"mnuCad", "Metadados"},
                      {"mnuMeta", "Factores"},
                      {"mnuTabela", "Opiniones"},
                      {"mnuAna", "Análisis"},
                      {"mnuUtil", "Información"},
                      {"mnuSair", "Salir"}});
}

void MenuCaptionsPT(QWidget& w) {
    applyCaptions(w, {{"mnuCad", "Metadados"},
                      {"mnuMeta", "Fatores"},
                      {"mnuTabela", "Pressupostos"},
                      {"mnuAna", "Análises"},
                      {"mnuUtil", "Informações"},
                      {"mnuSair", "Sair"}});
}

void CadastroCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"", "Registration"},
                      {"Label1", "Decide on:"},
                      {"Label3", "Participants:"},
                      {"cmdClear", "Clear all data"},
                      {"cmdFatores", "Factors"}});
}

void CadastroCaptionsES(QWidget& w) {
    applyCaptions(w, {{"", "Registro"},
                      {"Label1", "Decidir por:"},
                      {"Label3", "Participantes:"},
                      {"cmdClear", "Borrar todos los datos"},
                      {"cmdFatores", "Factores"}});
}

void MetaCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"", "Factors"},
                      {"Label10", "Number of Factors to be analyzed:"},
                      {"Label11",
                       "Enter the number of factors to analyze (from 2 to 8) and, in the lines "
                       "below, write the title of each one of them and its number of "
                       "propositions."},
                      {"Label12", "Propositions:"},
                      {"cmdFatores", "Factors"}});
}

void MetaCaptionsES(QWidget& w) {
    applyCaptions(w, {{"", "Factores"},
                      {"Label10", "Número de factores a analizar:"},
                      {"Label11",
                       "Introduzca la cantidad de factores a analizar (de 2 a 8) y, en las líneas "
                       "de abajo, escriba el título de cada uno de ellos y la cantidad de "
                       "proposiciones."},
                      {"Label12", "Proposiciones:"},
                      {"cmdFatores", "Factors"}});
}

void TabelaCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"", "Likert - Factors"},
                      {"lblMsg", "Choose a factor to start the work:"},
                      {"Label20", "&Factor:"},
                      {"Label50", "Respondents' Answers"},
                      {"Frame7", "Results: "},
                      {"cmdAnalise", "Analysis"},
                      {"cmdImportar", "Import..."}});
}

void TabelaCaptionsES(QWidget& w) {
    applyCaptions(w, {{"", "Likert - Factores"},
                      {"lblMsg", "Elija un factor para comenzar el trabajo:"},
                      {"Label20", "&Factor:"},
                      {"Label50", "Respuestas de los encuestados"},
                      {"Frame7", "Resultados: "},
                      {"cmdAnalise", "Análisis"},
                      {"cmdImportar", "Importar..."}});
}

// The analysis windows are used from the keyboard too: every button keeps an access key,
// one of its own in each language.
void Analise4fCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"", "LP 4f Analysis"},
                      {"cmdEsquema", "&Scheme used"},
                      {"cmdResutado", "&Result:"},
                      {"cmdPrinter", "&Print out"},
                      {"cmdPdf", "Save P&DF..."},
                      {"Label1", "Disbelief"},
                      {"Label2", "Belief"}});
}

void Analise4fCaptionsES(QWidget& w) {
    applyCaptions(w, {{"", "Análisis LP 4f"},
                      {"cmdEsquema", "&Esquema utilizado"},
                      {"cmdResutado", "&Resultado"},
                      {"cmdPrinter", "&Imprimir"},
                      {"cmdPdf", "&Guardar PDF..."},
                      {"Label1", "Incredulidad"},
                      {"Label2", "Creencia"}});
}

void FamiliaCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"lblReferencia",
                       "These numbers come from the reference table delivered with the program, "
                       "not from your factors."}});
}

void FamiliaCaptionsES(QWidget& w) {
    applyCaptions(w, {{"lblReferencia",
                       "Estos números provienen de la tabla de referencia que acompaña al "
                       "programa, no de sus factores."}});
}

void EsquemaCaptionsEN(QWidget& w) {
    applyCaptions(w, {{"Label1", "Paraconsistent Logic Scheme Used"}});
}

void EsquemaCaptionsES(QWidget& w) {
    applyCaptions(w, {{"Label1", "Esquema de Lógica Paraconsistente utilizado"}});
}

void applyLanguage(QWidget& window, core::Language language, const CaptionSets& sets) {
    CaptionProcedure procedure = sets.portuguese;
    if (language == Language::English) procedure = sets.english;
    if (language == Language::Spanish) procedure = sets.spanish;
    if (procedure) procedure(window);
}

void applyStoredLanguage(Program& program, QWidget& window, const CaptionSets& sets) {
    const std::optional<double> stored = decision::ReadStoredLanguage(program.db());
    program.gIdioma = core::LanguageFromStored(stored);
    // A value that names no language keeps the captions the window was built with.
    if (stored == double(core::StoredNumber(program.gIdioma)))
        applyLanguage(window, program.gIdioma, sets);
    MessageBox::setLanguage(program.gIdioma);
}

}  // namespace vpl

#pragma once

#include <initializer_list>

#include "core/language.h"

class QWidget;

namespace vpl {

class Program;

// One control's run-time caption; an empty control name means the window title.
struct Caption {
    const char* control;
    const char* text;
};
using CaptionSet = std::initializer_list<Caption>;

// Sets the caption of each listed control of `window` (found by objectName:
// labels, buttons, frames, menu items and menu headings) and nothing else.
void applyCaptions(QWidget& window, CaptionSet captions);

// The caption sets, one per window and language.
void MenuCaptionsEN(QWidget& menu);
void MenuCaptionsES(QWidget& menu);
void MenuCaptionsPT(QWidget& menu);
void CadastroCaptionsEN(QWidget& frmCadastro);
void CadastroCaptionsES(QWidget& frmCadastro);
void MetaCaptionsEN(QWidget& frmMeta);
void MetaCaptionsES(QWidget& frmMeta);
void TabelaCaptionsEN(QWidget& frmTabela);
void TabelaCaptionsES(QWidget& frmTabela);
void Analise4fCaptionsEN(QWidget& frmAnalise4f);
void Analise4fCaptionsES(QWidget& frmAnalise4f);
// The family of analysis windows for 2, 3 and 5 to 8 factors.
void FamiliaCaptionsEN(QWidget& frmAnaliseFamilia);
void FamiliaCaptionsES(QWidget& frmAnaliseFamilia);
void EsquemaCaptionsEN(QWidget& frmEsquema);
void EsquemaCaptionsES(QWidget& frmEsquema);

using CaptionProcedure = void (*)(QWidget&);
// A window's caption set per language. A window is built with its Portuguese captions,
// so most have no Portuguese set; the main window has one because a language change
// made while it is open has to put them back.
struct CaptionSets {
    CaptionProcedure english;
    CaptionProcedure spanish;
    CaptionProcedure portuguese = nullptr;
};

// Applies the set of `language`, when the window has one.
void applyLanguage(QWidget& window, core::Language language, const CaptionSets& sets);

// The language step of a translated window's load: gIdioma becomes the language the
// data file stores, the window takes that language's captions (when the stored value
// names it exactly) and the message boxes' buttons follow.
void applyStoredLanguage(Program& program, QWidget& window, const CaptionSets& sets);

}  // namespace vpl

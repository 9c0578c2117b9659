#pragma once

#include <initializer_list>

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

// The language step of every translated window's load: gIdioma becomes 3, then
// 1 or 2 when the stored code says so, and that language's set is applied; the
// message boxes' buttons follow gIdioma.
// `idioma` is the stored code (NULL, a text or any other number keeps Portuguese).
using CaptionProcedure = void (*)(QWidget&);
void applyStoredLanguage(Program& program, QWidget& window, CaptionProcedure english,
                         CaptionProcedure spanish);

}  // namespace vpl

#pragma once

#include <span>

#include "core/language.h"
#include "core/translated.h"

class QWidget;

namespace vpl {

class Program;

// A window's run-time captions. A row's key is the objectName of the control it captions (a
// label, button, frame, menu item or menu heading), or kWindowTitle for the window's title.
// A window is built with its Portuguese captions; the main window is the exception, whose
// design captions stay until the data file names a language.
using CaptionTable = std::span<const core::Translated>;
inline constexpr const char* kWindowTitle = "";

extern const CaptionTable kMenuCaptions;
extern const CaptionTable kCadastroCaptions;
extern const CaptionTable kMetaCaptions;
extern const CaptionTable kTabelaCaptions;
extern const CaptionTable kAnalise4fCaptions;
// The family of analysis windows for 2, 3 and 5 to 8 factors.
extern const CaptionTable kFamiliaCaptions;
extern const CaptionTable kEsquemaCaptions;

// Sets the caption of each listed control of `window` in `language`, and nothing else.
void applyLanguage(QWidget& window, core::Language language, CaptionTable captions);

// The language step of a translated window's load: gIdioma becomes the language the
// data file stores, the window takes that language's captions (when the stored value
// names it exactly) and the message boxes' buttons follow.
void applyStoredLanguage(Program& program, QWidget& window, CaptionTable captions);

}  // namespace vpl

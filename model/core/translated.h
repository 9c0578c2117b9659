#pragma once

#include <span>
#include <string_view>

#include "core/language.h"

namespace vpl::core {

// Which translations rightly read as the Portuguese: a word the languages share.
enum class Alike { None, InEnglish, InSpanish, InAll };

// A text of the interface in its three languages, under a key: in a window's caption table
// the objectName of the control it captions, elsewhere a name of its own.
struct Translated {
    const char* key;
    const char* pt;
    const char* en;
    const char* es;
    Alike alike = Alike::None;
};

// The text in `language`. Before the data file names one (None) the program speaks
// Portuguese.
const char* TextIn(const Translated& text, Language language);

// The row of `table` under `key`; std::out_of_range when there is none.
const Translated& Lookup(std::span<const Translated> table, std::string_view key);

}  // namespace vpl::core

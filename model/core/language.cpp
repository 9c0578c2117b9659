#include "core/language.h"

#include <stdexcept>
#include <string>

#include "core/translated.h"

namespace vpl::core {

Language LanguageFromStored(std::optional<double> stored) {
    for (Language language : {Language::English, Language::Spanish, Language::Portuguese})
        if (stored == double(StoredNumber(language))) return language;
    return Language::Portuguese;
}

const char* TextIn(const Translated& text, Language language) {
    switch (language) {
        case Language::English:
            return text.en;
        case Language::Spanish:
            return text.es;
        case Language::Portuguese:
        case Language::None:
            break;
    }
    return text.pt;
}

const Translated& Lookup(std::span<const Translated> table, std::string_view key) {
    for (const Translated& row : table)
        if (key == row.key) return row;
    throw std::out_of_range("no translated text under the key " + std::string(key));
}

}  // namespace vpl::core

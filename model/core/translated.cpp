#include "core/translated.h"

#include <stdexcept>
#include <string>

namespace vpl::core {

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

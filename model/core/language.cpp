#include "core/language.h"

namespace vpl::core {

Language LanguageFromStored(std::optional<double> stored) {
    for (Language language : {Language::English, Language::Spanish, Language::Portuguese})
        if (stored == double(StoredNumber(language))) return language;
    return Language::Portuguese;
}

}  // namespace vpl::core

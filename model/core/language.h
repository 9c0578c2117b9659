#pragma once

#include <cstdint>
#include <optional>

namespace vpl::core {

// The interface language. The values are the numbers Parametro.Idioma stores; None is the
// program's language before the data file has been read.
enum class Language : std::int16_t { None = 0, English = 1, Spanish = 2, Portuguese = 3 };

// The number Parametro.Idioma stores for `language`.
constexpr std::int16_t StoredNumber(Language language) {
    return static_cast<std::int16_t>(language);
}

// The language a stored Idioma value stands for: anything but 1, 2 or 3 (none, a text, another
// number) means Portuguese.
Language LanguageFromStored(std::optional<double> stored);

}  // namespace vpl::core

// Any text through every reader of number texts, and what they read through every
// formatter, under both decimal separators.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/fixed4.h"
#include "core/number_text.h"

using namespace vpl::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const NumberLocale locale : {NumberLocale{'.'}, NumberLocale{','}}) {
        const double leading = LeadingNumber(text);
        (void)IsLocaleNumber(text, locale);
        (void)CountFromText(text, locale);
        (void)Fixed4::FromText(text, locale);
        const std::optional<double> parsed = ParseLocaleNumber(text, locale);
        for (const double value : {leading, parsed.value_or(0.0)}) {
            for (const char* pattern : {"#00", "#000", "#000.0", "#0.00", "0.00", "0.0000"}) {
                const std::string shown = FormatNumber(value, pattern, locale);
                (void)FormatNumber(static_cast<float>(value), pattern, locale);
                // What the program shows of a finite number, it reads back as a number.
                if (std::isfinite(value) && !ParseLocaleNumber(shown, locale)) std::abort();
            }
            (void)FormatGeneral(value, locale);
            (void)FormatGeneral(static_cast<float>(value), locale);
            (void)RoundHalfAwayFromZero(value);
            (void)Fixed4::FromReal(value);
        }
    }
    return 0;
}

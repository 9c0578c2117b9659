#include "core/fixed4.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vpl::core {

Fixed4 Fixed4::FromReal(double value) {
    // nearbyint rounds half to even in the default rounding mode.
    const double scaled = std::nearbyint(value * kScale);
    constexpr double kLimit = 9.2e18;
    if (std::isnan(scaled)) return Fixed4();
    if (scaled >= kLimit) return Fixed4(std::numeric_limits<std::int64_t>::max());
    if (scaled <= -kLimit) return Fixed4(std::numeric_limits<std::int64_t>::min());
    return Fixed4(static_cast<std::int64_t>(scaled));
}

Fixed4 Fixed4::FromText(std::string_view text, NumberLocale locale) {
    return ParseFixed4(text, locale).value_or(Fixed4());
}

std::optional<Fixed4> ParseFixed4(std::string_view text, NumberLocale locale) {
    const auto number = ReadLocaleNumber(text, locale);
    if (!number) return std::nullopt;
    std::string_view whole = number->integerDigits;
    whole.remove_prefix(std::min(whole.size(), whole.find_first_not_of('0')));
    if (whole.size() > 14) return std::nullopt;
    const std::string& fraction = number->fractionDigits;
    std::int64_t ticks = 0;
    for (const char c : whole) ticks = ticks * 10 + (c - '0');
    for (std::size_t i = 0; i < 4; ++i)
        ticks = ticks * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (fraction.size() > 4) {
        const char next = fraction[4];
        const bool beyondHalf = fraction.find_first_not_of('0', 5) != std::string::npos;
        if (next > '5' || (next == '5' && (beyondHalf || ticks % 2 != 0))) ++ticks;
    }
    return Fixed4::FromTicks(number->negative ? -ticks : ticks);
}

}  // namespace vpl::core

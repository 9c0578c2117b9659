#pragma once

// Fixed point with exactly four decimals. Degrees are compared and combined in it, so that
// the precision shown to the user, not binary noise, decides ties.

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/number_text.h"

namespace vpl::core {

class Fixed4 {
  public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Fixed4() = default;
    static constexpr Fixed4 FromTicks(std::int64_t ticks) { return Fixed4(ticks); }
    // x × 10000 rounded half to even; saturates outside the 64-bit range.
    static Fixed4 FromReal(double value);
    // The text parsed with the locale's separator; an empty text, or one that is not a
    // number, counts 0.
    static Fixed4 FromText(std::string_view text, NumberLocale locale);

    // Ten-thousandths.
    constexpr std::int64_t Ticks() const { return ticks_; }
    double ToDouble() const { return static_cast<double>(ticks_) / kScale; }

    friend constexpr auto operator<=>(Fixed4, Fixed4) = default;
    friend constexpr Fixed4 operator+(Fixed4 a, Fixed4 b) { return Fixed4(a.ticks_ + b.ticks_); }
    friend constexpr Fixed4 operator-(Fixed4 a, Fixed4 b) { return Fixed4(a.ticks_ - b.ticks_); }
    Fixed4& operator+=(Fixed4 other) {
        ticks_ += other.ticks_;
        return *this;
    }

  private:
    constexpr explicit Fixed4(std::int64_t ticks) : ticks_(ticks) {}
    std::int64_t ticks_ = 0;
};

inline constexpr Fixed4 kFixed4One = Fixed4::FromTicks(Fixed4::kScale);

// The text as fixed point: digits beyond the fourth decimal round half to even. No value
// when the text is not a number by the locale's rules (empty included) or does not fit.
std::optional<Fixed4> ParseFixed4(std::string_view text, NumberLocale locale);

}  // namespace vpl::core

#pragma once

// Number texts: every number a user sees is made, and read back, here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vpl::core {

// The user's number conventions; only the decimal separator matters to the program.
struct NumberLocale {
    char decimalSeparator = '.';
};

// Formats with a pattern made of optional "#", required "0" integer digits and, after a ".",
// the "0" decimals: "#00", "#000", "#000.0", "#0.00", "0.00", "0.0000". The "." stands for
// the locale's separator. Halves round away from zero, judged on the value's decimal form
// with 15 significant digits (for a float, the shortest digits that read back as the same
// float), so that what reads as a half is a half.
// Throws std::invalid_argument for any other pattern.
std::string FormatNumber(double value, std::string_view pattern, NumberLocale locale);
std::string FormatNumber(float value, std::string_view pattern, NumberLocale locale);

// General number form: up to 15 significant digits (a float: its shortest digits), no
// trailing zeros, never an exponent.
std::string FormatGeneral(double value, NumberLocale locale);
std::string FormatGeneral(float value, NumberLocale locale);

// Rounds to a whole number, halves away from zero, judged like FormatNumber.
double RoundHalfAwayFromZero(double value);

// Leading-number rule for typed cells: blanks anywhere are ignored, then an optional sign,
// digits and at most one "." (whatever the locale) are read up to the first other
// character; a text that does not begin so counts 0.
double LeadingNumber(std::string_view text);

// A number read digit by digit, so that no binary rounding happens before a caller
// applies its own rounding rule.
struct DecimalText {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
};

// A whole text that is a number by the locale's rules: blanks around it, an optional sign,
// digits and at most one locale separator, at least one digit. Empty is not a number.
std::optional<DecimalText> ReadLocaleNumber(std::string_view text, NumberLocale locale);
bool IsLocaleNumber(std::string_view text, NumberLocale locale);
std::optional<double> ParseLocaleNumber(std::string_view text, NumberLocale locale);

// The stored form of a typed count: a signed 32-bit whole number, fractions rounded half
// away from zero. No value when the text is not a number or does not fit; the caller then
// keeps the stored count.
std::optional<std::int32_t> CountFromText(std::string_view text, NumberLocale locale);

}  // namespace vpl::core

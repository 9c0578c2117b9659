#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace vpl::core {
namespace {

constexpr int kDoubleDigits = 15;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view WithoutLeadingZeros(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : digits.substr(first);
}

// A value written with a given number of significant digits: d1.d2...dn × 10^exponent.
// std::to_chars, unlike printf, ignores the C locale that the toolkit may have set.
struct DecimalForm {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

DecimalForm FromScientific(std::string_view text) {
    DecimalForm form;
    std::size_t i = 0;
    if (text[i] == '-') {
        form.negative = true;
        ++i;
    }
    for (; text[i] != 'e'; ++i) {
        if (text[i] != '.') form.digits += text[i];
    }
    std::from_chars(text.data() + i + 1 + (text[i + 1] == '+'), text.data() + text.size(),
                    form.exponent);
    return form;
}

DecimalForm ToDecimalForm(double value, int significant) {
    char buffer[64];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value,
                                      std::chars_format::scientific, significant - 1);
    return FromScientific(std::string_view(buffer, result.ptr));
}

// A float as the shortest digits that read back as the same float: 12345678 stays
// 12345678 and 6783124.5 keeps its half, where 7 significant digits would round them.
DecimalForm ToDecimalForm(float value) {
    char buffer[64];
    const auto result =
        std::to_chars(std::begin(buffer), std::end(buffer), value, std::chars_format::scientific);
    return FromScientific(std::string_view(buffer, result.ptr));
}

DecimalForm DecimalFormOf(double value) {
    return ToDecimalForm(value, kDoubleDigits);
}
DecimalForm DecimalFormOf(float value) {
    return ToDecimalForm(value);
}

void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The digits of |value| × 10^decimals rounded to a whole number, halves away from zero;
// empty when that is 0.
std::string RoundedDigits(const DecimalForm& form, int decimals) {
    const int count = static_cast<int>(form.digits.size());
    const int shift = form.exponent - (count - 1) + decimals;
    if (shift >= 0) {
        const std::string_view significant = WithoutLeadingZeros(form.digits);
        return significant.empty() ? std::string()
                                   : std::string(significant) + std::string(shift, '0');
    }
    const int keep = count + shift;
    if (keep < 0) return {};
    std::string kept = form.digits.substr(0, keep);
    if (form.digits[keep] >= '5') Increment(kept);
    return std::string(WithoutLeadingZeros(kept));
}

struct Pattern {
    int integerDigits = 0;
    int decimals = 0;
};

Pattern ParsePattern(std::string_view text) {
    Pattern pattern;
    std::size_t i = 0;
    while (i < text.size() && text[i] == '#') ++i;
    for (; i < text.size() && text[i] == '0'; ++i) ++pattern.integerDigits;
    bool pointWithoutDecimals = false;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] == '0'; ++i) ++pattern.decimals;
        pointWithoutDecimals = pattern.decimals == 0;
    }
    if (text.empty() || i != text.size() || pointWithoutDecimals) {
        throw std::invalid_argument("unsupported number pattern: " + std::string(text));
    }
    return pattern;
}

// Only absurd typed counts reach here unbounded; they show as the standard library writes them.
std::string NonFinite(double value) {
    char buffer[16];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    return std::string(buffer, result.ptr);
}

template <class Real>
std::string FormatWithPattern(Real value, std::string_view patternText, NumberLocale locale) {
    const Pattern pattern = ParsePattern(patternText);
    if (!std::isfinite(value)) return NonFinite(value);
    const DecimalForm form = DecimalFormOf(value);
    std::string digits = RoundedDigits(form, pattern.decimals);
    const bool negative = form.negative && !digits.empty();
    const std::size_t width = static_cast<std::size_t>(pattern.integerDigits + pattern.decimals);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    const std::size_t integerLength = digits.size() - pattern.decimals;
    std::string text = negative ? "-" : "";
    text.append(digits, 0, integerLength);
    if (pattern.decimals > 0) {
        text += locale.decimalSeparator;
        text.append(digits, integerLength);
    }
    return text;
}

template <class Real>
std::string FormatGeneralDigits(Real value, NumberLocale locale) {
    if (!std::isfinite(value)) return NonFinite(value);
    const DecimalForm form = DecimalFormOf(value);
    std::string_view digits = form.digits;
    digits = digits.substr(0, digits.find_last_not_of('0') + 1);
    if (digits.empty()) return "0";
    const int integerLength = form.exponent + 1;
    std::string text = form.negative ? "-" : "";
    if (integerLength <= 0) {
        text += '0';
        text += locale.decimalSeparator;
        text.append(-integerLength, '0');
        text += digits;
    } else if (static_cast<std::size_t>(integerLength) >= digits.size()) {
        text += digits;
        text.append(integerLength - digits.size(), '0');
    } else {
        text.append(digits.substr(0, integerLength));
        text += locale.decimalSeparator;
        text.append(digits.substr(integerLength));
    }
    return text;
}

double DigitsToDouble(std::string_view integerDigits, std::string_view fractionDigits) {
    // Typed counts are whole numbers; up to 15 digits they convert exactly without a parse.
    if (fractionDigits.empty() && integerDigits.size() <= kDoubleDigits) {
        double whole = 0.0;
        for (const char c : integerDigits) whole = whole * 10 + (c - '0');
        return whole;
    }
    std::string text(integerDigits.empty() ? "0" : integerDigits);
    text += '.';
    text += fractionDigits;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many integer digits overflow; a long run of fraction zeros underflows to 0.
        value = WithoutLeadingZeros(integerDigits).empty()
                    ? 0.0
                    : std::numeric_limits<double>::infinity();
    }
    return value;
}

double ToDouble(const DecimalText& number) {
    const double magnitude = DigitsToDouble(number.integerDigits, number.fractionDigits);
    return number.negative && magnitude != 0.0 ? -magnitude : magnitude;
}

struct Scanned {
    DecimalText number;
    std::size_t end = 0;
};

// Optional sign, digits, at most one separator and digits, from the start of the text;
// nothing unless at least one digit was read.
std::optional<Scanned> ScanNumber(std::string_view text, char separator) {
    Scanned scanned;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        scanned.number.negative = text[i] == '-';
        ++i;
    }
    for (; i < text.size() && IsDigit(text[i]); ++i) scanned.number.integerDigits += text[i];
    if (i < text.size() && text[i] == separator) {
        for (++i; i < text.size() && IsDigit(text[i]); ++i)
            scanned.number.fractionDigits += text[i];
    }
    if (scanned.number.integerDigits.empty() && scanned.number.fractionDigits.empty()) {
        return std::nullopt;
    }
    scanned.end = i;
    return scanned;
}

}  // namespace

std::string FormatNumber(double value, std::string_view pattern, NumberLocale locale) {
    return FormatWithPattern(value, pattern, locale);
}

std::string FormatNumber(float value, std::string_view pattern, NumberLocale locale) {
    return FormatWithPattern(value, pattern, locale);
}

std::string FormatGeneral(double value, NumberLocale locale) {
    return FormatGeneralDigits(value, locale);
}

std::string FormatGeneral(float value, NumberLocale locale) {
    return FormatGeneralDigits(value, locale);
}

double RoundHalfAwayFromZero(double value) {
    if (!std::isfinite(value) || value == std::trunc(value)) return value;
    const DecimalForm form = ToDecimalForm(value, kDoubleDigits);
    const double magnitude = DigitsToDouble(RoundedDigits(form, 0), {});
    return form.negative && magnitude != 0.0 ? -magnitude : magnitude;
}

double LeadingNumber(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (!IsBlank(c)) compact += c;
    }
    const auto scanned = ScanNumber(compact, '.');
    return scanned ? ToDouble(scanned->number) : 0.0;
}

std::optional<DecimalText> ReadLocaleNumber(std::string_view text, NumberLocale locale) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    auto scanned = ScanNumber(text, locale.decimalSeparator);
    if (!scanned || scanned->end != text.size()) return std::nullopt;
    return std::move(scanned->number);
}

bool IsLocaleNumber(std::string_view text, NumberLocale locale) {
    return ReadLocaleNumber(text, locale).has_value();
}

std::optional<double> ParseLocaleNumber(std::string_view text, NumberLocale locale) {
    const auto number = ReadLocaleNumber(text, locale);
    if (!number) return std::nullopt;
    return ToDouble(*number);
}

std::optional<std::int32_t> CountFromText(std::string_view text, NumberLocale locale) {
    const auto number = ReadLocaleNumber(text, locale);
    if (!number) return std::nullopt;
    const std::string_view digits = WithoutLeadingZeros(number->integerDigits);
    if (digits.size() > 10) return std::nullopt;
    std::int64_t magnitude = 0;
    for (const char c : digits) magnitude = magnitude * 10 + (c - '0');
    if (!number->fractionDigits.empty() && number->fractionDigits.front() >= '5') ++magnitude;
    const std::int64_t value = number->negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace vpl::core

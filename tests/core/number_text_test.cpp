#include "core/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

namespace vpl::core {
namespace {

constexpr NumberLocale kDot{'.'};
constexpr NumberLocale kComma{','};

std::string WithComma(std::string text) {
    for (char& c : text) {
        if (c == '.') c = ',';
    }
    return text;
}

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;  // written with "."
};

TEST(FormatNumber, EveryPatternInBothLocales) {
    const PatternCase cases[] = {
        {5, "#00", "05"},       {123, "#00", "123"},        {7, "#000", "007"},
        {1234, "#000", "1234"}, {5.5, "#000.0", "005.5"},   {119.5, "#000.0", "119.5"},
        {0, "#000.0", "000.0"}, {4, "#0.00", "4.00"},       {12.5, "#0.00", "12.50"},
        {0.68, "0.00", "0.68"}, {0.68, "0.0000", "0.6800"}, {1, "0.0000", "1.0000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, c.pattern, kDot), c.expected) << c.pattern;
        EXPECT_EQ(FormatNumber(c.value, c.pattern, kComma), WithComma(c.expected)) << c.pattern;
    }
}

TEST(FormatNumber, HalvesAsReadInFifteenDigitsRoundAwayFromZero) {
    EXPECT_EQ(FormatNumber(0.03125, "0.0000", kDot), "0.0313");
    EXPECT_EQ(FormatNumber(0.125, "0.00", kDot), "0.13");  // not to even
    // Binary values just below a half that read as a half.
    EXPECT_EQ(FormatNumber(0.285, "0.00", kDot), "0.29");
    EXPECT_EQ(FormatNumber(2.675, "0.00", kDot), "2.68");
    EXPECT_EQ(FormatNumber(1.005, "0.00", kDot), "1.01");
    EXPECT_EQ(FormatNumber(2.5, "#00", kDot), "03");
    // Really below a half.
    EXPECT_EQ(FormatNumber(0.2849999, "0.00", kDot), "0.28");
    EXPECT_EQ(FormatNumber(0.03124999, "0.0000", kDot), "0.0312");
}

TEST(FormatNumber, CarriesIntoNewIntegerDigits) {
    EXPECT_EQ(FormatNumber(0.99995, "0.0000", kDot), "1.0000");
    EXPECT_EQ(FormatNumber(9.99995, "0.0000", kComma), "10,0000");
    EXPECT_EQ(FormatNumber(999.95, "#000.0", kDot), "1000.0");
    EXPECT_EQ(FormatNumber(1234567.5, "#00", kDot), "1234568");
}

TEST(FormatNumber, NegativesAndNegativeZero) {
    EXPECT_EQ(FormatNumber(-0.5, "0.00", kDot), "-0.50");
    EXPECT_EQ(FormatNumber(-0.2010, "0.0000", kComma), "-0,2010");
    EXPECT_EQ(FormatNumber(-5.0, "#000.0", kDot), "-005.0");
    EXPECT_EQ(FormatNumber(-2.5, "#00", kDot), "-03");
    EXPECT_EQ(FormatNumber(-0.004, "0.00", kDot), "0.00");
    EXPECT_EQ(FormatNumber(-0.0, "0.0000", kDot), "0.0000");
    EXPECT_EQ(FormatNumber(0.0, "0.0000000000000000", kDot), "0.0000000000000000");
}

TEST(FormatNumber, SingleIsReadFromItsShortestDigits) {
    // 0.32345f is 0.32344999909...: a half in single precision, below one as a double.
    EXPECT_EQ(FormatNumber(0.32345f, "0.0000", kDot), "0.3235");
    // Large sums keep their digits, and their half, where seven digits would round them.
    EXPECT_EQ(FormatNumber(12345678.0f, "#00", kDot), "12345678");
    EXPECT_EQ(FormatNumber(6783124.5f, "#00", kDot), "6783125");
    EXPECT_EQ(FormatNumber(29012.496f, "#00", kDot), "29012");
    EXPECT_EQ(FormatNumber(static_cast<double>(0.32345f), "0.0000", kDot), "0.3234");
    EXPECT_EQ(FormatNumber(0.5f, "0.0000", kComma), "0,5000");
}

TEST(FormatNumber, RejectsUnknownPatterns) {
    for (const char* pattern : {"", "0.", "00#", "0,00", "x"}) {
        EXPECT_THROW(FormatNumber(1.0, pattern, kDot), std::invalid_argument) << pattern;
    }
}

TEST(FormatGeneral, UpToFifteenDigitsWithoutTrailingZeros) {
    EXPECT_EQ(FormatGeneral(25.0, kDot), "25");
    EXPECT_EQ(FormatGeneral(12.5, kDot), "12.5");
    EXPECT_EQ(FormatGeneral(12.5, kComma), "12,5");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, kDot), "0.3");
    EXPECT_EQ(FormatGeneral(0.0, kDot), "0");
    EXPECT_EQ(FormatGeneral(-3.25, kComma), "-3,25");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0, kDot), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(1.5e-7, kDot), "0.00000015");
    EXPECT_EQ(FormatGeneral(1e15, kDot), "1000000000000000");
    EXPECT_EQ(FormatGeneral(123456789012345678.0, kDot), "123456789012346000");
}

TEST(FormatGeneral, SingleShowsItsShortestDigits) {
    EXPECT_EQ(FormatGeneral(12345678.0f, kDot), "12345678");
    EXPECT_EQ(FormatGeneral(0.5042f, kDot), "0.5042");
    EXPECT_EQ(FormatGeneral(0.5042f, kComma), "0,5042");
    EXPECT_EQ(FormatGeneral(static_cast<double>(0.5042f), kDot), "0.504199981689453");
    EXPECT_EQ(FormatGeneral(0.7f, kDot), "0.7");
    EXPECT_EQ(FormatGeneral(25.0f, kDot), "25");
}

TEST(RoundHalfAwayFromZero, WholeNumbersAndHalves) {
    EXPECT_EQ(RoundHalfAwayFromZero(2.5), 3.0);
    EXPECT_EQ(RoundHalfAwayFromZero(-2.5), -3.0);
    EXPECT_EQ(RoundHalfAwayFromZero(2.4), 2.0);
    EXPECT_EQ(RoundHalfAwayFromZero(0.4), 0.0);
    EXPECT_EQ(RoundHalfAwayFromZero(7.0), 7.0);
    EXPECT_EQ(RoundHalfAwayFromZero(0.4999999999999), 0.0);
    EXPECT_EQ(RoundHalfAwayFromZero(0.49999999999999994), 1.0);  // 0.500000000000000
    // Just below a half in binary, a half in fifteen digits.
    EXPECT_EQ(RoundHalfAwayFromZero(2.4999999999999996), 3.0);
    EXPECT_EQ(RoundHalfAwayFromZero(-1.4999999999999998), -2.0);
}

TEST(LeadingNumber, CellTexts) {
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("7x"), 7.0);
    EXPECT_EQ(LeadingNumber("x7"), 0.0);
    EXPECT_EQ(LeadingNumber("2,5"), 2.0);
    EXPECT_EQ(LeadingNumber("2.5"), 2.5);
    EXPECT_EQ(LeadingNumber(" 1 2 "), 12.0);
    EXPECT_EQ(LeadingNumber("-3"), -3.0);
    EXPECT_EQ(LeadingNumber("- 3"), -3.0);
    EXPECT_EQ(LeadingNumber("+4"), 4.0);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber("\t5\t"), 5.0);
    EXPECT_EQ(LeadingNumber("-"), 0.0);
    EXPECT_EQ(LeadingNumber("."), 0.0);
    EXPECT_EQ(LeadingNumber("1e3"), 1.0);
}

TEST(LocaleNumber, WholeTextMustBeANumberByTheLocale) {
    EXPECT_TRUE(IsLocaleNumber("12", kDot));
    EXPECT_TRUE(IsLocaleNumber(" 7 ", kComma));
    EXPECT_TRUE(IsLocaleNumber("-3", kDot));
    EXPECT_TRUE(IsLocaleNumber("+3", kDot));
    EXPECT_TRUE(IsLocaleNumber("2,5", kComma));
    EXPECT_TRUE(IsLocaleNumber(",5", kComma));
    EXPECT_FALSE(IsLocaleNumber("2,5", kDot));
    EXPECT_FALSE(IsLocaleNumber("2.5", kComma));
    EXPECT_FALSE(IsLocaleNumber("", kDot));
    EXPECT_FALSE(IsLocaleNumber("   ", kDot));
    EXPECT_FALSE(IsLocaleNumber("7x", kDot));
    EXPECT_FALSE(IsLocaleNumber("1 2", kDot));
    EXPECT_FALSE(IsLocaleNumber("-", kDot));
    EXPECT_FALSE(IsLocaleNumber("1,2,3", kComma));

    EXPECT_EQ(ParseLocaleNumber("0,6800", kComma), 0.68);
    EXPECT_EQ(ParseLocaleNumber("-12.5", kDot), -12.5);
    EXPECT_EQ(ParseLocaleNumber("12.5", kComma), std::nullopt);
}

TEST(CountFromText, RoundsHalvesAwayAndKeepsNegatives) {
    EXPECT_EQ(CountFromText("12", kDot), 12);
    EXPECT_EQ(CountFromText(" 0012 ", kDot), 12);
    EXPECT_EQ(CountFromText("2,5", kComma), 3);
    EXPECT_EQ(CountFromText("2,4", kComma), 2);
    EXPECT_EQ(CountFromText("2.5", kDot), 3);
    EXPECT_EQ(CountFromText("-2.5", kDot), -3);
    EXPECT_EQ(CountFromText("-0.4", kDot), 0);
    EXPECT_EQ(CountFromText("-7", kDot), -7);
}

TEST(CountFromText, NoValueForTextsThatCannotBeStored) {
    EXPECT_EQ(CountFromText("", kDot), std::nullopt);
    EXPECT_EQ(CountFromText("7x", kDot), std::nullopt);
    EXPECT_EQ(CountFromText("2.5", kComma), std::nullopt);
    EXPECT_EQ(CountFromText("2147483647", kDot), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CountFromText("2147483647.4", kDot), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CountFromText("2147483647.5", kDot), std::nullopt);
    EXPECT_EQ(CountFromText("2147483648", kDot), std::nullopt);
    EXPECT_EQ(CountFromText("-2147483648", kDot), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(CountFromText("-2147483649", kDot), std::nullopt);
    EXPECT_EQ(CountFromText("99999999999999999999", kDot), std::nullopt);
}

}  // namespace
}  // namespace vpl::core

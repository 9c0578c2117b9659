#include "core/fixed4.h"

#include <gtest/gtest.h>

namespace vpl::core {
namespace {

constexpr NumberLocale kDot{'.'};
constexpr NumberLocale kComma{','};

TEST(Fixed4, FromRealRoundsHalfToEven) {
    EXPECT_EQ(Fixed4::FromReal(0.68).Ticks(), 6800);
    EXPECT_EQ(Fixed4::FromReal(-0.25).Ticks(), -2500);
    EXPECT_EQ(Fixed4::FromReal(1.0 / 3.0).Ticks(), 3333);
    // These scale to exact halves.
    EXPECT_EQ(Fixed4::FromReal(0.00125).Ticks(), 12);
    EXPECT_EQ(Fixed4::FromReal(0.00375).Ticks(), 38);
    EXPECT_EQ(Fixed4::FromReal(0.00005).Ticks(), 0);
}

TEST(Fixed4, FromRealSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(Fixed4::FromReal(1e30).Ticks(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Fixed4::FromReal(-1e30).Ticks(), std::numeric_limits<std::int64_t>::min());
}

TEST(Fixed4, FromTextUsesTheLocaleSeparator) {
    EXPECT_EQ(Fixed4::FromText("0,5010", kComma).Ticks(), 5010);
    EXPECT_EQ(Fixed4::FromText("0.5010", kDot).Ticks(), 5010);
    EXPECT_EQ(Fixed4::FromText("0.50", kDot).Ticks(), 5000);
    EXPECT_EQ(Fixed4::FromText("-1,0000", kComma).Ticks(), -10000);
    EXPECT_EQ(Fixed4::FromText("12", kComma).Ticks(), 120000);
}

TEST(Fixed4, EmptyOrForeignTextCountsZero) {
    EXPECT_EQ(Fixed4::FromText("", kDot), Fixed4());
    EXPECT_EQ(Fixed4::FromText("0.5010", kComma), Fixed4());
    EXPECT_EQ(ParseFixed4("", kDot), std::nullopt);
    EXPECT_EQ(ParseFixed4("abc", kDot), std::nullopt);
    EXPECT_EQ(ParseFixed4("123456789012345", kDot), std::nullopt);
}

TEST(Fixed4, TextBeyondFourDecimalsRoundsHalfToEven) {
    EXPECT_EQ(Fixed4::FromText("0.12345", kDot).Ticks(), 1234);
    EXPECT_EQ(Fixed4::FromText("0.12355", kDot).Ticks(), 1236);
    EXPECT_EQ(Fixed4::FromText("0.123451", kDot).Ticks(), 1235);
    EXPECT_EQ(Fixed4::FromText("-0.12345", kDot).Ticks(), -1234);
    EXPECT_EQ(Fixed4::FromText("0.99995", kDot).Ticks(), 10000);
}

TEST(Fixed4, ArithmeticAndOrder) {
    const Fixed4 mu = Fixed4::FromTicks(6000);
    const Fixed4 lambda = Fixed4::FromTicks(4000);
    EXPECT_EQ((mu - lambda).Ticks(), 2000);
    EXPECT_EQ((mu + lambda - kFixed4One).Ticks(), 0);
    EXPECT_EQ((lambda - mu).ToDouble(), -0.2);
    EXPECT_EQ(mu.ToDouble(), 0.6);
    EXPECT_LT(lambda, mu);
    EXPECT_EQ(Fixed4::FromText("0.6", kDot), mu);
}

}  // namespace
}  // namespace vpl::core

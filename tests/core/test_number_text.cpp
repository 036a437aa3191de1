// Numbers as the value boxes show them, and the Mach box text read back.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/number_text.h"

namespace jmach {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(RoundedText, ShortestTextAfterRoundingTo3To5Decimals) {
    EXPECT_EQ(rounded_text(-0.48101234, 3), "-0.481");
    EXPECT_EQ(rounded_text(-0.6299, 3), "-0.63");  // no trailing zero
    EXPECT_EQ(rounded_text(0.6059110, 4), "0.6059");
    EXPECT_EQ(rounded_text(0.2840051, 4), "0.284");
    EXPECT_EQ(rounded_text(-0.0123456, 5), "-0.01235");
    EXPECT_EQ(rounded_text(-99.0, 3), "-99");
    EXPECT_EQ(rounded_text(0.99996, 4), "1");
    EXPECT_EQ(rounded_text(-4.0, 5), "-4");
}

TEST(RoundedText, ExactTiesGoToTheEvenDigit) {
    // Each of these is a binary fraction, so the tie is exact.
    EXPECT_EQ(rounded_text(0.0625, 3), "0.062");
    EXPECT_EQ(rounded_text(0.1875, 3), "0.188");
    EXPECT_EQ(rounded_text(-0.0625, 3), "-0.062");
    EXPECT_EQ(rounded_text(0.03125, 4), "0.0312");
    EXPECT_EQ(rounded_text(0.09375, 4), "0.0938");
    EXPECT_EQ(rounded_text(0.015625, 5), "0.01562");
    EXPECT_EQ(rounded_text(0.046875, 5), "0.04688");
    // 0.00015 is stored just below the tie, so it is not one.
    EXPECT_EQ(rounded_text(0.00015, 4), "0.0001");
    EXPECT_EQ(rounded_text(0.00025, 4), "0.0003");  // stored just above
}

TEST(RoundedText, NeverMinusZero) {
    EXPECT_EQ(number_text(-0.0), "0");
    EXPECT_EQ(rounded_text(-0.0004, 3), "0");
    EXPECT_EQ(rounded_text(-0.00000499, 5), "0");
    EXPECT_FALSE(std::signbit(round_half_even(-0.0004, 3)));
    EXPECT_EQ(rounded_text(1e-15, 3), "0");
}

TEST(NumberText, NoExponentFormAndNoTextForNonFiniteValues) {
    EXPECT_EQ(number_text(0.00001), "0.00001");
    EXPECT_EQ(number_text(1e-7), "0.0000001");
    EXPECT_EQ(number_text(1e21), "1000000000000000000000");
    EXPECT_EQ(number_text(0.12), "0.12");
    EXPECT_EQ(number_text(51), "51");
    EXPECT_EQ(number_text(0.1 + 0.2), "0.30000000000000004");  // reads back as the same double
    const std::string tiny = number_text(std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(tiny.find('e'), std::string::npos);
    EXPECT_EQ(tiny.substr(tiny.size() - 3), "005");
    for (double v : {kInf, -kInf, std::nan("")}) {
        EXPECT_EQ(number_text(v), "");
        EXPECT_EQ(rounded_text(v, 4), "");
    }
}

TEST(ParseLeadingNumber, BlanksSignPointAndTrailingText) {
    EXPECT_EQ(parse_leading_number("0.5"), 0.5);
    EXPECT_EQ(parse_leading_number("  \t0.75"), 0.75);
    EXPECT_EQ(parse_leading_number("-0.3abc"), -0.3);
    EXPECT_EQ(parse_leading_number("+.5"), 0.5);
    EXPECT_EQ(parse_leading_number("-.25"), -0.25);
    EXPECT_EQ(parse_leading_number("5."), 5.0);
    EXPECT_EQ(parse_leading_number("1.2.3"), 1.2);
    EXPECT_EQ(parse_leading_number("0,7"), 0.0);  // a comma is not a decimal point
    EXPECT_EQ(parse_leading_number("1.5e2x"), 150.0);
    EXPECT_EQ(parse_leading_number("2e"), 2.0);  // an exponent without digits is not read
    EXPECT_EQ(parse_leading_number("2e+"), 2.0);
    EXPECT_EQ(parse_leading_number("0.6 "), 0.6);
}

TEST(ParseLeadingNumber, TextWithoutALeadingNumberReadsAsZero) {
    for (const char* t : {"", "   ", "abc", ".", "-", "+", "- 5", ".e5", "nan", "inf", "\xD9\xA3" /* Arabic three */})
        EXPECT_EQ(parse_leading_number(t), 0.0) << t;
    EXPECT_EQ(parse_leading_number("0x1p-3"), 0.0);  // hexadecimal is not read
}

TEST(ParseLeadingNumber, OutOfRangeReadsAsInfinityOrZero) {
    EXPECT_EQ(parse_leading_number("1e308"), 1e308);
    EXPECT_EQ(parse_leading_number("1e999"), kInf);
    EXPECT_EQ(parse_leading_number("-1e999"), -kInf);
    EXPECT_EQ(parse_leading_number("1e-999"), 0.0);
    EXPECT_EQ(parse_leading_number("1e99999999999999999999"), kInf);
    EXPECT_EQ(parse_leading_number("0.000001e-320"), 0.0);
    EXPECT_EQ(parse_leading_number(std::string(10000, '9')), kInf);
    EXPECT_EQ(parse_leading_number("0." + std::string(10000, '0') + "1"), 0.0);
    EXPECT_NEAR(parse_leading_number("0." + std::string(10000, '3')), 1.0 / 3.0, 1e-16);
    EXPECT_EQ(parse_leading_number("1" + std::string(300, '0')), 1e300);
}

}  // namespace
}  // namespace jmach

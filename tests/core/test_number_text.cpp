// Numbers as the value boxes show them, and the Mach box text read back.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>

#include "core/number_text.h"

namespace jmach {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");

TEST(NumberText, RoundsHalfToEvenThenWritesTheShortestPlainText) {
    const std::tuple<double, int, const char*> rounded[] = {
        {-0.48101234, 3, "-0.481"}, {-0.6299, 3, "-0.63"}, {0.99996, 4, "1"}, {-0.0004, 3, "0"},  // never "-0"
        // Exact ties (binary fractions) go to the even digit; 0.00015 is stored
        // just below its tie. No text for what is not finite.
        {0.0625, 3, "0.062"}, {0.1875, 3, "0.188"}, {0.00015, 4, "0.0001"}, {kInf, 4, ""}, {kNaN, 4, ""}};
    for (const auto& [v, decimals, text] : rounded) EXPECT_EQ(rounded_text(v, decimals), text) << v;
    // Unrounded: never exponent form (the same digits as the standard library, below).
    EXPECT_EQ(number_text(1e21), "1000000000000000000000");
    EXPECT_EQ(number_text(-kInf), "");
}

TEST(ParseLeadingNumber, ReadsTheLeadingDecimalNumberElseZero) {
    const std::pair<std::string, double> cases[] = {
        {"  \t0.75", 0.75}, {"-0.3abc", -0.3}, {"+.5", 0.5}, {"5.", 5.0}, {"1.2.3", 1.2},
        {"1.5e2x", 150.0}, {"0,7", 0.0}, {"2e", 2.0}, {"2e+", 2.0},  // no comma as point, no exponent without digits
        // No leading number: 0. Hexadecimal and Arabic digits are not read.
        {"", 0}, {"abc", 0}, {".", 0}, {"- 5", 0}, {".e5", 0}, {"nan", 0}, {"inf", 0}, {"0x1p-3", 0}, {"\xD9\xA3", 0},
        // Out of range: infinity or zero, however long the digit string.
        {"1e308", 1e308}, {"-1e999", -kInf}, {"1e-999", 0}, {"1e99999999999999999999", kInf},
        {std::string(10000, '9'), kInf}, {"0." + std::string(10000, '0') + "1", 0}, {"1" + std::string(300, '0'), 1e300}};
    for (const auto& [text, value] : cases) EXPECT_EQ(parse_leading_number(text), value) << text.substr(0, 40);
    EXPECT_NEAR(parse_leading_number("0." + std::string(10000, '3')), 1.0 / 3.0, 1e-16);
}

// The texts are written and read by code that every platform shares (the
// browser's C++ library converts no floating-point numbers). Here, where the
// standard library does, both must give the same digits: any bit pattern,
// the chain's ranges, grid values k/100 and k/10^4, binary fractions and
// the extremes.
TEST(NumberTextPortable, SameDigitsAsTheStandardLibrary) {
    std::mt19937_64 random(20240614);
    std::uniform_real_distribution<double> chain_range(-120.0, 120.0);
    std::vector<double> values = {-0.0, 1e15, 1e16, 1e-5, 1e22, 123456789012345678901.0, 5e-324, 1.7976931348623157e308};
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
        values.push_back(chain_range(random));
        values.push_back(static_cast<double>(static_cast<int>(random() % 200001) - 100000) / (1 << (random() % 20)));
    }
    for (int k = -20000; k <= 20000; ++k) values.insert(values.end(), {k / 100.0, k / 1e4});
    auto standard = [](double v, auto... format) {
        char buf[400];
        return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, format...).ptr);
    };
    int differences = 0;
    auto differ = [&](bool different) { return different && ++differences < 10; };
    for (const double v : values) {
        const std::string text = number_text(v), fixed = standard(v, std::chars_format::fixed);
        if (differ(v != 0 && text != fixed)) ADD_FAILURE() << "number_text " << text << " vs " << fixed;
        if (differ(parse_leading_number(text) != v)) ADD_FAILURE() << "read back " << text;
        if (differ(shortest_text(v) != standard(v))) ADD_FAILURE() << "shortest_text " << shortest_text(v) << " vs " << standard(v);
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace jmach

// The number texts are written and read by code that every platform shares
// (the browser's C++ library converts no floating-point numbers). Here, where
// the standard library does, both must give the same digits on many values:
// shortest plain text, half-to-even rounding to 3..5 places, and read-back.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/number_text.h"

namespace jmach {
namespace {

std::string standard_fixed(double v) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

std::string standard_shortest(double v) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

double standard_rounded(double v, int decimals) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    double out = 0;
    std::from_chars(buf, r.ptr, out);
    return out == 0 ? 0.0 : out;
}

// Values of every kind the boxes meet and beyond: any bit pattern, the
// chain's ranges, k/100 and k/10^4 grid values, and binary fractions that
// sit exactly on a rounding tie.
std::vector<double> sample_values() {
    std::mt19937_64 random(20240614);
    std::uniform_real_distribution<double> chain_range(-120.0, 120.0);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
        values.push_back(chain_range(random));
        values.push_back(static_cast<double>(static_cast<int>(random() % 200001) - 100000) / (1 << (random() % 20)));
    }
    for (const double v : {-0.0, 1e15, 1e16, 1e-5, 1e22, 123456789012345678901.0, 5e-324, 1.7976931348623157e308})
        values.push_back(v);
    for (int k = -20000; k <= 20000; ++k) {
        values.push_back(k / 100.0);
        values.push_back(k / 1e4);
    }
    return values;
}

TEST(NumberTextPortable, SameDigitsAsTheStandardLibrary) {
    int differences = 0;
    for (const double v : sample_values()) {
        const std::string text = number_text(v);
        if (v != 0 && text != standard_fixed(v) && ++differences < 10) ADD_FAILURE() << "number_text " << text << " vs " << standard_fixed(v);
        if (parse_leading_number(text) != v && ++differences < 10) ADD_FAILURE() << "read back " << text;
        if (shortest_text(v) != standard_shortest(v) && ++differences < 10)
            ADD_FAILURE() << "shortest_text " << shortest_text(v) << " vs " << standard_shortest(v);
        for (int decimals = 3; decimals <= 5; ++decimals) {
            const double ours = round_half_even(v, decimals), theirs = standard_rounded(v, decimals);
            if (std::memcmp(&ours, &theirs, sizeof ours) != 0 && ++differences < 10)
                ADD_FAILURE() << "round_half_even(" << standard_fixed(v) << ", " << decimals << ")";
        }
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace jmach

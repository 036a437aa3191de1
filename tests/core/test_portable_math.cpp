// The elementary functions written out for the same digits on every build:
// close to the C library's everywhere the numerics look, and the C
// library's answers at the edges.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "core/portable_math.h"

namespace p = jmach::portable;

namespace {

// How many doubles lie between a and b.
double ulps(double a, double b) {
    if (a == b) return 0;
    const double spacing = std::nextafter(std::fabs(b), INFINITY) - std::fabs(b);
    return std::fabs(a - b) / spacing;
}

}  // namespace

TEST(PortableMath, WithinAFewUnitsInTheLastPlaceOfTheCLibrary) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> angle(-40, 40), ratio(0.01, 100), power(-700, 700);
    // The powers the numerics take: of pressure ratios near 1, and of the
    // flow field's rings up to 100 by fractions below 1.
    std::uniform_real_distribution<double> base(0.3, 3), exponent(-4, 4);
    double worst[8] = {};
    for (int i = 0; i < 200000; ++i) {
        const double x = angle(random), y = angle(random), r = ratio(random);
        worst[0] = std::max(worst[0], ulps(p::sin(x), std::sin(x)));
        worst[1] = std::max(worst[1], ulps(p::cos(x), std::cos(x)));
        worst[2] = std::max(worst[2], ulps(p::atan(x), std::atan(x)));
        worst[3] = std::max(worst[3], ulps(p::atan2(y, x), std::atan2(y, x)));
        worst[4] = std::max(worst[4], ulps(p::log(r), std::log(r)));
        const double e = power(random);
        worst[5] = std::max(worst[5], ulps(p::exp(e), std::exp(e)));
        const double b = base(random), q = exponent(random);
        worst[6] = std::max(worst[6], ulps(p::pow(b, q), std::pow(b, q)));
        worst[7] = std::max(worst[7], ulps(p::hypot(x, y), std::hypot(x, y)));
    }
    const char* names[8] = {"sin", "cos", "atan", "atan2", "log", "exp", "pow", "hypot"};
    const double allowed[8] = {1, 1, 3, 3, 1, 1, 10, 2};
    for (int k = 0; k < 8; ++k) EXPECT_LE(worst[k], allowed[k]) << names[k];
}

TEST(PortableMath, ExactPointsAndTheCLibrarysEdges) {
    const double inf = std::numeric_limits<double>::infinity(), pi = 3.141592653589793;
    EXPECT_EQ(p::sin(0.0), 0.0);
    EXPECT_TRUE(std::signbit(p::sin(-0.0)));
    EXPECT_EQ(p::cos(0.0), 1.0);
    EXPECT_EQ(4.0 * p::atan(1.0), pi);
    EXPECT_EQ(p::atan(inf), pi / 2);
    EXPECT_EQ(p::log(1.0), 0.0);
    EXPECT_EQ(p::exp(0.0), 1.0);
    EXPECT_EQ(p::pow(2.0, 10.0), 1024.0);
    EXPECT_EQ(p::hypot(3.0, 4.0), 5.0);
    EXPECT_TRUE(std::isnan(p::sin(inf)) && std::isnan(p::cos(-inf)) && std::isnan(p::log(-1.0)));
    EXPECT_EQ(p::log(0.0), -inf);
    EXPECT_EQ(p::exp(710.0), inf);
    EXPECT_EQ(p::exp(-746.0), 0.0);
    // Signs of atan2 at zeros and infinities, as the C library gives them.
    for (const double y : {0.0, -0.0, 1.0, -1.0, inf, -inf})
        for (const double x : {0.0, -0.0, 1.0, -1.0, inf, -inf}) {
            const double want = std::atan2(y, x), got = p::atan2(y, x);
            EXPECT_TRUE(got == want && std::signbit(got) == std::signbit(want)) << y << ", " << x;
        }
    EXPECT_EQ(p::pow(-2.0, 3.0), -8.0);
    EXPECT_TRUE(std::isnan(p::pow(-2.0, 0.5)));
    EXPECT_EQ(p::pow(0.0, -1.0), inf);
    EXPECT_EQ(p::pow(0.5, inf), 0.0);
    EXPECT_EQ(p::pow(std::nan(""), 0.0), 1.0);
    // A huge angle still gives a sine, not something out of [-1, 1].
    EXPECT_LE(std::fabs(p::sin(1e300)), 1.0);
}

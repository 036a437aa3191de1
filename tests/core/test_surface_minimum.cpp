// The exact minimum of the continuous surface pressure against an
// independent dense scan, and the critical Mach numbers of the three rules
// against independently found roots.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "airfoil/surface_minimum.h"
#include "compressible/mcrit.h"
#include "compressible/rules.h"
#include "test_support.h"

namespace jmach {
namespace {

constexpr double kPi = std::numbers::pi;

// The same flow written another way: the circle point by its angle phi
// about the centre, zeta = centre + a e^(i phi), the map z = zeta + 1/zeta,
// q = 2 (sin(alpha + beta) + sin(phi - alpha)) / |1 - 1/zeta^2|. Its
// minimum: the deepest of 400 000 evenly spaced angles, then golden
// sections between the neighbours.
struct Independent {
    std::complex<double> centre;
    double radius, alpha, beta;
    std::complex<double> zeta(double phi) const { return centre + std::polar(radius, phi); }
    double cp(double phi) const {
        const std::complex<double> z = zeta(phi);
        const double q = 2 * (std::sin(alpha + beta) + std::sin(phi - alpha)) / std::abs(1.0 - 1.0 / (z * z));
        return 1 - q * q;
    }
    double minimum_angle() const {
        constexpr int n = 400000;
        const double step = -2 * kPi / n;  // from the trailing edge at phi = -beta round the contour
        int best = 1;
        double lowest = cp(-beta + step);
        for (int i = 2; i < n; ++i)
            if (const double v = cp(-beta + i * step); v < lowest) lowest = v, best = i;
        double a = -beta + (best + 1) * step, b = -beta + (best - 1) * step;
        const double g = (std::sqrt(5.0) - 1) / 2;
        for (int k = 0; k < 200 && b - a > 1e-15; ++k) {
            const double x1 = b - g * (b - a), x2 = a + g * (b - a);
            (cp(x1) < cp(x2) ? b : a) = cp(x1) < cp(x2) ? x2 : x1;
        }
        return 0.5 * (a + b);
    }
};

TEST(SurfaceMinimum, MatchesADenseIndependentScanOnThinThickCamberedProfilesAtBothIncidences) {
    const struct {
        int thickness, camber, n_points, alpha;
    } cases[] = {{3, 1, 101, 4}, {1, 0, 11, -10}, {1, 15, 51, -10}, {12, 0, 11, 0}, {30, 15, 51, -10}, {0, 5, 51, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.thickness << "% " << c.camber << "% nP " << c.n_points << " alpha " << c.alpha);
        ModelState s;
        const double sampled = table_profile(s, c.thickness, c.camber, c.n_points, c.alpha);
        const SurfaceMinimum m = exact_surface_minimum(s);
        const Independent f{{-s.circle_eps, s.circle_mu}, std::sqrt(s.radius_sq), c.alpha * kPi / 180,
                            std::atan2(s.circle_mu, 1 + s.circle_eps)};
        const double phi = f.minimum_angle();
        ASSERT_FALSE(m.unbounded);
        EXPECT_NEAR(m.cp, f.cp(phi), 1e-11 * std::abs(f.cp(phi)) + 1e-13);
        EXPECT_LE(m.cp, sampled + 1e-12 * std::abs(sampled));  // the samples lie on the same surface
        // Where: x/c of the same point (a symmetric profile at zero incidence
        // has its mirror image at the same x/c).
        const std::complex<double> z = f.zeta(phi);
        EXPECT_NEAR(m.x, (z + 1.0 / z).real() / s.chord_len - s.x_shift, 1e-7);
        if (c.thickness == 3 && c.alpha == 4) {  // the leading-edge peak the points miss by 10 %
            EXPECT_TRUE(std::abs(sampled + 8.9953) < 5e-5 && std::abs(m.cp + 10.0161) < 5e-5) << sampled << " " << m.cp;
        }
    }
}

// The critical Mach number of a rule found another way: the textbook
// formulas, Cp_rule - Cp* on a grid of steps of 1e-4 up to its first sign
// change (before the rule's singularity), then bisection.
double independent_root(double cp0, CompressibilityRule rule) {
    const double g = 1.4;
    auto f = [&](double m) {
        const double b = std::sqrt(1 - m * m), m2 = m * m;
        const double cp_star = 2 / (g * m2) * (std::pow((1 + (g - 1) / 2 * m2) / ((g + 1) / 2), g / (g - 1)) - 1);
        const double cp = rule == CompressibilityRule::prandtl_glauert ? cp0 / b
                          : rule == CompressibilityRule::karman_tsien  ? cp0 / (b + m2 / (1 + b) * cp0 / 2)
                                                                       : cp0 / (b + m2 * (1 + (g - 1) / 2 * m2) / (2 * b) * cp0);
        return cp - cp_star;
    };
    int k = 1;
    while (f(k * 1e-4) > 0) ++k;
    double a = (k - 1) * 1e-4, b = k * 1e-4;
    for (int i = 0; i < 60; ++i) (f(0.5 * (a + b)) > 0 ? a : b) = 0.5 * (a + b);
    return 0.5 * (a + b);
}

TEST(CriticalMach, ThreeRulesAgainstIndependentRootsAndInTheirOrder) {
    ModelState s;
    set_constants(s);
    for (const double cp0 : {-0.011, -0.1, -0.5, -1.0, -2.0, -5.5, -10.016, -99.0}) {
        SCOPED_TRACE(cp0);
        double previous = 2;
        for (const auto rule : {CompressibilityRule::prandtl_glauert, CompressibilityRule::karman_tsien,
                                CompressibilityRule::laitone}) {
            const double m = critical_mach(s, cp0, rule), top = rule_singularity(s, cp0, rule);
            EXPECT_NEAR(m, independent_root(cp0, rule), 1e-9);
            ASSERT_TRUE(m > 0 && m < top && top <= 1) << m << " " << top;
            EXPECT_LT(m, previous);  // each stronger rule turns critical at a lower Mach number
            previous = m;
        }
    }
    // For cp0 = -1 the Karman-Tsien denominator vanishes at beta = 1/3, the
    // Laitone one where 2 beta^2 = M^2 (1 + 0.2 M^2).
    EXPECT_NEAR(rule_singularity(s, -1, CompressibilityRule::karman_tsien), std::sqrt(8.0 / 9), 1e-14);
    EXPECT_NEAR(rule_singularity(s, -1, CompressibilityRule::laitone), std::sqrt((std::sqrt(10.6) - 3) / 0.4), 1e-12);
}

}  // namespace
}  // namespace jmach

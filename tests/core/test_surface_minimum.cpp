// The exact minimum of the continuous surface pressure against an
// independent dense scan, and the critical Mach numbers of the three rules
// against independently found roots.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/surface_minimum.h"
#include "airfoil/table.h"
#include "compressible/mcrit.h"
#include "compressible/rules.h"

namespace jmach {
namespace {

// The profile of the real table at these scroll positions, with its
// sampled pressure at alpha degrees.
struct Profile {
    ModelState s;
    double sampled = 0;
};
Profile table_profile(int thickness, int camber, int n_points, int alpha) {
    Profile p;
    set_constants(p.s);
    const auto error = load_airfoil_table(std::filesystem::path(JMACH_SOURCE_DIR) / "data" / kTableFileName, p.s);
    EXPECT_FALSE(error) << *error;
    EXPECT_EQ(profil_hesapla(p.s, thickness, camber, n_points), ProfileOutcome::computed);
    p.sampled = basınc_hesapla(p.s, alpha);
    return p;
}

// The same flow written another way: the circle point by its angle phi
// about the centre, zeta = centre + a e^(i phi), the map z = zeta + 1/zeta,
// q = 2 (sin(alpha + beta) + sin(phi - alpha)) / |1 - 1/zeta^2|.
struct Independent {
    std::complex<double> centre;
    double radius, alpha, beta;
    std::complex<double> zeta(double phi) const { return centre + std::polar(radius, phi); }
    double cp(double phi) const {
        const std::complex<double> z = zeta(phi);
        const double q = 2 * (std::sin(alpha + beta) + std::sin(phi - alpha)) / std::abs(1.0 - 1.0 / (z * z));
        return 1 - q * q;
    }
};
Independent independent(const ModelState& s) {
    return {{-s.circle_eps, s.circle_mu}, std::sqrt(s.radius_sq), s.alpha_deg * std::numbers::pi / 180,
            std::atan2(s.circle_mu, 1 + s.circle_eps)};
}

// Its minimum over the open contour: the deepest of 400 000 evenly spaced
// centre angles, then golden sections on the two neighbouring intervals.
struct Found {
    double cp, phi;
};
Found dense_minimum(const Independent& f) {
    constexpr int n = 400000;
    const double start = -f.beta, step = -2 * std::numbers::pi / n;  // the trailing edge is at phi = -beta
    int best = 1;
    double lowest = f.cp(start + step);
    for (int i = 2; i < n; ++i)
        if (const double v = f.cp(start + i * step); v < lowest) lowest = v, best = i;
    double a = start + (best + 1) * step, b = start + (best - 1) * step;
    const double g = (std::sqrt(5.0) - 1) / 2;
    for (int k = 0; k < 200 && b - a > 1e-15; ++k) {
        const double x1 = b - g * (b - a), x2 = a + g * (b - a);
        if (f.cp(x1) < f.cp(x2))
            b = x2;
        else
            a = x1;
    }
    return {f.cp(0.5 * (a + b)), 0.5 * (a + b)};
}

struct Case {
    int thickness, camber, n_points, alpha;
};

TEST(SurfaceMinimum, MatchesADenseIndependentScanOnThinThickCamberedProfilesAtBothIncidences) {
    const Case cases[] = {{3, 1, 101, 4}, {3, 1, 101, -4}, {1, 0, 101, 10}, {1, 0, 11, -10}, {1, 15, 51, -10},
                          {2, 8, 31, 7},  {12, 4, 51, 4},  {12, 0, 11, 0},  {30, 15, 51, -10}, {30, 0, 101, 10},
                          {0, 5, 51, 0},  {1, 0, 11, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.thickness << "% " << c.camber << "% nP " << c.n_points << " alpha "
                                          << c.alpha);
        const Profile p = table_profile(c.thickness, c.camber, c.n_points, c.alpha);
        const SurfaceMinimum m = exact_surface_minimum(p.s);
        const Independent f = independent(p.s);
        const Found want = dense_minimum(f);
        ASSERT_FALSE(m.unbounded);
        EXPECT_NEAR(m.cp, want.cp, 1e-11 * std::abs(want.cp) + 1e-13);
        // Never above what the samples found: they lie on the same surface.
        EXPECT_LE(m.cp, p.sampled + 1e-12 * std::abs(p.sampled));
        // Where: the circle angle about the origin and x/c of the same point
        // (a symmetric profile at zero incidence has its mirror image too).
        const std::complex<double> z = f.zeta(want.phi);
        auto angle = [](std::complex<double> w) { return std::arg(w) - (std::arg(w) > 0 ? 2 * std::numbers::pi : 0); };
        const bool mirrored = p.s.circle_mu == 0 && c.alpha == 0;
        EXPECT_NEAR(m.theta, mirrored && std::abs(m.theta - angle(z)) > std::abs(m.theta - angle(std::conj(z)))
                                 ? angle(std::conj(z))
                                 : angle(z), 1e-6);
        EXPECT_NEAR(m.x, (z + 1.0 / z).real() / p.s.chord_len - p.s.x_shift, 1e-7);
        // Found to 1e-10 in the circle angle: a Newton step from there on
        // the slope is smaller still.
        const double h = 1e-6, alpha = f.alpha;
        const double curvature = (surface_point(p.s, alpha, m.theta + h).slope -
                                  surface_point(p.s, alpha, m.theta - h).slope) / (2 * h);
        EXPECT_GT(curvature, 0);
        EXPECT_LT(std::abs(surface_point(p.s, alpha, m.theta).slope / curvature), 1e-10);
    }
}

TEST(SurfaceMinimum, TheLeadingEdgePeakTheSamplesMissOnAThreePercentProfile) {
    // Thickness 3 %, camber 1 %, 101 points, 4 degrees: the samples see
    // -8.995, the surface reaches -10.016 just behind the leading edge.
    const Profile p = table_profile(3, 1, 101, 4);
    const SurfaceMinimum m = exact_surface_minimum(p.s);
    EXPECT_NEAR(p.sampled, -8.9953, 5e-5);
    EXPECT_NEAR(m.cp, -10.0161, 5e-5);
    EXPECT_TRUE(m.x > 0 && m.x < 1e-3) << m.x;
}

TEST(SurfaceMinimum, SlopeIsTheDerivativeOfTheSampledFormulaAndPointsAgreeWithTheSamples) {
    for (const Case& c : {Case{3, 1, 51, 4}, Case{30, 15, 51, -10}, Case{12, 0, 51, 0}}) {
        const Profile p = table_profile(c.thickness, c.camber, c.n_points, c.alpha);
        const double alpha = c.alpha * p.s.pi_value / 180;
        for (int j = 2; j < c.n_points; ++j) {
            SCOPED_TRACE(j);
            const double theta = p.s.theta[j];
            EXPECT_NEAR(surface_point(p.s, alpha, theta).cp, p.s.cp_surf[j], 1e-12 * (1 + std::abs(p.s.cp_surf[j])));
            const double h = 1e-6;
            const double difference =
                (surface_point(p.s, alpha, theta + h).cp - surface_point(p.s, alpha, theta - h).cp) / (2 * h);
            EXPECT_NEAR(surface_point(p.s, alpha, theta).slope, difference, 1e-5 * (1 + std::abs(difference)));
        }
    }
}

TEST(SurfaceMinimum, ZeroThicknessProfiles) {
    // At incidence the flow turns round the sharp leading edge with
    // unbounded speed; the samples show their stand-in -99 there.
    for (const auto& [camber, alpha] : {std::pair{0, 5}, {5, -3}, {0, -10}}) {
        const Profile p = table_profile(0, camber, 51, alpha);
        const SurfaceMinimum m = exact_surface_minimum(p.s);
        EXPECT_TRUE(m.unbounded && m.cp == -HUGE_VAL && m.x == 0 && p.sampled == -99) << camber << " " << alpha;
    }
    // The flat plate at zero incidence leaves the stream undisturbed.
    const SurfaceMinimum flat = exact_surface_minimum(table_profile(0, 0, 51, 0).s);
    EXPECT_TRUE(!flat.unbounded && flat.cp == 0 && flat.x == 0);
}

// The critical Mach number of a rule found another way: Cp_rule - Cp* on a
// grid of 10 000 Mach numbers below the first sign change of the rule's
// denominator, then the secant method.
double independent_root(double cp0, double gamma, CompressibilityRule rule) {
    auto cp_star = [&](double m) {
        return 2 / (gamma * m * m) * (std::pow((1 + (gamma - 1) / 2 * m * m) / ((gamma + 1) / 2), gamma / (gamma - 1)) - 1);
    };
    auto corrected = [&](double m) {  // the textbook forms, each as one quotient
        const double b = std::sqrt(1 - m * m);
        switch (rule) {
        case CompressibilityRule::prandtl_glauert: return cp0 / b;
        case CompressibilityRule::karman_tsien: return cp0 / (b + m * m / (1 + b) * cp0 / 2);
        case CompressibilityRule::laitone: return cp0 / (b + m * m * (1 + (gamma - 1) / 2 * m * m) / (2 * b) * cp0);
        }
        return 0.0;
    };
    auto f = [&](double m) { return corrected(m) - cp_star(m); };
    double a = 1e-4;
    for (double m = 2e-4; m < 1; m += 1e-4) {
        if (!(f(m) > 0)) {  // crossed, or ran through the singularity
            double b = m;
            for (int k = 0; k < 100 && std::abs(b - a) > 1e-15; ++k) {
                const double c = b - f(b) * (b - a) / (f(b) - f(a));
                if (!(c > a && c < b)) break;
                (f(c) > 0 ? a : b) = c;
            }
            return std::abs(f(a)) < std::abs(f(b)) ? a : b;
        }
        a = m;
    }
    return NAN;
}

TEST(CriticalMach, ThreeRulesAgainstIndependentRootsAndInTheirOrder) {
    ModelState s;
    set_constants(s);
    for (const double cp0 : {-0.011, -0.1, -0.5, -1.0, -2.0, -5.5, -10.016, -99.0}) {
        SCOPED_TRACE(cp0);
        double previous = 2;
        for (const auto rule : {CompressibilityRule::prandtl_glauert, CompressibilityRule::karman_tsien,
                                CompressibilityRule::laitone}) {
            const double m = critical_mach(s, cp0, rule);
            const double top = rule_singularity(s, cp0, rule);
            EXPECT_NEAR(m, independent_root(cp0, 1.4, rule), 1e-9);
            ASSERT_TRUE(m > 0 && m < top && top <= 1) << m << " " << top;
            // Bracketed to 1e-12: the difference changes sign across it.
            auto diff = [&](double x) { return rule_cp(s, cp0, x, rule) - Cp_Cr(s, x * x, x * x * s.gamma_minus1_half + 1); };
            EXPECT_TRUE(diff(m - 1e-12) > 0 && diff(std::min(m + 1e-12, top)) < 0);
            // Each stronger rule turns critical at a lower Mach number.
            EXPECT_LT(m, previous);
            previous = m;
        }
        // The Prandtl-Glauert root is the one the bracketing search finds.
        ModelState t = s;
        const McritResult r = mcrit_search(t, cp0);
        if (r.method == McritMethod::bracketing) {
            EXPECT_NEAR(r.mcr, critical_mach(s, cp0, CompressibilityRule::prandtl_glauert), 1e-15);
        }
    }
    // For cp0 = -1 the Karman-Tsien denominator vanishes at
    // beta = cp0/(cp0 - 2) = 1/3, M = 0.9428, and the Laitone one where
    // 2 beta^2 = M^2 (1 + 0.2 M^2), M = 0.7996.
    EXPECT_NEAR(rule_singularity(s, -1, CompressibilityRule::karman_tsien), std::sqrt(1 - 1.0 / 9), 1e-14);
    EXPECT_NEAR(rule_singularity(s, -1, CompressibilityRule::laitone), std::sqrt((std::sqrt(10.6) - 3) / 0.4), 1e-12);
    EXPECT_EQ(rule_singularity(s, -1, CompressibilityRule::prandtl_glauert), 1.0);
}

TEST(CriticalMach, SamplesOfTheChartAreTheCurvesBeforeOneMinus) {
    ModelState s;
    set_constants(s);
    const McritCurves c = mcrit_curves(s, -1.0);
    ASSERT_EQ(c.count, 73);
    for (int i = 1; i <= c.count; ++i) {
        const McritSample p = mcrit_sample(s, -1.0, i);
        EXPECT_TRUE(p.mach == c.mach[i] && 1 - p.cp_pg == c.pg[i] && 1 - p.cp_kt == c.kt[i] &&
                    1 - p.cp_la == c.la[i] && 1 - p.cp_star == c.cr[i]) << i;
    }
}

}  // namespace
}  // namespace jmach

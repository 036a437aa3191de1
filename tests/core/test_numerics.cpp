// Start-up constants, the Joukowski profile, its surface pressure, lift and
// moment, the compressibility rules and the critical Mach search, against
// worked values.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "compressible/rules.h"
#include "core/number_text.h"

namespace jmach {
namespace {

// The profile of the circle (eps, mu) with n_points points, as profil_hesapla
// leaves it after a successful lookup.
ModelState profile(double eps, double mu, int n_points) {
    ModelState s{.n_points = static_cast<double>(n_points), .circle_eps = eps, .circle_mu = mu};
    set_constants(s);
    compute_profile_geometry(s);
    return s;
}

// Computed values against worked ones, each within tol (0: equal).
void expect_near(std::initializer_list<std::pair<double, double>> got_want, double tol) {
    int k = 0;
    for (const auto& [got, want] : got_want) EXPECT_NEAR(got, want, tol) << "value #" << k++;
}

// Points first, first + 1, ... of an array against worked values.
void expect_points(const PointArray& got, int first, const std::vector<double>& want, double tol) {
    for (std::size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(got[first + k], want[k], tol) << "point " << first + k;
}

TEST(Profile, FlatPlateElevenPointsAtZeroAndFiveDegrees) {
    ModelState s = profile(0, 0, 11);
    expect_near({{s.chord_len, 4}, {s.x_shift, -0.5}, {s.radius_per_chord, 0.25}}, 0);
    expect_points(s.prof_x, 1, {1, 0.904508, 0.654508, 0.345492, 0.095492, 0, 0.095492, 0.345492, 0.654508,
                                0.904508, 1}, 5e-7);
    // Point 6 lies at zeta = -1, where the map's derivative vanishes.
    EXPECT_TRUE(s.theta[6] == -std::numbers::pi && s.prof_x[6] == 0 && s.map_deriv[6] == 0);
    double cp_min = basınc_hesapla(s, 0);  // no suction; the edge-on leading edge exactly 0
    expect_points(s.cp_surf, 1, std::vector<double>(11, 0.0), 1e-15);
    EXPECT_TRUE(s.cp_surf[6] == 0 && !(cp_min < kMcritThreshold) && rounded_text(cp_min, 3) == "0") << cp_min;
    cp_min = basınc_hesapla(s, 5);  // the unbounded leading edge, and sin^2 alpha at the trailing edge
    EXPECT_TRUE(s.cp_surf[6] == -99 && cp_min == -99 && s.cp_surf[11] == s.cp_surf[1]) << cp_min;
    EXPECT_NEAR(s.cp_surf[1], std::pow(std::sin(5 * std::numbers::pi / 180), 2), 1e-15);
}

// eps = 0.1, mu = 0, nP = 11: the profile, its pressure, and at 5 degrees
// the lift and the moments about the leading edge, quarter chord and
// trailing edge; the Prandtl-Glauert factor only for a usable Mach text.
TEST(Profile, SymmetricProfileElevenPointsWithLiftAndMoment) {
    ModelState s = profile(0.1, 0, 11);
    expect_near({{s.chord_len, 4.0333333333}, {s.x_shift, -0.5041322314}, {s.radius_per_chord, 0.2727272727},
                 {s.centre_ratio, 0.0909090909}}, 1e-9);
    expect_points(s.prof_y, 2, {-0.005064, -0.029709, -0.056427, -0.048294}, 5e-7);
    EXPECT_NEAR(s.map_deriv[6], 0.305556, 5e-7);
    EXPECT_EQ(rounded_text(basınc_hesapla(s, 0), 3), "-0.481");
    expect_points(s.cp_surf, 1, {0.1736, 0.1148, -0.0585, -0.3115, -0.4810, 1.0000}, 5e-5);
    const double cp_min = basınc_hesapla(s, 5);
    EXPECT_NEAR(cp_min, -1.2841, 5e-5);
    EXPECT_EQ(cp_min, s.cp_surf[7]);  // upper surface, next to the leading edge
    lift_curve(s);
    EXPECT_EQ(rounded_text(s.cl_current, 4), "0.5974");
    expect_near({{s.curve_cl[17], 0.597399}, {s.curve_cl[22], 1.190251}, {s.cl_current, s.curve_cl[17]}}, 5e-7);
    for (const auto& [xm, cm, text] : {std::tuple{0, -0.15113, "-0.15113"}, {25, -0.00235, "-0.00235"}, {100, 0.444, "0.444"}}) {
        EXPECT_EQ(rounded_text(moment_curve(s, xm).value(), 5), text) << xm;
        EXPECT_TRUE(s.moment_ref_x == xm / 100.0 && std::abs(s.curve_cm[17] - cm) < 5e-6) << xm;
    }
    EXPECT_EQ(free_stream(s, mach_from_text("0.5")), std::sqrt(0.75));
    for (const char* text : {"1", "-1", "1.5", "1e999"})  // no correction, mach_beta kept
        EXPECT_TRUE(!free_stream(s, mach_from_text(text)) && s.mach_beta == std::sqrt(0.75)) << text;
}

TEST(Profile, CamberedProfileFiftyOnePoints) {
    ModelState s = profile(0.1, 0.05, 51);
    expect_near({{s.zero_lift_angle, 0.0454233}, {s.radius_per_chord, 0.2730089}}, 5e-8);
    // Clockwise from the trailing edge, where it closes, through the leading edge at point 26.
    EXPECT_TRUE(s.prof_x[1] == 1 && s.prof_x[51] == 1 && s.prof_y[1] == 0 && s.prof_y[51] == 0);
    EXPECT_NEAR(std::hypot(s.prof_x[26], s.prof_y[26]), 0.0, 1e-14);
    const long top = std::max_element(&s.prof_y[27], &s.prof_y[51]) - &s.prof_y[0];  // upper surface
    const long bottom = std::min_element(&s.prof_y[2], &s.prof_y[26]) - &s.prof_y[0];
    EXPECT_TRUE(top == 35 && bottom == 19) << top << ", " << bottom;
    // Highest and lowest points, and Cp_min at 0 and then 5 degrees (a braced list runs in order).
    expect_near({{s.prof_y[top], 0.0772}, {s.prof_y[bottom], -0.0437}, {basınc_hesapla(s, 0), -0.6299},
                 {basınc_hesapla(s, 5), -1.9284}}, 5e-5);
    // Cp_min ignores the trailing edge, with its finite speed cos(alpha + beta)/a.
    const double c = std::cos(5 * s.pi_value / 180 + s.zero_lift_angle);
    EXPECT_TRUE(s.cp_surf[1] == 1.0 - c * c / s.radius_sq && s.cp_surf[51] == s.cp_surf[1]);
}

TEST(Pressure, CircularArcLeadingEdgeAtZeroIncidence) {
    // At zero incidence only the overridden point (half_intervals + 1 rounded
    // half to even) is exactly 0; with an even count no point is at zeta = -1.
    for (const auto& [n_points, index] : {std::pair{21, 11}, {50, 26}, {52, 26}, {54, 28}}) {
        ModelState s = profile(0, 0.05, n_points);
        basınc_hesapla(s, 0);
        for (int j = 2; j <= n_points - 1; ++j)
            EXPECT_TRUE((s.cp_surf[j] == 0) == (j == index) && (s.map_deriv[j] == 0) == (j == index && n_points == 21))
                << n_points << ": " << j;
    }
}

TEST(McritSearch, ConvergenceTableAndBracketingWhereTheIterationFails) {
    // Bracketing after 1000 passes: never met the tolerance; after fewer: left the real numbers.
    constexpr McritMethod I = McritMethod::iteration, B = McritMethod::bracketing;
    const std::tuple<double, int, const char*, McritMethod> table[] = {
        {-0.011, 45, "0.9725", I}, {-0.5, 22, "0.7158", I}, {-2, 8, "0.4863", I}, {-5.5, 172, "0.3255", I},
        {-6, 1000, "0.3134", B},   {-99, 1, "0.0821", B}};
    for (const auto& [cp0, passes, shown, method] : table) {
        SCOPED_TRACE(cp0);
        ModelState s = profile(0, 0, 11);  // any state after start-up
        const McritResult r = mcrit_search(s, cp0);
        EXPECT_TRUE(r.method == method && r.passes == passes) << r.passes;
        EXPECT_EQ(rounded_text(r.mcr, 4), shown);
    }
}

}  // namespace
}  // namespace jmach

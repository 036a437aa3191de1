// The chart procedures on a recording surface: grids, runs, curves,
// markers, texts and the compressibility corrections.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "charts/recording_surface.h"
#include "charts/lift_chart.h"
#include "charts/mcrit_chart.h"
#include "charts/moment_chart.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "core/number_text.h"

namespace jmach {
namespace {

constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr auto kRing = Primitive::Kind::circle;
const double kBetaHalf = std::sqrt(0.75);  // M = 0.5

ModelState profile_state(double eps, double mu, int n_points) {
    ModelState s;
    set_constants(s);
    s.circle_eps = eps;
    s.circle_mu = mu;
    s.n_points = n_points;
    compute_profile_geometry(s);
    basınc_hesapla(s, 5);
    return s;
}

std::vector<Primitive> of(const RecordingSurface& surface, std::optional<Colour> colour,
                          Primitive::Kind kind = Primitive::Kind::line) {
    std::vector<Primitive> out;
    for (const Primitive& p : surface.primitives())
        if (p.kind == kind && p.colour == colour) out.push_back(p);
    return out;
}

// Coordinates as the surface receives them, compared in single precision:
// GCC 12.2 at -O2 (its SLP vectorizer) left a double -> float -> double
// round trip unrounded inside a braced list of doubles.
float f(double v) { return static_cast<float>(v); }
using Ends = std::vector<float>;
Ends ends(const Primitive& p) { return {f(p.x1), f(p.y1), f(p.x2), f(p.y2)}; }

// The runs chain point k to k + 1 over the whole contour: red up to `join`,
// blue from there to nP, at -y/c on the profile and -(1 - Cp) on the
// pressure view. Even nP splits at a whole index and loses no segment.
TEST(ProfileRuns, SplitAtTheLeadingEdgeForOddAndAtAWholeIndexForEvenCounts) {
    for (int np : {11, 51, 12, 50}) {
        ModelState s = profile_state(0.12, 0.04, np);
        const int join = np % 2 == 1 ? (np + 1) / 2 : np / 2;  // nP = 51: 25 + 25; nP = 50: 24 + 25
        RecordingSurface profil, pressure;
        renkler(s);
        profil_ciz(s, profil);
        basınc_ciz(s, pressure, free_stream(s, 0.0));
        for (const RecordingSurface* surface : {&profil, &pressure}) {
            const auto red = of(*surface, kRed), blue = of(*surface, kBlue);
            ASSERT_EQ(red.size(), static_cast<std::size_t>(join - 1)) << np;
            ASSERT_EQ(blue.size(), static_cast<std::size_t>(np - join)) << np;
            auto y = [&](int k) { return f(surface == &profil ? -s.prof_y[k] : -(1 - s.cp_surf[k])); };
            for (int k = 1; k < np; ++k)
                EXPECT_EQ(ends(k < join ? red[k - 1] : blue[k - join]),
                          Ends({f(s.prof_x[k]), y(k), f(s.prof_x[k + 1]), y(k + 1)})) << np << ": " << k;
        }
    }
}

// eps = 0.1, mu = 0, nP = 11 at 5 degrees (a/c = 0.272727..., chord
// 4.0333..., x_shift -0.504132...): the worked lift and moment values, the
// grids, the colour variables and the Prandtl-Glauert correction at M = 0.5;
// a Mach text the correction cannot use draws none.
TEST(Charts, WorkedExampleGridsAndTheCorrectionAtMachHalf) {
    ModelState s = profile_state(0.1, 0.0, 11);
    RecordingSurface profil, pressure, lift, moment;
    const std::optional<double> beta = free_stream(s, 0.5);
    basınc_ciz(s, pressure, beta);  // before renkler the colour variables draw black
    EXPECT_EQ(of(pressure, kBlack).size(), 13u + 10u);  // grid and both runs
    renkler(s);
    profil_ciz(s, profil);
    basınc_ciz(s, pressure, beta);
    lift_curve(s);
    CL_Alfa_ciz(s, lift, beta);
    EXPECT_EQ(rounded_text(s.cl_current, 4), "0.5974");  // the incompressible value
    EXPECT_NEAR(s.curve_cl[17], 0.597399, 5e-7);        // 5 degrees
    EXPECT_NEAR(s.curve_cl[22], 1.190251, 5e-7);        // 10 degrees
    EXPECT_EQ(s.mach_beta, kBetaHalf);
    const Primitive ring = of(lift, kRed, kRing).at(0);
    ASSERT_EQ(of(lift, kBlue).size(), 24u);
    EXPECT_EQ(ends(of(lift, kBlue)[16]), Ends({4, f(-s.curve_cl[16]), 5, f(-s.curve_cl[17])}));
    EXPECT_EQ(std::vector<double>({ring.x1, ring.y1, ring.r, s.cl_current}),
              std::vector<double>({5.0, -s.curve_cl[17], 0.4, s.curve_cl[17]}));
    const struct { int xm; double cm; const char *xm_text, *cm_text; } cases[] = {
        {0, -0.15113, "0", "-0.15113"}, {100, 0.44400, "1", "0.444"}, {25, -0.00235, "0.25", "-0.00235"}};
    for (const auto& c : cases) {
        const std::optional<double> cm = moment_curve(s, c.xm);
        CM_Alfa_ciz(s, moment, beta);
        EXPECT_EQ(number_text(s.moment_ref_x), c.xm_text);
        EXPECT_EQ(rounded_text(cm.value(), 5), c.cm_text);
        EXPECT_EQ(s.moment_ref_x, c.xm / 100.0);
        EXPECT_NEAR(s.curve_cm[17], c.cm, 5e-6) << c.xm;
    }
    // Each grid in drawing order, vertical lines first: G green, K black (the zero lines).
    const std::pair<const RecordingSurface*, std::string> grids[] = {
        {&profil, "KGGGGGG" "GGGGKGG"}, {&pressure, "KGGGGGG" "KGGGGG"},
        {&lift, "GGGKGGG" "GGGKGGGGGGG"}, {&moment, "GGGKGGG" "GGGKGGGG"}};
    for (const auto& [surface, want] : grids) {
        std::string grid;
        for (const Primitive& p : surface->primitives()) grid += p.colour == kBlack ? 'K' : p.colour == kGreen ? 'G' : '-';
        EXPECT_EQ(grid.substr(0, want.size()), want);
    }
    const auto pg = of(pressure, kMagenta);
    ASSERT_EQ(pg.size(), 10u);  // the whole contour in one run
    for (int i = 2; i <= 11; ++i) EXPECT_NEAR(pg[i - 2].y2, -(1 - s.cp_surf[i] / kBetaHalf), 1e-5) << i;
    for (const RecordingSurface* chart : {&lift, &moment}) {  // 1.1547 times the curve and its marker
        ASSERT_EQ(of(*chart, kMagenta).size(), 24u);
        EXPECT_NEAR(of(*chart, kMagenta)[16].y2, of(*chart, kBlue).at(16).y2 / kBetaHalf, 1e-6);  // 5 degrees
        EXPECT_NEAR(of(*chart, kMagenta, kRing).at(0).y1, of(*chart, kRed, kRing).at(0).y1 / kBetaHalf, 1e-6);
    }
    // Not below 1 in magnitude, or not finite: no correction, mach_beta kept.
    for (const char* text : {"1", "-1", "1.5", "1e999", "-1e999"}) {
        s.mach_beta = 0.25;
        const std::optional<double> none = free_stream(s, mach_from_text(text));
        EXPECT_FALSE(none.has_value()) << text;
        basınc_ciz(s, pressure, none);
        CL_Alfa_ciz(s, lift, none);
        CM_Alfa_ciz(s, moment, none);
        EXPECT_EQ(s.mach_beta, 0.25) << text;
        for (const RecordingSurface* chart : {&pressure, &lift, &moment})
            for (const Primitive& p : chart->primitives()) EXPECT_NE(p.colour, kMagenta) << text;
    }
}

// Samples drawn: one before the stop index, or all 99. For -0.05 and -0.08
// the Laitone value changes sign first: its last sample before and after.
TEST(McritChart, StopIndexOfTheLaitoneTestAndTheMarkerLine) {
    ModelState s = profile_state(0.1, 0.0, 11);  // the chart reads only cp0 and the gas constants
    RecordingSurface mcrit;
    const struct { double cp0; int drawn, last_la = 0; double la_from = 0, la_to = 0; } cases[] = {
        {-1.0, 73}, {-2.0, 59}, {-0.02, 99}, {-0.06, 97}, {-0.1, 96},
        {-0.05, 99, 98, 1.90633, 0.250079}, {-0.08, 99, 97, 2.35231, -1.5698}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cp0);
        const McritCurves curves = mcrit_curves(s, c.cp0);
        ASSERT_EQ(curves.count, c.drawn);
        Mcrit_ciz(curves, mcrit);
        const auto& items = mcrit.primitives();
        ASSERT_EQ(items.size(), 2u + 4u * (c.drawn - 1));
        const Colour order[4] = {kLiteralRed, kLiteralBlue, kLiteralGreen, kMagenta};
        for (std::size_t n = 2; n < items.size(); ++n) EXPECT_EQ(items[n].colour, order[(n - 2) % 4]);
        const Primitive la = c.last_la ? of(mcrit, kMagenta)[c.last_la - 1] : Primitive{};
        EXPECT_NEAR(la.y1, c.la_from, 1e-5);
        EXPECT_NEAR(la.y2, c.la_to, 1e-5);
    }
    // The search's marker rises from the Mach axis to 1 - Cp of its last pass.
    Mcrit_ciz(mcrit_curves(s, -1.0), mcrit);
    const McritResult r = mcrit_search(s, -1.0);
    mcrit_marker(mcrit, r);
    const Primitive& marker = mcrit.primitives().back();
    EXPECT_EQ(marker.colour, kLiteralBlue);
    EXPECT_EQ(ends(marker), Ends({f(r.mcr), 0, f(r.mcr), f(1 - r.cp_pg)}));
    EXPECT_NEAR(marker.y2, 1 + 1 / std::sqrt(1 - 0.6059 * 0.6059), 2e-3);
}

}  // namespace
}  // namespace jmach

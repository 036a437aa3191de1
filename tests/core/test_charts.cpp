// The chart procedures on a recording surface: scales, grids, runs,
// curves, markers, texts and the compressibility corrections.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "app/number_text.h"
#include "charts/recording_surface.h"
#include "charts/views.h"
#include "compressible/mcrit.h"

namespace jmach {
namespace {

constexpr Colour kBlack = 0x000000, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
const double kBetaHalf = std::sqrt(0.75);  // M = 0.5

ModelState profile_state(double eps, double mu, int n_points, int alpha = 5) {
    ModelState s;
    set_constants(s);
    s.circle_eps = eps;
    s.circle_mu = mu;
    s.n_points = n_points;
    compute_profile_geometry(s);
    basınc_hesapla(s, alpha);
    return s;
}

std::vector<Primitive> of(const RecordingSurface& surface, std::optional<Colour> colour,
                          Primitive::Kind kind = Primitive::Kind::line) {
    std::vector<Primitive> out;
    for (const Primitive& p : surface.primitives())
        if (p.kind == kind && p.colour == colour) out.push_back(p);
    return out;
}

double f(double v) { return static_cast<float>(v); }  // as the surface receives it

// ---- scales and grids -------------------------------------------------------

struct GridCase {
    const char* chart;
    ScaleRect scale;
    std::vector<double> xs;   // vertical grid lines, in drawing order
    double v_from, v_to;      // their ends
    std::vector<double> ys;   // horizontal grid lines (user y), in drawing order
    double h_from, h_to;
};

TEST(ChartGrid, ScalesGridLinesAndZeroLinesInBlack) {
    ModelState s = profile_state(0.1, 0.05, 51);
    renkler(s);
    RecordingSurface profil, pressure, lift, moment;
    profil_ciz(s, profil);
    basınc_ciz(s, pressure, "0");
    CL_Alfa_ciz(s, lift, "0");
    CM_Alfa_ciz(s, moment, 25, "0");
    const std::vector<double> degrees = {-12, -8, -4, 0, 4, 8, 12};
    const GridCase cases[] = {
        {"profil", {-0.1, -0.35, 1.1, 0.25}, {0, 0.2, 0.4, 0.6, 0.8, 1.0, 1.2}, -0.3, 0.2,
         {-0.4, -0.3, -0.2, -0.1, 0, 0.1, 0.2}, 0, 1},
        {"pressure", {-0.1, -5.5, 1.1, 0.5}, {0, 0.2, 0.4, 0.6, 0.8, 1.0, 1.2}, -5, 0, {0, -1, -2, -3, -4, -5}, 0, 1},
        {"Picture_CL", {-16, -4, 16, 2}, degrees, -3.5, 1.5,
         {1.5, 1, 0.5, 0, -0.5, -1, -1.5, -2, -2.5, -3, -3.5}, -12, 12},
        {"Picture_CM", {-16, -2.4, 16, 2}, degrees, -2, 1.5, {1.5, 1, 0.5, 0, -0.5, -1, -1.5, -2}, -12, 12},
    };
    const RecordingSurface* surfaces[] = {&profil, &pressure, &lift, &moment};
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(cases[c].chart);
        const RecordingSurface& surface = *surfaces[c];
        const GridCase& g = cases[c];
        ASSERT_TRUE(surface.scale());
        EXPECT_EQ(surface.scale()->x1, g.scale.x1);
        EXPECT_EQ(surface.scale()->y1, g.scale.y1);
        EXPECT_EQ(surface.scale()->x2, g.scale.x2);
        EXPECT_EQ(surface.scale()->y2, g.scale.y2);
        const auto& items = surface.primitives();
        ASSERT_GE(items.size(), g.xs.size() + g.ys.size());
        for (std::size_t n = 0; n < g.xs.size(); ++n) {
            const Primitive& p = items[n];
            EXPECT_EQ(p.x1, f(g.xs[n]));
            EXPECT_EQ(p.x2, f(g.xs[n]));
            EXPECT_EQ(p.y1, f(g.v_from));
            EXPECT_EQ(p.y2, f(g.v_to));
            EXPECT_EQ(p.colour, g.xs[n] == 0 ? kBlack : kGreen);
        }
        for (std::size_t n = 0; n < g.ys.size(); ++n) {
            const Primitive& p = items[g.xs.size() + n];
            EXPECT_EQ(p.y1, f(g.ys[n]));
            EXPECT_EQ(p.y2, f(g.ys[n]));
            EXPECT_EQ(p.x1, g.h_from);
            EXPECT_EQ(p.x2, g.h_to);
            EXPECT_EQ(p.colour, g.ys[n] == 0 ? kBlack : kGreen);
        }
    }
}

TEST(ChartGrid, ColoursAreBlackUntilRenklerRuns) {
    ModelState s = profile_state(0.1, 0.05, 51);
    RecordingSurface pressure;
    basınc_ciz(s, pressure, "0.5");
    EXPECT_EQ(of(pressure, kBlack).size(), 13u + 50u);  // grid and both runs
    EXPECT_EQ(of(pressure, kMagenta).size(), 50u);       // the literal colour
    renkler(s);
    EXPECT_EQ(s.siyah, kBlack);
    EXPECT_EQ(s.kirmizi, kRed);
    EXPECT_EQ(s.yesil, kGreen);
    EXPECT_EQ(s.mavi, kBlue);
}

// ---- profile and pressure runs -------------------------------------------------

// The runs chain point k to k + 1 over the whole contour: red up to `join`,
// blue from there to nP, at -y/c on the profile and -(1 - Cp) on the
// pressure view.
TEST(ProfileRuns, SplitAtTheLeadingEdgeForOddAndAtAWholeIndexForEvenCounts) {
    for (int np : {11, 51, 12, 50}) {
        SCOPED_TRACE(np);
        ModelState s = profile_state(0.12, 0.04, np);
        const int join = np % 2 == 1 ? (np + 1) / 2 : np / 2;  // nP = 51: 25 + 25; nP = 50: 24 + 25
        EXPECT_EQ(first_run_end(s), join);
        RecordingSurface profil, pressure;
        profil_ciz(s, profil);
        basınc_ciz(s, pressure, "0");
        for (const RecordingSurface* surface : {&profil, &pressure}) {
            const auto red = of(*surface, kRed), blue = of(*surface, kBlue);
            ASSERT_EQ(red.size(), static_cast<std::size_t>(join - 1));
            ASSERT_EQ(blue.size(), static_cast<std::size_t>(np - join));
            for (int k = 1; k < np; ++k) {
                const Primitive& p = k < join ? red[k - 1] : blue[k - join];
                const bool on_profile = surface == &profil;
                EXPECT_EQ(p.x1, f(s.prof_x[k]));
                EXPECT_EQ(p.x2, f(s.prof_x[k + 1]));
                EXPECT_EQ(p.y1, f(on_profile ? -s.prof_y[k] : -(1 - s.cp_surf[k])));
                EXPECT_EQ(p.y2, f(on_profile ? -s.prof_y[k + 1] : -(1 - s.cp_surf[k + 1])));
            }
        }
    }
}

TEST(ProfileRuns, NoProfileYetDrawsTheGridOnly) {
    ModelState s;
    set_constants(s);
    RecordingSurface profil;
    profil_ciz(s, profil);
    EXPECT_EQ(profil.primitives().size(), 14u);
    // The moment reference ring, erased by the next redraw.
    s.moment_ref_x = 0.25;
    moment_ref_marker(s, profil);
    const auto rings = of(profil, kRed, Primitive::Kind::circle);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].x1, 0.25);
    EXPECT_EQ(rings[0].y1, 0.0);
    EXPECT_EQ(rings[0].r, 0.01);
    profil_ciz(s, profil);
    EXPECT_TRUE(of(profil, kRed, Primitive::Kind::circle).empty());
}

// ---- lift and moment: the worked examples --------------------------------------

// eps = 0.1, mu = 0: a/c = 0.272727..., chord 4.0333..., x_shift -0.504132....
TEST(LiftAndMoment, WorkedExampleAtFiveDegrees) {
    ModelState s = profile_state(0.1, 0.0, 11);
    renkler(s);
    RecordingSurface lift, moment;
    EXPECT_EQ(CL_Alfa_ciz(s, lift, "0"), "0.5974");
    EXPECT_NEAR(s.curve_cl[17], 0.597399, 5e-7);  // 5 degrees
    EXPECT_NEAR(s.curve_cl[22], 1.190251, 5e-7);  // 10 degrees
    EXPECT_EQ(s.cl_current, s.curve_cl[17]);
    const auto curve = of(lift, kBlue);
    ASSERT_EQ(curve.size(), 24u);
    EXPECT_EQ(curve[16].x2, 5.0);
    EXPECT_EQ(curve[16].y2, f(-s.curve_cl[17]));
    const auto ring = of(lift, kRed, Primitive::Kind::circle);
    ASSERT_EQ(ring.size(), 1u);
    EXPECT_EQ(ring[0].x1, 5.0);
    EXPECT_EQ(ring[0].y1, -s.cl_current);
    EXPECT_EQ(ring[0].r, 0.4);

    struct Case {
        int xm;
        double cm;
        const char *xm_text, *cm_text;
    };
    for (const Case& c : {Case{0, -0.15113, "0", "-0.15113"}, Case{25, -0.00235, "0.25", "-0.00235"},
                          Case{100, 0.44400, "1", "0.444"}}) {
        SCOPED_TRACE(c.xm);
        const MomentTexts texts = CM_Alfa_ciz(s, moment, c.xm, "0");
        EXPECT_EQ(texts.xm, c.xm_text);
        EXPECT_EQ(texts.cm, c.cm_text);
        EXPECT_EQ(s.moment_ref_x, c.xm / 100.0);
        EXPECT_NEAR(s.curve_cm[17], c.cm, 5e-6);
        EXPECT_NEAR(s.curve_cm[12], 0.0, 1e-15);  // symmetric: no moment at zero lift
        EXPECT_EQ(of(moment, kBlue).size(), 24u);
        const auto cm_ring = of(moment, kRed, Primitive::Kind::circle);
        ASSERT_EQ(cm_ring.size(), 1u);
        EXPECT_EQ(cm_ring[0].y1, -s.curve_cm[17]);
    }
    for (int k = 0; k <= 24; ++k) EXPECT_EQ(s.curve_alpha[k], k - 12);
}

TEST(LiftAndMoment, MarkerOnTheCurveAtTheEndsOfTheAngleRange) {
    for (int alpha : {-10, 10}) {
        ModelState s = profile_state(0.1, 0.05, 51, alpha);
        RecordingSurface lift;
        CL_Alfa_ciz(s, lift, "0");
        const auto ring = of(lift, s.kirmizi, Primitive::Kind::circle);
        ASSERT_EQ(ring.size(), 1u);
        EXPECT_EQ(ring[0].y1, -s.curve_cl[alpha + 12]);  // the 3rd or the 23rd point
    }
}

TEST(LiftAndMoment, ReferencePointTurnsTheMomentCurveAboutZeroLift) {
    ModelState s = profile_state(0.1, 0.05, 51, 4);
    RecordingSurface lift, moment;
    CL_Alfa_ciz(s, lift, "0");
    CM_Alfa_ciz(s, moment, 10, "0");
    const CurveArray before = s.curve_cm;
    CM_Alfa_ciz(s, moment, 40, "0");
    for (int k = 0; k <= 24; ++k)
        EXPECT_NEAR(s.curve_cm[k] - before[k], 0.3 * s.curve_cl[k] * std::cos((k - 12) * s.pi_value / 180), 1e-12);
}

TEST(LiftAndMoment, NoProfileYetDrawsTheMomentGridOnly) {
    ModelState s;
    set_constants(s);
    RecordingSurface moment;
    const MomentTexts texts = CM_Alfa_ciz(s, moment, 30, "0.5");
    EXPECT_EQ(texts.xm, "0.3");
    EXPECT_EQ(texts.cm, "");
    EXPECT_EQ(moment.primitives().size(), 15u);
    EXPECT_EQ(moment.rejected(), 0u);
}

// ---- the Mach number -----------------------------------------------------------

TEST(MachCorrection, HalfScalesPressureLiftAndMomentByPrandtlGlauert) {
    ModelState s = profile_state(0.1, 0.05, 51);
    renkler(s);
    RecordingSurface pressure, lift, moment;
    basınc_ciz(s, pressure, "0.5");
    EXPECT_EQ(s.mach_beta, kBetaHalf);
    const auto pg = of(pressure, kMagenta);
    ASSERT_EQ(pg.size(), 50u);  // the whole contour in one run
    for (int i = 2; i <= 51; ++i) {
        EXPECT_EQ(pg[i - 2].x2, f(s.prof_x[i]));
        EXPECT_NEAR(pg[i - 2].y2, -(1 - s.cp_surf[i] / 0.8660254037844386), 1e-5);
    }

    const std::string cl_text = CL_Alfa_ciz(s, lift, "0.5");
    const MomentTexts cm_texts = CM_Alfa_ciz(s, moment, 25, "0.5");
    EXPECT_EQ(cl_text, rounded_text(s.cl_current, 4));  // the incompressible value
    EXPECT_EQ(s.mach_beta, kBetaHalf);
    for (const RecordingSurface* chart : {&lift, &moment}) {
        const auto blue = of(*chart, kBlue), magenta = of(*chart, kMagenta);
        ASSERT_EQ(magenta.size(), 24u);
        for (std::size_t k = 0; k < 24; ++k) {
            EXPECT_EQ(magenta[k].x1, blue[k].x1);
            EXPECT_NEAR(magenta[k].y1, blue[k].y1 / kBetaHalf, 1e-6);  // 1.1547 times
        }
        const auto rings = of(*chart, kMagenta, Primitive::Kind::circle);
        ASSERT_EQ(rings.size(), 1u);
        EXPECT_NEAR(rings[0].y1, of(*chart, kRed, Primitive::Kind::circle)[0].y1 * 1.1547005, 1e-6);
    }
    EXPECT_EQ(cm_texts.cm, rounded_text(s.curve_cm[17], 5));
}

TEST(MachCorrection, ZeroAndUnusableMachDrawNoCorrection) {
    ModelState s = profile_state(0.1, 0.05, 51);
    EXPECT_EQ(mach_from_text("  0.45xyz"), 0.45);
    EXPECT_EQ(mach_from_text("abc"), 0.0);
    // Text without a number reads as 0: nothing more, mach_beta = 1 on the
    // pressure view and untouched on the curves.
    for (const char* text : {"0", "", "abc"}) {
        RecordingSurface pressure, lift;
        s.mach_beta = 0.3;
        CL_Alfa_ciz(s, lift, text);
        EXPECT_EQ(s.mach_beta, 0.3);
        basınc_ciz(s, pressure, text);
        EXPECT_EQ(s.mach_beta, 1.0);
        EXPECT_TRUE(of(pressure, kMagenta).empty() && of(lift, kMagenta).empty()) << text;
    }
    // Not below 1 in magnitude, or not finite: no correction, mach_beta kept.
    for (const char* text : {"1", "-1", "1.5", "1e999", "-1e999"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(mach_from_text(text));
        RecordingSurface pressure, lift, moment;
        s.mach_beta = 0.25;
        basınc_ciz(s, pressure, text);
        CL_Alfa_ciz(s, lift, text);
        CM_Alfa_ciz(s, moment, 25, text);
        EXPECT_EQ(s.mach_beta, 0.25);
        for (const RecordingSurface* chart : {&pressure, &lift, &moment}) {
            EXPECT_TRUE(of(*chart, kMagenta).empty());
            EXPECT_TRUE(of(*chart, kMagenta, Primitive::Kind::circle).empty());
            EXPECT_EQ(chart->rejected(), 0u);
        }
    }
}

// ---- the critical Mach chart and the marker of the search -------------------------

TEST(McritChart, AxesCurveOrderAndTheStopIndexOfTheLaitoneTest) {
    struct Case {
        double cp0;
        int drawn;                 // samples drawn: one before the stop index, or all 99
        int last_la = 0;           // for cp0 where the Laitone value changes sign first:
        double la_from = 0, la_to = 0;  // its last sample before and the one after
    };
    for (const Case& c : {Case{-1.0, 73}, Case{-2.0, 59}, Case{-0.02, 99}, Case{-0.06, 97}, Case{-0.1, 96},
                          Case{-0.05, 99, 98, 1.90633, 0.250079}, Case{-0.08, 99, 97, 2.35231, -1.5698}}) {
        SCOPED_TRACE(c.cp0);
        ModelState s;
        set_constants(s);
        RecordingSurface mcrit;
        ASSERT_EQ(Mcrit_ciz(s, c.cp0, mcrit), c.drawn);
        ASSERT_TRUE(mcrit.scale());
        EXPECT_EQ(mcrit.scale()->y1, 5.0);
        EXPECT_EQ(mcrit.scale()->y2, -0.5);
        const auto& items = mcrit.primitives();
        ASSERT_EQ(items.size(), 2u + 4u * (c.drawn - 1));
        EXPECT_FALSE(items[0].colour);  // the axes in the foreground colour
        EXPECT_EQ(items[0].x2, 1.0);
        EXPECT_FALSE(items[1].colour);
        EXPECT_EQ(items[1].y2, 4.5);
        const Colour order[4] = {kLiteralRed, kLiteralBlue, kLiteralGreen, kMagenta};
        for (std::size_t n = 2; n < items.size(); ++n) EXPECT_EQ(items[n].colour, order[(n - 2) % 4]);
        EXPECT_EQ(items.back().x2, f(c.drawn / 100.0));
        EXPECT_NEAR(items[2].y1, 6739.3, 0.5);  // Cp* at M = 0.01
        if (c.last_la) {
            const auto la = of(mcrit, kMagenta);
            EXPECT_NEAR(la[c.last_la - 1].y1, c.la_from, 1e-5);
            EXPECT_NEAR(la[c.last_la - 1].y2, c.la_to, 1e-5);
        }
    }
}

TEST(McritChart, MarkerRisesFromTheMachAxisToThePrandtlGlauertValueOfTheLastPass) {
    ModelState s;
    set_constants(s);
    RecordingSurface mcrit;
    const McritResult r = Mcrit_iter(s, -1.0, mcrit);
    EXPECT_EQ(rounded_text(r.mcr, 4), "0.6059");
    ASSERT_EQ(mcrit.primitives().size(), 2u + 4u * 72u + 1u);
    const Primitive& marker = mcrit.primitives().back();
    EXPECT_EQ(marker.colour, kLiteralBlue);
    EXPECT_EQ(marker.x1, f(r.mcr));
    EXPECT_EQ(marker.x2, f(r.mcr));
    EXPECT_EQ(marker.y1, 0.0);
    EXPECT_EQ(marker.y2, f(1 - r.cp_pg));
    EXPECT_NEAR(marker.y2, 1 + 1 / std::sqrt(1 - 0.6059 * 0.6059), 2e-3);
}

}  // namespace
}  // namespace jmach

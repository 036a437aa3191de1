// The colour set, the profile view and the pressure view on a recording
// surface.

#include <gtest/gtest.h>

#include <cmath>

#include "charts/views.h"
#include "test_charts_support.h"

namespace jmach {
namespace {

using testing::circles_in;
using testing::count_lines;
using testing::f;
using testing::lines_in;
using testing::profile_state;

constexpr Colour kBlack = 0x000000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0xFF0000;

TEST(Renkler, SetsTheFourColoursFromEmpty) {
    ModelState s;
    EXPECT_EQ(s.siyah, 0u);
    EXPECT_EQ(s.kirmizi, 0u);
    EXPECT_EQ(s.yesil, 0u);
    EXPECT_EQ(s.mavi, 0u);
    renkler(s);
    EXPECT_EQ(s.siyah, kBlack);
    EXPECT_EQ(s.kirmizi, kRed);
    EXPECT_EQ(s.yesil, kGreen);
    EXPECT_EQ(s.mavi, kBlue);
    EXPECT_EQ(kMagenta, 0xFF00FFu);
    EXPECT_EQ(kSurfaceBackground, 0xC0FFFFu);
}

TEST(MachFromText, ReadsTheLeadingNumberAndRefusesWhatTheCorrectionCannotUse) {
    EXPECT_EQ(mach_from_text("0.5"), 0.5);
    EXPECT_EQ(mach_from_text("  0.45xyz"), 0.45);
    EXPECT_EQ(mach_from_text("0"), 0.0);
    EXPECT_EQ(mach_from_text(""), 0.0);
    EXPECT_EQ(mach_from_text("abc"), 0.0);
    EXPECT_EQ(mach_from_text("-0.3"), -0.3);
    EXPECT_EQ(mach_from_text("0.999"), 0.999);
    EXPECT_FALSE(mach_from_text("1"));
    EXPECT_FALSE(mach_from_text("-1"));
    EXPECT_FALSE(mach_from_text("1.5"));
    EXPECT_FALSE(mach_from_text("1e999"));
    EXPECT_FALSE(mach_from_text("-1e999"));
}

TEST(FirstRunEnd, LeadingEdgeForOddCountsWholeSplitForEven) {
    ModelState s;
    EXPECT_EQ(first_run_end(s), 1);  // no profile yet
    for (int np : {11, 51, 101}) {
        s.n_points = np;
        s.n_intervals = np - 1;
        s.half_intervals = (np - 1) / 2.0;
        EXPECT_EQ(first_run_end(s), s.half_intervals + 1) << np;
    }
    for (int np : {12, 50, 100}) {
        s.n_points = np;
        s.n_intervals = np - 1;
        s.half_intervals = (np - 1) / 2.0;
        EXPECT_EQ(first_run_end(s), np / 2) << np;
    }
}

// ---- profile view ---------------------------------------------------------

// The outline segments must chain point k to point k + 1 through the whole
// contour, red up to `join`, blue from there to nP.
void expect_outline(const ModelState& s, const RecordingSurface& surface, int join) {
    const int np = static_cast<int>(s.n_points);
    const auto red = lines_in(surface, kRed);
    const auto blue = lines_in(surface, kBlue);
    ASSERT_EQ(red.size(), static_cast<std::size_t>(join - 1));
    ASSERT_EQ(blue.size(), static_cast<std::size_t>(np - join));
    for (int k = 1; k < np; ++k) {
        const Primitive& p = k < join ? red[k - 1] : blue[k - join];
        EXPECT_EQ(p.x1, f(s.prof_x[k])) << k;
        EXPECT_EQ(p.y1, f(-s.prof_y[k])) << k;
        EXPECT_EQ(p.x2, f(s.prof_x[k + 1])) << k;
        EXPECT_EQ(p.y2, f(-s.prof_y[k + 1])) << k;
    }
}

TEST(ProfilCiz, ScaleAndGrid) {
    ModelState s = profile_state(0.1, 0.05, 51);
    RecordingSurface surface;
    profil_ciz(s, surface);
    ASSERT_TRUE(surface.scale());
    EXPECT_EQ(surface.scale()->x1, -0.1);
    EXPECT_EQ(surface.scale()->y1, -0.35);
    EXPECT_EQ(surface.scale()->x2, 1.1);
    EXPECT_EQ(surface.scale()->y2, 0.25);

    const auto& items = surface.primitives();
    ASSERT_GE(items.size(), 14u);
    for (int n = 0; n < 7; ++n) {  // x = 0, 0.2, ..., 1.2 from -0.3 to 0.2
        const Primitive& p = items[n];
        EXPECT_EQ(p.x1, f(n * 0.2));
        EXPECT_EQ(p.x2, f(n * 0.2));
        EXPECT_EQ(p.y1, f(-0.3));
        EXPECT_EQ(p.y2, f(0.2));
        EXPECT_EQ(p.colour, n == 0 ? kBlack : kGreen);
    }
    for (int n = 0; n < 7; ++n) {  // y = -0.4 .. 0.2 across the chord
        const Primitive& p = items[7 + n];
        EXPECT_EQ(p.y1, f((n - 4) / 10.0));
        EXPECT_EQ(p.y2, p.y1);
        EXPECT_EQ(p.x1, 0.0);
        EXPECT_EQ(p.x2, 1.0);
        EXPECT_EQ(p.colour, n == 4 ? kBlack : kGreen);
    }
    EXPECT_EQ(surface.rejected(), 0u);
}

TEST(ProfilCiz, RunsForOddPointCountsMeetAtTheLeadingEdge) {
    for (int np : {11, 51, 101}) {
        SCOPED_TRACE(np);
        ModelState s = profile_state(0.1, 0.05, np);
        RecordingSurface surface;
        profil_ciz(s, surface);
        expect_outline(s, surface, (np + 1) / 2);  // nP = 51: 25 red, 25 blue
        EXPECT_EQ(count_lines(surface), 14u + (np - 1));
        // The join is the leading edge, x/c = 0.
        EXPECT_NEAR(s.prof_x[(np + 1) / 2], 0.0, 1e-12);
    }
}

TEST(ProfilCiz, EvenPointCountsDrawTheWholeContour) {
    for (int np : {12, 50, 100}) {
        SCOPED_TRACE(np);
        ModelState s = profile_state(0.12, 0.04, np);
        RecordingSurface surface;
        profil_ciz(s, surface);
        expect_outline(s, surface, np / 2);  // nP = 50: 24 red, 25 blue
        // No zero-length segment anywhere.
        for (const Primitive& p : lines_in(surface, kBlue))
            EXPECT_FALSE(p.x1 == p.x2 && p.y1 == p.y2);
    }
}

TEST(ProfilCiz, SetsTheColoursAndWithoutAProfileDrawsTheGridOnly) {
    ModelState s;
    set_constants(s);
    RecordingSurface surface;
    profil_ciz(s, surface);
    EXPECT_EQ(s.kirmizi, kRed);
    EXPECT_EQ(count_lines(surface), 14u);
    EXPECT_EQ(surface.rejected(), 0u);
}

TEST(ProfilCiz, RedrawClearsTheMomentMarker) {
    ModelState s = profile_state(0.1, 0.0, 11);
    RecordingSurface surface;
    profil_ciz(s, surface);
    s.moment_ref_x = 0.25;
    moment_ref_marker(s, surface);
    const auto rings = circles_in(surface);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].x1, 0.25);
    EXPECT_EQ(rings[0].y1, 0.0);
    EXPECT_EQ(rings[0].r, 0.01);
    EXPECT_EQ(rings[0].colour, kRed);
    profil_ciz(s, surface);
    EXPECT_TRUE(circles_in(surface).empty());
}

// ---- pressure view --------------------------------------------------------

ModelState pressure_state(double eps, double mu, int np, int alpha) {
    ModelState s = profile_state(eps, mu, np);
    renkler(s);
    basınc_hesapla(s, alpha);
    return s;
}

TEST(BasincCiz, ScaleAndGrid) {
    ModelState s = pressure_state(0.1, 0.05, 51, 5);
    RecordingSurface surface;
    basınc_ciz(s, surface, "0");
    ASSERT_TRUE(surface.scale());
    EXPECT_EQ(surface.scale()->x1, -0.1);
    EXPECT_EQ(surface.scale()->y1, -5.5);
    EXPECT_EQ(surface.scale()->x2, 1.1);
    EXPECT_EQ(surface.scale()->y2, 0.5);
    const auto& items = surface.primitives();
    ASSERT_GE(items.size(), 13u);
    for (int n = 0; n < 7; ++n) {  // seven verticals, the last at 1.2
        EXPECT_EQ(items[n].x1, f(n * 0.2));
        EXPECT_EQ(items[n].y1, -5.0);
        EXPECT_EQ(items[n].y2, 0.0);
        EXPECT_EQ(items[n].colour, n == 0 ? kBlack : kGreen);
    }
    for (int k = 0; k <= 5; ++k) {  // 1 - Cp = 0 .. 5
        const Primitive& p = items[7 + k];
        EXPECT_EQ(p.y1, -k);
        EXPECT_EQ(p.y2, -k);
        EXPECT_EQ(p.x1, 0.0);
        EXPECT_EQ(p.x2, 1.0);
        EXPECT_EQ(p.colour, k == 0 ? kBlack : kGreen);
    }
}

TEST(BasincCiz, RunsPlotOneMinusCpAndMachZeroAddsNothing) {
    ModelState s = pressure_state(0.1, 0.05, 51, 5);
    s.mach_beta = 0.3;
    RecordingSurface surface;
    basınc_ciz(s, surface, "0");
    const auto red = lines_in(surface, kRed);
    const auto blue = lines_in(surface, kBlue);
    ASSERT_EQ(red.size(), 25u);
    ASSERT_EQ(blue.size(), 25u);
    EXPECT_TRUE(lines_in(surface, kMagenta).empty());
    EXPECT_EQ(s.mach_beta, 1.0);
    EXPECT_EQ(red[0].x1, f(s.prof_x[1]));
    EXPECT_EQ(red[0].y1, f(-(1 - s.cp_surf[1])));
    EXPECT_EQ(red[24].y2, f(-(1 - s.cp_surf[26])));
    EXPECT_EQ(blue[0].y1, f(-(1 - s.cp_surf[26])));
    EXPECT_EQ(blue[24].x2, f(s.prof_x[51]));
    EXPECT_EQ(blue[24].y2, f(-(1 - s.cp_surf[51])));

    // Any text without a leading number reads as 0.
    for (const char* text : {"", "abc", "  "}) {
        s.mach_beta = 0.3;
        basınc_ciz(s, surface, text);
        EXPECT_TRUE(lines_in(surface, kMagenta).empty()) << text;
        EXPECT_EQ(s.mach_beta, 1.0) << text;
    }
}

TEST(BasincCiz, MachHalfScalesEveryPointByPrandtlGlauert) {
    ModelState s = pressure_state(0.1, 0.05, 51, 5);
    RecordingSurface surface;
    basınc_ciz(s, surface, "0.5");
    EXPECT_EQ(s.mach_beta, std::sqrt(0.75));
    const auto pg = lines_in(surface, kMagenta);
    ASSERT_EQ(pg.size(), 50u);
    for (int i = 2; i <= 51; ++i) {
        const Primitive& p = pg[i - 2];
        EXPECT_EQ(p.x1, f(s.prof_x[i - 1]));
        EXPECT_NEAR(p.y1, -(1 - s.cp_surf[i - 1] / 0.8660254037844386), 1e-5);
        EXPECT_NEAR(p.y2, -(1 - s.cp_surf[i] / 0.8660254037844386), 1e-5);
    }
    // A point with Cp = -1 goes from 1 - Cp = 2 to 2.1547.
    EXPECT_NEAR(1 + 1 / s.mach_beta, 2.1547, 5e-5);
}

TEST(BasincCiz, EvenPointCountDrawsTheWholeContourInBothRuns) {
    ModelState s = pressure_state(0.12, 0.04, 50, 3);
    RecordingSurface surface;
    basınc_ciz(s, surface, "0.3");
    const auto red = lines_in(surface, kRed);
    const auto blue = lines_in(surface, kBlue);
    ASSERT_EQ(red.size(), 24u);   // points 1 .. 25
    ASSERT_EQ(blue.size(), 25u);  // points 25 .. 50
    EXPECT_EQ(red.back().x2, blue.front().x1);
    EXPECT_EQ(red.back().y2, blue.front().y1);
    for (std::size_t k = 1; k < blue.size(); ++k) EXPECT_EQ(blue[k].x1, blue[k - 1].x2);
    EXPECT_EQ(lines_in(surface, kMagenta).size(), 49u);
}

TEST(BasincCiz, UnusableMachDrawsNoCorrectionAndKeepsMachBeta) {
    ModelState s = pressure_state(0.1, 0.05, 51, 5);
    for (const char* text : {"1", "-1", "1.2", "1e999"}) {
        s.mach_beta = 0.25;
        RecordingSurface surface;
        basınc_ciz(s, surface, text);
        EXPECT_TRUE(lines_in(surface, kMagenta).empty()) << text;
        EXPECT_EQ(lines_in(surface, kRed).size(), 25u) << text;
        EXPECT_EQ(s.mach_beta, 0.25) << text;
        EXPECT_EQ(surface.rejected(), 0u) << text;
    }
}

TEST(BasincCiz, ColoursAreBlackBeforeRenklerHasRun) {
    ModelState s = profile_state(0.1, 0.05, 51);
    basınc_hesapla(s, 5);
    RecordingSurface surface;
    basınc_ciz(s, surface, "0.5");
    std::size_t black = 0;
    for (const Primitive& p : surface.primitives()) {
        ASSERT_TRUE(p.colour);
        if (*p.colour == kBlack) ++black;
        else EXPECT_EQ(*p.colour, kMagenta);
    }
    EXPECT_EQ(black, 13u + 50u);  // the grid and both runs
}

}  // namespace
}  // namespace jmach

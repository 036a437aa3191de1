// The lift and moment curve charts on a recording surface.

#include <gtest/gtest.h>

#include <cmath>

#include "app/number_text.h"
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
const double kBetaHalf = std::sqrt(0.75);  // M = 0.5

// The symmetric profile of the worked examples: eps = 0.1, mu = 0, so
// a/c = 0.272727..., chord 4.0333..., x_shift -0.504132....
ModelState worked_state(int alpha_deg) {
    ModelState s = profile_state(0.1, 0.0, 11);
    renkler(s);
    s.alpha_deg = alpha_deg;
    return s;
}

// Grid lines are the first lines drawn: verticals at -12, -8, ..., 12,
// then horizontals from -12 to 12 at the given values.
void expect_curve_grid(const RecordingSurface& surface, double v_top, double v_bottom, int first_j, int last_j) {
    const auto& items = surface.primitives();
    const std::size_t horizontals = (last_j - first_j) / 5 + 1;
    ASSERT_GE(items.size(), 7 + horizontals);
    for (int n = 0; n < 7; ++n) {
        const Primitive& p = items[n];
        EXPECT_EQ(p.x1, -12 + 4 * n);
        EXPECT_EQ(p.x2, p.x1);
        EXPECT_EQ(p.y1, f(v_top));
        EXPECT_EQ(p.y2, f(v_bottom));
        EXPECT_EQ(p.colour, n == 3 ? kBlack : kGreen);
    }
    for (std::size_t n = 0; n < horizontals; ++n) {
        const Primitive& p = items[7 + n];
        const int j = first_j + 5 * static_cast<int>(n);
        EXPECT_EQ(p.x1, -12.0);
        EXPECT_EQ(p.x2, 12.0);
        EXPECT_EQ(p.y1, f(-(j / 10.0)));
        EXPECT_EQ(p.y2, p.y1);
        EXPECT_EQ(p.colour, j == 0 ? kBlack : kGreen);
    }
}

// ---- lift curve -----------------------------------------------------------

TEST(CLAlfaCiz, WorkedExampleCurveMarkerAndText) {
    ModelState s = worked_state(5);
    s.mach_beta = 0.7;
    RecordingSurface surface;
    const std::string text = CL_Alfa_ciz(s, surface, "0");
    ASSERT_TRUE(surface.scale());
    EXPECT_EQ(surface.scale()->x1, -16.0);
    EXPECT_EQ(surface.scale()->y1, -4.0);
    EXPECT_EQ(surface.scale()->x2, 16.0);
    EXPECT_EQ(surface.scale()->y2, 2.0);
    expect_curve_grid(surface, -3.5, 1.5, -15, 35);  // eleven lines, CL -1.5 .. 3.5

    for (int k = 0; k <= 24; ++k) EXPECT_EQ(s.curve_alpha[k], k - 12);
    EXPECT_NEAR(s.curve_cl[17], 0.597399, 5e-7);  // 5 degrees
    EXPECT_NEAR(s.curve_cl[22], 1.190251, 5e-7);  // 10 degrees
    EXPECT_EQ(s.cl_current, s.curve_cl[17]);
    EXPECT_EQ(text, "0.5974");

    const auto curve = lines_in(surface, kBlue);
    ASSERT_EQ(curve.size(), 24u);
    EXPECT_EQ(curve[16].x2, 5.0);
    EXPECT_EQ(curve[16].y2, f(-s.curve_cl[17]));
    EXPECT_EQ(curve[21].y2, f(-s.curve_cl[22]));
    const auto rings = circles_in(surface);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].x1, 5.0);
    EXPECT_EQ(rings[0].y1, -s.cl_current);
    EXPECT_EQ(rings[0].r, 0.4);
    EXPECT_EQ(rings[0].colour, kRed);

    // M = 0: nothing more, mach_beta untouched.
    EXPECT_TRUE(lines_in(surface, kMagenta).empty());
    EXPECT_EQ(s.mach_beta, 0.7);
    EXPECT_EQ(count_lines(surface), 7u + 11u + 24u);
}

TEST(CLAlfaCiz, MarkerSitsOnTheCurveVertexAtTheEndsOfTheRange) {
    for (int alpha : {-10, 10}) {
        ModelState s = worked_state(alpha);
        RecordingSurface surface;
        CL_Alfa_ciz(s, surface, "0");
        const int k = alpha + 12;  // the 3rd or the 23rd point
        const auto rings = circles_in(surface);
        ASSERT_EQ(rings.size(), 1u);
        EXPECT_EQ(rings[0].x1, s.curve_alpha[k]);
        EXPECT_EQ(rings[0].y1, -s.curve_cl[k]);
        EXPECT_EQ(s.curve_alpha[0], -12);
        EXPECT_EQ(s.curve_alpha[24], 12);
    }
}

TEST(CLAlfaCiz, SymmetricProfileHasNoLiftAtZero) {
    ModelState s = worked_state(0);
    RecordingSurface surface;
    EXPECT_EQ(CL_Alfa_ciz(s, surface, "0"), "0");
    EXPECT_EQ(s.curve_cl[12], 0.0);
    for (int k = 0; k <= 12; ++k) EXPECT_NEAR(s.curve_cl[12 + k], -s.curve_cl[12 - k], 1e-15);
}

TEST(CLAlfaCiz, MachHalfScalesCurveAndMarkerByPrandtlGlauert) {
    ModelState s = profile_state(0.1, 0.05, 51);
    renkler(s);
    s.alpha_deg = 5;
    RecordingSurface surface;
    const std::string text = CL_Alfa_ciz(s, surface, "0.5");
    EXPECT_EQ(s.mach_beta, kBetaHalf);
    EXPECT_EQ(text, rounded_text(s.cl_current, 4));  // the incompressible value
    const auto blue = lines_in(surface, kBlue);
    const auto pg = lines_in(surface, kMagenta);
    ASSERT_EQ(pg.size(), 24u);
    for (std::size_t k = 0; k < 24; ++k) {
        EXPECT_EQ(pg[k].x1, blue[k].x1);
        EXPECT_NEAR(pg[k].y1, blue[k].y1 / kBetaHalf, 1e-6);
        EXPECT_NEAR(pg[k].y2, blue[k].y2 / kBetaHalf, 1e-6);
    }
    const auto rings = circles_in(surface);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[1].colour, kMagenta);
    EXPECT_EQ(rings[1].x1, 5.0);
    EXPECT_NEAR(rings[1].y1, rings[0].y1 * 1.1547005, 1e-6);
    EXPECT_EQ(rings[1].r, 0.4);
}

TEST(CLAlfaCiz, UnusableMachDrawsNoCorrection) {
    ModelState s = worked_state(5);
    s.mach_beta = 0.6;
    RecordingSurface surface;
    EXPECT_EQ(CL_Alfa_ciz(s, surface, "1.0"), "0.5974");
    EXPECT_TRUE(lines_in(surface, kMagenta).empty());
    EXPECT_EQ(circles_in(surface).size(), 1u);
    EXPECT_EQ(s.mach_beta, 0.6);
    EXPECT_EQ(surface.rejected(), 0u);
}

TEST(CLAlfaCiz, SecondCallLeavesAnIdenticalChart) {
    ModelState s = worked_state(3);
    RecordingSurface surface;
    CL_Alfa_ciz(s, surface, "0.4");
    const auto first = surface.primitives();
    CL_Alfa_ciz(s, surface, "0.4");
    ASSERT_EQ(surface.primitives().size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(surface.primitives()[i].x1, first[i].x1);
        EXPECT_EQ(surface.primitives()[i].y1, first[i].y1);
        EXPECT_EQ(surface.primitives()[i].colour, first[i].colour);
    }
}

// ---- moment curve ---------------------------------------------------------

TEST(CMAlfaCiz, WorkedExampleAboutLeadingEdgeQuarterChordAndTrailingEdge) {
    struct Case {
        int xm;
        double cm;
        const char* xm_text;
        const char* cm_text;
    };
    for (const Case& c : {Case{0, -0.15113, "0", "-0.15113"}, Case{25, -0.00235, "0.25", "-0.00235"},
                          Case{100, 0.44400, "1", "0.444"}}) {
        SCOPED_TRACE(c.xm);
        ModelState s = worked_state(5);
        RecordingSurface lift, surface;
        CL_Alfa_ciz(s, lift, "0");
        const MomentTexts texts = CM_Alfa_ciz(s, surface, c.xm, "0");
        EXPECT_EQ(s.moment_ref_x, c.xm / 100.0);
        EXPECT_EQ(texts.xm, c.xm_text);
        EXPECT_EQ(texts.cm, c.cm_text);
        EXPECT_NEAR(s.curve_cm[17], c.cm, 5e-6);
        const auto rings = circles_in(surface);
        ASSERT_EQ(rings.size(), 1u);
        EXPECT_EQ(rings[0].x1, 5.0);
        EXPECT_EQ(rings[0].y1, -s.curve_cm[17]);
        EXPECT_EQ(rings[0].colour, kRed);
        EXPECT_EQ(rings[0].r, 0.4);
    }
}

TEST(CMAlfaCiz, ScaleGridAndCurve) {
    ModelState s = worked_state(5);
    RecordingSurface lift, surface;
    CL_Alfa_ciz(s, lift, "0");
    CM_Alfa_ciz(s, surface, 25, "0");
    ASSERT_TRUE(surface.scale());
    EXPECT_EQ(surface.scale()->x1, -16.0);
    EXPECT_EQ(surface.scale()->y1, -2.4);
    EXPECT_EQ(surface.scale()->x2, 16.0);
    EXPECT_EQ(surface.scale()->y2, 2.0);
    expect_curve_grid(surface, -2.0, 1.5, -15, 20);  // eight lines, CM -1.5 .. 2.0
    const auto curve = lines_in(surface, kBlue);
    ASSERT_EQ(curve.size(), 24u);
    for (int k = 1; k <= 24; ++k) {
        EXPECT_EQ(curve[k - 1].x1, k - 13);
        EXPECT_EQ(curve[k - 1].y2, f(-s.curve_cm[k]));
    }
    EXPECT_EQ(count_lines(surface), 7u + 8u + 24u);
    // Symmetric profile: through (0, 0) and point-symmetric about it.
    EXPECT_NEAR(s.curve_cm[12], 0.0, 1e-15);
    for (int k = 0; k <= 12; ++k) EXPECT_NEAR(s.curve_cm[12 + k], -s.curve_cm[12 - k], 1e-14);
}

TEST(CMAlfaCiz, MovingTheReferencePointTurnsTheCurveAboutZeroLift) {
    ModelState s = profile_state(0.1, 0.05, 51);
    renkler(s);
    s.alpha_deg = 4;
    RecordingSurface lift, surface;
    CL_Alfa_ciz(s, lift, "0");
    CM_Alfa_ciz(s, surface, 10, "0");
    const auto before = s.curve_cm;
    CM_Alfa_ciz(s, surface, 40, "0");
    for (int k = 0; k <= 24; ++k) {
        const double alpha = (k - 12) * s.pi_value / 180.0;
        EXPECT_NEAR(s.curve_cm[k] - before[k], 0.3 * s.curve_cl[k] * std::cos(alpha), 1e-12) << k;
    }
}

TEST(CMAlfaCiz, MachHalfScalesCurveAndMarkerByPrandtlGlauert) {
    ModelState s = worked_state(5);
    RecordingSurface lift, surface;
    CL_Alfa_ciz(s, lift, "0.5");
    s.mach_beta = 0.1;
    const MomentTexts texts = CM_Alfa_ciz(s, surface, 0, "0.5");
    EXPECT_EQ(s.mach_beta, kBetaHalf);
    EXPECT_EQ(texts.cm, "-0.15113");  // the incompressible value
    const auto blue = lines_in(surface, kBlue);
    const auto pg = lines_in(surface, kMagenta);
    ASSERT_EQ(pg.size(), 24u);
    for (std::size_t k = 0; k < 24; ++k) {
        EXPECT_NEAR(pg[k].y1, blue[k].y1 / kBetaHalf, 1e-6);
        EXPECT_NEAR(pg[k].y2, blue[k].y2 / kBetaHalf, 1e-6);
    }
    const auto rings = circles_in(surface);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[1].colour, kMagenta);
    EXPECT_NEAR(rings[1].y1, rings[0].y1 * 1.1547005, 1e-6);
}

TEST(CMAlfaCiz, UnusableMachDrawsNoCorrection) {
    ModelState s = worked_state(5);
    RecordingSurface lift, surface;
    CL_Alfa_ciz(s, lift, "0");
    s.mach_beta = 0.9;
    CM_Alfa_ciz(s, surface, 25, "-3");
    EXPECT_TRUE(lines_in(surface, kMagenta).empty());
    EXPECT_EQ(s.mach_beta, 0.9);
}

TEST(CMAlfaCiz, WithoutAProfileOnlyTheGridIsDrawn) {
    ModelState s;
    set_constants(s);
    RecordingSurface surface;
    const MomentTexts texts = CM_Alfa_ciz(s, surface, 30, "0.5");
    EXPECT_EQ(texts.xm, "0.3");
    EXPECT_EQ(texts.cm, "");
    EXPECT_EQ(count_lines(surface), 15u);
    EXPECT_TRUE(circles_in(surface).empty());
    EXPECT_EQ(surface.rejected(), 0u);
    for (double v : s.curve_cm) EXPECT_EQ(v, 0.0);
}

}  // namespace
}  // namespace jmach

// The critical Mach chart and the marker of the search on a recording
// surface.

#include <gtest/gtest.h>

#include <cmath>

#include "compressible/mcrit.h"
#include "app/number_text.h"
#include "compressible/rules.h"
#include "test_charts_support.h"

namespace jmach {
namespace {

using testing::f;
using testing::lines_in;

ModelState gas_state() {
    ModelState s;
    set_constants(s);
    return s;
}

TEST(McritCiz, ScaleAxesAndCurveOrder) {
    ModelState s = gas_state();
    RecordingSurface surface;
    const int n = Mcrit_ciz(s, -1.0, surface);
    ASSERT_TRUE(surface.scale());
    EXPECT_EQ(surface.scale()->x1, -0.1);
    EXPECT_EQ(surface.scale()->y1, 5.0);
    EXPECT_EQ(surface.scale()->x2, 1.1);
    EXPECT_EQ(surface.scale()->y2, -0.5);

    const auto& items = surface.primitives();
    ASSERT_EQ(items.size(), 2u + 4u * (n - 1));
    // The two axes in the foreground colour.
    EXPECT_FALSE(items[0].colour);
    EXPECT_EQ(items[0].x1, 0.0);
    EXPECT_EQ(items[0].y1, 0.0);
    EXPECT_EQ(items[0].x2, 1.0);
    EXPECT_EQ(items[0].y2, 0.0);
    EXPECT_FALSE(items[1].colour);
    EXPECT_EQ(items[1].x2, 0.0);
    EXPECT_EQ(items[1].y2, 4.5);
    // Per sample: Cp*, Prandtl-Glauert, Karman-Tsien, Laitone.
    const Colour order[4] = {kLiteralRed, kLiteralBlue, kLiteralGreen, kMagenta};
    for (int i = 1; i <= n - 1; ++i)
        for (int c = 0; c < 4; ++c) {
            const Primitive& p = items[2 + 4 * (i - 1) + c];
            ASSERT_EQ(p.colour, order[c]);
            EXPECT_EQ(p.x1, f(i / 100.0));
            EXPECT_EQ(p.x2, f((i + 1) / 100.0));
        }
    // Prandtl-Glauert and Cp* at M = 0.5, and the Cp* curve starting far
    // above the box.
    const double m2 = 0.25, t = m2 * s.gamma_minus1_half + 1.0, beta = std::sqrt(1 - m2);
    EXPECT_EQ(items[2 + 4 * 49 + 1].y1, f(1 - Cp_PG(-1.0, beta)));
    EXPECT_EQ(items[2 + 4 * 49 + 0].y1, f(1 - Cp_Cr(s, m2, t)));
    EXPECT_NEAR(items[2].y1, 6739.3, 0.5);
}

TEST(McritCiz, StopIndexOfTheLaitoneTest) {
    struct Case {
        double cp0;
        int drawn;  // samples drawn: one before the stop index, or all 99
    };
    for (const Case& c : {Case{-1.0, 73}, Case{-2.0, 59}, Case{-0.02, 99}, Case{-0.05, 99}, Case{-0.08, 99},
                          Case{-0.06, 97}, Case{-0.1, 96}}) {
        SCOPED_TRACE(c.cp0);
        ModelState s = gas_state();
        RecordingSurface surface;
        EXPECT_EQ(Mcrit_ciz(s, c.cp0, surface), c.drawn);
        const auto cr = lines_in(surface, kLiteralRed);
        ASSERT_EQ(cr.size(), static_cast<std::size_t>(c.drawn - 1));
        EXPECT_EQ(cr.back().x2, f(c.drawn / 100.0));
        EXPECT_EQ(surface.rejected(), 0u);
        // mach_beta holds the last sample computed: the one that stopped the
        // loop, or M = 0.99.
        const int last = c.drawn == 99 ? 99 : c.drawn + 1;
        EXPECT_EQ(s.mach_beta, std::sqrt(1.0 - (last / 100.0) * (last / 100.0)));
    }
}

TEST(McritCiz, LaitoneCurvePassesItsSingularityBeforeTheStopTestFires) {
    // The Laitone denominator changes sign between two samples, so the
    // stop test never fires and the last segment comes back down: for
    // cp0 = -0.05 from 1.906 at M = 0.98 to +0.25 at M = 0.99, for
    // cp0 = -0.08 from 2.352 at M = 0.97 to -1.570 at M = 0.98.
    struct Case {
        double cp0;
        std::size_t segment;  // the one starting at the last sample before the sign change
        double from, to;
    };
    for (const Case& c : {Case{-0.05, 97, 1.90633, 0.250079}, Case{-0.08, 96, 2.35231, -1.5698}}) {
        SCOPED_TRACE(c.cp0);
        ModelState s = gas_state();
        RecordingSurface surface;
        ASSERT_EQ(Mcrit_ciz(s, c.cp0, surface), 99);
        const auto la = lines_in(surface, kMagenta);
        ASSERT_EQ(la.size(), 98u);
        EXPECT_NEAR(la[c.segment].y1, c.from, 1e-5);
        EXPECT_NEAR(la[c.segment].y2, c.to, 1e-5);
    }
}

TEST(McritIter, MarkerRisesFromTheMachAxisToThePrandtlGlauertCurve) {
    ModelState s = gas_state();
    RecordingSurface surface;
    const McritResult r = Mcrit_iter(s, -1.0, surface);
    EXPECT_EQ(r.passes, 15);
    EXPECT_EQ(rounded_text(r.mcr, 4), "0.6059");
    const auto& items = surface.primitives();
    ASSERT_EQ(items.size(), 2u + 4u * 72u + 1u);  // the chart, then the marker
    const Primitive& marker = items.back();
    EXPECT_EQ(marker.colour, kLiteralBlue);
    EXPECT_EQ(marker.x1, f(r.mcr));
    EXPECT_EQ(marker.x2, f(r.mcr));
    EXPECT_EQ(marker.y1, 0.0);
    EXPECT_EQ(marker.y2, f(1 - r.cp_pg));
    // The top is the Prandtl-Glauert value of the last pass, near the
    // crossing at M = 0.606.
    EXPECT_NEAR(marker.y2, 1 + 1 / std::sqrt(1 - 0.6059 * 0.6059), 2e-3);
}

}  // namespace
}  // namespace jmach

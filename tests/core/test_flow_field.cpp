// The potential flow about the profile: on the surface it is the surface
// pressure's flow, its circulation the lift's;
// the inverse map and the stream function; the flow table and the flow
// view, finite even at a zero-thickness profile's sharp nose.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "airfoil/flow_field.h"
#include "charts/flow_view.h"
#include "charts/recording_surface.h"
#include "test_support.h"

namespace jmach {
namespace {

struct Case {
    int thickness, camber, n_points, alpha;
};
// Symmetric and cambered, thin and thick, at and off incidence, and the
// zero-thickness arc whose nose has no finite speed at incidence.
constexpr Case kCases[] = {{12, 0, 101, 0}, {12, 4, 101, 6}, {20, 10, 51, -8}, {4, 2, 101, 12}, {0, 4, 101, 5}};
constexpr Case kCambered = kCases[1], kArc = kCases[4];

ModelState table_state(const Case& c) { return jmach::table_state(c.thickness, c.camber, c.n_points, c.alpha); }

TEST(FlowField, SurfaceRingIsTheSurfacePressuresFlowWithTheLiftsCirculation) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.thickness << "/" << c.camber << " at " << c.alpha);
        const ModelState s = table_state(c);
        const FlowField f(s);
        for (int j = 2; j < geometry_points(s); ++j) {
            if (s.map_deriv[j] == 0) continue;  // the arc's nose, where the surface pressure puts 10
            const FlowPoint p = f.on_ring(1.0, s.theta[j]);
            EXPECT_NEAR(std::hypot(p.x - s.prof_x[j], p.y - s.prof_y[j]), 0.0, 1e-12) << j;
            EXPECT_NEAR(p.cp, s.cp_surf[j], 1e-9) << j;
            EXPECT_NEAR(p.psi, 0.0, 1e-12) << j;  // a streamline: with u = d psi/dy, no flow through it
        }
        // The Kutta condition leaves the trailing edge the finite speed the
        // surface pressure writes there, and twice Gamma/(U c) is the lift.
        EXPECT_NEAR(f.on_ring(1.0, 0.0).cp, s.cp_surf[1], 1e-12);
        EXPECT_NEAR(2.0 * f.circulation(), s.cl_current, 1e-12);
    }
}

TEST(FlowField, InverseMapRoundTripsAndRefusesTheProfile) {
    for (const Case& c : {kCambered, kArc}) {
        SCOPED_TRACE(c.thickness);
        const ModelState s = table_state(c);
        const FlowField f(s);
        for (const double ring : {1.001, 1.3, 4.0, 80.0})
            for (int k = 0; k < 24; ++k) {
                const double theta = -k * 2.0 * std::numbers::pi / 24 - 0.01;
                const FlowPoint p = f.on_ring(ring, theta);
                const std::optional<RingPoint> back = f.ring_point(p.x, p.y);
                ASSERT_TRUE(back) << ring << " " << theta;
                EXPECT_NEAR(back->ring, ring, 1e-9 * ring);
                EXPECT_NEAR(back->theta, theta, 1e-9);
                EXPECT_NEAR(f.at(p.x, p.y)->psi, p.psi, 1e-9);
            }
        // The profile points, the middle between a thick profile's surfaces
        // and numbers that are none have no exterior flow.
        const int n = geometry_points(s);
        for (int j = 1; j <= n; ++j) EXPECT_FALSE(f.at(s.prof_x[j], s.prof_y[j])) << j;
        for (int j = 5; c.thickness > 0 && j < first_run_end(s) - 2; ++j)
            EXPECT_FALSE(f.ring_point(s.prof_x[j], 0.5 * (s.prof_y[j] + s.prof_y[n + 1 - j]))) << j;
        EXPECT_FALSE(f.at(NAN, 0.0) || f.at(0.5, INFINITY));
    }
}

TEST(FlowTable, RowsStayFiniteAtASharpNose) {
    EXPECT_TRUE(flow_table(ModelState{}, std::nullopt).rows.empty());
    for (const Case& c : {kCambered, kArc}) {
        SCOPED_TRACE(c.thickness);
        const ModelState s = table_state(c);
        const ChartTable plain = flow_table(s, std::nullopt), corrected = flow_table(s, at(0.6));
        ASSERT_EQ(plain.rows.size(), flow_table_rings().size() * 180);
        for (std::size_t r = 0; r < plain.rows.size(); ++r) {
            const auto &p = plain.rows[r], &m = corrected.rows[r];
            EXPECT_TRUE(std::ranges::all_of(p, [](double v) { return std::isfinite(v); }) &&
                        std::ranges::all_of(m, [](double v) { return std::isfinite(v); })) << r;
        }
    }
    // The arc's nose at incidence: on the surface the pressure's stand-in,
    // as the surface pressure has it; just off it speed and local Mach
    // number saturate.
    const ModelState s = table_state(kArc);
    const FlowPoint nose = FlowField(s).on_ring(1.0, -std::numbers::pi);
    EXPECT_EQ(nose.cp, s.cp_surf[(geometry_points(s) + 1) / 2]);
    const FlowPoint off = FlowField(s).on_ring(1.0 + 1e-9, -std::numbers::pi);
    EXPECT_NEAR(std::hypot(off.u, off.v), kFieldSpeedCeiling, 1e-12);
    EXPECT_EQ(field_local_mach(s, off.cp, at(0.6)), kLocalMachCeiling);
}

TEST(FlowView, ImageAndSonicLineFinite) {
    for (const Case& c : {kCambered, kArc})
        for (const double m : {0.3, 0.6}) {
            SCOPED_TRACE(testing::Message() << c.thickness << " at M " << m);
            const ModelState s = table_state(c);
            RecordingSurface view;
            flow_ciz(s, at(m), view, 2.0);
            const auto& items = view.primitives();
            ASSERT_GE(items.size(), 2u);
            EXPECT_EQ(view.rejected(), 0u);  // the surface takes no end that is not finite
            // The map beneath everything; the sonic line only where the
            // corrected flow passes Mach 1 (always at the arc's saturated nose).
            EXPECT_EQ(items.front().kind, Primitive::Kind::image);
            int sonic = 0;
            for (const Primitive& p : items) sonic += p.colour == kSonicOrange && p.x1 < 1.5 && p.x2 < 1.5;  // the bar's mark lies beyond
            EXPECT_EQ(sonic > 0, m == 0.6 || c.thickness == 0);
        }
    RecordingSurface empty;
    flow_ciz(ModelState{}, std::nullopt, empty, 2.0);
    EXPECT_TRUE(empty.primitives().empty() && empty.scale());
}

}  // namespace
}  // namespace jmach

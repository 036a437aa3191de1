// Reading the charts: the local Mach number, the sonic level drawn over the
// pressure chart and the probe's nearest-sample rule on every chart. (The
// supersonic stretches are pinned by the regression recordings.)

#include <gtest/gtest.h>

#include <cmath>

#include "charts/chart_reading.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "test_support.h"

namespace jmach {
namespace {

double number(const Probe& p, const char* key) {
    for (const ProbeValue& v : p.values)
        if (std::string_view(v.key) == key) {
            if (const int* i = std::get_if<int>(&v.value)) return *i;
            if (const double* d = std::get_if<double>(&v.value)) return *d;
        }
    ADD_FAILURE() << "no number " << key;
    return NAN;
}

std::string text(const Probe& p, const char* key) {
    for (const ProbeValue& v : p.values)
        if (std::string_view(v.key) == key)
            if (const char* const* t = std::get_if<const char*>(&v.value)) return *t;
    return "-";
}

TEST(LocalMach, SonicAtTheCriticalPressureFreeStreamAtZeroNoneBeyondVacuum) {
    ModelState s;
    set_constants(s);
    for (double m : {0.1, 0.4, 0.6, 0.85}) {
        SCOPED_TRACE(m);
        EXPECT_NEAR(*local_mach(s, critical_cp(s, m), m), 1.0, 1e-12);
        EXPECT_NEAR(*local_mach(s, 0.0, m), m, 1e-14);
        // Suction beyond the vacuum limit -2/(g M^2) has no speed.
        EXPECT_FALSE(local_mach(s, -2 / (1.4 * m * m) - 1e-9, m).has_value());
    }
}

TEST(SonicLevel, ALevelAcrossTheChartAndARingAtEverySupersonicPointAfterTheCurves) {
    ModelState s = table_state(12, 4, 101, 5);
    RecordingSurface plain, sonic;
    basınc_ciz(s, plain, at(0.6).beta);
    basınc_ciz(s, sonic, at(0.6).beta);
    sonic_level(s, sonic, at(0.6));
    const auto& a = plain.primitives();
    const auto& b = sonic.primitives();
    ASSERT_GT(b.size(), a.size() + 1);
    EXPECT_EQ(b[a.size() - 1].colour, a.back().colour);  // the level and rings come after the curves
    const Primitive& level = b[a.size()];
    const double y = -(1.0 - critical_cp(s, 0.6));
    EXPECT_TRUE(level.x1 == -0.1f && level.x2 == 1.1f && level.y1 == level.y2 && level.colour == kSonicOrange);
    EXPECT_NEAR(level.y1, y, 1e-6);
    int rings = 0, supersonic = 0;
    for (std::size_t k = a.size() + 1; k < b.size(); ++k) rings += b[k].kind == Primitive::Kind::circle && b[k].y1 < y;
    for (int i = 1; i <= 101; ++i) supersonic += s.cp_surf[i] / at(0.6).beta < critical_cp(s, 0.6);
    EXPECT_EQ(rings, static_cast<int>(b.size() - a.size() - 1));
    EXPECT_TRUE(rings == supersonic && rings > 10) << rings;
    EXPECT_NE(describe_supersonic(s, at(0.6)).find("upper surface, x/c "), std::string::npos);
    EXPECT_EQ(describe_supersonic(s, at(0.2)), "");
}

TEST(Probe, NearestSampleAlongTheAxisThenNearestCurveOnEveryChart) {
    ModelState s = table_state(12, 4, 21, 5);
    RecordingSurface pressure, profile, lift, mcrit;
    basınc_ciz(s, pressure, at(0.5).beta);
    profil_ciz(s, profile);
    lift.Scale(-16, -4, 16, 2);
    mcrit.Scale(-0.1, 5, 1.1, -0.5);
    const int join = first_run_end(s);  // 11: the leading edge
    // Near x/c = 0.3 the upper surface (suction, high 1 - Cp) lies above
    // the lower one: the pointer's height picks the surface.
    const double x = s.prof_x[join + 4];
    const auto upper = probe_chart(ChartId::pressure, pressure, s, at(0.5), std::nullopt, x + 0.001,
                                   -(1 - s.cp_surf[join + 4]) - 0.05);
    ASSERT_TRUE(upper);
    EXPECT_EQ(number(*upper, "point"), join + 4);
    EXPECT_EQ(text(*upper, "surface"), "upper");
    const auto lower = probe_chart(ChartId::pressure, pressure, s, at(0.5), std::nullopt, x, -(1 - s.cp_surf[join - 4]));
    EXPECT_EQ(number(*lower, "point"), join - 4);
    // The shared leading-edge point counts as lower.
    EXPECT_EQ(text(*probe_chart(ChartId::profil, profile, s, std::nullopt, std::nullopt, -0.05, 0), "surface"), "lower");
    // Outside the scale rectangle, nothing.
    EXPECT_FALSE(probe_chart(ChartId::pressure, pressure, s, at(0.5), std::nullopt, 1.2, -1));
    EXPECT_FALSE(probe_chart(ChartId::pressure, pressure, s, at(0.5), std::nullopt, NAN, 0));
    // The lift curve: the whole angle nearest, held to -12 .. 12.
    for (const auto& [px, angle] : std::vector<std::pair<double, int>>{{4.4, 4}, {-4.6, -5}, {15.9, 12}, {-15, -12}})
        EXPECT_EQ(number(*probe_chart(ChartId::Picture_CL, lift, s, at(0.5), std::nullopt, px, 0), "alpha"), angle);
    // The critical Mach chart: the drawn sample nearest, none before a search.
    const CriticalMachs machs{-1.0, 73, 0.6, 0.58, 0.56, false};
    EXPECT_DOUBLE_EQ(number(*probe_chart(ChartId::Mcrit, mcrit, s, std::nullopt, machs, 0.904, 1), "mach"), 0.73);
    EXPECT_FALSE(probe_chart(ChartId::Mcrit, mcrit, s, std::nullopt, std::nullopt, 0.5, 1));
}

}  // namespace
}  // namespace jmach

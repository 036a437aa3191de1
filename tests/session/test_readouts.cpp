// Every readout of one state tells the same story: what is supersonic, what
// a typed negative Mach number means, where the sharp nose's -99 decides a
// number, and when the critical Mach number belongs to an earlier state.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "airfoil/pressure.h"
#include "charts/flow_view.h"
#include "session/script_runner.h"
#include "test_support.h"

namespace jmach {
namespace {

Session at(int thickness, int camber, int alpha, const char* mach) {
    Session w;
    EXPECT_FALSE(w.Form_Load(kRealTable));
    w.type_mach(mach);
    w.scroll(Input::np, 101);
    w.scroll(Input::camber, camber);
    w.scroll(Input::alpha, alpha);
    w.scroll(Input::thickness, thickness);
    w.click(ChartId::profil);  // every chain once, whatever the bars' order
    return w;
}

// A probe of the pressure chart at point i's corrected (or plain) value,
// held within the chart's scale.
std::optional<Probe> probe_point(const Session& w, int i, double beta) {
    const ScaleRect r = *w.chart(ChartId::pressure).scale();
    const double y = std::clamp(-(1.0 - w.state().cp_surf[i] / beta), std::min(r.y1, r.y2), std::max(r.y1, r.y2));
    return w.probe(ChartId::pressure, w.state().prof_x[i], y);
}

bool has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

const ProbeValue* value(const Probe& p, std::string_view key) {
    for (const ProbeValue& v : p.values)
        if (v.key == key) return &v;
    return nullptr;
}

TEST(Readouts, APointBelowCpStarIsSupersonicInTheProbeEvenBeyondTheVacuumLimit) {
    const Session w = at(12, 4, 8, "0.99");
    const ModelState& s = w.state();
    const double beta = w.drawn_mach(ChartId::pressure)->beta;
    int peak = 1;
    for (int i = 2; i < s.n_points; ++i)
        if (s.cp_surf[i] < s.cp_surf[peak]) peak = i;
    const auto p = probe_point(w, peak, beta);
    ASSERT_TRUE(p);
    EXPECT_EQ(std::get<int>(value(*p, "point")->value), peak);
    EXPECT_TRUE(std::isnan(std::get<double>(value(*p, "m_local")->value)));
    EXPECT_TRUE(std::get<bool>(value(*p, "supersonic")->value));
    EXPECT_TRUE(has(p->text, "beyond the vacuum limit: supersonic"));
}

TEST(Readouts, ATypedNegativeMachNumberReadsAsItsMagnitudeEverywhere) {
    Session minus = at(12, 4, 6, "-0.6"), plus = at(12, 4, 6, "0.6");
    for (Session* w : {&minus, &plus}) {
        w->set_sonic_level(true);
        w->open_flow();
        w->click(ChartId::pressure);
    }
    EXPECT_EQ(minus.flow_json(), plus.flow_json());
    EXPECT_EQ(surface_json(minus.chart(ChartId::pressure)), surface_json(plus.chart(ChartId::pressure)));
    EXPECT_EQ(minus.probe_text(ChartId::pressure, 0.1, 1.5), plus.probe_text(ChartId::pressure, 0.1, 1.5));
    EXPECT_EQ(*minus.tooltip("Text_CpMin"), *plus.tooltip("Text_CpMin"));
}

TEST(Readouts, TheFlowViewIsSonicWhereTheExactSurfacePeakIs) {
    // The grid misses the narrow peak of the 3 % profile at 4 degrees; its
    // exact-minimum critical Mach number is 0.2489.
    Session w = at(3, 1, 4, "0.26");
    w.open_flow();
    EXPECT_TRUE(has(w.flow_json(), "\"sonic\":true"));
    w.type_mach("0.24");
    w.click(ChartId::pressure);
    EXPECT_TRUE(has(w.flow_json(), "\"sonic\":false"));
}

TEST(Readouts, TheSharpNoseStandInIsNamedWhereverItDecidesANumber) {
    Session w = at(0, 0, 4, "0.5");
    ASSERT_EQ(*w.text("Text_CpMin"), "-99");
    EXPECT_TRUE(has(*w.tooltip("Text_CpMin"), kStandInNote));
    EXPECT_TRUE(has(w.probe_text(ChartId::Mcrit, 0.3, 0.5), kStandInNote));
    const ModelState& s = w.state();
    const int nose = (s.n_points + 1) / 2;
    const auto nose_probe = probe_point(w, nose, w.drawn_mach(ChartId::pressure)->beta);
    ASSERT_TRUE(nose_probe);
    EXPECT_EQ(std::get<int>(value(*nose_probe, "point")->value), nose);
    EXPECT_TRUE(has(nose_probe->text, kStandInNote));
    EXPECT_FALSE(has(w.probe_text(ChartId::pressure, 0.5, 1.0), kStandInNote));
    w.open_sweep(SweepInput::thickness);
    EXPECT_TRUE(has(w.view_legend(View::sweep), kStandInNote));
}

TEST(Readouts, ACriticalMachNumberKeptFromAnEarlierStateSaysWhose) {
    Session w = at(12, 0, 0, "0");
    w.scroll(Input::thickness, 0);  // the flat plate at zero incidence: CpMin 0, no search (the box pinned by the recordings)
    EXPECT_TRUE(has(*w.tooltip("Text_Mcrit"), "belongs to an earlier state (thickness 0.12, camber 0, nP 101, α 0°)"));
    w.scroll(Input::thickness, 10);
    EXPECT_FALSE(has(*w.tooltip("Text_Mcrit"), "earlier state"));
}

}  // namespace
}  // namespace jmach

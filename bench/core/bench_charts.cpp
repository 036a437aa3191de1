// Timings of the five charts drawn into recording surfaces, as one full
// recompute draws them: 101 profile points, 5 degrees, M = 0.5.

#include <benchmark/benchmark.h>

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

namespace {

using namespace jmach;

struct ChartSetup {
    ModelState s;
    double cp_min = 0;
    std::optional<double> beta;
    RecordingSurface profil, pressure, picture_cl, picture_cm, mcrit;

    ChartSetup() {
        set_constants(s);
        s.circle_eps = 0.1;
        s.circle_mu = 0.05;
        s.n_points = 101;
        compute_profile_geometry(s);
        cp_min = basınc_hesapla(s, 5);
        renkler(s);
        beta = free_stream(s, 0.5);
    }
};

// The drawing steps of the chain in their order; the critical Mach chart
// comes with its search and marker, as the chain draws it.
void BM_AllChartsRecorded(benchmark::State& state) {
    ChartSetup c;
    for (auto _ : state) {
        renkler(c.s);
        profil_ciz(c.s, c.profil);
        Mcrit_ciz(mcrit_curves(c.s, c.cp_min), c.mcrit);
        const McritResult r = mcrit_search(c.s, c.cp_min);
        mcrit_marker(c.mcrit, r);
        const std::optional<double> beta = free_stream(c.s, 0.5);
        basınc_ciz(c.s, c.pressure, beta);
        lift_curve(c.s);
        CL_Alfa_ciz(c.s, c.picture_cl, beta);
        const std::optional<double> cm = moment_curve(c.s, 25);
        CM_Alfa_ciz(c.s, c.picture_cm, beta);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(cm);
    }
    state.counters["primitives"] = static_cast<double>(
        c.profil.primitives().size() + c.pressure.primitives().size() + c.picture_cl.primitives().size() +
        c.picture_cm.primitives().size() + c.mcrit.primitives().size());
}
BENCHMARK(BM_AllChartsRecorded)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_ProfileChart(benchmark::State& state) {
    ChartSetup c;
    for (auto _ : state) profil_ciz(c.s, c.profil);
}
BENCHMARK(BM_ProfileChart);

void BM_PressureChart(benchmark::State& state) {
    ChartSetup c;
    for (auto _ : state) basınc_ciz(c.s, c.pressure, c.beta);
}
BENCHMARK(BM_PressureChart);

void BM_LiftAndMomentCharts(benchmark::State& state) {
    ChartSetup c;
    for (auto _ : state) {
        lift_curve(c.s);
        CL_Alfa_ciz(c.s, c.picture_cl, c.beta);
        benchmark::DoNotOptimize(moment_curve(c.s, 25));
        CM_Alfa_ciz(c.s, c.picture_cm, c.beta);
    }
}
BENCHMARK(BM_LiftAndMomentCharts);

void BM_McritChart(benchmark::State& state) {
    ChartSetup c;
    for (auto _ : state) Mcrit_ciz(mcrit_curves(c.s, c.cp_min), c.mcrit);
}
BENCHMARK(BM_McritChart);

}  // namespace

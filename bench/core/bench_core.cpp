// Timings of the work every scroll-bar change repeats: the profile and its
// surface pressure at the largest point count, and the critical Mach search
// in its fast, slow and bracketing cases.

#include <benchmark/benchmark.h>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "core/model_state.h"
#include "compressible/mcrit.h"

namespace {

using namespace jmach;

void BM_ProfileAndPressure(benchmark::State& state) {
    ModelState s;
    set_constants(s);
    s.circle_eps = 0.1;
    s.circle_mu = 0.05;
    s.n_points = 101;
    for (auto _ : state) {
        compute_profile_geometry(s);
        double cp_min = basınc_hesapla(s, 5);
        benchmark::DoNotOptimize(cp_min);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ProfileAndPressure);

// cp0 = -1 meets the tolerance after 15 passes, -5.5 after 172; -99 leaves
// the real numbers on the first pass and is bracketed.
void BM_McritSearch(benchmark::State& state) {
    ModelState s;
    set_constants(s);
    const double cp0 = -static_cast<double>(state.range(0)) / 10.0;
    for (auto _ : state) {
        McritResult r = mcrit_search(s, cp0);
        benchmark::DoNotOptimize(r);
    }
    state.SetLabel("cp0 = " + std::to_string(cp0).substr(0, 5));
}
BENCHMARK(BM_McritSearch)->Arg(10)->Arg(55)->Arg(990);

}  // namespace

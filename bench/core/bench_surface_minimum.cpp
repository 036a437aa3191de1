// The exact minimum of the continuous surface pressure, at the profiles
// where it is hardest to find: the thinnest profiles, whose leading-edge
// suction peak is narrowest, at both extreme incidences, the thickest and
// most cambered one, and a zero-thickness arc at zero incidence.

#include <benchmark/benchmark.h>

#include <iterator>
#include <string>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/surface_minimum.h"
#include "core/model_state.h"

namespace {

using namespace jmach;

// Circles of the real table: thickness and camber in %, eps, mu.
struct Circle {
    const char* name;
    double eps, mu;
};
constexpr Circle kCircles[] = {
    {"t1 c0", 0.007757838391320753, 0},
    {"t3 c1", 0.023635921462064436, 0.02047271842924117},
    {"t1 c15", 0.00724781656148651, 0.302174344968446},
    {"t30 c15", 0.2807911326297106, 0.3842373397889134},
    {"t0 c5", 0, 0.1},
};

void BM_ExactSurfaceMinimum(benchmark::State& state) {
    const Circle& c = kCircles[state.range(0)];
    const int alpha = static_cast<int>(state.range(1));
    ModelState s;
    set_constants(s);
    s.circle_eps = c.eps;
    s.circle_mu = c.mu;
    s.n_points = 101;
    compute_profile_geometry(s);
    basınc_hesapla(s, alpha);
    for (auto _ : state) {
        SurfaceMinimum m = exact_surface_minimum(s);
        benchmark::DoNotOptimize(m);
    }
    state.SetLabel(std::string(c.name) + " alpha " + std::to_string(alpha));
}
BENCHMARK(BM_ExactSurfaceMinimum)
    ->Args({0, 10})->Args({0, -10})->Args({0, 0})
    ->Args({1, 4})->Args({1, -4})
    ->Args({2, 10})->Args({2, -10})
    ->Args({3, 10})->Args({3, -10})
    ->Args({4, 0});

}  // namespace

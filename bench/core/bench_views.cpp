// The views beside the window: the critical Mach family of 31 profiles at
// 101 points computed afresh (a chain that changes the family, such as a
// new angle while the thickness is swept) and taken from what is known (a
// chain that keeps it: the Mach number, the moment point, the swept bar).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "airfoil/table.h"
#include "charts/recording_surface.h"
#include "charts/sweep.h"

namespace {

using namespace jmach;

ModelState table() {
    ModelState s;
    set_constants(s);
    load_airfoil_table(std::filesystem::path(JMACH_SOURCE_DIR) / "data" / kTableFileName, s);
    return s;
}

void BM_SweepFamily(benchmark::State& state) {
    const ModelState s = table();
    const bool known = state.range(0) != 0;
    SweepCache kept;
    kept.compute(s, SweepInput::thickness, {12, 4, 101, 4});
    RecordingSurface surface;
    for (auto _ : state) {
        SweepCache fresh;
        SweepCache& cache = known ? kept : fresh;
        const Sweep sweep = cache.compute(s, SweepInput::thickness, {12, 4, 101, 4});
        sweep_ciz(sweep, surface);
        benchmark::DoNotOptimize(sweep.points.data());
    }
}
BENCHMARK(BM_SweepFamily)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

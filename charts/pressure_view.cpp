#include <algorithm>

#include "charts/pressure_view.h"

namespace jmach {

namespace {

// The segment of 1 - Cp between profile points i and j, drawn at -(1 - Cp)
// so that suction rises.
void pressure_segment(PlotSurface& pressure, double x1, double cp1, double x2, double cp2, Colour colour) {
    draw_segment(pressure, x1, -(1.0 - cp1), x2, -(1.0 - cp2), colour);
}

}  // namespace

void basınc_ciz(const ModelState& s, PlotSurface& pressure, std::optional<double> beta) {
    pressure.Cls();
    // x/c across, -(1 - Cp) down: 1 - Cp runs from -0.5 at the bottom to
    // 5.5 at the top.
    pressure.Scale(-0.1, -5.5, 1.1, 0.5);

    // x/c = 0, 0.2, ..., 1.2; the last lies beyond the right edge.
    for (int i = 0; i <= 6; ++i) {
        const float x = static_cast<float>(i / 5.0);
        pressure.Line(x, -5.0f, x, 0.0f, i == 0 ? s.siyah : s.yesil);
    }
    // 1 - Cp = 0 .. 5 across the chord.
    for (int k = 0; k <= 5; ++k) {
        const float y = static_cast<float>(-k);
        pressure.Line(0.0f, y, 1.0f, y, k == 0 ? s.siyah : s.yesil);
    }

    const int last = static_cast<int>(std::clamp(s.n_intervals, 0.0, kPointCapacity - 2.0));
    const int join = first_run_end(s);
    for (int i = 1; i < join; ++i)
        pressure_segment(pressure, s.prof_x[i], s.cp_surf[i], s.prof_x[i + 1], s.cp_surf[i + 1], s.kirmizi);
    for (int i = join; i <= last; ++i)
        pressure_segment(pressure, s.prof_x[i], s.cp_surf[i], s.prof_x[i + 1], s.cp_surf[i + 1], s.mavi);

    // Without a usable non-zero Mach number the incompressible curve is all.
    if (!beta) return;

    // Prandtl-Glauert: Cp / sqrt(1 - M^2) over the whole contour.
    const int n = std::clamp(geometry_points(s), 0, kPointCapacity - 1);
    for (int i = 2; i <= n; ++i)
        pressure_segment(pressure, s.prof_x[i - 1], s.cp_surf[i - 1] / *beta, s.prof_x[i],
                         s.cp_surf[i] / *beta, kMagenta);
}

}  // namespace jmach

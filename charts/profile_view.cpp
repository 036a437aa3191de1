#include <algorithm>

#include "charts/profile_view.h"

namespace jmach {

namespace {

// The segment between profile points k and k + 1, y drawn downwards.
void outline_segment(const ModelState& s, PlotSurface& profil, int k, Colour colour) {
    draw_segment(profil, s.prof_x[k], -s.prof_y[k], s.prof_x[k + 1], -s.prof_y[k + 1], colour);
}

}  // namespace

void profil_ciz(const ModelState& s, PlotSurface& profil) {
    profil.Cls();
    // y points down: an ordinate y/c is drawn at -y/c.
    profil.Scale(-0.1, -0.35, 1.1, 0.25);

    // Every 0.2 in x/c; the line at 1.2 lies beyond the right edge.
    for (int i = 0; i <= 12; i += 2) {
        const float x = static_cast<float>(i / 10.0);
        profil.Line(x, static_cast<float>(-0.3), x, static_cast<float>(0.2), i == 0 ? s.siyah : s.yesil);
    }
    // Every 0.1 in y/c; the chord line in black, the line at -0.4 above
    // the top edge.
    for (int j = -4; j <= 2; ++j) {
        const float y = static_cast<float>(j / 10.0);
        profil.Line(0.0f, y, 1.0f, y, j == 0 ? s.siyah : s.yesil);
    }

    // Lower surface in red from the trailing edge to the leading edge, upper
    // surface in blue back to the trailing edge. Before any profile exists
    // both counts are zero and only the grid shows.
    const int last = static_cast<int>(std::clamp(s.n_intervals, 0.0, kPointCapacity - 2.0));
    const int join = first_run_end(s);
    for (int k = 1; k < join; ++k) outline_segment(s, profil, k, s.kirmizi);
    for (int k = join; k <= last; ++k) outline_segment(s, profil, k, s.mavi);
}

void moment_ref_marker(const ModelState& s, PlotSurface& profil) {
    draw_ring(profil, s.moment_ref_x, 0.0, 0.01, s.kirmizi);
}

}  // namespace jmach

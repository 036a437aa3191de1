#include "charts/alpha_curves.h"

namespace jmach {

void draw_alpha_grid(const ModelState& s, PlotSurface& surface, float top, float bottom, int j_high) {
    for (int i = -12; i <= 12; i += 4)
        surface.Line(static_cast<float>(i), top, static_cast<float>(i), bottom, i == 0 ? s.siyah : s.yesil);
    for (int j = -15; j <= j_high; j += 5) {
        const float y = static_cast<float>(-(j / 10.0));
        surface.Line(-12.0f, y, 12.0f, y, j == 0 ? s.siyah : s.yesil);
    }
}

void draw_alpha_curve(const ModelState& s, PlotSurface& surface, const CurveArray& values, double current,
                      double divisor, Colour curve, Colour ring) {
    for (int k = 1; k <= 24; ++k)
        draw_segment(surface, s.curve_alpha[k - 1], -values[k - 1] / divisor, s.curve_alpha[k],
                     -values[k] / divisor, curve);
    draw_ring(surface, s.alpha_deg, -current / divisor, 0.4, ring);
}

}  // namespace jmach

#include "charts/moment_chart.h"

#include "charts/alpha_curves.h"

namespace jmach {

void CM_Alfa_ciz(const ModelState& s, PlotSurface& picture_cm, std::optional<double> beta) {
    picture_cm.Cls();
    // Degrees across, -CM down: CM runs from -2 at the bottom to 2.4 at the top.
    picture_cm.Scale(-16, -2.4, 16, 2);
    draw_alpha_grid(s, picture_cm, -2.0f, 1.5f, 20);
    // Without a profile there is no moment: the chart keeps its bare grid.
    if (s.chord_len == 0) return;
    draw_alpha_curve(s, picture_cm, s.curve_cm, s.cm_current, 1.0, s.mavi, s.kirmizi);
    // Prandtl-Glauert on the moment: CM / sqrt(1 - M^2).
    if (beta) draw_alpha_curve(s, picture_cm, s.curve_cm, s.cm_current, *beta, kMagenta, kMagenta);
}

}  // namespace jmach

#include "charts/lift_chart.h"

#include "charts/alpha_curves.h"

namespace jmach {

void CL_Alfa_ciz(const ModelState& s, PlotSurface& picture_cl, std::optional<double> beta) {
    picture_cl.Cls();
    // Degrees across, -CL down: CL runs from -2 at the bottom to 4 at the top.
    picture_cl.Scale(-16, -4, 16, 2);
    draw_alpha_grid(s, picture_cl, -3.5f, 1.5f, 35);
    draw_alpha_curve(s, picture_cl, s.curve_cl, s.cl_current, 1.0, s.mavi, s.kirmizi);
    // Prandtl-Glauert on the lift itself: CL / sqrt(1 - M^2).
    if (beta) draw_alpha_curve(s, picture_cl, s.curve_cl, s.cl_current, *beta, kMagenta, kMagenta);
}

}  // namespace jmach

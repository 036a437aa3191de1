#include <cmath>

#include "app/number_text.h"
#include "charts/alpha_curves.h"
#include "charts/views.h"

namespace jmach {

namespace {

// Joukowski lift: CL = 8 pi (a/c) sin(alpha + beta), alpha in radians.
double lift_coefficient(const ModelState& s, double alpha) {
    return std::sin(alpha + s.zero_lift_angle) * (s.radius_per_chord * (s.pi_value * 8.0));
}

}  // namespace

std::string CL_Alfa_ciz(ModelState& s, PlotSurface& picture_cl, std::string_view mach_text) {
    picture_cl.Cls();
    // Degrees across, -CL down: CL runs from -2 at the bottom to 4 at the top.
    picture_cl.Scale(-16, -4, 16, 2);
    draw_alpha_grid(s, picture_cl, -3.5f, 1.5f, 35);

    for (int k = 0; k <= 24; ++k) {
        s.curve_alpha[k] = k - 12;
        s.curve_cl[k] = lift_coefficient(s, s.curve_alpha[k] * s.pi_value / 180.0);
    }
    s.cl_current = lift_coefficient(s, s.alpha_deg * s.pi_value / 180.0);
    draw_alpha_curve(s, picture_cl, s.curve_cl, s.cl_current, 1.0, s.mavi, s.kirmizi);

    // Prandtl-Glauert on the lift itself: CL / sqrt(1 - M^2).
    if (const std::optional<double> beta = compressible_factor(s, mach_text))
        draw_alpha_curve(s, picture_cl, s.curve_cl, s.cl_current, *beta, kMagenta, kMagenta);
    return rounded_text(s.cl_current, 4);
}

}  // namespace jmach

#include <cmath>

#include "app/number_text.h"
#include "charts/alpha_curves.h"
#include "charts/views.h"

namespace jmach {

namespace {

// Pitching moment about x_ref for the angle alpha (radians) with lift
// coefficient cl: the moment about the origin of the mapping plane, then
// the lift carried to the reference point, s + x_ref chords from there.
double moment_coefficient(const ModelState& s, double alpha, double cl) {
    const double c = s.chord_len;
    const double inv_c = 1.0 / c;
    return std::sin(2.0 * alpha) * ((inv_c * inv_c) * (s.pi_value * 4.0)) +
           cl * (s.circle_eps * std::cos(alpha) - s.circle_mu * std::sin(alpha)) / c +
           std::cos(alpha) * (cl * (s.x_shift + s.moment_ref_x));
}

}  // namespace

MomentTexts CM_Alfa_ciz(ModelState& s, PlotSurface& picture_cm, int xm_pos, std::string_view mach_text) {
    MomentTexts texts;
    s.moment_ref_x = xm_pos / 100.0;
    texts.xm = number_text(s.moment_ref_x);

    picture_cm.Cls();
    // Degrees across, -CM down: CM runs from -2 at the bottom to 2.4 at the top.
    picture_cm.Scale(-16, -2.4, 16, 2);

    draw_alpha_grid(s, picture_cm, -2.0f, 1.5f, 20);

    for (int k = 0; k <= 24; ++k) s.curve_alpha[k] = k - 12;
    // Without a profile there is no chord to divide by: the chart keeps its
    // bare grid, curve_cm its last values, and there is no moment to show.
    if (s.chord_len == 0) return texts;

    for (int k = 0; k <= 24; ++k) {
        const double alpha = s.curve_alpha[k] * s.pi_value / 180.0;
        s.curve_cm[k] = moment_coefficient(s, alpha, s.curve_cl[k]);
    }
    const double cm_current = moment_coefficient(s, s.alpha_deg * s.pi_value / 180.0, s.cl_current);
    draw_alpha_curve(s, picture_cm, s.curve_cm, cm_current, 1.0, s.mavi, s.kirmizi);
    texts.cm = rounded_text(cm_current, 5);

    // Prandtl-Glauert on the moment: CM / sqrt(1 - M^2).
    if (const std::optional<double> beta = compressible_factor(s, mach_text))
        draw_alpha_curve(s, picture_cm, s.curve_cm, cm_current, *beta, kMagenta, kMagenta);
    return texts;
}

}  // namespace jmach

#include <cmath>

#include "app/number_text.h"
#include "charts/views.h"

namespace jmach {

namespace {

void curve_segment(PlotSurface& surface, double a1, double v1, double a2, double v2, Colour colour) {
    if (drawable(a1) && drawable(v1) && drawable(a2) && drawable(v2))
        surface.Line(static_cast<float>(a1), static_cast<float>(v1), static_cast<float>(a2),
                     static_cast<float>(v2), colour);
}

void marker(PlotSurface& surface, double a, double v, Colour colour) {
    if (drawable(a) && drawable(v)) surface.Circle(a, v, 0.4, colour);
}

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

    for (int i = -12; i <= 12; i += 4)
        picture_cm.Line(static_cast<float>(i), -2.0f, static_cast<float>(i), 1.5f, i == 0 ? s.siyah : s.yesil);
    for (int j = -15; j <= 20; j += 5) {
        const float y = static_cast<float>(-(j / 10.0));
        picture_cm.Line(-12.0f, y, 12.0f, y, j == 0 ? s.siyah : s.yesil);
    }

    for (int k = 0; k <= 24; ++k) s.curve_alpha[k] = k - 12;
    // Without a profile there is no chord to divide by: the chart keeps its
    // bare grid, curve_cm its last values, and there is no moment to show.
    if (s.chord_len == 0) return texts;

    for (int k = 0; k <= 24; ++k) {
        const double alpha = s.curve_alpha[k] * s.pi_value / 180.0;
        s.curve_cm[k] = moment_coefficient(s, alpha, s.curve_cl[k]);
    }
    for (int k = 1; k <= 24; ++k)
        curve_segment(picture_cm, s.curve_alpha[k - 1], -s.curve_cm[k - 1], s.curve_alpha[k], -s.curve_cm[k],
                      s.mavi);

    const double alpha = s.alpha_deg * s.pi_value / 180.0;
    const double cm_current = moment_coefficient(s, alpha, s.cl_current);
    marker(picture_cm, s.alpha_deg, -cm_current, s.kirmizi);
    texts.cm = rounded_text(cm_current, 5);

    // Prandtl-Glauert on the moment: CM / sqrt(1 - M^2). An unusable Mach
    // text draws nothing more and leaves mach_beta alone.
    const std::optional<double> mach = mach_from_text(mach_text);
    if (mach && *mach != 0) {
        s.mach_beta = std::sqrt(1.0 - *mach * *mach);
        for (int k = 1; k <= 24; ++k)
            curve_segment(picture_cm, s.curve_alpha[k - 1], -s.curve_cm[k - 1] / s.mach_beta, s.curve_alpha[k],
                          -s.curve_cm[k] / s.mach_beta, kMagenta);
        marker(picture_cm, s.alpha_deg, -cm_current / s.mach_beta, kMagenta);
    }
    return texts;
}

}  // namespace jmach

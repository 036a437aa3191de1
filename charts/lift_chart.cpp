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

}  // namespace

std::string CL_Alfa_ciz(ModelState& s, PlotSurface& picture_cl, std::string_view mach_text) {
    picture_cl.Cls();
    // Degrees across, -CL down: CL runs from -2 at the bottom to 4 at the top.
    picture_cl.Scale(-16, -4, 16, 2);

    for (int i = -12; i <= 12; i += 4)
        picture_cl.Line(static_cast<float>(i), -3.5f, static_cast<float>(i), 1.5f, i == 0 ? s.siyah : s.yesil);
    for (int j = -15; j <= 35; j += 5) {
        const float y = static_cast<float>(-(j / 10.0));
        picture_cl.Line(-12.0f, y, 12.0f, y, j == 0 ? s.siyah : s.yesil);
    }

    // Joukowski lift: CL = 8 pi (a/c) sin(alpha + beta).
    for (int k = 0; k <= 24; ++k) {
        s.curve_alpha[k] = k - 12;
        const double alpha = s.curve_alpha[k] * s.pi_value / 180.0;
        s.curve_cl[k] = std::sin(alpha + s.zero_lift_angle) * (s.radius_per_chord * (s.pi_value * 8.0));
    }
    for (int k = 1; k <= 24; ++k)
        curve_segment(picture_cl, s.curve_alpha[k - 1], -s.curve_cl[k - 1], s.curve_alpha[k], -s.curve_cl[k],
                      s.mavi);

    const double alpha = s.alpha_deg * s.pi_value / 180.0;
    s.cl_current = std::sin(alpha + s.zero_lift_angle) * (s.radius_per_chord * (s.pi_value * 8.0));
    marker(picture_cl, s.alpha_deg, -s.cl_current, s.kirmizi);
    std::string text = rounded_text(s.cl_current, 4);

    // Prandtl-Glauert on the lift itself: CL / sqrt(1 - M^2). An unusable
    // Mach text draws nothing more and leaves mach_beta alone.
    const std::optional<double> mach = mach_from_text(mach_text);
    if (mach && *mach != 0) {
        s.mach_beta = std::sqrt(1.0 - *mach * *mach);
        for (int k = 1; k <= 24; ++k)
            curve_segment(picture_cl, s.curve_alpha[k - 1], -s.curve_cl[k - 1] / s.mach_beta, s.curve_alpha[k],
                          -s.curve_cl[k] / s.mach_beta, kMagenta);
        marker(picture_cl, s.alpha_deg, -s.cl_current / s.mach_beta, kMagenta);
    }
    return text;
}

}  // namespace jmach

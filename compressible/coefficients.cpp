#include "compressible/coefficients.h"

#include <cmath>

namespace jmach {

namespace {

// Joukowski lift: CL = 8 pi (a/c) sin(alpha + beta), alpha in radians.
double lift_coefficient(const ModelState& s, double alpha) {
    return std::sin(alpha + s.zero_lift_angle) * (s.radius_per_chord * (s.pi_value * 8.0));
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

void set_curve_angles(ModelState& s) {
    for (int k = 0; k <= 24; ++k) s.curve_alpha[k] = k - 12;
}

}  // namespace

void lift_curve(ModelState& s) {
    set_curve_angles(s);
    for (int k = 0; k <= 24; ++k) s.curve_cl[k] = lift_coefficient(s, s.curve_alpha[k] * s.pi_value / 180.0);
    s.cl_current = lift_coefficient(s, s.alpha_deg * s.pi_value / 180.0);
}

std::optional<double> moment_curve(ModelState& s, int xm_pos) {
    s.moment_ref_x = xm_pos / 100.0;
    set_curve_angles(s);
    if (s.chord_len == 0) return std::nullopt;
    for (int k = 0; k <= 24; ++k) {
        const double alpha = s.curve_alpha[k] * s.pi_value / 180.0;
        s.curve_cm[k] = moment_coefficient(s, alpha, s.curve_cl[k]);
    }
    s.cm_current = moment_coefficient(s, s.alpha_deg * s.pi_value / 180.0, s.cl_current);
    return s.cm_current;
}

std::optional<double> free_stream(ModelState& s, std::optional<double> mach) {
    if (!mach) return std::nullopt;
    s.mach_beta = std::sqrt(1.0 - *mach * *mach);
    if (*mach == 0) return std::nullopt;
    return s.mach_beta;
}

}  // namespace jmach

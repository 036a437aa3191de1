#include "airfoil/pressure.h"

#include <cmath>

namespace jmach {

double surface_speed(const ModelState& s, double alpha, double sin_beta_alpha, double theta,
                     double map_deriv) {
    // psi: angle at the circle point between the directions to the origin
    // and to the circle centre, so theta - psi is the point's angle about
    // the centre.
    const double u = s.centre_ratio * std::sin(s.centre_angle + theta);
    const double psi = std::atan(u / std::sqrt(1.0 - u * u));
    const double v = (theta - alpha) - psi;
    // Surface speed on the circle with the Kutta circulation, divided by
    // |dz/dzeta|.
    return 2.0 * (sin_beta_alpha + std::sin(v)) / map_deriv;
}

bool has_stand_in(const ModelState& s) {
    if (!has_profile(s)) return false;
    const int n = geometry_points(s);
    for (int j = 2; j <= n - 1; ++j)
        if (s.map_deriv[j] == 0 && s.cp_surf[j] == 1.0 - kSharpNoseSpeed * kSharpNoseSpeed) return true;
    return false;
}

double basınc_hesapla(ModelState& s, int alpha_pos) {
    s.alpha_deg = alpha_pos;
    const double alpha = s.pi_value * s.alpha_deg / 180.0;
    const double beta = s.zero_lift_angle;
    const int n = geometry_points(s);
    // The circulation term is the same at every point.
    const double sin_beta_alpha = std::sin(beta + alpha);
    for (int j = 2; j <= n - 1; ++j) {
        // Where the derivative vanishes the speed is unbounded and 10 stands
        // in for it.
        const double q = (s.map_deriv[j] == 0) ? kSharpNoseSpeed
                                               : surface_speed(s, alpha, sin_beta_alpha, s.theta[j], s.map_deriv[j]);
        s.cp_surf[j] = 1.0 - q * q;
    }
    // The finite trailing-edge speed of the Joukowski profile.
    const double c = std::cos(alpha + beta);
    s.cp_surf[1] = 1.0 - c * c / s.radius_sq;
    s.cp_surf[n] = s.cp_surf[1];
    // A zero-thickness profile at zero incidence has no suction peak at the
    // leading edge: the flow meets it edge-on.
    if (s.circle_eps == 0 && s.alpha_deg == 0) {
        const int k = static_cast<int>(std::nearbyint(s.half_intervals + 1.0));
        s.cp_surf[k] = 0.0;
    }
    double cp_min = 1.0;
    for (int j = 2; j <= n - 1; ++j)
        if (s.cp_surf[j] < cp_min) cp_min = s.cp_surf[j];
    return cp_min;
}

}  // namespace jmach

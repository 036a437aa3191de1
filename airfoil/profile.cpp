#include "airfoil/profile.h"

#include <cmath>
#include <numbers>

#include "airfoil/table.h"

namespace jmach {

namespace {
constexpr double kB = 1.0;  // the map's critical point: zeta = b is the trailing edge
constexpr double kN = 2.0;  // exponent of the Karman-Trefftz map
}  // namespace

ChordConstants chord_constants(double eps) {
    ChordConstants k;
    // Powers of the exponent n = 2 are written as products: the same digits
    // whatever the compiler or the maths library does with pow.
    const double ratio = eps / (eps + 1.0);
    const double inverse_chord = (1.0 - ratio * ratio) * kB / (2.0 * kN);
    k.sigma = inverse_chord * kN;
    k.chord_len = kB / inverse_chord;
    k.x_shift = k.sigma - kB;
    return k;
}

MappedPoint map_circle_point(double eps, double mu, double theta, const ChordConstants& k) {
    MappedPoint m;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double p = mu * s - eps * c;
    // Distance of the circle point from the origin along theta: the positive
    // root of r^2 - 2 p r - (1 + 2 eps) = 0.
    const double r = p + std::sqrt(p * p + 1.0 + 2.0 * eps);
    const double q_plus = std::sqrt(r * r + 1.0 + 2.0 * r * c);   // |zeta + 1|
    const double q_minus = std::sqrt(r * r + 1.0 - 2.0 * r * c);  // |zeta - 1|
    if (q_plus == 0) return m;  // zeta = -1: the leading edge of a zero-thickness profile
    // w = (zeta - 1)/(zeta + 1) in polar form.
    const double rho = q_minus / q_plus;
    double phi = (r == 1.0) ? std::numbers::pi / 2.0 : std::atan(2.0 * s / (r - 1.0 / r));
    if (r < 1.0) phi -= std::numbers::pi;
    // D = |1 - w^n|^2, with rho^n and rho^(2n) as products for n = 2.
    const double rho_n = rho * rho;
    const double rho_2n = rho_n * rho_n;
    const double d = (rho_2n + 1.0) - 2.0 * rho_n * std::cos(kN * phi);
    m.x = k.sigma * (1.0 - rho_2n) / d - k.x_shift;
    m.y = 2.0 * k.sigma * rho_n * std::sin(kN * phi) / d;
    const double g = 2.0 * kN / q_plus;
    m.map_deriv = g * g * rho / d;  // (2n/q+)^2 rho^(n-1) / D
    return m;
}

void compute_profile_geometry(ModelState& s) {
    const double eps = s.circle_eps;
    const double mu = s.circle_mu;
    s.map_exponent = kN;
    const ChordConstants k = chord_constants(eps);
    s.chord_len = k.chord_len;
    s.x_shift = k.x_shift;
    s.zero_lift_angle = std::atan(mu / (eps + 1.0));
    s.radius_sq = (eps + 1.0) * (eps + 1.0) + mu * mu;
    s.circle_radius = std::sqrt(s.radius_sq);
    s.radius_per_chord = s.circle_radius / s.chord_len;
    s.centre_ratio = std::sqrt((eps * eps + mu * mu) / s.radius_sq);
    if (eps == 0)  // the centre on the imaginary axis: straight up, straight down, or the origin
        s.centre_angle = (mu > 0) ? s.pi_value / 2.0 : (mu < 0) ? -s.pi_value / 2.0 : 0.0;
    else
        s.centre_angle = std::atan(mu / eps);
    s.n_intervals = s.n_points - 1.0;
    s.half_intervals = s.n_intervals / 2.0;
    const double step = 2.0 * s.pi_value / s.n_intervals;
    const int n = static_cast<int>(s.n_points);
    for (int j = 2; j <= n - 1; ++j) {
        const double theta = -(j - 1) * step;
        s.theta[j] = theta;
        const MappedPoint m = map_circle_point(eps, mu, theta, k);
        s.prof_x[j] = m.x;
        s.prof_y[j] = m.y;
        s.map_deriv[j] = m.map_deriv;
    }
    // Close the contour at the trailing edge.
    s.prof_x[1] = 1.0;
    s.prof_x[n] = 1.0;
    s.prof_y[1] = 0.0;
    s.prof_y[n] = 0.0;
}

ProfileOutcome profil_hesapla(ModelState& s, int thickness_pos, int camber_pos, int np_pos) {
    s.thickness = static_cast<double>(thickness_pos) / 100.0;
    s.camber = static_cast<double>(camber_pos) / 100.0;
    s.n_points = np_pos;
    if (!table_lookup(s)) return ProfileOutcome::not_in_table;
    compute_profile_geometry(s);
    return ProfileOutcome::computed;
}

}  // namespace jmach

#include "airfoil/surface_minimum.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "core/number_text.h"

namespace jmach {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Circle angles of the evenly spaced part of the scan.
constexpr int kEvenSteps = 128;
// Local minima of the scan refined; the deepest of them wins.
constexpr int kRefined = 4;
// Width of the bracket left around the minimum, in radians of circle angle.
constexpr double kAngleTolerance = 1e-11;

struct Flow {
    double alpha = 0;           // radians
    double sin_beta_alpha = 0;  // the circulation term, the same everywhere
    ChordConstants chord;
};

// On a zero-thickness profile at zero incidence the speed at zeta = -1 is
// 0/0; next to it both vanish together and the quotient is rounding noise.
// The speed there is bounded and no deeper than beside it, so the points
// within this angle are left out.
constexpr double kNoseGap = 1e-4;

bool near_sharp_nose(const ModelState& s, double theta) {
    return s.circle_eps == 0 && std::fabs(theta + std::numbers::pi) < kNoseGap;
}

double cp_at(const ModelState& s, const Flow& f, double theta) {
    if (near_sharp_nose(s, theta)) return kNaN;
    const MappedPoint m = map_circle_point(s.circle_eps, s.circle_mu, theta, f.chord);
    if (m.map_deriv == 0) return kNaN;
    const double q = surface_speed(s, f.alpha, f.sin_beta_alpha, theta, m.map_deriv);
    return 1.0 - q * q;
}

// Brent's method for the root of f between a and b, where f(a) and f(b)
// differ in sign: inverse quadratic interpolation and secant steps, kept
// inside the bracket by bisection. Returns once the bracket is within tol.
template <typename F>
double brent_root(F f, double a, double b, double fa, double fb, double tol) {
    double c = b, fc = fb, d = b - a, e = d;
    for (int iteration = 0; iteration < 200; ++iteration) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b, b = c, c = a;
            fa = fb, fb = fc, fc = fa;
        }
        const double tol1 = 2.0 * DBL_EPSILON * std::fabs(b) + 0.5 * tol;
        const double half = 0.5 * (c - b);
        if (std::fabs(half) <= tol1 || fb == 0) return b;
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            const double ratio = fb / fa;
            double p, q;
            if (a == c) {
                p = 2.0 * half * ratio;
                q = 1.0 - ratio;
            } else {
                const double qa = fa / fc, rb = fb / fc;
                p = ratio * (2.0 * half * qa * (qa - rb) - (b - a) * (rb - 1.0));
                q = (qa - 1.0) * (rb - 1.0) * (ratio - 1.0);
            }
            if (p > 0) q = -q;
            p = std::fabs(p);
            if (2.0 * p < std::min(3.0 * half * q - std::fabs(tol1 * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = e = half;
            }
        } else {
            d = e = half;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol1 ? d : std::copysign(tol1, half);
        fb = f(b);
    }
    return b;
}

// Golden-section search for a minimum of f on [a, b], for brackets whose
// slope does not change sign cleanly.
template <typename F>
double golden_minimum(F f, double a, double b) {
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    double f1 = f(x1), f2 = f(x2);
    while (b - a > kAngleTolerance) {
        if (!(f2 < f1)) {
            b = x2, x2 = x1, f2 = f1;
            x1 = b - g * (b - a);
            f1 = f(x1);
        } else {
            a = x1, x1 = x2, f1 = f2;
            x2 = a + g * (b - a);
            f2 = f(x2);
        }
    }
    return 0.5 * (a + b);
}

// The circle angles to scan: evenly spaced over the open contour, and
// graded around the circle point nearest to zeta = -1, where the map
// nearly vanishes and the suction peak of a thin profile is about as wide
// as that point's distance from zeta = -1.
std::vector<double> scan_angles(const ModelState& s) {
    const double eps = s.circle_eps, mu = s.circle_mu;
    const double radius = std::sqrt(s.radius_sq);
    // From the circle centre (-eps, mu) towards zeta = -1.
    const double wx = eps - 1.0, wy = -mu;
    const double w = std::hypot(wx, wy);
    const double nx = -eps + radius * wx / w, ny = mu + radius * wy / w;
    double nose = std::atan2(ny, nx);
    if (nose > 0) nose -= kTwoPi;
    const double width = std::max(radius - w, 1e-3);

    std::vector<double> angles;
    angles.reserve(kEvenSteps + 160);
    for (int k = 1; k < kEvenSteps; ++k) angles.push_back(-kTwoPi * k / kEvenSteps);
    auto add = [&](double offset) {
        const double theta = nose + offset;
        if (theta > -kTwoPi && theta < 0) angles.push_back(theta);
    };
    for (int j = -8; j <= 8; ++j) add(j * width / 4.0);
    // Beyond two widths the spacing grows with the distance from the nose,
    // until the even spacing is fine enough.
    for (double offset = 2.4 * width; offset < 0.3; offset *= 1.2) {
        add(offset);
        add(-offset);
    }
    std::sort(angles.begin(), angles.end());
    return angles;
}

}  // namespace

SurfacePoint surface_point(const ModelState& s, double alpha, double theta) {
    const double eps = s.circle_eps, mu = s.circle_mu;
    const double c = std::cos(theta), sn = std::sin(theta);
    // The circle point at distance r along theta and how r changes.
    const double p = mu * sn - eps * c, dp = mu * c + eps * sn;
    const double root = std::sqrt(p * p + 1.0 + 2.0 * eps);
    const double r = p + root, dr = dp * r / root;
    // |dz/dzeta| = |zeta - 1| |zeta + 1| / |zeta|^2, and its logarithmic
    // derivative.
    const double qp2 = r * r + 1.0 + 2.0 * r * c, qm2 = r * r + 1.0 - 2.0 * r * c;
    const double turn = dr * c - r * sn;
    const double deriv = std::sqrt(qp2 * qm2) / (r * r);
    const double log_slope = (r * dr + turn) / qp2 + (r * dr - turn) / qm2 - 2.0 * dr / r;
    // The speed on the circle and its derivative.
    const double u = s.centre_ratio * std::sin(s.centre_angle + theta);
    const double root_u = std::sqrt(1.0 - u * u);
    const double psi = std::atan(u / root_u);
    const double dpsi = s.centre_ratio * std::cos(s.centre_angle + theta) / root_u;
    const double v = (theta - alpha) - psi;
    const double n = 2.0 * (std::sin(s.zero_lift_angle + alpha) + std::sin(v));
    const double dn = 2.0 * std::cos(v) * (1.0 - dpsi);
    if (deriv == 0 || near_sharp_nose(s, theta)) return {kNaN, kNaN};
    const double q = n / deriv;
    const double dq = (dn - n * log_slope) / deriv;
    return {1.0 - q * q, -2.0 * q * dq};
}

SurfaceMinimum exact_surface_minimum(const ModelState& s) {
    SurfaceMinimum best;
    const Flow flow{s.pi_value * s.alpha_deg / 180.0, std::sin(s.zero_lift_angle + s.pi_value * s.alpha_deg / 180.0),
                    chord_constants(s.circle_eps)};
    // A zero-thickness profile passes through zeta = -1, where the map's
    // derivative vanishes; at incidence the flow turns round that sharp
    // leading edge with unbounded speed.
    if (s.circle_eps == 0 && s.alpha_deg != 0) {
        best.cp = -std::numeric_limits<double>::infinity();
        best.theta = -std::numbers::pi;
        best.x = map_circle_point(0, s.circle_mu, best.theta, flow.chord).x;
        best.unbounded = true;
        return best;
    }

    // The flat plate at zero incidence leaves the stream undisturbed: Cp is
    // 0 everywhere (the scan would only find rounding noise near the sharp
    // nose). It is reported at the leading edge.
    if (s.circle_eps == 0 && s.circle_mu == 0 && s.alpha_deg == 0) {
        best.cp = 0;
        best.theta = -std::numbers::pi;
        best.x = 0;
        return best;
    }

    const std::vector<double> theta = scan_angles(s);
    const int n = static_cast<int>(theta.size());
    std::vector<double> cp(theta.size());
    for (int i = 0; i < n; ++i) cp[i] = cp_at(s, flow, theta[i]);
    auto value = [&](int i) { return (i < 0 || i >= n || std::isnan(cp[i])) ? HUGE_VAL : cp[i]; };

    // The local minima of the scan, deepest first.
    std::vector<int> minima;
    for (int i = 0; i < n; ++i)
        if (!std::isnan(cp[i]) && cp[i] <= value(i - 1) && cp[i] <= value(i + 1)) minima.push_back(i);
    std::sort(minima.begin(), minima.end(), [&](int a, int b) { return cp[a] < cp[b]; });
    if (minima.size() > kRefined) minima.resize(kRefined);

    best.cp = HUGE_VAL;
    auto consider = [&](double angle, double value_there) {
        if (value_there < best.cp) {
            best.cp = value_there;
            best.theta = angle;
        }
    };
    auto slope = [&](double angle) { return surface_point(s, flow.alpha, angle).slope; };
    auto cp_of = [&](double angle) {
        const double v = cp_at(s, flow, angle);
        return std::isnan(v) ? HUGE_VAL : v;
    };
    for (const int i : minima) {
        consider(theta[i], cp[i]);
        const double lo = i > 0 ? theta[i - 1] : 0.5 * (theta[0] - kTwoPi);
        const double hi = i + 1 < n ? theta[i + 1] : 0.5 * theta[n - 1];
        // The minimum is where the slope turns from falling to rising.
        const double slope_lo = slope(lo), slope_hi = slope(hi);
        const double angle = (slope_lo < 0 && slope_hi > 0)
                                 ? brent_root(slope, lo, hi, slope_lo, slope_hi, kAngleTolerance)
                                 : golden_minimum(cp_of, lo, hi);
        consider(angle, cp_of(angle));
    }
    if (best.cp == HUGE_VAL) {  // no point of the contour has a defined speed
        best.cp = kNaN;
        return best;
    }
    best.x = map_circle_point(s.circle_eps, s.circle_mu, best.theta, flow.chord).x;
    return best;
}

std::string cp_min_description(int points, double sampled, const SurfaceMinimum& m) {
    std::string text = std::string(kCpMinDescription) + "\n\nSampled at the " + std::to_string(points) +
                       " points: " + rounded_text(sampled, 4);
    if (m.unbounded) {
        text += "\nContinuous surface: no minimum; the flow turns round the sharp leading edge (x/c = 0) with "
                "unbounded speed.";
    } else if (std::isfinite(m.cp)) {
        text += "\nExact minimum of the continuous surface: " + rounded_text(m.cp, 4) + " at x/c = " +
                rounded_text(m.x, 6);
        if (m.cp < sampled && m.cp < 0)
            text += "\nThe points miss " + rounded_text(100.0 * (m.cp - sampled) / m.cp, 1) + " % of the suction peak.";
    }
    return text;
}

}  // namespace jmach

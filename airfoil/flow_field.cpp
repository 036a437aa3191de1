#include "airfoil/flow_field.h"

#include <cmath>
#include <numbers>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"

namespace jmach {

namespace {

// Complex arithmetic written out with + - * / and sqrt alone, which IEEE
// rounds the same way everywhere (std::complex hands division and roots to
// the maths library).
struct Cx {
    double re = 0, im = 0;
};
Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
Cx operator*(Cx a, Cx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
Cx operator*(double k, Cx a) { return {k * a.re, k * a.im}; }
double norm(Cx a) { return a.re * a.re + a.im * a.im; }
Cx operator/(Cx a, Cx b) {
    const double d = norm(b);
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}
// The root with a non-negative real part.
Cx root(Cx a) {
    const double m = std::sqrt(norm(a));
    const double r = std::sqrt(0.5 * (m + std::fabs(a.re)));
    if (r == 0) return {};
    const double other = 0.5 * a.im / r;
    if (a.re >= 0) return {r, other};
    return {std::fabs(other), a.im >= 0 ? r : -r};
}

// Within this many radii of zeta = -1 (the sharp nose of a zero-thickness
// profile, where dz/dzeta = 0 with a non-zero flow speed about the circle)
// the nose factor is taken at this distance outward from -1.
constexpr double kNoseGuard = 1e-7;

// Points this close to the circle (in radii) count as on the profile.
constexpr double kSurfaceTolerance = 1e-9;

// Rings beyond this are taken at it: far enough for any free stream, near
// enough that squares stay finite.
constexpr double kOuterRing = 1e6;

}  // namespace

FlowField::FlowField(const ModelState& s) {
    // Before a profile the circle of radius 1 about the origin: the flat
    // plate, whose flow is finite wherever it is asked for.
    const bool profile = has_profile(s);
    eps_ = profile ? s.circle_eps : 0.0;
    mu_ = profile ? s.circle_mu : 0.0;
    const ChordConstants k = chord_constants(eps_);
    chord_ = k.chord_len;
    x_shift_ = k.x_shift;
    a_ = std::sqrt((eps_ + 1.0) * (eps_ + 1.0) + mu_ * mu_);
    const double beta = std::atan(mu_ / (eps_ + 1.0));
    const double alpha = s.pi_value * s.alpha_deg / 180.0;
    cos_a_ = std::cos(alpha);
    sin_a_ = std::sin(alpha);
    kutta_ = std::sin(beta + alpha);
    // The Kutta circulation puts one stagnation point at the trailing edge
    // zeta = 1 (angle -beta about the centre); the other sits at angle
    // pi + 2 alpha + beta: zeta2 = c - e^(2i alpha) conj(1 - c).
    const Cx c{-eps_, mu_};
    const Cx e2{cos_a_ * cos_a_ - sin_a_ * sin_a_, 2.0 * sin_a_ * cos_a_};
    const Cx te_conj{1.0 + eps_, mu_};  // conj(1 - c)
    const Cx z2 = c - e2 * te_conj;
    stag_re_ = z2.re;
    stag_im_ = z2.im;
}

FlowField::CirclePoint FlowField::surface_point(double theta) const {
    // As the profile points: the distance r along theta from the origin is
    // the positive root of r^2 - 2 p r - (1 + 2 eps) = 0.
    const double co = std::cos(theta);
    const double si = std::sin(theta);
    const double p = mu_ * si - eps_ * co;
    const double r = p + std::sqrt(p * p + 1.0 + 2.0 * eps_);
    return {r * co, r * si};
}

namespace {

// The flow at circle-plane point zeta (outside or on the circle) with
// t = zeta - c and ln(|t|/a) given. The complex velocity of the circle's
// flow factors as
//   dW/dzeta = e^(-i alpha) (zeta - 1)(zeta - zeta2) / t^2
// and dz/dzeta = (zeta - 1)(zeta + 1) / zeta^2, so in the profile plane
//   u - i v = e^(-i alpha) (zeta - zeta2) zeta^2 / (t^2 (zeta + 1)),
// with the trailing edge's 0/0 cancelled: its speed is |cos(alpha + beta)|/a.
struct FieldConstants {
    Cx c, stag, e_minus;  // centre, front stagnation point, e^(-i alpha)
    double a, chord, x_shift, kutta;
};

FlowPoint flow_at_circle_point(const FieldConstants& f, Cx zeta, Cx t, double log_ring) {
    FlowPoint out;
    const Cx z = zeta + Cx{1.0, 0.0} / zeta;
    out.x = z.re / f.chord - f.x_shift;
    out.y = z.im / f.chord;

    Cx plus_one = zeta + Cx{1.0, 0.0};
    Cx to_stag = zeta - f.stag;
    const double guard = kNoseGuard * f.a;
    const bool at_nose = norm(plus_one) < guard * guard;
    if (at_nose) {
        // At the sharp nose: the nose factor a guard's distance outward.
        const double len = std::sqrt(norm(t));
        const Cx outward = (len > 0) ? Cx{t.re / len, t.im / len} : Cx{-1.0, 0.0};
        plus_one = guard * outward;
        to_stag = Cx{-1.0, 0.0} + plus_one - f.stag;
    }
    Cx w = f.e_minus * (to_stag / plus_one) * ((zeta * zeta) / (t * t));
    const double speed = std::sqrt(norm(w));
    const bool stand_in = at_nose && log_ring == 0 && !(speed <= kSharpNoseSpeed);
    if (stand_in) {
        // On the surface at the sharp nose the surface pressure's stand-in
        // speed, so both give the same Cp there.
        w = (std::isfinite(speed) && speed > 0) ? (kSharpNoseSpeed / speed) * w : kSharpNoseSpeed * f.e_minus;
    } else if (!(speed <= kFieldSpeedCeiling)) {
        // Saturate: the direction kept where it has one.
        w = (std::isfinite(speed) && speed > 0) ? (kFieldSpeedCeiling / speed) * w
                                                 : kFieldSpeedCeiling * f.e_minus;
    }
    out.u = w.re;
    out.v = -w.im;
    out.cp = stand_in ? 1.0 - kSharpNoseSpeed * kSharpNoseSpeed : 1.0 - norm(w);

    // W = e^(-i alpha) t + a^2 e^(i alpha)/t + i Gamma/(2 pi) ln t with
    // Gamma/(2 pi) = 2 a sin(alpha + beta); Im W less its surface value, in
    // U c units.
    const Cx e_plus{f.e_minus.re, -f.e_minus.im};
    const Cx w_pot = f.e_minus * t + (f.a * f.a) * (e_plus / t);
    out.psi = (w_pot.im + 2.0 * f.a * f.kutta * log_ring) / f.chord;
    return out;
}

}  // namespace

FlowPoint FlowField::on_ring_at(double ring, CirclePoint zs) const {
    const FieldConstants f{{-eps_, mu_}, {stag_re_, stag_im_}, {cos_a_, -sin_a_}, a_, chord_, x_shift_, kutta_};
    const Cx t = ring * (Cx{zs.re, zs.im} - f.c);
    return flow_at_circle_point(f, f.c + t, t, std::log(ring));
}

FlowPoint FlowField::on_ring(double ring, double theta) const {
    const double r = std::isfinite(ring) ? std::fmin(std::fmax(ring, 1.0), kOuterRing) : 1.0;
    return on_ring_at(r, surface_point(std::isfinite(theta) ? theta : 0.0));
}

bool FlowField::exterior_offset(double x, double y, double& t_re, double& t_im) const {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    const Cx z{chord_ * (x + x_shift_), chord_ * y};
    // zeta + 1/zeta = z: zeta = (z +- sqrt(z^2 - 4))/2, the two roots each
    // other's reciprocals. The root taken on z's side of the origin is the
    // larger; the other follows as its reciprocal without cancellation.
    Cx q = root(z * z - Cx{4.0, 0.0});
    if (q.re * z.re + q.im * z.im < 0) q = Cx{-q.re, -q.im};
    const Cx big = 0.5 * (z + q);
    if (!(norm(big) > 0)) return false;  // z = 0 has both roots on the unit circle
    const Cx small = Cx{1.0, 0.0} / big;
    const Cx c{-eps_, mu_};
    const Cx t_big = big - c, t_small = small - c;
    const Cx t = norm(t_big) >= norm(t_small) ? t_big : t_small;
    const double ring = std::sqrt(norm(t)) / a_;
    if (!(ring > 1.0 + kSurfaceTolerance) || !std::isfinite(ring)) return false;
    t_re = t.re;
    t_im = t.im;
    return true;
}

std::optional<RingPoint> FlowField::ring_point(double x, double y) const {
    Cx t;
    if (!exterior_offset(x, y, t.re, t.im)) return std::nullopt;
    const double ring = std::sqrt(norm(t)) / a_;
    // The surface point on the same ray from the centre, and its polar angle.
    const Cx zs = Cx{-eps_, mu_} + Cx{t.re / ring, t.im / ring};
    double theta = std::atan2(zs.im, zs.re);
    if (theta > 0) theta -= 2.0 * std::numbers::pi;
    return RingPoint{ring, theta};
}

std::optional<FlowPoint> FlowField::at(double x, double y) const {
    Cx t;
    if (!exterior_offset(x, y, t.re, t.im)) return std::nullopt;
    const FieldConstants f{{-eps_, mu_}, {stag_re_, stag_im_}, {cos_a_, -sin_a_}, a_, chord_, x_shift_, kutta_};
    FlowPoint out = flow_at_circle_point(f, f.c + t, t, 0.5 * std::log(norm(t) / (a_ * a_)));
    out.x = x;
    out.y = y;
    return out;
}

double FlowField::circulation() const {
    // Gamma = 4 pi a U sin(alpha + beta) in circle-plane units, whose chord
    // is chord_.
    return 4.0 * std::numbers::pi * a_ * kutta_ / chord_;
}

double FlowField::vortex_speed(double r) const {
    return std::fabs(circulation()) / (2.0 * std::numbers::pi * r);
}

}  // namespace jmach

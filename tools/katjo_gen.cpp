// katjo-gen: computes the airfoil table "KATJO-D20G15.txt".
//
// For each relative thickness t/c = i/100 (i = 0..30) and relative camber
// f/c = j/100 (j = 0..15) it finds the circle offsets eps >= 0 and mu >= 0
// whose Joukowski profile, mapped exactly as the program maps it, has that
// thickness and camber:
//   thickness = max over x/c of y_upper(x) - y_lower(x),
//   camber    = max over x/c of (y_upper(x) + y_lower(x)) / 2,
// both measured on the continuous outline: the surface points at a given x/c
// are roots in the polar angle of the circle point, and the maxima are found
// by a minimiser in x/c, not read off a polyline.
//
// Output: 1, the row count 496, then one line "t, f, eps, mu, x" per pair, x
// being the x/c of maximum thickness (rounded to 6 decimals). All numbers are
// written in plain decimal notation, keys as 0, 0.01 ... 0.3, eps and mu as
// the shortest text that reads back to the same double.
//
// Usage: katjo-gen [output-file]     (standard output without an argument)

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "airfoil/profile.h"

namespace {

constexpr int kThicknessSteps = 30;  // t/c = 0 .. 0.30
constexpr int kCamberSteps = 15;     // f/c = 0 .. 0.15
constexpr double kPi = std::numbers::pi;
constexpr double kMachineEps = std::numeric_limits<double>::epsilon();
// Every row must reproduce its keys at least this closely.
constexpr double kRequiredAccuracy = 1e-12;

// Brent's root finder (zeroin) on [a, b], where ga = g(a) and gb = g(b) do
// not have the same sign. Converges to the last few ulps of the abscissa.
template <class G>
double find_root(G&& g, double a, double b, double ga, double gb) {
    if (ga == 0) return a;
    if (gb == 0) return b;
    double c = a, gc = ga;
    double d = b - a, e = d;
    for (int iter = 0; iter < 200; ++iter) {
        if (std::fabs(gc) < std::fabs(gb)) {
            a = b; b = c; c = a;
            ga = gb; gb = gc; gc = ga;
        }
        const double tol = 2.0 * kMachineEps * std::fabs(b);
        const double half = 0.5 * (c - b);
        if (std::fabs(half) <= tol || gb == 0) return b;
        if (std::fabs(e) >= tol && std::fabs(ga) > std::fabs(gb)) {
            // Secant or inverse quadratic interpolation.
            const double s = gb / ga;
            double p, q;
            if (a == c) {
                p = 2.0 * half * s;
                q = 1.0 - s;
            } else {
                const double qa = ga / gc;
                const double r = gb / gc;
                p = s * (2.0 * half * qa * (qa - r) - (b - a) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0) q = -q;
            p = std::fabs(p);
            if (2.0 * p < std::min(3.0 * half * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = half;
                e = d;
            }
        } else {
            d = half;
            e = d;
        }
        a = b;
        ga = gb;
        b += (std::fabs(d) > tol) ? d : std::copysign(tol, half);
        gb = g(b);
        if ((gb > 0) == (gc > 0)) {
            c = a;
            gc = ga;
            d = b - a;
            e = d;
        }
    }
    return b;
}

// Brent's minimiser (golden section with parabolic steps) on [a, b]. Returns
// the abscissa of the smallest value found and stores that value in f_min.
template <class F>
double find_min(F&& f, double a, double b, double& f_min) {
    const double golden = 0.5 * (3.0 - std::sqrt(5.0));
    const double rel_tol = std::sqrt(kMachineEps);
    const double abs_tol = 1e-12;
    double x = a + golden * (b - a);
    double w = x, v = x;
    double fx = f(x);
    double fw = fx, fv = fx;
    double d = 0, e = 0;
    for (int iter = 0; iter < 200; ++iter) {
        const double m = 0.5 * (a + b);
        const double tol = rel_tol * std::fabs(x) + abs_tol;
        const double tol2 = 2.0 * tol;
        if (std::fabs(x - m) <= tol2 - 0.5 * (b - a)) break;
        double p = 0, q = 0, r = 0;
        if (std::fabs(e) > tol) {
            r = (x - w) * (fx - fv);
            q = (x - v) * (fx - fw);
            p = (x - v) * q - (x - w) * r;
            q = 2.0 * (q - r);
            if (q > 0)
                p = -p;
            else
                q = -q;
            r = e;
            e = d;
        }
        if (std::fabs(p) < std::fabs(0.5 * q * r) && p > q * (a - x) && p < q * (b - x)) {
            d = p / q;
            const double u = x + d;
            if (u - a < tol2 || b - u < tol2) d = (x < m) ? tol : -tol;
        } else {
            e = (x < m) ? b - x : a - x;
            d = golden * e;
        }
        const double u = x + ((std::fabs(d) >= tol) ? d : std::copysign(tol, d));
        const double fu = f(u);
        if (fu <= fx) {
            if (u < x)
                b = x;
            else
                a = x;
            v = w; fv = fw;
            w = x; fw = fx;
            x = u; fx = fu;
        } else {
            if (u < x)
                a = u;
            else
                b = u;
            if (fu <= fw || w == x) {
                v = w; fv = fw;
                w = u; fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u; fv = fu;
            }
        }
    }
    f_min = fx;
    return x;
}

// One surface of the outline between the leading edge (smallest x/c) and the
// trailing edge, sampled so that x/c grows along the samples; a point at a
// given x/c is found by bracketing between samples and a root solve.
struct Branch {
    std::vector<double> theta;
    std::vector<double> x;
};

// The continuous outline of the profile of one circle.
class Outline {
public:
    Outline(double eps, double mu) : eps_(eps), mu_(mu), k_(jmach::chord_constants(eps)) {
        find_leading_edge();
        sample_branch(lower_, 0.0);
        sample_branch(upper_, -2.0 * kPi);
    }

    jmach::MappedPoint at(double theta) const {
        return jmach::map_circle_point(eps_, mu_, theta, k_);
    }
    double x_leading_edge() const { return x_le_; }

    // Upper and lower ordinates at x/c = x, for x_le < x < 1.
    struct Ordinates {
        double upper;
        double lower;
    };
    Ordinates at_x(double x) const {
        return {at(theta_at_x(upper_, x)).y, at(theta_at_x(lower_, x)).y};
    }

private:
    static constexpr int kCircleSamples = 256;
    static constexpr int kBranchSamples = 48;

    // The leading edge is the circle point of smallest x/c; it splits the
    // outline into the lower surface (theta_le < theta < 0) and the upper
    // surface (-2 pi < theta < theta_le).
    void find_leading_edge() {
        int best = 1;
        double best_x = std::numeric_limits<double>::infinity();
        for (int i = 1; i < kCircleSamples; ++i) {
            const double xi = at(-2.0 * kPi * i / kCircleSamples).x;
            if (xi < best_x) {
                best_x = xi;
                best = i;
            }
        }
        const double lo = -2.0 * kPi * (best + 1) / kCircleSamples;
        const double hi = -2.0 * kPi * (best - 1) / kCircleSamples;
        theta_le_ = find_min([this](double t) { return at(t).x; }, lo, hi, x_le_);
    }

    // Samples from the leading edge to the trailing edge at theta_te.
    void sample_branch(Branch& b, double theta_te) const {
        b.theta.resize(kBranchSamples + 1);
        b.x.resize(kBranchSamples + 1);
        for (int i = 0; i <= kBranchSamples; ++i) {
            const double t = theta_le_ + (theta_te - theta_le_) * i / kBranchSamples;
            b.theta[i] = t;
            b.x[i] = (i == 0) ? x_le_ : (i == kBranchSamples) ? 1.0 : at(t).x;
            if (i > 0 && !(b.x[i] > b.x[i - 1]))
                throw std::runtime_error("surface not monotone in x/c");
        }
    }

    double theta_at_x(const Branch& b, double x) const {
        const auto it = std::upper_bound(b.x.begin() + 1, b.x.end() - 1, x);
        const auto i = static_cast<std::size_t>(it - b.x.begin());
        auto g = [this, x](double t) { return at(t).x - x; };
        return find_root(g, b.theta[i - 1], b.theta[i], b.x[i - 1] - x, b.x[i] - x);
    }

    double eps_;
    double mu_;
    jmach::ChordConstants k_;
    double theta_le_ = 0;
    double x_le_ = 0;
    Branch lower_;
    Branch upper_;
};

struct Measured {
    double thickness;    // max of y_upper - y_lower
    double camber;       // max of (y_upper + y_lower)/2
    double x_thickness;  // x/c where the thickness is largest
};

Measured measure(double eps, double mu) {
    const Outline outline(eps, mu);
    const double x0 = outline.x_leading_edge();
    // Coarse samples locate the interval of each maximum, the minimiser then
    // refines it.
    constexpr int kSamples = 32;
    std::array<double, kSamples + 1> xs{};
    int best_t = 1, best_m = 1;
    double max_t = -1e300, max_m = -1e300;
    for (int i = 1; i < kSamples; ++i) {
        xs[i] = x0 + (1.0 - x0) * i / kSamples;
        const auto o = outline.at_x(xs[i]);
        if (o.upper - o.lower > max_t) {
            max_t = o.upper - o.lower;
            best_t = i;
        }
        if (0.5 * (o.upper + o.lower) > max_m) {
            max_m = 0.5 * (o.upper + o.lower);
            best_m = i;
        }
    }
    xs[0] = x0;
    xs[kSamples] = 1.0;
    Measured m{};
    double neg;
    m.x_thickness = find_min(
        [&](double x) {
            const auto o = outline.at_x(x);
            return -(o.upper - o.lower);
        },
        xs[best_t - 1], xs[best_t + 1], neg);
    m.thickness = -neg;
    find_min(
        [&](double x) {
            const auto o = outline.at_x(x);
            return -0.5 * (o.upper + o.lower);
        },
        xs[best_m - 1], xs[best_m + 1], neg);
    m.camber = -neg;
    return m;
}

struct Row {
    double t = 0, f = 0;
    double eps = 0, mu = 0;
    double x_thickness = 0;
    double residual = 0;  // max of |thickness - t|, |camber - f|
};

double residual_of(const Measured& m, double t, double f) {
    return std::max(std::fabs(m.thickness - t), std::fabs(m.camber - f));
}

// Newton's method on (eps, mu) with a forward-difference Jacobian; mu stays
// 0 for an uncambered row. Keeps the best iterate.
Row solve(double t, double f, double eps_guess, double mu_guess) {
    constexpr double kStep = 1e-7;
    constexpr double kGoodEnough = 1e-15;
    Row row;
    row.t = t;
    row.f = f;
    double eps = eps_guess;
    double mu = (f == 0) ? 0.0 : mu_guess;
    Measured m = measure(eps, mu);
    row.eps = eps;
    row.mu = mu;
    row.x_thickness = m.x_thickness;
    row.residual = residual_of(m, t, f);
    for (int iter = 0; iter < 20 && row.residual > kGoodEnough; ++iter) {
        const double rt = m.thickness - t;
        const double rf = m.camber - f;
        const Measured me = measure(eps + kStep, mu);
        const double t_eps = (me.thickness - m.thickness) / kStep;
        double d_eps, d_mu = 0;
        if (f == 0) {
            d_eps = -rt / t_eps;
        } else {
            const double f_eps = (me.camber - m.camber) / kStep;
            const Measured mm = measure(eps, mu + kStep);
            const double t_mu = (mm.thickness - m.thickness) / kStep;
            const double f_mu = (mm.camber - m.camber) / kStep;
            const double det = t_eps * f_mu - t_mu * f_eps;
            d_eps = -(rt * f_mu - rf * t_mu) / det;
            d_mu = -(t_eps * rf - f_eps * rt) / det;
        }
        // Keep the circle offsets positive.
        eps = (eps + d_eps > 0) ? eps + d_eps : 0.5 * eps;
        if (f != 0) mu = (mu + d_mu > 0) ? mu + d_mu : 0.5 * mu;
        m = measure(eps, mu);
        const double r = residual_of(m, t, f);
        if (r < row.residual) {
            row.eps = eps;
            row.mu = mu;
            row.x_thickness = m.x_thickness;
            row.residual = r;
        } else if (row.residual < kRequiredAccuracy) {
            break;  // at the noise floor of the measurement
        }
    }
    return row;
}

// The circular arc (eps = 0): both surfaces coincide, the thickness is 0 and
// the arc over the chord from zeta = -1 to zeta = 1 rises to mu/2 at
// mid-chord, so mu = 2 f exactly.
Row circular_arc(double f) {
    Row row;
    row.t = 0;
    row.f = f;
    row.eps = 0;
    row.mu = 2.0 * f;
    // The thickness distribution of a thin Joukowski profile peaks at quarter
    // chord; the zero-thickness row carries that limit.
    row.x_thickness = 0.25;
    row.residual = residual_of(measure(row.eps, row.mu), row.t, row.f);
    return row;
}

void append_number(std::string& out, double v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec != std::errc()) throw std::runtime_error("number does not fit its text buffer");
    out.append(buf, res.ptr);
}

using Table = std::vector<std::array<Row, kCamberSteps + 1>>;  // [thickness i][camber j]

// Each camber column is solved from thin to thick, every solve starting from
// the extrapolation of the two thinner rows.
Table solve_table() {
    Table rows(kThicknessSteps + 1);
    for (int j = 0; j <= kCamberSteps; ++j) {
        const double f = j / 100.0;
        rows[0][j] = circular_arc(f);
        for (int i = 1; i <= kThicknessSteps; ++i) {
            const double t = i / 100.0;
            double eps_guess, mu_guess;
            if (i == 1) {
                eps_guess = t / (3.0 * std::sqrt(3.0) / 4.0);  // thin-profile thickness
                mu_guess = 2.0 * f;
            } else {
                eps_guess = 2.0 * rows[i - 1][j].eps - rows[i - 2][j].eps;
                mu_guess = 2.0 * rows[i - 1][j].mu - rows[i - 2][j].mu;
            }
            rows[i][j] = solve(t, f, eps_guess, mu_guess);
        }
    }
    return rows;
}

// The file text, rows ordered by thickness, then camber.
std::string format_table(const Table& rows) {
    std::string out = "1\n" + std::to_string((kThicknessSteps + 1) * (kCamberSteps + 1)) + "\n";
    for (const auto& by_camber : rows) {
        for (const Row& r : by_camber) {
            append_number(out, r.t);
            out += ", ";
            append_number(out, r.f);
            out += ", ";
            append_number(out, r.eps);
            out += ", ";
            append_number(out, r.mu);
            out += ", ";
            append_number(out, std::round(r.x_thickness * 1e6) / 1e6);
            out += '\n';
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: katjo-gen [output-file]\n");
        return 2;
    }
    std::string out;
    try {
        const Table rows = solve_table();
        double worst = 0, eps_min = 1e300, eps_max = -1e300, mu_min = 1e300, mu_max = -1e300;
        for (const auto& by_camber : rows) {
            for (const Row& r : by_camber) {
                worst = std::max(worst, r.residual);
                eps_min = std::min(eps_min, r.eps);
                eps_max = std::max(eps_max, r.eps);
                mu_min = std::min(mu_min, r.mu);
                mu_max = std::max(mu_max, r.mu);
            }
        }
        std::fprintf(stderr,
                     "katjo-gen: eps %.6g .. %.6g, mu %.6g .. %.6g, largest residual %.3g\n",
                     eps_min, eps_max, mu_min, mu_max, worst);
        if (worst > kRequiredAccuracy)
            throw std::runtime_error("a row misses its thickness or camber");
        out = format_table(rows);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "katjo-gen: %s\n", e.what());
        return 1;
    }

    if (argc == 2) {
        std::ofstream file(argv[1], std::ios::binary);
        file << out;
        file.close();
        if (!file) {
            std::fprintf(stderr, "katjo-gen: cannot write %s\n", argv[1]);
            return 1;
        }
    } else {
        std::cout << out << std::flush;
        if (!std::cout) return 1;
    }
    return 0;
}

#include "compressible/mcrit.h"

#include <cmath>

#include "compressible/rules.h"
#include "core/number_text.h"

namespace jmach {

namespace {

constexpr double kStartMach = 0.3;
constexpr double kTolerance = 0.0001;
constexpr int kMaxPasses = 1000;

// Prandtl-Glauert minimum pressure minus the critical pressure at Mach m:
// positive below the critical Mach number, negative above, falling
// monotonically on 0 < m < 1 for every cp0 < 0.
double pg_minus_critical(const ModelState& s, double cp0, double m) {
    const double m2 = m * m;
    const double beta = std::sqrt(1.0 - m2);
    const double t = m2 * s.gamma_minus1_half + 1.0;
    return Cp_PG(cp0, beta) - Cp_Cr(s, m2, t);
}

// The root of pg_minus_critical on (0, 1) by bisection. The bracket is
// halved until no double lies between its ends (far below 1e-12), so the
// root is as close as double precision can place it, also for the small
// Mach numbers of strong suction peaks.
double bracket_root(const ModelState& s, double cp0) {
    double lo = 0.0, hi = 1.0;  // difference positive at lo, not positive at hi
    for (int step = 0; step < 2000; ++step) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) break;
        if (pg_minus_critical(s, cp0, mid) > 0)
            lo = mid;
        else
            hi = mid;
    }
    if (lo == 0.0) return hi;
    return std::fabs(pg_minus_critical(s, cp0, lo)) < std::fabs(pg_minus_critical(s, cp0, hi)) ? lo : hi;
}

}  // namespace

McritResult mcrit_search(ModelState& s, const double& cp0) {
    McritResult r;
    double m = kStartMach;
    double m2 = m * m;
    bool converged = false;
    for (int pass = 1; pass <= kMaxPasses; ++pass) {
        r.passes = pass;
        s.mach_beta = std::sqrt(1.0 - m2);
        const double t = m2 * s.gamma_minus1_half + 1.0;
        const double cp_pg = Cp_PG(cp0, s.mach_beta);
        const double cp_star = Cp_Cr(s, m2, t);
        // A 9:1 blend towards the Prandtl-Glauert value damps the step; the
        // update inverts the Prandtl-Glauert rule for that target.
        const double target = (cp_star + 9.0 * cp_pg) / 10.0;
        const double ratio = cp0 / target;
        m2 = 1.0 - ratio * ratio;
        // Outside 0 < M^2 < 1 the next trial Mach number is not real.
        if (!(m2 > 0.0 && m2 < 1.0)) break;
        m = std::sqrt(m2);
        r.cp_pg = cp_pg;
        const double err = std::fabs(cp_pg - cp_star);
        if (err < kTolerance) {
            converged = true;
            break;
        }
    }
    if (converged) {
        r.mcr = m;
        r.method = McritMethod::iteration;
        return r;
    }
    // The relaxed iteration jumps from pass to pass or leaves the real
    // numbers for strong suction peaks; the crossing still exists and is
    // unique, so find it directly.
    r.mcr = bracket_root(s, cp0);
    r.method = McritMethod::bracketing;
    s.mach_beta = std::sqrt(1.0 - r.mcr * r.mcr);
    r.cp_pg = Cp_PG(cp0, s.mach_beta);
    return r;
}

McritSample mcrit_sample(const ModelState& s, const double& cp0, int i) {
    McritSample sample;
    const double mi = i / 100.0;
    const double m2 = mi * mi;
    const double beta = std::sqrt(1.0 - m2);
    const double t = m2 * s.gamma_minus1_half + 1.0;
    sample.mach = mi;
    sample.cp_pg = Cp_PG(cp0, beta);
    sample.cp_kt = Cp_KT(cp0, m2, beta);
    sample.cp_la = Cp_LA(cp0, m2, beta, t);
    sample.cp_star = Cp_Cr(s, m2, t);
    return sample;
}

McritCurves mcrit_curves(ModelState& s, const double& cp0) {
    McritCurves c;
    int i = 1;
    for (; i <= 99; ++i) {
        const McritSample sample = mcrit_sample(s, cp0, i);
        s.mach_beta = std::sqrt(1.0 - sample.mach * sample.mach);
        c.mach[i] = sample.mach;
        c.pg[i] = 1.0 - sample.cp_pg;
        c.kt[i] = 1.0 - sample.cp_kt;
        c.la[i] = 1.0 - sample.cp_la;
        c.cr[i] = 1.0 - sample.cp_star;
        // The Laitone value runs away near its singularity: end the curves
        // once it stands far above the critical curve.
        if (c.la[i] > 3.0 * c.cr[i]) break;
    }
    c.count = i - 1;  // the sample that stopped the loop is not drawn
    return c;
}

double rule_cp(const ModelState& s, double cp0, double m, CompressibilityRule rule) {
    const double m2 = m * m;
    const double beta = std::sqrt(1.0 - m2);
    switch (rule) {
    case CompressibilityRule::prandtl_glauert: return Cp_PG(cp0, beta);
    case CompressibilityRule::karman_tsien: return Cp_KT(cp0, m2, beta);
    case CompressibilityRule::laitone: return Cp_LA(cp0, m2, beta, m2 * s.gamma_minus1_half + 1.0);
    }
    return Cp_PG(cp0, beta);
}

namespace {

// The denominator of each rule, in the grouping of the rule itself.
double rule_denominator(const ModelState& s, double cp0, double m, CompressibilityRule rule) {
    const double m2 = m * m;
    const double beta = std::sqrt(1.0 - m2);
    switch (rule) {
    case CompressibilityRule::prandtl_glauert: return beta;
    case CompressibilityRule::karman_tsien: return beta + (cp0 * (m2 / (beta + 1.0))) / 2.0;
    case CompressibilityRule::laitone:
        return beta + cp0 * (((m2 * (m2 * s.gamma_minus1_half + 1.0)) / 2.0) / beta);
    }
    return beta;
}

// Halves (lo, hi) until no double lies between them, keeping `inside` true
// at lo and false at hi. Returns lo.
template <typename Inside>
double bisect(double lo, double hi, Inside inside) {
    for (int step = 0; step < 2000; ++step) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) break;
        (inside(mid) ? lo : hi) = mid;
    }
    return lo;
}

}  // namespace

double rule_singularity(const ModelState& s, double cp0, CompressibilityRule rule) {
    if (rule == CompressibilityRule::prandtl_glauert) return 1.0;
    // The denominator is 1 at M = 0 and falls monotonically through zero
    // below M = 1 for cp0 < 0.
    return bisect(0.0, 1.0, [&](double m) { return rule_denominator(s, cp0, m, rule) > 0; });
}

double critical_mach(const ModelState& s, double cp0, CompressibilityRule rule) {
    const double top = rule_singularity(s, cp0, rule);
    // Cp_rule - Cp* is positive near M = 0, where Cp* runs to minus
    // infinity, and negative near the singularity, where Cp_rule does.
    auto above_critical = [&](double m) {
        const double m2 = m * m;
        return rule_cp(s, cp0, m, rule) - Cp_Cr(s, m2, m2 * s.gamma_minus1_half + 1.0) > 0;
    };
    const double lo = bisect(0.0, top, above_critical);
    // The bracket is closed to adjacent doubles; its upper end is the first
    // Mach number at or past the crossing.
    return std::nextafter(lo, top);
}

CriticalMachs critical_machs(const ModelState& s, double cp0, const McritCurves& curves, const McritResult& pg) {
    return {cp0, curves.count, pg.mcr, critical_mach(s, cp0, CompressibilityRule::karman_tsien),
            critical_mach(s, cp0, CompressibilityRule::laitone), pg.method == McritMethod::bracketing};
}

std::string mcrit_description(const CriticalMachs& c) {
    std::string text = std::string(kMcritDescription) + "\n\nPrandtl-Glauert (shown): " + rounded_text(c.pg, 4) +
                       "\nKármán-Tsien: " + rounded_text(c.kt, 4) + "\nLaitone: " + rounded_text(c.la, 4) +
                       "\nAll three from the sampled minimum Cp = " + rounded_text(c.cp_min, 4) + ".";
    if (c.bracketed)
        text += "\nFound by bracketing: the relaxed iteration did not settle on a real Mach number for this "
                "suction peak.";
    return text;
}

}  // namespace jmach

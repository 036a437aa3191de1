#pragma once
// The critical free-stream Mach number: where the Prandtl-Glauert-corrected
// minimum pressure coefficient meets the critical pressure coefficient, and
// the curves of 1 - Cp against Mach number that its chart shows.

#include <array>
#include <string>

#include "core/model_state.h"

namespace jmach {

enum class McritMethod {
    iteration,   // the relaxed iteration met its tolerance
    bracketing,  // it left the real numbers or never met the tolerance:
                 // the root was found by bracketing instead
};

struct McritResult {
    double mcr = 0;    // the critical Mach number
    double cp_pg = 0;  // Prandtl-Glauert value for the marker's upper end
    int passes = 0;    // passes of the relaxed iteration that ran
    McritMethod method = McritMethod::iteration;
};

// The search alone (no drawing), for cp0 < 0. Leaves mach_beta at the last
// value it used.
McritResult mcrit_search(ModelState& s, const double& cp0);

// The compressibility rules by name.
enum class CompressibilityRule { prandtl_glauert, karman_tsien, laitone };

// Cp of cp0 under `rule` at Mach m (0 < m < 1), evaluated as the charts do.
double rule_cp(const ModelState& s, double cp0, double m, CompressibilityRule rule);

// The Mach number at which the rule's denominator falls through zero for
// cp0 < 0: 1 for Prandtl-Glauert (beta = 0); below 1 for Karman-Tsien and
// Laitone, whose corrected Cp runs to minus infinity there. The largest
// double at which the denominator is still positive.
double rule_singularity(const ModelState& s, double cp0, CompressibilityRule rule);

// The critical Mach number under `rule` for cp0 < 0: the lowest root of
// Cp_rule(cp0, M) = Cp*(M) on 0 < M below the rule's singularity, found by
// bisection to 1e-12 (the difference falls monotonically there, so the
// root is the only one).
double critical_mach(const ModelState& s, double cp0, CompressibilityRule rule);

// One sample of the critical Mach chart: the Mach number i/100 and Cp of
// cp0 under the three rules, with the critical pressure coefficient.
struct McritSample {
    double mach = 0, cp_pg = 0, cp_kt = 0, cp_la = 0, cp_star = 0;
};
McritSample mcrit_sample(const ModelState& s, const double& cp0, int i);

// 1 - Cp of the minimum pressure under the three compressibility rules and
// of the critical pressure coefficient, at Mach 0.01, 0.02, ... The samples
// end where the Laitone value first stands above three times the critical
// one (that sample excluded), or at Mach 0.99.
struct McritCurves {
    static constexpr int kCapacity = 100;  // samples 1..99 used
    std::array<double, kCapacity> mach{}, pg{}, kt{}, la{}, cr{};
    int count = 0;  // samples 1..count belong to the curves
};

// The curves for cp0; leaves mach_beta at the last sample's value.
McritCurves mcrit_curves(ModelState& s, const double& cp0);

// What a critical Mach search found: the sampled minimum it started from,
// the samples its chart drew, and the critical Mach number by each rule
// (Prandtl-Glauert as the search found it).
struct CriticalMachs {
    double cp_min = 0;
    int samples = 0;
    double pg = 0, kt = 0, la = 0;
    bool bracketed = false;  // the Prandtl-Glauert value was found by bracketing
    bool stand_in = false;   // cp_min is the sharp nose's stand-in, not a true peak
};
CriticalMachs critical_machs(const ModelState& s, double cp0, const McritCurves& curves, const McritResult& pg);

// What the critical Mach box means, and its full description after a
// search: the meaning, then the value by each rule and how it was found.
inline constexpr const char* kMcritDescription =
    "Critical free-stream Mach number (no unit, 0 to 1), rounded to 4 decimals: where the minimum Cp, "
    "corrected by the Prandtl-Glauert rule, meets the critical pressure coefficient Cp*.";
std::string mcrit_description(const CriticalMachs& c);

}  // namespace jmach

#include "compressible/sonic.h"

#include <algorithm>
#include <cmath>

#include "compressible/rules.h"

namespace jmach {

double critical_cp(const ModelState& s, double mach) {
    const double m2 = mach * mach;
    const double t = m2 * s.gamma_minus1_half + 1.0;
    return Cp_Cr(s, m2, t);
}

std::optional<double> local_mach(const ModelState& s, double cp, double mach) {
    const double m2 = mach * mach;
    const double base = 1.0 + 0.5 * s.gamma * m2 * cp;
    if (!(base > 0)) return std::nullopt;
    const double ratio = (1.0 + s.gamma_minus1_half * m2) / std::pow(base, 1.0 / s.gamma_over_gamma_minus1);
    const double local2 = (ratio - 1.0) / s.gamma_minus1_half;
    if (!std::isfinite(local2)) return std::nullopt;
    return std::sqrt(std::max(local2, 0.0));
}

std::vector<SupersonicStretch> supersonic_stretches(const ModelState& s, double mach, double beta) {
    std::vector<SupersonicStretch> out;
    if (!has_profile(s) || !(beta > 0)) return out;
    const double cp_star = critical_cp(s, mach);
    const int n = std::clamp(geometry_points(s), 0, kPointCapacity - 1);
    bool open = false;
    for (int i = 1; i <= n; ++i) {
        const bool upper = upper_surface_point(s, i);
        const bool below = s.cp_surf[i] / beta < cp_star;
        if (open && (!below || upper != out.back().upper)) open = false;
        if (!below) continue;
        if (!open) {
            out.push_back({upper, s.prof_x[i], s.prof_x[i]});
            open = true;
        }
        out.back().to = s.prof_x[i];
    }
    return out;
}

}  // namespace jmach

#pragma once
// Helpers shared by the chart tests: a computed profile and filters over a
// recorded drawing.

#include <cstddef>
#include <optional>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "charts/recording_surface.h"

namespace jmach::testing {

// A profile from the circle offsets, without the table.
inline ModelState profile_state(double eps, double mu, int n_points) {
    ModelState s;
    set_constants(s);
    s.circle_eps = eps;
    s.circle_mu = mu;
    s.n_points = n_points;
    compute_profile_geometry(s);
    return s;
}

inline std::vector<Primitive> lines_in(const RecordingSurface& surface, std::optional<Colour> colour) {
    std::vector<Primitive> out;
    for (const Primitive& p : surface.primitives())
        if (p.kind == Primitive::Kind::line && p.colour == colour) out.push_back(p);
    return out;
}

inline std::vector<Primitive> circles_in(const RecordingSurface& surface) {
    std::vector<Primitive> out;
    for (const Primitive& p : surface.primitives())
        if (p.kind == Primitive::Kind::circle) out.push_back(p);
    return out;
}

inline std::size_t count_lines(const RecordingSurface& surface) {
    std::size_t n = 0;
    for (const Primitive& p : surface.primitives())
        if (p.kind == Primitive::Kind::line) ++n;
    return n;
}

// A value as it arrives on the surface: through single precision.
inline double f(double v) { return static_cast<float>(v); }

}  // namespace jmach::testing

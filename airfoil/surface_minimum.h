#pragma once
// The smallest pressure coefficient of the continuous surface: the same
// incompressible flow as the sampled points, but at every circle angle of
// the open contour, not only at the nP points. Thin profiles at incidence
// carry a leading-edge suction peak narrower than the spacing of the
// points, so the sampled minimum can miss much of it.

#include <string>

#include "core/model_state.h"

namespace jmach {

struct SurfaceMinimum {
    double cp = 0;          // smallest Cp; -infinity when the suction is unbounded
    double x = 0;           // x/c where it lies
    double theta = 0;       // its circle angle, -2 pi < theta < 0
    bool unbounded = false; // a zero-thickness profile at incidence: the
                            // speed grows without bound at the leading edge
};

// The minimum for the current profile at alpha_deg (has_profile(s) must
// hold), found to 1e-10 in the circle angle.
SurfaceMinimum exact_surface_minimum(const ModelState& s);

// What the minimum-pressure box means, and its full description after a
// pressure computation: the meaning, then the sampled minimum at the
// `points` profile points against the exact one and how much of the
// suction peak the points miss.
inline constexpr const char* kCpMinDescription =
    "Smallest incompressible surface pressure coefficient Cp (no unit) at the nP profile points, rounded to "
    "3 decimals; below -0.01 it starts the critical Mach search.";
std::string cp_min_description(int points, double sampled, const SurfaceMinimum& m);

// Pressure coefficient of the continuous surface at the circle angle theta
// and its derivative with respect to theta, at the angle of attack alpha
// (radians). Not a number where |dz/dzeta| vanishes.
struct SurfacePoint {
    double cp = 0;
    double slope = 0;  // dCp/dtheta
};
SurfacePoint surface_point(const ModelState& s, double alpha, double theta);

}  // namespace jmach

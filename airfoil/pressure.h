#pragma once
// Incompressible surface pressure of the Joukowski profile: exact potential
// flow about the circle with the Kutta condition, carried through the map.

#include "core/model_state.h"

namespace jmach {

// Below this minimum pressure coefficient the critical Mach search runs.
inline constexpr double kMcritThreshold = -0.01;

// Signed surface speed (free stream 1) at the circle point of polar angle
// theta, for the angle of attack alpha in radians, given |dz/dzeta| there
// (not 0) and sin(beta + alpha), which is the same at every point.
double surface_speed(const ModelState& s, double alpha, double sin_beta_alpha, double theta,
                     double map_deriv);

// Stores alpha_deg = alpha_pos and cp_surf(1..n_points) for the current
// profile (has_profile(s) must hold) and returns Cp_min over points
// 2..n_points-1 (1 when there are none).
double basınc_hesapla(ModelState& s, int alpha_pos);

}  // namespace jmach

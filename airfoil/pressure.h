#pragma once
// Incompressible surface pressure of the Joukowski profile: exact potential
// flow about the circle with the Kutta condition, carried through the map.

#include "core/model_state.h"

namespace jmach {

// Below this minimum pressure coefficient the critical Mach search runs.
inline constexpr double kMcritThreshold = -0.01;

// Where the map's derivative vanishes on the surface (the sharp nose of a
// zero-thickness profile) the speed is unbounded; this speed stands in for
// it, so the nose point's Cp is -99.
inline constexpr double kSharpNoseSpeed = 10.0;
inline constexpr const char* kStandInNote =
    "-99 stands for the unbounded suction peak at the sharp leading edge of a zero-thickness profile at incidence.";

// Whether the last surface pressure of the record holds the stand-in at
// its sharp nose.
bool has_stand_in(const ModelState& s);

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

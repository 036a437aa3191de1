#pragma once
// The Joukowski profile: the circle through zeta = 1 with centre (-eps, mu)
// mapped by the Karman-Trefftz map with exponent 2 (z = zeta + 1/zeta) and
// scaled to unit chord, leading edge at x/c = 0, trailing edge at x/c = 1.

#include "core/model_state.h"

namespace jmach {

// Chord and scaling constants of the map for a circle offset eps >= 0.
struct ChordConstants {
    double sigma = 0;      // n / chord_len
    double chord_len = 0;  // chord before scaling, circle-plane units
    double x_shift = 0;    // sigma - 1
};
ChordConstants chord_constants(double eps);

// Image of the circle point at polar angle theta (about the origin).
struct MappedPoint {
    double x = 0;          // x/c
    double y = 0;          // y/c
    double map_deriv = 0;  // |dz/dzeta| before scaling to unit chord
};
MappedPoint map_circle_point(double eps, double mu, double theta, const ChordConstants& k);

// What the profile computation did with the scroll-bar positions.
enum class ProfileOutcome { computed, not_in_table };
// The message the window shows for a pair the table lacks.
inline constexpr const char* kNotInTableMessage = "bu profil veritabanında yok";

// The profile of the thickness, camber and point-count positions: stores
// thickness, camber and n_points, looks the circle up and, when the table
// has the pair, fills every geometry member and the per-point arrays. When
// it has not, only those three members change.
ProfileOutcome profil_hesapla(ModelState& s, int thickness_pos, int camber_pos, int np_pos);

// The geometry part alone, from circle_eps, circle_mu and n_points.
void compute_profile_geometry(ModelState& s);

}  // namespace jmach

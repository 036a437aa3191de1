#pragma once
// Lift and pitching moment of the Joukowski profile over the angles of
// attack -12 .. 12 degrees, and the Prandtl-Glauert factor of the
// free-stream Mach number that corrects them.

#include <optional>

#include "core/model_state.h"

namespace jmach {

// The lift curve of the current profile: curve_alpha = -12 .. 12 degrees,
// curve_cl at each, and cl_current at alpha_deg.
void lift_curve(ModelState& s);

// The moment curve about x/c = xm_pos/100 from the lift of lift_curve:
// stores moment_ref_x and curve_alpha and, when a profile exists, curve_cm
// and cm_current. Without a profile (no chord to divide by) curve_cm and
// cm_current keep their values and the result is empty.
std::optional<double> moment_curve(ModelState& s, int xm_pos);

// The free-stream Mach number as the chain uses it: for a usable Mach
// number stores mach_beta = sqrt(1 - M^2). Returns that factor when the
// charts add Prandtl-Glauert-corrected curves (a usable M other than 0),
// otherwise empty.
std::optional<double> free_stream(ModelState& s, std::optional<double> mach);

}  // namespace jmach

#pragma once
// Where the flow about the profile turns sonic: the critical pressure
// coefficient at a free-stream Mach number, the local Mach number a
// pressure coefficient stands for, and the stretches of the surface where
// the Prandtl-Glauert-corrected pressure lies below the critical one.

#include <optional>
#include <vector>

#include "core/model_state.h"

namespace jmach {

// Cp* at free-stream Mach number `mach`, evaluated as the critical Mach
// chart evaluates it.
double critical_cp(const ModelState& s, double mach);

// The local Mach number where the pressure coefficient is `cp` in a free
// stream at `mach`, by the isentropic relation
//   M^2 = 2/(g-1) * ((1 + (g-1)/2 Moo^2) / (1 + g/2 Moo^2 Cp)^((g-1)/g) - 1).
// Empty where no real speed belongs to `cp` (suction beyond the vacuum
// limit); 0 at and above the stagnation pressure.
std::optional<double> local_mach(const ModelState& s, double cp, double mach);

// Which run of the surface point i belongs to: the first run (the red,
// lower surface) up to and including the point the two runs share; the
// rest, the last point included, to the upper surface.
inline bool upper_surface_point(const ModelState& s, int i) { return i > first_run_end(s); }

// A run of consecutive sample points of one surface whose corrected Cp lies
// below Cp*: the x/c of its first and last point.
struct SupersonicStretch {
    bool upper = false;
    double from = 0, to = 0;
};
// The stretches for the pressure in the record at free-stream `mach` with
// Prandtl-Glauert factor `beta`, in point order; none before a profile.
std::vector<SupersonicStretch> supersonic_stretches(const ModelState& s, double mach, double beta);

}  // namespace jmach

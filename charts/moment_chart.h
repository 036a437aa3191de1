#pragma once
// The moment curve chart: CM about the reference point against the angle
// of attack, -12 .. 12 degrees.

#include <optional>

#include "charts/plot_surface.h"
#include "core/model_state.h"

namespace jmach {

// curve_cm over curve_alpha with a ring at (alpha_deg, cm_current) and,
// given the Prandtl-Glauert factor beta, CM/beta in magenta. Without a
// profile (chord 0) only the grid.
void CM_Alfa_ciz(const ModelState& s, PlotSurface& picture_cm, std::optional<double> beta);

}  // namespace jmach

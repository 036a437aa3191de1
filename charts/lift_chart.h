#pragma once
// The lift curve chart: CL against the angle of attack, -12 .. 12 degrees.

#include <optional>

#include "charts/plot_surface.h"
#include "core/model_state.h"

namespace jmach {

// curve_cl over curve_alpha with a ring at (alpha_deg, cl_current) and,
// given the Prandtl-Glauert factor beta, CL/beta in magenta.
void CL_Alfa_ciz(const ModelState& s, PlotSurface& picture_cl, std::optional<double> beta);

}  // namespace jmach

#pragma once
// The pressure distribution view: 1 - Cp against x/c.

#include <optional>

#include "charts/plot_surface.h"
#include "core/model_state.h"

namespace jmach {

// The incompressible distribution of cp_surf and, given the
// Prandtl-Glauert factor beta of a usable non-zero Mach number, the
// corrected distribution Cp/beta in magenta.
void basınc_ciz(const ModelState& s, PlotSurface& pressure, std::optional<double> beta);

}  // namespace jmach

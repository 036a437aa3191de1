#pragma once
// The profile view: the outline of the profile over its grid, lower
// surface red, upper surface blue, and the moment reference marker.

#include "charts/plot_surface.h"
#include "core/model_state.h"

namespace jmach {

// The outline over its grid, in the colour set of the record.
void profil_ciz(const ModelState& s, PlotSurface& profil);

// The small red ring on the chord at the moment reference point.
void moment_ref_marker(const ModelState& s, PlotSurface& profil);

}  // namespace jmach

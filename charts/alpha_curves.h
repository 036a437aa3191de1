#pragma once
// What the lift and moment charts share: the grid over -12..12 degrees and
// a curve over the 25 angles of curve_alpha with its ring at the current
// angle.

#include "core/model_state.h"
#include "charts/plot_surface.h"

namespace jmach {

// Vertical lines at -12, -8, ..., 12 degrees from ordinate `top` to
// `bottom`; horizontal lines at v = j/10 for j = -15 .. j_high step 5, drawn
// at -v. Zero lines black, the others green.
void draw_alpha_grid(const ModelState& s, PlotSurface& surface, float top, float bottom, int j_high);

// The 24 segments through (curve_alpha(k), -values(k)/divisor) and the ring
// of radius 0.4 at (alpha_deg, -current/divisor).
void draw_alpha_curve(const ModelState& s, PlotSurface& surface, const CurveArray& values, double current,
                      double divisor, Colour curve, Colour ring);

}  // namespace jmach

#pragma once
// The critical Mach chart: 1 - Cp of the minimum pressure against Mach
// number under Prandtl-Glauert (blue), Karman-Tsien (green) and Laitone
// (magenta), with the critical pressure coefficient (red).

#include "charts/plot_surface.h"
#include "compressible/mcrit.h"

namespace jmach {

// Clears the surface and draws the axes and the four curves.
void Mcrit_ciz(const McritCurves& curves, PlotSurface& surface);

// The vertical blue line at the critical Mach number, from the axis up to
// the Prandtl-Glauert curve.
void mcrit_marker(PlotSurface& surface, const McritResult& result);

}  // namespace jmach

#pragma once
// The flow view: the potential flow about the profile at the angle of
// attack of the record, as a colour map of the local Mach number (or, with
// no Mach number in use, of the incompressible Cp), streamlines, the sonic
// line and the profile outline, with a colour bar at the right; and the
// numbers behind it as a table.
//
// The local Mach number of a point is that of its Prandtl-Glauert-corrected
// pressure coefficient Cp/beta by the isentropic relation at the free-stream
// Mach number in use. With no Mach number in use the flow is the
// incompressible one, which has no Mach number: the local Mach number is
// written as 0 everywhere.

#include <optional>
#include <vector>

#include "charts/chart_data.h"
#include "charts/plot_surface.h"
#include "core/model_state.h"

namespace jmach {

// The largest local Mach number the field reports. Beyond the vacuum
// limit of the isentropic relation (where the corrected suction is too
// strong for any real speed) and above this value, the local Mach number
// reads as this.
inline constexpr double kLocalMachCeiling = 5.0;

// The local Mach number where the incompressible pressure coefficient is
// cp, at the Mach number in use; 0 without one. Finite always.
double field_local_mach(const ModelState& s, double cp, const std::optional<MachInUse>& mach);

// The flow on rings r/a = 1 (the surface) and outward, growing
// geometrically to r/a = 100 (tens of chords from the profile), at circle
// angles theta_k = -k 2 pi/180, k = 0 .. 179 (the profile points' angle
// convention), ring by ring. Columns: r/a, theta, x/c, y/c, u/U, v/U, Cp,
// the Prandtl-Glauert Cp (Cp/beta; Cp itself with no Mach number) and the
// local Mach number. No rows before there is a profile; every value finite.
ChartTable flow_table(const ModelState& s, const std::optional<MachInUse>& mach);
// The rings of flow_table, innermost first.
std::vector<double> flow_table_rings();

// Whether the flow_table points reach a local Mach number above 1 at the
// Mach number in use (never without one), and their largest local Mach
// number (0 without one).
struct FlowSummary {
    bool sonic = false;
    double m_local_max = 0;
};
// With the exact minimum of the continuous surface's Cp, when there is one,
// among the points looked at.
FlowSummary flow_summary(const ModelState& s, const std::optional<MachInUse>& mach,
                         std::optional<double> surface_peak_cp = std::nullopt);

// The colour scale of the map: deep blue at `bottom` and beyond it, white
// at `white`, deep red at `top` and beyond it, linear in between, so fast
// flow is red either way.
//   With a Mach number in use: the local Mach number, 0 (blue) .. 1
//   (white, sonic) .. 2 (red).
//   Without: the incompressible Cp, 1 (blue, stagnation) .. 0 (white, the
//   free stream) .. -3 (red).
struct FlowColourScale {
    bool by_mach = false;
    double bottom = 0, white = 0, top = 0;
    std::vector<double> ticks;  // the values the bar marks, bottom to top
};
FlowColourScale flow_colour_scale(const std::optional<MachInUse>& mach);
Colour flow_colour(const FlowColourScale& scale, double value);

// Where flow_ciz draws for a drawing area of width/height `aspect` (taken
// within 0.2 .. 20; 2 when not a number), in user units with y/c upwards
// and equal scales on both axes: the field spans x/c = -0.5 .. 1.5 and the
// whole height, centred on the chord; the colour bar stands in the strip at
// the right with its ticks on its right side, beside which the window may
// write their values.
struct FlowFrame {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the Scale: left, top, right, bottom
    double field_x1 = 0, field_x2 = 0;      // the field's left and right edge
    double bar_x1 = 0, bar_x2 = 0;          // the bar's left and right edge
    double tick_x2 = 0;                     // the right end of its ticks
    double bar_bottom = 0, bar_top = 0;
    // The height on the bar of a value of the scale, kept within the bar.
    double bar_y(const FlowColourScale& scale, double value) const;
};
FlowFrame flow_frame(double aspect);

// Draws the flow view of the record's profile and angle of attack for a
// drawing area of width/height `aspect`: the colour map as one image, the
// streamlines at equal steps of the stream function (evenly spaced far
// upstream), the sonic line in orange where the corrected flow turns
// sonic, the outline (lower surface red, upper blue) and the colour bar.
// Before there is a profile only the scale is set.
void flow_ciz(const ModelState& s, const std::optional<MachInUse>& mach, PlotSurface& surface, double aspect);

}  // namespace jmach

#pragma once
// The critical Mach number across a family of profiles: one input swept
// over every whole value of its scroll bar, the others held, and for each
// profile the critical Mach number by the three rules from the sampled
// minimum pressure, and by Prandtl-Glauert from the exact minimum of the
// continuous surface. Drawn as curves against the swept input.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "charts/chart_data.h"
#include "charts/plot_surface.h"
#include "core/model_state.h"

namespace jmach {

enum class SweepInput { thickness, camber, alpha };
inline constexpr std::array<const char*, 3> kSweepInputNames = {"thickness", "camber", "alpha"};

// The scroll-bar positions the sweep holds, and the input it runs over.
struct SweepInputs {
    int thickness = 0, camber = 0, n_points = 51, alpha = 0;
};

// One profile of the family. Empty values where the table has no row for
// it or no search runs (a minimum not below -0.01; for the exact minimum
// also an unbounded suction peak).
struct SweepPoint {
    std::optional<double> mcrit_pg, mcrit_kt, mcrit_la, mcrit_pg_exact;
    bool stand_in = false;  // the sampled curves come from the sharp nose's -99
};
SweepPoint sweep_point(const ModelState& table, int thickness, int camber, int n_points, int alpha);

struct Sweep {
    SweepInput input = SweepInput::thickness;
    std::vector<int> values;  // the scroll-bar positions, in order
    std::vector<SweepPoint> points;
    int current = 0;          // the position of the swept bar now
};

// The range of the swept bar's positions.
std::pair<int, int> sweep_range(SweepInput input);
// The input's value at a scroll-bar position: the thickness and camber
// as fractions of the chord, the angle in degrees.
double sweep_value(SweepInput input, int position);

// The family's profiles, remembered by their inputs: moving the Mach
// number or the moment point, or the swept bar itself, reuses every one.
class SweepCache {
public:
    Sweep compute(const ModelState& table, SweepInput input, const SweepInputs& at);

private:
    std::map<std::tuple<int, int, int, int>, SweepPoint> known_;
};

// Draws the family: grid, the Prandtl-Glauert (blue), Karman-Tsien (green)
// and Laitone (magenta) curves and the exact-minimum curve (grey), broken
// where a value is missing, and a ring at the current value on the
// Prandtl-Glauert curve. x: the input's value, y: the Mach number 0 to 1.
void sweep_ciz(const Sweep& sweep, PlotSurface& surface);
// Where sweep_ciz puts the grid lines along x (its tick values).
std::vector<double> sweep_ticks(SweepInput input);
inline constexpr Colour kExactGrey = rgb(128, 128, 128);

// The sweep as a table: the input with its unit, then the four values.
ChartTable sweep_table(const Sweep& sweep);
// The sweep as the JSON object of the script tool.
std::string sweep_json(const Sweep& sweep);

}  // namespace jmach

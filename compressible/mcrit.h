#pragma once
// The critical free-stream Mach number: where the Prandtl-Glauert-corrected
// minimum pressure coefficient meets the critical pressure coefficient, and
// its chart of 1 - Cp against Mach number.

#include "app/model_state.h"
#include "charts/plot_surface.h"

namespace jmach {

enum class McritMethod {
    iteration,   // the relaxed iteration met its tolerance
    bracketing,  // it left the real numbers or never met the tolerance:
                 // the root was found by bracketing instead
};

struct McritResult {
    double mcr = 0;    // the critical Mach number
    double cp_pg = 0;  // Prandtl-Glauert value for the marker's upper end
    int passes = 0;    // passes of the relaxed iteration that ran
    McritMethod method = McritMethod::iteration;
};

// The search alone (no drawing), for cp0 < 0. Leaves mach_beta at the last
// value it used.
McritResult mcrit_search(ModelState& s, const double& cp0);

// Draws the chart for cp0 on `surface` and returns the number of Mach
// samples drawn.
int Mcrit_ciz(ModelState& s, const double& cp0, PlotSurface& surface);

// The chart, then the search, then the marker line at the result. The
// caller shows rounded_text(result.mcr, 4).
McritResult Mcrit_iter(ModelState& s, const double& cp0, PlotSurface& surface);

}  // namespace jmach

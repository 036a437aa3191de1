#pragma once
// The colour set and the four views of the main window: profile, surface
// pressure, lift curve and moment curve. Each draws on the plot surface it
// is given and reads only the model state and the control values it is
// handed, so it runs the same in the window and in a test.

#include <optional>
#include <string>
#include <string_view>

#include "app/model_state.h"
#include "charts/plot_surface.h"

namespace jmach {

// Sets siyah, kirmizi, yesil and mavi.
void renkler(ModelState& s);

// The free-stream Mach number read from the Mach box text. Empty when the
// text reads as a value the compressibility correction cannot use: not
// finite, or 1 or more in magnitude. Text without a leading number is 0.
std::optional<double> mach_from_text(std::string_view mach_text);

// Index of the last point of the first run (lower surface). Equals
// half_intervals + 1 for odd nP; for even nP it is nP/2, so both runs are
// whole and meet at a profile point.
int first_run_end(const ModelState& s);

// The outline over its grid; runs renkler first.
void profil_ciz(ModelState& s, PlotSurface& profil);

// The small red ring on the chord at the moment reference point.
void moment_ref_marker(const ModelState& s, PlotSurface& profil);

// 1 - Cp against x/c, and the Prandtl-Glauert-corrected distribution when
// the Mach box holds a usable non-zero value.
void basınc_ciz(ModelState& s, PlotSurface& pressure, std::string_view mach_text);

// The lift curve from -12 to 12 degrees; fills curve_alpha, curve_cl and
// cl_current. Returns the text for the CL box (4 decimals).
std::string CL_Alfa_ciz(ModelState& s, PlotSurface& picture_cl, std::string_view mach_text);

struct MomentTexts {
    std::string xm;  // the reference point x/c
    std::string cm;  // the current moment coefficient, 5 decimals
};

// The moment curve about x/c = xm_pos/100, from the lift left by
// CL_Alfa_ciz; fills moment_ref_x, curve_alpha and curve_cm.
MomentTexts CM_Alfa_ciz(ModelState& s, PlotSurface& picture_cm, int xm_pos, std::string_view mach_text);

}  // namespace jmach

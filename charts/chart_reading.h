#pragma once
// Reading the charts: the values under the pointer (the probe), the sonic
// level over the surface pressure, and what a kept reference was drawn
// with. Both front ends show these from here; nothing here recomputes the
// numerics, it reads the record and the drawings the chain left.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "charts/chart_data.h"
#include "charts/recording_surface.h"
#include "compressible/mcrit.h"
#include "compressible/sonic.h"
#include "core/model_state.h"

namespace jmach {

// The charts in window order (the order of their control names).
enum class ChartId { Mcrit, profil, pressure, Picture_CL, Picture_CM };

// Over the pressure chart drawn at `mach`: the level 1 - Cp*(M) across the
// whole chart, then a small ring at every sample point whose corrected Cp
// lies below Cp* (locally supersonic), in the sonic colour.
void sonic_level(const ModelState& s, PlotSurface& pressure, const MachInUse& mach);

// One value of a probe under a stable key: a whole number, a number (null
// in JSON when it is not finite), a text, or a truth value.
struct ProbeValue {
    const char* key;
    std::variant<int, double, const char*, bool> value;
};
struct Probe {
    std::vector<ProbeValue> values;
    std::string text;  // for the tooltip: one value a line
};

// What the chart shows at (x, y) in its user coordinates: the sample
// nearest the pointer along the horizontal axis on each curve, and of
// those the one nearest in the vertical. Empty outside the chart's scale
// rectangle and where it shows nothing. `drawn` is the Mach number the
// chart was drawn with, `machs` the last critical Mach search.
std::optional<Probe> probe_chart(ChartId chart, const RecordingSurface& surface, const ModelState& s,
                                 const std::optional<MachInUse>& drawn,
                                 const std::optional<CriticalMachs>& machs, double x, double y);

// The probe as a JSON object.
std::string probe_json(const Probe& probe);

// The supersonic stretches of the pressure drawn at `drawn` as JSON: null
// without a profile or without a Mach number in use, else a list of
// {"surface":"lower"|"upper","from":x/c,"to":x/c}.
std::string supersonic_json(const ModelState& s, const std::optional<MachInUse>& drawn);

// The inputs a chart is drawn with now, to name a kept reference:
// "thickness 0.12, camber 0.04, nP 101, α 5°, xM/c 0.25, M 0.5".
std::string reference_inputs(const ModelState& s, const std::optional<MachInUse>& drawn);

// The stretches in words for the minimum-pressure tooltip: empty when
// there are none.
std::string describe_supersonic(const ModelState& s, const std::optional<MachInUse>& drawn);

}  // namespace jmach

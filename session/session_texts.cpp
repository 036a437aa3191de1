// What the window says beside its numbers: the captions of the views'
// charts, each chart's text for screen readers, and the note of a kept
// reference.

#include <algorithm>
#include <cctype>

#include "airfoil/pressure.h"
#include "charts/flow_view.h"
#include "session/session.h"

namespace jmach {

namespace {

using Align = ViewCaption::Align;

std::string sweep_tick(SweepInput input, double v) {
    return input == SweepInput::alpha ? number_text(v) : rounded_text(v, 2);
}

std::string lower_first(std::string text) {
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

std::vector<ViewCaption> Session::view_captions(View view) const {
    std::vector<ViewCaption> out;
    if (!view_open(view)) return out;
    if (view == View::sweep) {
        const SweepInput input = sweep_->input;
        for (const double x : sweep_ticks(input)) out.push_back({sweep_tick(input, x), x, -0.01, Align::centre, Align::start});
        const auto [low, high] = sweep_range(input);
        for (int k = 0; k <= 10; k += 2)
            out.push_back({rounded_text(k / 10.0, 1), sweep_value(input, low), k / 10.0, Align::end, Align::centre});
        out.push_back({kSweepAxisTitles[static_cast<std::size_t>(input)], sweep_value(input, high), 0.01, Align::end,
                       Align::end, true});
        out.push_back({"Mcrit", sweep_value(input, low), 1.07, Align::start, Align::start, true});
        return out;
    }
    const FlowFrame frame = flow_frame(flow_aspect());
    const FlowColourScale scale = flow_colour_scale(drawn_mach(ChartId::pressure));
    // The first tick stands at the field's left edge: its value to the right of it.
    for (const double x : {-0.5, 0.0, 0.5, 1.0, 1.5})
        out.push_back({number_text(x), x, frame.y2, x == frame.field_x1 ? Align::start : Align::centre, Align::end});
    for (const double y : {-0.25, 0.0, 0.25}) out.push_back({number_text(y), frame.field_x1, y, Align::start, Align::centre});
    for (const double v : scale.ticks)
        out.push_back({number_text(v), frame.tick_x2, frame.bar_y(scale, v), Align::start, Align::centre});
    out.push_back({"x/c", 1.25, frame.y2, Align::centre, Align::end, true});
    out.push_back({"y/c", frame.field_x1, frame.y1, Align::start, Align::start, true});
    out.push_back({scale.by_mach ? "M local" : "Cp", frame.bar_x1, frame.y1, Align::start, Align::start, true});
    return out;
}

bool Session::sweep_stand_in() const {
    return sweep_ &&
           std::any_of(sweep_->points.begin(), sweep_->points.end(), [](const SweepPoint& p) { return p.stand_in; });
}

std::string Session::view_legend(View view) const {
    std::string legend = view_info(view).legend;
    if (view == View::sweep && sweep_stand_in()) legend += std::string(" In the sampled curves at zero thickness, ") + kStandInNote;
    return legend;
}

std::string Session::chart_text(ChartId which) const {
    const std::size_t index = static_cast<std::size_t>(which);
    if (!chart(which).scale()) return std::string(kChartTitles[index]) + " chart: nothing drawn yet.";
    auto v = [&](std::size_t box) { return texts_[box]; };
    const std::optional<MachInUse>& mach = drawn_mach(which);
    const std::string at_mach = mach ? ", with the Prandtl-Glauert curve at M∞ = " + number_text(mach->mach) : "";
    switch (which) {
    case ChartId::profil:
        return "Profile chart: the profile of thickness δ = " + v(0) + " and camber γ = " + v(1) + " at " + v(2) +
               " points, moment reference point xM/c = " + v(4) + ".";
    case ChartId::pressure:
        return "Surface pressure chart: 1 - Cp along the chord at α = " + v(3) + "°, minimum Cp = " + v(6) + at_mach +
               ".";
    case ChartId::Picture_CL: return "Lift curve chart: CL = " + v(8) + " at α = " + v(3) + "°" + at_mach + ".";
    case ChartId::Picture_CM:
        return "Moment curve chart: CM = " + v(9) + " about xM/c = " + v(4) + " at α = " + v(3) + "°" + at_mach + ".";
    case ChartId::Mcrit:
        return "Critical Mach number chart: Mcr = " + v(7) + " by Prandtl-Glauert for CpMin = " + v(6) + ".";
    }
    return {};
}

std::string Session::view_text(View view) const {
    if (view == View::flow) {
        if (!flow_open_) return "Flow field chart.";
        const FlowSummary summary = flow_summary(s_, drawn_mach(ChartId::pressure), surface_peak());
        return "Flow field chart: streamlines about the profile over the local Mach number, at most " +
               rounded_text(summary.m_local_max, 4) +
               (summary.sonic ? "; the flow turns supersonic inside the orange sonic line."
                              : "; the flow stays subsonic everywhere.");
    }
    if (!sweep_) return "Critical Mach number chart.";
    const std::string input = lower_first(kSweepChoices[static_cast<std::size_t>(sweep_->input)]);
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < sweep_->points.size(); ++i)
        if (const auto& m = sweep_->points[i].mcrit_pg; m && (!best || *m > *sweep_->points[*best].mcrit_pg)) best = i;
    if (!best || sweep_->values.empty()) return "Critical Mach number chart against " + input + ": no value in the table.";
    auto value = [&](std::size_t i) { return rounded_text(sweep_value(sweep_->input, sweep_->values[i]), 4); };
    return "Critical Mach number chart against " + input + " from " + value(0) + " to " +
           value(sweep_->values.size() - 1) + ", the other inputs as set: by Prandtl-Glauert at most " +
           rounded_text(*sweep_->points[*best].mcrit_pg, 4) + ", at " + value(*best) + "." +
           (sweep_stand_in() ? std::string(" ") + kStandInNote : std::string());
}

std::string Session::reference_note(ChartId which) const {
    const RecordingSurface& c = chart(which);
    return c.has_reference() ? "In grey, a reference kept with " + c.reference_inputs() + "." : std::string();
}

}  // namespace jmach

#include "charts/chart_reading.h"

#include <algorithm>
#include <cmath>

#include "airfoil/pressure.h"
#include "core/number_text.h"

namespace jmach {

namespace {

constexpr double kSonicRing = 0.008;  // x/c: a few pixels on the chart

// Four decimals for the tooltip; a value without one reads as such.
std::string text4(double v) { return std::isfinite(v) ? rounded_text(v, 4) : std::string("unbounded"); }

std::string json_number(double v) {
    if (!std::isfinite(v)) return "null";
    return shortest_text(v);  // the shortest text that reads back the same
}

bool inside(const RecordingSurface& surface, double x, double y) {
    const auto& sc = surface.scale();
    if (!sc || !std::isfinite(x) || !std::isfinite(y)) return false;
    return x >= std::min(sc->x1, sc->x2) && x <= std::max(sc->x1, sc->x2) && y >= std::min(sc->y1, sc->y2) &&
           y <= std::max(sc->y1, sc->y2);
}

// A curve over the profile points first..last, drawn at ordinate(i).
struct PointCurve {
    int first, last;
    double (*ordinate)(const ModelState&, int, double);
};

// The point of the nearest curve: on each, the point nearest in x/c (the
// first of equals), then the curve whose point is nearest in the vertical.
int nearest_point(const ModelState& s, const std::vector<PointCurve>& curves, double beta, double x, double y) {
    int best = 0;
    double best_dy = INFINITY;
    for (const PointCurve& c : curves) {
        int at = c.first;
        for (int i = c.first + 1; i <= c.last; ++i)
            if (std::abs(s.prof_x[i] - x) < std::abs(s.prof_x[at] - x)) at = i;
        const double dy = std::abs(c.ordinate(s, at, beta) - y);
        if (best == 0 || dy < best_dy) best = at, best_dy = dy;
    }
    return best;
}

const char* surface_name(const ModelState& s, int i) { return upper_surface_point(s, i) ? "upper" : "lower"; }

std::optional<Probe> probe_profile(const ModelState& s, double x, double y) {
    if (!has_profile(s)) return std::nullopt;
    const int join = first_run_end(s), n = std::clamp(geometry_points(s), 1, kPointCapacity - 1);
    auto ordinate = [](const ModelState& st, int i, double) { return -st.prof_y[i]; };
    const int i = nearest_point(s, {{1, join, ordinate}, {join, n, ordinate}}, 1.0, x, y);
    Probe p;
    p.values = {{"point", i}, {"surface", surface_name(s, i)}, {"x", s.prof_x[i]}, {"y", s.prof_y[i]}};
    p.text = "Point " + std::to_string(i) + ", " + surface_name(s, i) + " surface\nx/c = " + text4(s.prof_x[i]) +
             ", y/c = " + text4(s.prof_y[i]);
    return p;
}

std::optional<Probe> probe_pressure(const ModelState& s, const std::optional<MachInUse>& drawn, double x, double y) {
    if (!has_profile(s)) return std::nullopt;
    const int join = first_run_end(s), n = std::clamp(geometry_points(s), 1, kPointCapacity - 1);
    auto plain = [](const ModelState& st, int i, double) { return -(1.0 - st.cp_surf[i]); };
    auto corrected = [](const ModelState& st, int i, double beta) { return -(1.0 - st.cp_surf[i] / beta); };
    std::vector<PointCurve> curves = {{1, join, plain}, {join, n, plain}};
    if (drawn) curves.push_back({1, n, corrected});
    const int i = nearest_point(s, curves, drawn ? drawn->beta : 1.0, x, y);
    const double cp = s.cp_surf[i];
    Probe p;
    p.values = {{"point", i}, {"surface", surface_name(s, i)}, {"x", s.prof_x[i]}, {"cp", cp}, {"one_minus_cp", 1.0 - cp}};
    p.text = "Point " + std::to_string(i) + ", " + surface_name(s, i) + " surface, x/c = " + text4(s.prof_x[i]) +
             "\nCp = " + text4(cp) + ", 1 - Cp = " + text4(1.0 - cp);
    if (s.map_deriv[i] == 0 && cp == 1.0 - kSharpNoseSpeed * kSharpNoseSpeed) p.text += std::string("\n") + kStandInNote;
    if (drawn) {
        const double cp_pg = cp / drawn->beta, cp_star = critical_cp(s, drawn->mach);
        const std::optional<double> m = local_mach(s, cp_pg, drawn->mach);
        // Supersonic where the corrected Cp lies below Cp*, as the stretches,
        // the sonic level and the flow view say; beyond the vacuum limit
        // there is no local Mach number to give.
        const bool supersonic = cp_pg < cp_star;
        p.values.push_back({"mach", drawn->mach});
        p.values.push_back({"cp_pg", cp_pg});
        p.values.push_back({"cp_star", cp_star});
        p.values.push_back({"m_local", m ? *m : NAN});
        p.values.push_back({"supersonic", supersonic});
        p.text += "\nAt M∞ = " + number_text(drawn->mach) + ": Prandtl-Glauert Cp = " + text4(cp_pg) +
                  ", Cp* = " + text4(cp_star) + "\nLocal Mach number " +
                  (m ? text4(*m) : std::string("beyond the vacuum limit")) +
                  (supersonic ? ": supersonic" : "");
    }
    return p;
}

// `key` and `corrected_key` name the value and its Prandtl-Glauert value.
std::optional<Probe> probe_alpha(const ModelState& s, const CurveArray& values, const char* key,
                                 const char* corrected_key, const char* name, const std::optional<MachInUse>& drawn,
                                 double x) {
    if (!has_lift_curve(s)) return std::nullopt;
    const int angle = static_cast<int>(std::clamp(std::lround(x), -12L, 12L));
    const double v = values[static_cast<std::size_t>(angle + 12)];
    Probe p;
    p.values = {{"alpha", angle}, {key, v}};
    p.text = "α = " + std::to_string(angle) + "°: " + name + " = " + text4(v);
    if (drawn) {
        p.values.push_back({"mach", drawn->mach});
        p.values.push_back({corrected_key, v / drawn->beta});
        p.text += "\nPrandtl-Glauert at M∞ = " + number_text(drawn->mach) + ": " + name + "/β = " + text4(v / drawn->beta);
    }
    return p;
}

std::optional<Probe> probe_mcrit(const ModelState& s, const std::optional<CriticalMachs>& machs, double x) {
    if (!machs || machs->samples < 1) return std::nullopt;
    const int i = static_cast<int>(std::clamp(std::lround(x * 100.0), 1L, static_cast<long>(machs->samples)));
    const McritSample m = mcrit_sample(s, machs->cp_min, i);
    Probe p;
    p.values = {{"mach", m.mach}, {"cp_pg", m.cp_pg}, {"cp_kt", m.cp_kt}, {"cp_la", m.cp_la}, {"cp_star", m.cp_star}};
    p.text = "M∞ = " + number_text(m.mach) + ", minimum Cp " + text4(machs->cp_min) + " corrected:\nPrandtl-Glauert " +
             text4(m.cp_pg) + "\nKármán-Tsien " + text4(m.cp_kt) + "\nLaitone " + text4(m.cp_la) + "\nCp* = " +
             text4(m.cp_star);
    if (machs->stand_in) p.text += std::string("\n") + kStandInNote;
    return p;
}

}  // namespace

void sonic_level(const ModelState& s, PlotSurface& pressure, const MachInUse& mach) {
    if (!has_profile(s) || !(mach.beta > 0)) return;
    const double cp_star = critical_cp(s, mach.mach);
    draw_segment(pressure, -0.1, -(1.0 - cp_star), 1.1, -(1.0 - cp_star), kSonicOrange);
    const int n = std::clamp(geometry_points(s), 0, kPointCapacity - 1);
    for (int i = 1; i <= n; ++i) {
        const double cp_pg = s.cp_surf[i] / mach.beta;
        if (cp_pg < cp_star) draw_ring(pressure, s.prof_x[i], -(1.0 - cp_pg), kSonicRing, kSonicOrange);
    }
}

std::optional<Probe> probe_chart(ChartId chart, const RecordingSurface& surface, const ModelState& s,
                                 const std::optional<MachInUse>& drawn,
                                 const std::optional<CriticalMachs>& machs, double x, double y) {
    if (!inside(surface, x, y)) return std::nullopt;
    switch (chart) {
    case ChartId::profil: return probe_profile(s, x, y);
    case ChartId::pressure: return probe_pressure(s, drawn, x, y);
    case ChartId::Picture_CL: return probe_alpha(s, s.curve_cl, "cl", "cl_pg", "CL", drawn, x);
    case ChartId::Picture_CM: return probe_alpha(s, s.curve_cm, "cm", "cm_pg", "CM", drawn, x);
    case ChartId::Mcrit: return probe_mcrit(s, machs, x);
    }
    return std::nullopt;
}

std::string probe_json(const Probe& probe) {
    std::string out = "{";
    for (const ProbeValue& v : probe.values) {
        if (out.size() > 1) out += ",";
        out += "\"";
        out += v.key;
        out += "\":";
        if (const int* i = std::get_if<int>(&v.value)) out += std::to_string(*i);
        else if (const double* d = std::get_if<double>(&v.value)) out += json_number(*d);
        else if (const char* const* t = std::get_if<const char*>(&v.value)) out += std::string("\"") + *t + "\"";
        else out += std::get<bool>(v.value) ? "true" : "false";
    }
    return out + "}";
}

std::string supersonic_json(const ModelState& s, const std::optional<MachInUse>& drawn) {
    if (!has_profile(s) || !drawn) return "null";
    std::string out = "[";
    for (const SupersonicStretch& st : supersonic_stretches(s, drawn->mach, drawn->beta)) {
        if (out.size() > 1) out += ",";
        out += std::string("{\"surface\":\"") + (st.upper ? "upper" : "lower") + "\",\"from\":" + json_number(st.from) +
               ",\"to\":" + json_number(st.to) + "}";
    }
    return out + "]";
}

std::string reference_inputs(const ModelState& s, const std::optional<MachInUse>& drawn) {
    return "thickness " + number_text(s.thickness) + ", camber " + number_text(s.camber) + ", nP " +
           number_text(s.n_points) + ", α " + number_text(s.alpha_deg) + "°, xM/c " + number_text(s.moment_ref_x) +
           ", M " + number_text(drawn ? drawn->mach : 0.0);
}

std::string describe_supersonic(const ModelState& s, const std::optional<MachInUse>& drawn) {
    if (!drawn) return {};
    const std::vector<SupersonicStretch> stretches = supersonic_stretches(s, drawn->mach, drawn->beta);
    if (stretches.empty()) return {};
    std::string out = "Locally supersonic at M∞ = " + number_text(drawn->mach) + " (Prandtl-Glauert Cp below Cp* = " +
                      text4(critical_cp(s, drawn->mach)) + "):";
    for (const SupersonicStretch& st : stretches)
        out += std::string("\n") + (st.upper ? "upper" : "lower") + " surface, x/c " + text4(st.from) + " to " +
               text4(st.to);
    return out;
}

}  // namespace jmach

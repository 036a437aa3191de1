#include "charts/sweep.h"

#include <cmath>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/surface_minimum.h"
#include "compressible/mcrit.h"
#include "core/number_text.h"

namespace jmach {

namespace {

std::string json_value(const std::optional<double>& v) {
    if (!v || !std::isfinite(*v)) return "null";
    return shortest_text(*v);  // the shortest text that reads back the same
}

}  // namespace

SweepPoint sweep_point(const ModelState& table, int thickness, int camber, int n_points, int alpha) {
    SweepPoint p;
    ModelState s = table;  // the window's record stays as it is
    if (profil_hesapla(s, thickness, camber, n_points) == ProfileOutcome::not_in_table) return p;
    // The same steps as the window's chain: the sampled minimum and, below
    // the threshold, its critical Mach search.
    const double cp_min = basınc_hesapla(s, alpha);
    p.stand_in = has_stand_in(s) && cp_min == 1.0 - kSharpNoseSpeed * kSharpNoseSpeed;
    if (cp_min < kMcritThreshold) {
        p.mcrit_pg = mcrit_search(s, cp_min).mcr;
        p.mcrit_kt = critical_mach(s, cp_min, CompressibilityRule::karman_tsien);
        p.mcrit_la = critical_mach(s, cp_min, CompressibilityRule::laitone);
    }
    const SurfaceMinimum exact = exact_surface_minimum(s);
    if (!exact.unbounded && std::isfinite(exact.cp) && exact.cp < kMcritThreshold)
        p.mcrit_pg_exact = mcrit_search(s, exact.cp).mcr;
    return p;
}

std::pair<int, int> sweep_range(SweepInput input) {
    switch (input) {
    case SweepInput::thickness: return {0, 30};
    case SweepInput::camber: return {0, 15};
    case SweepInput::alpha: return {-10, 10};
    }
    return {0, 0};
}

double sweep_value(SweepInput input, int position) {
    return input == SweepInput::alpha ? position : position / 100.0;
}

Sweep SweepCache::compute(const ModelState& table, SweepInput input, const SweepInputs& at) {
    if (known_.size() > 4096) known_.clear();  // a long session's families
    Sweep sweep;
    sweep.input = input;
    const auto [low, high] = sweep_range(input);
    sweep.current = input == SweepInput::thickness ? at.thickness : input == SweepInput::camber ? at.camber : at.alpha;
    for (int v = low; v <= high; ++v) {
        const int t = input == SweepInput::thickness ? v : at.thickness;
        const int c = input == SweepInput::camber ? v : at.camber;
        const int a = input == SweepInput::alpha ? v : at.alpha;
        const auto key = std::make_tuple(t, c, at.n_points, a);
        auto found = known_.find(key);
        if (found == known_.end()) found = known_.emplace(key, sweep_point(table, t, c, at.n_points, a)).first;
        sweep.values.push_back(v);
        sweep.points.push_back(found->second);
    }
    return sweep;
}

std::vector<double> sweep_ticks(SweepInput input) {
    switch (input) {
    case SweepInput::thickness: return {0, 0.05, 0.10, 0.15, 0.20, 0.25, 0.30};
    case SweepInput::camber: return {0, 0.05, 0.10, 0.15};
    case SweepInput::alpha: return {-10, -5, 0, 5, 10};
    }
    return {};
}

void sweep_ciz(const Sweep& sweep, PlotSurface& surface) {
    surface.Cls();
    const auto [low, high] = sweep_range(sweep.input);
    const double x0 = sweep_value(sweep.input, low), x1 = sweep_value(sweep.input, high);
    const double margin = (x1 - x0) * 0.06;
    // The input across, the Mach number up from 0 to 1.
    surface.Scale(x0 - margin, 1.08, x1 + margin, -0.08);
    for (const double x : sweep_ticks(sweep.input))
        surface.Line(static_cast<float>(x), 0.0f, static_cast<float>(x), 1.0f, x == x0 ? kBlack : kLiteralGreen);
    for (int k = 0; k <= 10; k += 2) {
        const float y = static_cast<float>(k / 10.0);
        surface.Line(static_cast<float>(x0), y, static_cast<float>(x1), y, k == 0 ? kBlack : kLiteralGreen);
    }
    auto curve = [&](std::optional<double> SweepPoint::*member, Colour colour) {
        for (std::size_t i = 1; i < sweep.points.size(); ++i) {
            const auto& a = sweep.points[i - 1].*member;
            const auto& b = sweep.points[i].*member;
            if (a && b)
                draw_segment(surface, sweep_value(sweep.input, sweep.values[i - 1]), *a,
                             sweep_value(sweep.input, sweep.values[i]), *b, colour);
        }
    };
    curve(&SweepPoint::mcrit_pg_exact, kExactGrey);
    curve(&SweepPoint::mcrit_la, kMagenta);
    curve(&SweepPoint::mcrit_kt, kLiteralGreen);
    curve(&SweepPoint::mcrit_pg, kLiteralBlue);
    for (std::size_t i = 0; i < sweep.values.size(); ++i)
        if (sweep.values[i] == sweep.current && sweep.points[i].mcrit_pg)
            draw_ring(surface, sweep_value(sweep.input, sweep.current), *sweep.points[i].mcrit_pg, margin * 0.3,
                      kLiteralRed);
}

ChartTable sweep_table(const Sweep& sweep) {
    static constexpr const char* kInputColumns[] = {"thickness t/c [-]", "camber f/c [-]", "alpha [deg]"};
    ChartTable table;
    table.columns = {kInputColumns[static_cast<int>(sweep.input)], "Mcrit Prandtl-Glauert [-]",
                     "Mcrit Karman-Tsien [-]", "Mcrit Laitone [-]", "Mcrit Prandtl-Glauert exact minimum [-]"};
    for (std::size_t i = 0; i < sweep.values.size(); ++i) {
        const SweepPoint& p = sweep.points[i];
        auto cell = [](const std::optional<double>& v) { return v ? *v : NAN; };
        table.rows.push_back({sweep_value(sweep.input, sweep.values[i]), cell(p.mcrit_pg), cell(p.mcrit_kt),
                              cell(p.mcrit_la), cell(p.mcrit_pg_exact)});
    }
    return table;
}

std::string sweep_json(const Sweep& sweep) {
    std::string out = std::string("{\"input\":\"") + kSweepInputNames[static_cast<int>(sweep.input)] + "\",\"values\":[";
    for (std::size_t i = 0; i < sweep.values.size(); ++i)
        out += (i ? "," : "") + json_value(sweep_value(sweep.input, sweep.values[i]));
    auto list = [&](const char* key, std::optional<double> SweepPoint::*member) {
        out += std::string("],\"") + key + "\":[";
        for (std::size_t i = 0; i < sweep.points.size(); ++i) out += (i ? "," : "") + json_value(sweep.points[i].*member);
    };
    list("mcrit_pg", &SweepPoint::mcrit_pg);
    list("mcrit_kt", &SweepPoint::mcrit_kt);
    list("mcrit_la", &SweepPoint::mcrit_la);
    list("mcrit_pg_exact", &SweepPoint::mcrit_pg_exact);
    return out + "]}";
}

}  // namespace jmach

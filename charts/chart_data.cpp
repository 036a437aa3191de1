#include "charts/chart_data.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"

namespace jmach {

namespace {

// " M=0.5" for the header of a corrected column.
std::string at_mach(const MachInUse& m) { return " M=" + number_text(m.mach); }

ChartTable alpha_table(const ModelState& s, const char* name, const std::string& qualifier,
                       const CurveArray& values, std::optional<MachInUse> mach, bool drawn) {
    ChartTable t;
    t.columns = {"alpha [deg]", std::string(name) + qualifier + " [-]"};
    if (mach) t.columns.push_back(std::string(name) + "/beta" + qualifier + at_mach(*mach) + " [-]");
    if (!drawn) return t;
    for (int k = 0; k <= 24; ++k) {
        std::vector<double> row = {s.curve_alpha[k], values[k]};
        if (mach) row.push_back(values[k] / mach->beta);
        t.rows.push_back(std::move(row));
    }
    return t;
}

// The points of the profile geometry in the record, within the arrays.
int profile_points(const ModelState& s) {
    return has_profile(s) ? std::clamp(geometry_points(s), 0, kPointCapacity - 1) : 0;
}

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) out += (c == '"') ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

template <typename Field>
std::string delimited(const ChartTable& table, char separator, const char* line_end, Field field) {
    std::string out;
    auto line = [&](const auto& cells, auto text_of) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) out += separator;
            out += field(text_of(cells[i]));
        }
        out += line_end;
    };
    line(table.columns, [](const std::string& c) { return c; });
    for (const auto& row : table.rows) line(row, [](double v) { return shortest_text(v); });
    return out;
}

}  // namespace

ChartTable profile_table(const ModelState& s) {
    ChartTable t{{"point", "x/c [-]", "y/c [-]"}, {}};
    for (int j = 1; j <= profile_points(s); ++j) t.rows.push_back({double(j), s.prof_x[j], s.prof_y[j]});
    return t;
}

ChartTable pressure_table(const ModelState& s, std::optional<MachInUse> mach) {
    ChartTable t{{"point", "x/c [-]", "Cp [-]"}, {}};
    if (mach) t.columns.push_back("Cp Prandtl-Glauert" + at_mach(*mach) + " [-]");
    for (int j = 1; j <= profile_points(s); ++j) {
        std::vector<double> row = {double(j), s.prof_x[j], s.cp_surf[j]};
        if (mach) row.push_back(s.cp_surf[j] / mach->beta);
        t.rows.push_back(std::move(row));
    }
    return t;
}

ChartTable lift_table(const ModelState& s, std::optional<MachInUse> mach) {
    return alpha_table(s, "CL", "", s.curve_cl, mach, has_lift_curve(s));
}

ChartTable moment_table(const ModelState& s, std::optional<MachInUse> mach) {
    // The moment curve exists once there is a lift curve and a chord.
    return alpha_table(s, "CM", " about x/c=" + number_text(s.moment_ref_x), s.curve_cm, mach,
                       has_lift_curve(s) && s.chord_len != 0);
}

ChartTable empty_mcrit_table() {
    return {{"M [-]", "Cp Prandtl-Glauert [-]", "Cp Karman-Tsien [-]", "Cp Laitone [-]", "Cp* critical [-]"}, {}};
}

ChartTable mcrit_table(const ModelState& s, double cp0, int count) {
    ChartTable t = empty_mcrit_table();
    for (int i = 1; i <= std::min(count, McritCurves::kCapacity - 1); ++i) {
        const McritSample p = mcrit_sample(s, cp0, i);
        t.rows.push_back({p.mach, p.cp_pg, p.cp_kt, p.cp_la, p.cp_star});
    }
    return t;
}

std::string csv_text(const ChartTable& table) { return delimited(table, ',', "\r\n", csv_field); }

std::string tsv_text(const ChartTable& table) {
    // Names carry no tabs or line breaks; numbers never do.
    return delimited(table, '\t', "\n", [](const std::string& s) { return s; });
}

}  // namespace jmach

#include "session/handout.h"

#include <cmath>

#include "core/number_text.h"
#include "session/script_text.h"
#include "session/state_lines.h"

namespace jmach {

namespace {

constexpr const char* kOfChord = "of the chord";

std::string machs_text(const std::optional<CriticalMachs>& machs, double CriticalMachs::*rule) {
    return machs && std::isfinite((*machs).*rule) ? rounded_text((*machs).*rule, 4) : std::string("–");
}

std::string rows_json(const std::vector<HandoutRow>& rows) {
    std::string out = "[";
    for (const HandoutRow& r : rows)
        out += (out.size() > 1 ? ",[" : "[") + json_string(r.name) + "," + json_string(r.value) + "," +
               json_string(r.unit) + "]";
    return out + "]";
}

std::string texts_json(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (const std::string& t : texts) out += (out.size() > 1 ? "," : "") + json_string(t);
    return out + "]";
}

}  // namespace

Handout handout(const Session& s, std::string_view page, std::string_view date) {
    Handout h;
    const auto box = [&](const char* name) { return *s.text(name); };
    h.title = std::string(kWindowTitle) + ": Joukowski profile δ " + box("Text_Thickness") + ", γ " +
              box("Text_Camber") + " at α " + box("Text_AlfaD") + "°, M∞ " + box("Text_Moo");
    h.inputs = {{"Relative thickness δ = t/c", box("Text_Thickness"), kOfChord},
                {"Relative camber γ = f/c", box("Text_Camber"), kOfChord},
                {"Surface points nP", box("Text_nP"), "points"},
                {"Angle of attack α", box("Text_AlfaD"), "°"},
                {"Moment reference xM/c", box("Text_xM"), kOfChord},
                {"Free-stream Mach number M∞", box("Text_Moo"), "(no unit)"}};
    const auto& machs = s.critical_machs();
    h.results = {{"Minimum pressure coefficient CpMin", box("Text_CpMin"), "(no unit)"},
                 {"Critical Mach number, Prandtl–Glauert", box("Text_Mcrit"), "(no unit)"},
                 {"Critical Mach number, Kármán–Tsien", machs_text(machs, &CriticalMachs::kt), "(no unit)"},
                 {"Critical Mach number, Laitone", machs_text(machs, &CriticalMachs::la), "(no unit)"},
                 {"Lift coefficient CL", box("Text_CL"), "(no unit)"},
                 {"Pitching-moment coefficient CM", box("Text1"), "(no unit)"}};
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        h.chart_titles.emplace_back(kChartTitles[i]);
        if (std::string note = s.reference_note(static_cast<ChartId>(i)); !note.empty())
            h.notes.push_back(std::string(kChartTitles[i]) + ": " + note);
    }
    if (s.mcrit_held()) {
        // The tooltip's last paragraph says whose number it is.
        const std::string& tip = *s.tooltip("Text_Mcrit");
        const std::size_t last = tip.rfind("\n\n");
        h.notes.push_back("Critical Mach number: " + tip.substr(last == std::string::npos ? 0 : last + 2));
    }
    h.state = state_text(s);
    h.link = state_link(s, page);
    h.date = std::string(date);
    return h;
}

std::string handout_json(const Handout& h) {
    return "{\"title\":" + json_string(h.title) + ",\"inputs\":" + rows_json(h.inputs) +
           ",\"results\":" + rows_json(h.results) + ",\"notes\":" + texts_json(h.notes) +
           ",\"charts\":" + texts_json(h.chart_titles) + ",\"state\":" + json_string(h.state) +
           ",\"link\":" + json_string(h.link) + ",\"date\":" + json_string(h.date) + "}";
}

}  // namespace jmach

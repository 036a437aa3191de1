// The browser edition's entry points: the page calls these by name once the
// WebAssembly runtime is up. Strings go in as UTF-8 and come back as
// pointers into memory owned here, valid until the next call.

#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "airfoil/table.h"
#include "charts/chart_reading.h"
#include "charts/control_help.h"
#include "charts/flow_view.h"
#include "charts/sweep.h"
#include "core/number_text.h"
#include "web/web_form.h"

// The airfoil table, embedded at build time.
extern const char kAirfoilTable[];
extern const unsigned long kAirfoilTableSize;

namespace {

jmach::web::WebForm& form() {
    static jmach::web::WebForm instance;
    return instance;
}

std::string returned_text;
std::vector<double> returned_chart;

const char* hand_back(std::string text) {
    returned_text = std::move(text);
    return returned_text.c_str();
}

const double* hand_back(std::vector<double> packed) {
    returned_chart = std::move(packed);
    return returned_chart.data();
}

}  // namespace

extern "C" {

// Start-up; "" or the reader's message when the table cannot be loaded.
EMSCRIPTEN_KEEPALIVE const char* jm_start() {
    const auto error = form().Form_Load(std::string_view(kAirfoilTable, kAirfoilTableSize), jmach::kTableFileName);
    return hand_back(error.value_or(""));
}

// A scroll bar moved to `value`: its handler runs. 0 for an unknown bar.
EMSCRIPTEN_KEEPALIVE int jm_scroll(const char* bar, int value) { return form().scroll(bar, value) ? 1 : 0; }

// A chart clicked. 0 for an unknown chart.
EMSCRIPTEN_KEEPALIVE int jm_click(const char* chart) { return form().click(chart) ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE void jm_type_mach(const char* text) { form().type_mach(text); }

EMSCRIPTEN_KEEPALIVE const char* jm_text(const char* box) {
    const std::string* text = form().text(box);
    return hand_back(text ? *text : std::string());
}

// After a start-up that loaded the table: "" or the reader's warning that
// values after the last row were ignored.
EMSCRIPTEN_KEEPALIVE const char* jm_table_warning() { return hand_back(form().table_warning()); }

EMSCRIPTEN_KEEPALIVE const char* jm_tooltip(const char* box) {
    const std::string* text = form().tooltip(box);
    return hand_back(text ? *text : std::string());
}

// A control's accessible name and description, the desktop window's texts:
// name, a line break, description; "" for an unknown control. A chart's
// description tells what it shows, not how it is used.
EMSCRIPTEN_KEEPALIVE const char* jm_help(const char* control) {
    const jmach::ControlHelp* help = control ? jmach::control_help(control) : nullptr;
    return hand_back(help ? std::string(help->name) + "\n" + help->description : std::string());
}

// 1 while the Mach box shows its note look (a usable number followed by
// more text), else 0.
EMSCRIPTEN_KEEPALIVE int jm_mach_noted() { return form().mach_noted() ? 1 : 0; }

// What the sampling hides, as JSON number texts ("null" for none): the exact
// minimum of the continuous surface ("cp_min_exact", "x_cp_min_exact") and
// the critical Mach number by the two other rules ("mcrit_kt", "mcrit_la").
EMSCRIPTEN_KEEPALIVE const char* jm_number(const char* key) {
    const std::string_view name = key;
    const auto& exact = form().exact_minimum();
    const auto& machs = form().critical_machs();
    std::optional<double> v;
    if (name == "cp_min_exact" && exact) v = exact->cp;
    else if (name == "x_cp_min_exact" && exact) v = exact->x;
    else if (name == "mcrit_kt" && machs) v = machs->kt;
    else if (name == "mcrit_la" && machs) v = machs->la;
    const std::string text = v ? jmach::shortest_text(*v) : std::string();
    return hand_back(text.empty() ? "null" : text);
}

// The messages raised since the last call, one per line; "" for none.
EMSCRIPTEN_KEEPALIVE const char* jm_messages() {
    std::string joined;
    for (const std::string& m : form().take_messages()) joined += (joined.empty() ? "" : "\n") + m;
    return hand_back(joined);
}

// How often the chart has changed; the page repaints a chart whose count moved.
EMSCRIPTEN_KEEPALIVE unsigned jm_chart_version(const char* chart) {
    const jmach::web::Chart* c = form().chart(chart);
    return c ? c->version() : 0;
}

// The chart's drawing packed as pack_chart lays it out.
EMSCRIPTEN_KEEPALIVE const double* jm_chart(const char* chart) {
    const jmach::web::Chart* c = form().chart(chart);
    return hand_back(c ? jmach::web::pack_chart(*c) : std::vector<double>{1});
}

// ---- Reading the charts: none of these runs a chain ----

// What the chart shows at (x, y) in its user coordinates, as the JSON
// object jmach-script writes under "probe"; "null" where it shows nothing
// and for an unknown chart.
EMSCRIPTEN_KEEPALIVE const char* jm_probe(const char* chart, double x, double y) {
    const auto id = jmach::web::chart_id(chart);
    const auto probe = id ? form().probe(*id, x, y) : std::nullopt;
    return hand_back(probe ? jmach::probe_json(*probe) : "null");
}

// The same for the tooltip: one value a line, then the inputs of the
// reference when one is kept; "" where it shows nothing.
EMSCRIPTEN_KEEPALIVE const char* jm_probe_text(const char* chart, double x, double y) {
    const auto id = jmach::web::chart_id(chart);
    return hand_back(id ? form().probe_text(*id, x, y) : std::string());
}

// The sonic level over the pressure chart switched on (1) or off (0); the
// pressure chart is drawn again as the last chain drew it.
EMSCRIPTEN_KEEPALIVE void jm_sonic(int on) { form().set_sonic_level(on != 0); }

// 1 while the sonic level is switched on.
EMSCRIPTEN_KEEPALIVE int jm_sonic_level() { return form().sonic_level() ? 1 : 0; }

// The chart's curves kept as its reference, and the reference cleared. 0
// for an unknown chart.
EMSCRIPTEN_KEEPALIVE int jm_keep(const char* chart) {
    const auto id = jmach::web::chart_id(chart);
    if (id) form().keep_reference(*id);
    return id ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int jm_unkeep(const char* chart) {
    const auto id = jmach::web::chart_id(chart);
    if (id) form().clear_reference(*id);
    return id ? 1 : 0;
}

// The chart's reference packed as pack_reference lays it out.
EMSCRIPTEN_KEEPALIVE const double* jm_reference(const char* chart) {
    const jmach::web::Chart* c = form().chart(chart);
    return hand_back(c ? jmach::web::pack_reference(*c) : std::vector<double>{1});
}

// The inputs the reference was kept with ("thickness 0.12, camber 0.04, ..."),
// "" while none is kept.
EMSCRIPTEN_KEEPALIVE const char* jm_reference_inputs(const char* chart) {
    const jmach::web::Chart* c = form().chart(chart);
    return hand_back(c ? c->reference_inputs() : std::string());
}

// The supersonic stretches of the pressure chart as drawn, as the JSON
// jmach-script writes under "supersonic".
EMSCRIPTEN_KEEPALIVE const char* jm_supersonic() { return hand_back(form().supersonic_json()); }

// ---- The views beside the window ----

// Opens the critical Mach number against "thickness", "camber" or "alpha",
// or switches the open view to it. 0 for another name.
EMSCRIPTEN_KEEPALIVE int jm_sweep(const char* input) {
    const std::string_view name = input;
    for (std::size_t i = 0; i < jmach::kSweepInputNames.size(); ++i) {
        if (name != jmach::kSweepInputNames[i]) continue;
        form().open_sweep(static_cast<jmach::SweepInput>(i));
        return 1;
    }
    return 0;
}

// Opens the flow field; before any profile it raises its message instead.
EMSCRIPTEN_KEEPALIVE void jm_flow() { form().open_flow(); }

// Closes "sweep" or "flow" (nothing when it is closed). 0 for another name.
EMSCRIPTEN_KEEPALIVE int jm_close(const char* view) {
    const std::string_view name = view;
    if (name == "sweep") form().close_sweep();
    else if (name == "flow") form().close_flow();
    else return 0;
    return 1;
}

// 1 while the view is open.
EMSCRIPTEN_KEEPALIVE int jm_view_open(const char* view) {
    const std::string_view name = view;
    return (name == "sweep" ? form().sweep_open() : name == "flow" && form().flow_open()) ? 1 : 0;
}

// The JSON jmach-script writes under "sweep" and "flow" while the view is
// open; "" while it is closed.
EMSCRIPTEN_KEEPALIVE const char* jm_view_json(const char* view) {
    const std::string_view name = view;
    if (name == "sweep" && form().sweep()) return hand_back(jmach::sweep_json(*form().sweep()));
    if (name == "flow" && form().flow_open()) return hand_back(form().flow_json());
    return hand_back(std::string());
}

// Where the open sweep's captions go: [0] the length, [1] the swept input
// (0 thickness, 1 camber, 2 alpha), [2], [3] its value at the two ends of
// its bar, then the tick values along x. {1} while it is closed.
EMSCRIPTEN_KEEPALIVE const double* jm_sweep_captions() {
    const auto& sweep = form().sweep();
    if (!sweep) return hand_back(std::vector<double>{1});
    const auto [low, high] = jmach::sweep_range(sweep->input);
    std::vector<double> out{0, static_cast<double>(sweep->input), jmach::sweep_value(sweep->input, low),
                            jmach::sweep_value(sweep->input, high)};
    for (const double x : jmach::sweep_ticks(sweep->input)) out.push_back(x);
    out[0] = static_cast<double>(out.size());
    return hand_back(std::move(out));
}

// Where the flow view's captions go, in its user units: [0] the length,
// [1] 1 when the colour bar shows the local Mach number (0: the Cp), [2..5]
// the Scale, [6] the field's left edge, [7] the bar's left edge, [8] the
// right end of its ticks, then a value and its height on the bar for each
// of its ticks.
EMSCRIPTEN_KEEPALIVE const double* jm_flow_captions() {
    const jmach::FlowFrame frame = jmach::flow_frame(jmach::web::WebForm::kFlowAspect);
    const jmach::FlowColourScale scale = jmach::flow_colour_scale(form().drawn_pressure_mach());
    std::vector<double> out{0, scale.by_mach ? 1.0 : 0.0, frame.x1, frame.y1, frame.x2, frame.y2,
                            frame.field_x1, frame.bar_x1, frame.tick_x2};
    for (const double v : scale.ticks) out.insert(out.end(), {v, frame.bar_y(scale, v)});
    out[0] = static_cast<double>(out.size());
    return hand_back(std::move(out));
}

// ---- The numbers behind a chart or view, as the desktop writes them ----

// The chart's or view's table as the CSV file Save data writes; "" for a
// closed view and an unknown name.
EMSCRIPTEN_KEEPALIVE const char* jm_csv(const char* name) {
    const auto table = form().chart_table(name);
    return hand_back(table ? jmach::csv_text(*table) : std::string());
}

// The same as the tab-separated text Copy data puts on the clipboard.
EMSCRIPTEN_KEEPALIVE const char* jm_tsv(const char* name) {
    const auto table = form().chart_table(name);
    return hand_back(table ? jmach::tsv_text(*table) : std::string());
}

}  // extern "C"

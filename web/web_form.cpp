#include "web/web_form.h"

#include <utility>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/surface_minimum.h"
#include "airfoil/table.h"
#include "charts/chart_reading.h"
#include "charts/flow_view.h"
#include "charts/lift_chart.h"
#include "charts/mcrit_chart.h"
#include "charts/moment_chart.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "core/number_text.h"
#include "core/utf8.h"

namespace jmach::web {

namespace {

// The header of pack_chart's layout, then the primitives.
std::vector<double> pack(bool flag, const ScaleRect& corners, const std::vector<Primitive>& items) {
    std::vector<double> out{0, flag ? 1.0 : 0.0, corners.x1, corners.y1, corners.x2, corners.y2,
                            static_cast<double>(items.size())};
    out.reserve(7 + 7 * items.size());
    for (const Primitive& p : items) {
        const double colour = p.colour ? static_cast<double>(*p.colour) : -1.0;
        if (p.kind == Primitive::Kind::line) {
            out.insert(out.end(), {0, p.x1, p.y1, p.x2, p.y2, 0, colour});
        } else if (p.kind == Primitive::Kind::circle) {
            out.insert(out.end(), {1, p.x1, p.y1, 0, 0, p.r, colour});
        } else {
            const int columns = p.raster ? p.raster->columns : 0, rows = p.raster ? p.raster->rows : 0;
            out.insert(out.end(), {2, p.x1, p.y1, p.x2, p.y2, static_cast<double>(columns), static_cast<double>(rows)});
            if (p.raster)
                for (const std::optional<Colour>& cell : p.raster->cells)
                    out.push_back(cell ? static_cast<double>(*cell) : -1.0);
        }
    }
    out[0] = static_cast<double>(out.size());
    return out;
}

}  // namespace

std::vector<double> pack_chart(const RecordingSurface& chart) {
    const auto& sc = chart.scale();
    return pack(sc.has_value(), sc.value_or(ScaleRect{}), chart.primitives());
}

std::vector<double> pack_reference(const RecordingSurface& chart) {
    return pack(chart.has_reference(), ScaleRect{}, chart.reference());
}

std::optional<ChartId> chart_id(std::string_view name) {
    static constexpr std::pair<const char*, ChartId> kCharts[] = {
        {"Mcrit", ChartId::Mcrit},           {"profil", ChartId::profil},
        {"pressure", ChartId::pressure},     {"Picture_CL", ChartId::Picture_CL},
        {"Picture_CM", ChartId::Picture_CM},
    };
    for (const auto& [n, id] : kCharts)
        if (name == n) return id;
    return std::nullopt;
}

std::optional<std::string> WebForm::Form_Load(std::string_view table_text, std::string_view file_name) {
    set_constants(s_);
    return parse_airfoil_table(table_text, file_name, s_, &table_warning_);
}

// ---- What the page drives and reads ----

bool WebForm::scroll(std::string_view bar, int value) {
    struct Bar {
        const char* name;
        int WebForm::*value;
        void (WebForm::*handler)();
    };
    static constexpr Bar kBars[] = {
        {"HScroll_Thickness", &WebForm::HScroll_Thickness, &WebForm::HScroll_Thickness_Change},
        {"HScroll_Camber", &WebForm::HScroll_Camber, &WebForm::HScroll_Camber_Change},
        {"HScroll_nP", &WebForm::HScroll_nP, &WebForm::HScroll_nP_Change},
        {"HScroll_AlfaD", &WebForm::HScroll_AlfaD, &WebForm::HScroll_AlfaD_Change},
        {"HScroll_xM", &WebForm::HScroll_xM, &WebForm::HScroll_xM_Change},
        {"HScroll_Moo", &WebForm::HScroll_Moo, &WebForm::HScroll_Moo_Change},
    };
    for (const Bar& b : kBars) {
        if (bar != b.name) continue;
        this->*b.value = value;
        (this->*b.handler)();
        chain_done();
        return true;
    }
    return false;
}

bool WebForm::click(std::string_view name) {
    if (name == "Mcrit") return true;  // a click on the critical Mach chart is not handled
    if (name == "profil") profil_Click();
    else if (name == "pressure") pressure_Click();
    else if (name == "Picture_CL") Picture_CL_Click();
    else if (name == "Picture_CM") Picture_CM_Click();
    else return false;
    chain_done();
    return true;
}

// The box holds text, never broken UTF-8 (a lone surrogate of the page's
// string arrives so): each ill-formed part shows as U+FFFD, as on the desktop.
void WebForm::type_mach(std::string_view text) { Text_Moo = valid_utf8(text); }

const std::string* WebForm::text(std::string_view box) const {
    static constexpr std::pair<const char*, std::string WebForm::*> kBoxes[] = {
        {"Text_Thickness", &WebForm::Text_Thickness}, {"Text_Camber", &WebForm::Text_Camber},
        {"Text_nP", &WebForm::Text_nP},               {"Text_AlfaD", &WebForm::Text_AlfaD},
        {"Text_xM", &WebForm::Text_xM},               {"Text_Moo", &WebForm::Text_Moo},
        {"Text_CpMin", &WebForm::Text_CpMin},         {"Text_Mcrit", &WebForm::Text_Mcrit},
        {"Text_CL", &WebForm::Text_CL},               {"Text1", &WebForm::Text1},
    };
    for (const auto& [name, member] : kBoxes)
        if (box == name) return &(this->*member);
    return nullptr;
}

const std::string* WebForm::tooltip(std::string_view box) const {
    if (box == "Text_Moo") return &Text_Moo_tip;
    if (box == "Text_CpMin") return &Text_CpMin_tip;
    if (box == "Text_Mcrit") return &Text_Mcrit_tip;
    return nullptr;
}

std::vector<std::string> WebForm::take_messages() { return std::exchange(messages_, {}); }

const Chart* WebForm::chart(std::string_view name) const {
    if (name == "sweep") return &sweep_chart_;
    if (name == "flow") return &flow_chart_;
    const std::optional<ChartId> id = chart_id(name);
    return id ? &chart(*id) : nullptr;
}

const Chart& WebForm::chart(ChartId which) const {
    switch (which) {
    case ChartId::Mcrit: return Mcrit;
    case ChartId::profil: return profil;
    case ChartId::pressure: return pressure;
    case ChartId::Picture_CL: return Picture_CL;
    case ChartId::Picture_CM: return Picture_CM;
    }
    return Mcrit;
}

// ---- Reading the charts ----

std::optional<Probe> WebForm::probe(ChartId which, double x, double y) const {
    return probe_chart(which, chart(which), s_, drawn_mach(which), critical_machs_, x, y);
}

std::string WebForm::probe_text(ChartId which, double x, double y) const {
    const std::optional<Probe> p = probe(which, x, y);
    if (!p) return {};
    std::string text = p->text;
    if (const Chart& c = chart(which); c.has_reference()) text += "\nIn grey: " + c.reference_inputs();
    return text;
}

void WebForm::set_sonic_level(bool on) {
    if (sonic_level_ == on) return;
    sonic_level_ = on;
    // The chart as the last chain left it, with or without the level; before
    // any chain it shows nothing to add to.
    if (pressure.scale()) draw_pressure(drawn_mach(ChartId::pressure));
}

void WebForm::keep_reference(ChartId which) {
    chart(which).keep_reference(reference_inputs(s_, drawn_mach(ChartId::pressure)));
}

void WebForm::clear_reference(ChartId which) { chart(which).clear_reference(); }

std::optional<ChartTable> WebForm::chart_table(std::string_view name) const {
    if (name == "sweep") return sweep_ ? std::optional<ChartTable>(sweep_table(*sweep_)) : std::nullopt;
    if (name == "flow")
        return flow_open_ ? std::optional<ChartTable>(flow_table(s_, drawn_mach(ChartId::pressure))) : std::nullopt;
    const std::optional<ChartId> id = chart_id(name);
    if (!id) return std::nullopt;
    const std::optional<MachInUse>& mach = drawn_mach(*id);
    switch (*id) {
    case ChartId::Mcrit:
        return critical_machs_ ? mcrit_table(s_, critical_machs_->cp_min, critical_machs_->samples)
                               : empty_mcrit_table();
    case ChartId::profil: return profile_table(s_);
    case ChartId::pressure: return pressure_table(s_, mach);
    case ChartId::Picture_CL: return lift_table(s_, mach);
    case ChartId::Picture_CM: return moment_table(s_, mach);
    }
    return std::nullopt;
}

std::string WebForm::supersonic_json() const { return jmach::supersonic_json(s_, drawn_mach(ChartId::pressure)); }

// ---- The views beside the window ----

void WebForm::chain_done() {
    if (sweep_open()) update_sweep();
    if (flow_open()) update_flow();
}

void WebForm::open_sweep(SweepInput input) {
    sweep_input_ = input;
    update_sweep();
}

void WebForm::update_sweep() {
    const SweepInputs at{HScroll_Thickness, HScroll_Camber, HScroll_nP, HScroll_AlfaD};
    sweep_ = sweep_cache_.compute(s_, sweep_input_, at);
    sweep_ciz(*sweep_, sweep_chart_);
}

void WebForm::close_sweep() { sweep_.reset(); }

void WebForm::open_flow() {
    // The flow about a profile: before the first lookup has succeeded there
    // is none to show.
    if (!has_profile(s_)) {
        show_message("There is no profile yet: move a scroll bar or click a chart first, then open the flow field.");
        return;
    }
    flow_open_ = true;
    update_flow();
}

void WebForm::update_flow() { flow_ciz(s_, drawn_mach(ChartId::pressure), flow_chart_, kFlowAspect); }

void WebForm::close_flow() { flow_open_ = false; }

std::string WebForm::flow_json() const {
    const FlowSummary summary = flow_summary(s_, drawn_mach(ChartId::pressure));
    const std::string largest = shortest_text(summary.m_local_max);
    return std::string("{\"sonic\":") + (summary.sonic ? "true" : "false") +
           ",\"m_local_max\":" + (largest.empty() ? std::string("null") : largest) + "}";
}

// ---- The chain procedures ----

void WebForm::profil_hesapla() {
    const ProfileOutcome outcome =
        jmach::profil_hesapla(s_, HScroll_Thickness, HScroll_Camber, HScroll_nP);
    Text_Thickness = number_text(s_.thickness);
    Text_Camber = number_text(s_.camber);
    Text_nP = number_text(s_.n_points);
    if (outcome == ProfileOutcome::not_in_table) show_message(kNotInTableMessage);
}

void WebForm::profil_ciz() {
    renkler(s_);
    jmach::profil_ciz(s_, profil);
}

void WebForm::basınc_hesapla() {
    const double cp_min = jmach::basınc_hesapla(s_, HScroll_AlfaD);
    Text_AlfaD = number_text(s_.alpha_deg);
    Text_CpMin = rounded_text(cp_min, 3);
    exact_minimum_ = exact_surface_minimum(s_);
    last_cp_min_ = cp_min;  // explained with the pressure chart, which follows
    if (cp_min < kMcritThreshold) Mcrit_iter(cp_min);
}

void WebForm::Mcrit_iter(double cp_min) {
    const McritCurves curves = mcrit_curves(s_, cp_min);
    Mcrit_ciz(curves, Mcrit);
    const McritResult r = mcrit_search(s_, cp_min);
    mcrit_marker(Mcrit, r);
    Text_Mcrit = rounded_text(r.mcr, 4);
    critical_machs_ = jmach::critical_machs(s_, cp_min, curves, r);
    Text_Mcrit_tip = mcrit_description(*critical_machs_);
}

void WebForm::basınc_ciz() {
    free_stream_factor();
    draw_pressure(mach_in_use_);
    describe_cp_min();
}

void WebForm::draw_pressure(const std::optional<MachInUse>& mach) {
    jmach::basınc_ciz(s_, pressure, mach ? std::optional<double>(mach->beta) : std::nullopt);
    if (sonic_level_ && mach) jmach::sonic_level(s_, pressure, *mach);
    drawn_mach(ChartId::pressure) = mach;
}

void WebForm::describe_cp_min() {
    Text_CpMin_tip = cp_min_description(geometry_points(s_), last_cp_min_, *exact_minimum_);
    // Where the flow is locally supersonic at the Mach number in use.
    if (const std::string supersonic = describe_supersonic(s_, drawn_mach(ChartId::pressure)); !supersonic.empty())
        Text_CpMin_tip += "\n\n" + supersonic;
}

void WebForm::CL_Alfa_ciz() {
    lift_curve(s_);
    jmach::CL_Alfa_ciz(s_, Picture_CL, free_stream_factor());
    drawn_mach(ChartId::Picture_CL) = mach_in_use_;
    Text_CL = rounded_text(s_.cl_current, 4);
}

void WebForm::CM_Alfa_ciz() {
    const std::optional<double> cm = moment_curve(s_, HScroll_xM);
    jmach::CM_Alfa_ciz(s_, Picture_CM, free_stream_factor());
    drawn_mach(ChartId::Picture_CM) = mach_in_use_;
    Text_xM = number_text(s_.moment_ref_x);
    Text1 = cm ? rounded_text(*cm, 5) : std::string();
}

std::optional<double> WebForm::free_stream_factor() {
    if (mach_read_) return mach_factor_;
    mach_read_ = true;
    // Red text while the number cannot be used; a coloured background with
    // a note while the text holds more than the number read from it.
    MachBoxLook look = mach_box_look(Text_Moo);
    Text_Moo_tip = std::move(look.tip);
    Text_Moo_noted = look.noted;
    mach_factor_ = free_stream(s_, look.mach);
    mach_in_use_ = mach_factor_ ? std::optional<MachInUse>(MachInUse{*look.mach, *mach_factor_}) : std::nullopt;
    return mach_factor_;
}

}  // namespace jmach::web

#include "session/session.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/table.h"
#include "charts/flow_view.h"
#include "charts/lift_chart.h"
#include "charts/mcrit_chart.h"
#include "charts/moment_chart.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "compressible/coefficients.h"
#include "core/utf8.h"

namespace jmach {

namespace {

// The value boxes by their place in kValueBoxNames.
enum Box : std::size_t { Thickness, Camber, nP, AlfaD, xM, Moo, CpMin, Mcrit, CL, CM };

constexpr const char* kNoProfileForFlow =
    "There is no profile yet: move a scroll bar or click a chart first, then open the flow field.";

std::size_t box_index(std::string_view name) {
    for (std::size_t i = 0; i < kValueBoxNames.size(); ++i)
        if (name == kValueBoxNames[i]) return i;
    return kValueBoxNames.size();
}

}  // namespace

Session::Session() {
    for (std::size_t i = 0; i < bars_.size(); ++i) bars_[i] = input_bar(static_cast<Input>(i)).value;
    for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i] = control(kValueBoxNames[i])->caption;
    cp_min_tip_ = kCpMinDescription;
    mcrit_tip_ = kMcritDescription;
}

std::optional<std::string> Session::Form_Load(std::string_view table_text, std::string_view file_name) {
    set_constants(s_);
    auto error = parse_airfoil_table(table_text, file_name, s_, &table_warning_);
    start_ = std::make_shared<const ModelState>(s_);
    return error;
}

std::optional<std::string> Session::Form_Load(const std::filesystem::path& table_file) {
    set_constants(s_);
    auto error = load_airfoil_table(table_file, s_, &table_warning_);
    start_ = std::make_shared<const ModelState>(s_);
    return error;
}

// ---- Earlier states ----

Session Session::restarted() const {
    Session fresh;
    if (start_) fresh.s_ = *start_;
    fresh.start_ = start_;
    fresh.table_warning_ = table_warning_;
    fresh.sweep_cache_ = sweep_cache_;  // the family's curves depend on the inputs alone
    return fresh;
}

bool Session::same_window(const Session& o) const {
    for (std::size_t i = 0; i < charts_.size(); ++i)
        if (!charts_[i].same_drawing(o.charts_[i])) return false;
    for (std::size_t i = 0; i < views_.size(); ++i)
        if (view_open(static_cast<View>(i)) != o.view_open(static_cast<View>(i)) ||
            (view_open(static_cast<View>(i)) && !views_[i].same_drawing(o.views_[i])))
            return false;
    return bars_ == o.bars_ && texts_ == o.texts_ && cp_min_tip_ == o.cp_min_tip_ && mcrit_tip_ == o.mcrit_tip_ &&
           mach_look_.tip == o.mach_look_.tip && mach_look_.noted == o.mach_look_.noted &&
           mach_look_.mach.has_value() == o.mach_look_.mach.has_value() && sonic_level_ == o.sonic_level_ &&
           mcrit_held_ == o.mcrit_held_ && (!sweep_ || sweep_input_ == o.sweep_input_) &&
           chain_mach_ == o.chain_mach_ && bar_mach_ == o.bar_mach_ && kept_ == o.kept_;
}

void Session::become(const Session& other) {
    std::vector<std::string> messages = std::move(messages_);
    const unsigned about = about_requests_;
    *this = other;
    messages_ = std::move(messages);
    about_requests_ = about;
    if (flow_open_ && !views_[static_cast<std::size_t>(View::flow)].scale()) update_flow();
}

void Session::drop_flow_drawing() { views_[static_cast<std::size_t>(View::flow)] = RecordingSurface(); }

std::optional<Session::SearchPoint> Session::held_search() const {
    if (!mcrit_held_) return std::nullopt;
    return SearchPoint{search_at_, search_after_kept_};
}

void Session::log(std::string line) {
    // Typing runs nothing: a run of typing is its last text.
    if (path_ && line.starts_with("type-mach ") && path_->line.starts_with("type-mach "))
        path_ = std::make_shared<const PathStep>(PathStep{std::move(line), path_->before});
    else
        path_ = std::make_shared<const PathStep>(PathStep{std::move(line), path_});
}

std::vector<std::string> Session::path() const {
    std::vector<std::string> lines;
    for (const PathStep* p = path_.get(); p; p = p->before.get()) lines.push_back(p->line);
    std::reverse(lines.begin(), lines.end());
    return lines;
}

// ---- What the user does ----

bool Session::scroll(Input input, int value) {
    int& bar = bars_[static_cast<std::size_t>(input)];
    if (bar == value) return false;
    bar = value;
    log(std::string(kInputWords[static_cast<std::size_t>(input)]) + " " + std::to_string(value));
    switch (input) {
    case Input::thickness: HScroll_Thickness_Change(); break;
    case Input::camber: HScroll_Camber_Change(); break;
    case Input::np: HScroll_nP_Change(); break;
    case Input::alpha: HScroll_AlfaD_Change(); break;
    case Input::xm: HScroll_xM_Change(); break;
    case Input::mach: HScroll_Moo_Change(); break;
    }
    return true;
}

void Session::click(ChartId chart) {
    log(std::string("click ") + kChartNames[static_cast<std::size_t>(chart)]);
    switch (chart) {
    case ChartId::Mcrit: break;  // a click on the critical Mach chart is not handled
    case ChartId::profil: profil_Click(); break;
    case ChartId::pressure: pressure_Click(); break;
    case ChartId::Picture_CL: Picture_CL_Click(); break;
    case ChartId::Picture_CM: Picture_CM_Click(); break;
    }
}

// The box holds text, never broken UTF-8: each ill-formed part shows as U+FFFD.
void Session::type_mach(std::string_view text) {
    box(Moo) = valid_utf8(text);
    log("type-mach " + box(Moo));
}

void Session::Mn_About_Click() { ++about_requests_; }

void Session::whole_chain() {
    begin_chain();
    full_chain();
    chain_done();
}

void Session::HScroll_Thickness_Change() { whole_chain(); }
void Session::HScroll_Camber_Change() { whole_chain(); }

void Session::HScroll_nP_Change() {
    begin_chain();
    profil_hesapla();
    profil_ciz();
    if (has_profile(s_)) {
        basınc_hesapla();
        basınc_ciz();
    }
    chain_done();
}

void Session::HScroll_AlfaD_Change() {
    begin_chain();
    if (ensure_profile()) {
        basınc_hesapla();
        basınc_ciz();
        CL_Alfa_ciz();
        CM_Alfa_ciz();
    }
    chain_done();
}

void Session::HScroll_xM_Change() {
    begin_chain();
    // The moment curve carries the lift to the reference point: after a
    // point-count change alone no lift has been computed yet.
    if (has_profile(s_) && !has_lift_curve(s_)) full_chain();
    if (ensure_profile()) {
        CM_Alfa_ciz();
        profil_ciz();
        moment_ref_marker(s_, drawing(ChartId::profil));
    }
    chain_done();
}

void Session::HScroll_Moo_Change() {
    begin_chain();
    // Value -> decimal text -> number, then / 100: exactly Value / 100.
    const std::string value = std::to_string(bar(Input::mach));
    box(Moo) = number_text(parse_leading_number(value) / 100.0);
    bar_mach_ = texts_[Moo];
    full_chain();
    chain_done();
}

void Session::Picture_CL_Click() { whole_chain(); }
void Session::Picture_CM_Click() { whole_chain(); }
void Session::pressure_Click() { whole_chain(); }
void Session::profil_Click() { whole_chain(); }

void Session::full_chain() {
    profil_hesapla();
    profil_ciz();
    if (!has_profile(s_)) return;
    basınc_hesapla();
    basınc_ciz();
    CL_Alfa_ciz();
    CM_Alfa_ciz();
}

bool Session::ensure_profile() {
    if (!has_profile(s_)) full_chain();
    return has_profile(s_);
}

// ---- The chart menus ----

void Session::set_sonic_level(bool on) {
    if (sonic_level_ == on) return;
    sonic_level_ = on;
    log(on ? "sonic on" : "sonic off");
    // The chart as the last chain left it, with or without the level; before
    // any chain it shows nothing to add to.
    if (drawing(ChartId::pressure).scale()) draw_pressure(drawn_mach(ChartId::pressure));
}

void Session::keep_reference(ChartId which) {
    log(std::string("keep ") + kChartNames[static_cast<std::size_t>(which)]);
    drawing(which).keep_reference(reference_inputs(s_, drawn_mach(ChartId::pressure)));
    std::erase_if(kept_, [&](const KeptReference& k) { return k.chart == which; });
    kept_.push_back({which, input_state()});
}

void Session::clear_reference(ChartId which) {
    if (!chart(which).has_reference()) return;
    log(std::string("unkeep ") + kChartNames[static_cast<std::size_t>(which)]);
    drawing(which).clear_reference();
    std::erase_if(kept_, [&](const KeptReference& k) { return k.chart == which; });
}

void Session::open_sweep(SweepInput input) {
    log(std::string("sweep ") + kSweepInputNames[static_cast<std::size_t>(input)]);
    sweep_input_ = input;
    if (!views_held_) update_sweep();
    else if (!sweep_) sweep_.emplace();
}

void Session::open_flow() {
    // The flow about a profile: before the first lookup has succeeded there
    // is none to show.
    if (!has_profile(s_)) {
        messages_.emplace_back(kNoProfileForFlow);
        return;
    }
    log("flow");
    flow_open_ = true;
    if (!views_held_) update_flow();
}

void Session::close_view(View view) {
    if (!view_open(view)) return;
    log(std::string("close ") + kViewNames[static_cast<std::size_t>(view)]);
    if (view == View::sweep)
        sweep_.reset();
    else
        flow_open_ = false;
}

bool Session::view_open(View view) const { return view == View::sweep ? sweep_.has_value() : flow_open_; }

void Session::hold_views(bool held) {
    views_held_ = held;
    if (!held) chain_done();
}

void Session::chain_done() {
    if (views_held_) return;
    if (sweep_) update_sweep();
    if (flow_open_) update_flow();
}

void Session::update_sweep() {
    const SweepInputs at{bar(Input::thickness), bar(Input::camber), bar(Input::np), bar(Input::alpha)};
    sweep_ = sweep_cache_->compute(s_, sweep_input_, at);
    sweep_ciz(*sweep_, views_[static_cast<std::size_t>(View::sweep)]);
}

double Session::flow_aspect() {
    const ViewInfo& flow = view_info(View::flow);
    return static_cast<double>(flow.width) / flow.height;
}

void Session::update_flow() {
    flow_ciz(s_, drawn_mach(ChartId::pressure), views_[static_cast<std::size_t>(View::flow)], flow_aspect());
}

// ---- The chain procedures ----

void Session::profil_hesapla() {
    const ProfileOutcome outcome =
        jmach::profil_hesapla(s_, bar(Input::thickness), bar(Input::camber), bar(Input::np));
    box(Thickness) = number_text(s_.thickness);
    box(Camber) = number_text(s_.camber);
    box(nP) = number_text(s_.n_points);
    if (outcome == ProfileOutcome::not_in_table) messages_.emplace_back(kNotInTableMessage);
}

void Session::profil_ciz() {
    renkler(s_);
    jmach::profil_ciz(s_, drawing(ChartId::profil));
}

void Session::basınc_hesapla() {
    const double cp_min = jmach::basınc_hesapla(s_, bar(Input::alpha));
    box(AlfaD) = number_text(s_.alpha_deg);
    box(CpMin) = rounded_text(cp_min, 3);
    exact_minimum_ = exact_surface_minimum(s_);
    last_cp_min_ = cp_min;  // explained with the pressure chart, which follows
    stand_in_ = has_stand_in(s_) && cp_min == 1.0 - kSharpNoseSpeed * kSharpNoseSpeed;
    if (cp_min < kMcritThreshold) {
        Mcrit_iter(cp_min);
        mcrit_held_ = false;
    } else if (critical_machs_) {
        // The critical Mach number stays as the last search found it; its
        // tooltip says whose it is.
        mcrit_held_ = true;
        mcrit_tip_ = mcrit_description(*critical_machs_) + "\n\nThis value belongs to an earlier state (" +
                     mcrit_inputs_ + "): the minimum Cp here, " + box(CpMin) + ", is not below " +
                     number_text(kMcritThreshold) + ", so no search ran.";
    }
}

void Session::Mcrit_iter(double cp_min) {
    const McritCurves curves = mcrit_curves(s_, cp_min);
    Mcrit_ciz(curves, drawing(ChartId::Mcrit));
    const McritResult r = mcrit_search(s_, cp_min);
    mcrit_marker(drawing(ChartId::Mcrit), r);
    box(Mcrit) = rounded_text(r.mcr, 4);
    critical_machs_ = jmach::critical_machs(s_, cp_min, curves, r);
    critical_machs_->stand_in = stand_in_;
    mcrit_tip_ = mcrit_description(*critical_machs_);
    if (stand_in_) mcrit_tip_ += std::string("\n\n") + kStandInNote;
    search_at_ = input_state();
    search_after_kept_ = kept_.size();
    mcrit_inputs_ = "thickness " + number_text(s_.thickness) + ", camber " + number_text(s_.camber) + ", nP " +
                    number_text(s_.n_points) + ", α " + number_text(s_.alpha_deg) + "°";
}

void Session::basınc_ciz() {
    free_stream_factor();
    draw_pressure(mach_in_use_);
    describe_cp_min();
}

void Session::draw_pressure(const std::optional<MachInUse>& mach) {
    RecordingSurface& pressure = drawing(ChartId::pressure);
    jmach::basınc_ciz(s_, pressure, mach ? std::optional<double>(mach->beta) : std::nullopt);
    if (sonic_level_ && mach) jmach::sonic_level(s_, pressure, *mach);
    drawn_mach_[static_cast<std::size_t>(ChartId::pressure)] = mach;
}

void Session::describe_cp_min() {
    cp_min_tip_ = cp_min_description(geometry_points(s_), last_cp_min_, *exact_minimum_);
    // Where the flow is locally supersonic at the Mach number in use.
    if (const std::string supersonic = describe_supersonic(s_, drawn_mach(ChartId::pressure)); !supersonic.empty())
        cp_min_tip_ += "\n\n" + supersonic;
    if (stand_in_) cp_min_tip_ += std::string("\n\n") + kStandInNote;
}

void Session::CL_Alfa_ciz() {
    lift_curve(s_);
    jmach::CL_Alfa_ciz(s_, drawing(ChartId::Picture_CL), free_stream_factor());
    drawn_mach_[static_cast<std::size_t>(ChartId::Picture_CL)] = mach_in_use_;
    box(CL) = rounded_text(s_.cl_current, 4);
}

void Session::CM_Alfa_ciz() {
    const std::optional<double> cm = moment_curve(s_, bar(Input::xm));
    jmach::CM_Alfa_ciz(s_, drawing(ChartId::Picture_CM), free_stream_factor());
    drawn_mach_[static_cast<std::size_t>(ChartId::Picture_CM)] = mach_in_use_;
    box(xM) = number_text(s_.moment_ref_x);
    box(CM) = cm ? rounded_text(*cm, 5) : std::string();
}

std::optional<double> Session::free_stream_factor() {
    if (mach_read_) return mach_factor_;
    mach_read_ = true;
    // Red text while the number cannot be used; a coloured background with
    // a note while the text holds more than the number read from it.
    mach_look_ = mach_box_look(texts_[Moo]);
    chain_mach_ = texts_[Moo];
    mach_factor_ = free_stream(s_, mach_look_.mach);
    // The rules take M squared, so a typed negative number of magnitude
    // below 1 is used as its magnitude: every chart, view and readout gets
    // what the positive number gives.
    mach_in_use_ =
        mach_factor_ ? std::optional<MachInUse>(MachInUse{std::fabs(*mach_look_.mach), *mach_factor_}) : std::nullopt;
    return mach_factor_;
}

// ---- What the window shows ----

const std::string* Session::text(std::string_view name) const {
    const std::size_t i = box_index(name);
    return i < texts_.size() ? &texts_[i] : nullptr;
}

const std::string* Session::tooltip(std::string_view name) const {
    if (name == "Text_Moo") return &mach_look_.tip;
    if (name == "Text_CpMin") return &cp_min_tip_;
    if (name == "Text_Mcrit") return &mcrit_tip_;
    return nullptr;
}

const RecordingSurface* Session::surface(std::string_view name) const {
    for (std::size_t i = 0; i < kChartNames.size(); ++i)
        if (name == kChartNames[i]) return &charts_[i];
    for (std::size_t i = 0; i < kViewNames.size(); ++i)
        if (name == kViewNames[i]) return &views_[i];
    return nullptr;
}

InputState Session::input_state() const { return {bars_, chain_mach_, bar_mach_, sonic_level_}; }

// ---- Reading the charts ----

std::optional<Probe> Session::probe(ChartId which, double x, double y) const {
    return probe_chart(which, chart(which), s_, drawn_mach(which), critical_machs_, x, y);
}

std::string Session::probe_text(ChartId which, double x, double y) const {
    const std::optional<Probe> p = probe(which, x, y);
    if (!p) return {};
    std::string text = p->text;
    if (const RecordingSurface& c = chart(which); c.has_reference()) text += "\nIn grey: " + c.reference_inputs();
    return text;
}

std::string Session::supersonic_json() const { return jmach::supersonic_json(s_, drawn_mach(ChartId::pressure)); }

std::string Session::flow_json() const {
    const FlowSummary summary = flow_summary(s_, drawn_mach(ChartId::pressure), surface_peak());
    const std::string largest = shortest_text(summary.m_local_max);
    return std::string("{\"sonic\":") + (summary.sonic ? "true" : "false") +
           ",\"m_local_max\":" + (largest.empty() ? std::string("null") : largest) + "}";
}

std::optional<ChartTable> Session::chart_table(std::string_view name) const {
    if (name == "sweep") return sweep_ ? std::optional<ChartTable>(sweep_table(*sweep_)) : std::nullopt;
    if (name == "flow")
        return flow_open_ ? std::optional<ChartTable>(flow_table(s_, drawn_mach(ChartId::pressure))) : std::nullopt;
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        if (name != kChartNames[i]) continue;
        const auto id = static_cast<ChartId>(i);
        const std::optional<MachInUse>& mach = drawn_mach(id);
        switch (id) {
        case ChartId::Mcrit:
            return critical_machs_ ? mcrit_table(s_, critical_machs_->cp_min, critical_machs_->samples)
                                   : empty_mcrit_table();
        case ChartId::profil: return profile_table(s_);
        case ChartId::pressure: return pressure_table(s_, mach);
        case ChartId::Picture_CL: return lift_table(s_, mach);
        case ChartId::Picture_CM: return moment_table(s_, mach);
        }
    }
    return std::nullopt;
}

}  // namespace jmach

#pragma once
// The main window itself, without a toolkit: the scroll-bar values, the
// value-box texts and their tooltips, the Mach box's text and look, the
// messages the window raises, the five charts and the two views as
// retained drawings, the kept references, the sonic level and the probe.
// The handlers of the scroll bars, the charts, the Mach box and the chart
// menus run the recompute chains here; the desktop window, the page and
// jmach-script forward their events to them and show what the session
// holds.

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "airfoil/surface_minimum.h"
#include "charts/chart_data.h"
#include "charts/chart_reading.h"
#include "charts/recording_surface.h"
#include "charts/sweep.h"
#include "compressible/mcrit.h"
#include "core/model_state.h"
#include "core/number_text.h"
#include "session/controls.h"

namespace jmach {

// A tick number or axis title laid over a view's chart at a point of its
// user coordinates; the alignment tells where the text sits against the
// point, along each axis: at its start, centred on it, or ending there.
struct ViewCaption {
    enum class Align { start, centre, end };
    std::string text;
    double x = 0, y = 0;
    Align horizontal = Align::centre, vertical = Align::centre;
    bool title = false;  // an axis title: the larger, italic font
};

// What a link to the state needs of the path that led to it: the Mach
// text the last chain read, the text the Mach bar last wrote, and the
// sonic level, with the scroll-bar values.
struct InputState {
    std::array<int, 6> bars{};
    std::string chain_mach = "0";
    std::string bar_mach = "0";
    bool sonic = false;
    bool operator==(const InputState&) const = default;
};

class Session {
public:
    Session();

    // Start-up: the constants and the airfoil table, from its text or its
    // file. Returns the reader's message when the table cannot be loaded;
    // the window must then not be shown.
    std::optional<std::string> Form_Load(std::string_view table_text, std::string_view file_name);
    std::optional<std::string> Form_Load(const std::filesystem::path& table_file);
    // After a start-up that loaded the table: the reader's warning that
    // values after the last row were ignored, or empty.
    const std::string& table_warning() const { return table_warning_; }

    // ---- What the user does ----

    // A scroll bar moved to `value`, within its range: its Change handler
    // runs. Moving it to the value it has raises no change (false).
    bool scroll(Input input, int value);
    // A click on a chart: everything is recomputed; the critical Mach
    // chart handles no click.
    void click(ChartId chart);
    // Typing into the Mach box replaces its text and runs nothing: the next
    // chain that needs the Mach number reads it.
    void type_mach(std::string_view text);
    void Mn_About_Click();

    // The handlers, by the names of their controls and events.
    void HScroll_Thickness_Change();
    void HScroll_Camber_Change();
    void HScroll_nP_Change();
    void HScroll_AlfaD_Change();
    void HScroll_xM_Change();
    void HScroll_Moo_Change();
    void Picture_CL_Click();
    void Picture_CM_Click();
    void pressure_Click();
    void profil_Click();

    // The chart menus. The sonic level over the pressure chart, drawn again
    // as the last chain drew it; a chart's curves kept as its grey
    // reference, named by the inputs the charts are drawn with now, and the
    // reference cleared; the views beside the window: the critical Mach
    // number across the family of one input (opened, or switched to
    // another) and the flow field (before any profile it says there is
    // none and stays closed). Open views are drawn afresh at the end of
    // every chain; closing a closed view does nothing.
    void set_sonic_level(bool on);
    void keep_reference(ChartId chart);
    void clear_reference(ChartId chart);
    void open_sweep(SweepInput input);
    void open_flow();
    void close_view(View view);

    // ---- What the window shows ----

    int bar(Input input) const { return bars_[static_cast<std::size_t>(input)]; }
    // A value box's text by its name; nullptr for a name the window lacks.
    const std::string* text(std::string_view box) const;
    // Its tooltip (plain text, paragraphs at blank lines): the Mach box's
    // note or error while it has one, the minimum pressure's and the
    // critical Mach number's explanation of the last result, else its
    // meaning; nullptr for another name.
    const std::string* tooltip(std::string_view box) const;
    // How the Mach box shows its text as the last chain read it: its
    // number (empty: red text, the error tooltip) and whether it notes
    // that only the leading number was read.
    const MachBoxLook& mach_look() const { return mach_look_; }
    bool mach_unusable() const { return !mach_look_.tip.empty() && !mach_look_.noted; }
    // The messages raised since they were last taken; each is shown and
    // answered with OK.
    std::vector<std::string> take_messages() { return std::exchange(messages_, {}); }
    bool has_messages() const { return !messages_.empty(); }
    // How often About was chosen: the front end shows its window when this moves.
    unsigned about_requests() const { return about_requests_; }

    const RecordingSurface& chart(ChartId chart) const { return charts_[static_cast<std::size_t>(chart)]; }
    const RecordingSurface& view_chart(View view) const { return views_[static_cast<std::size_t>(view)]; }
    // A chart or view by its name; nullptr for another name.
    const RecordingSurface* surface(std::string_view name) const;
    // The Mach number each chart was last drawn with, when it added the
    // corrected curve; the flow view is drawn at the pressure chart's.
    const std::optional<MachInUse>& drawn_mach(ChartId chart) const {
        return drawn_mach_[static_cast<std::size_t>(chart)];
    }

    bool sonic_level() const { return sonic_level_; }
    bool view_open(View view) const;
    SweepInput sweep_input() const { return sweep_input_; }
    const std::optional<Sweep>& sweep() const { return sweep_; }
    // The tick numbers and axis titles of an open view's chart.
    std::vector<ViewCaption> view_captions(View view) const;
    // The legend above a view's chart: what its curves are, and for the
    // sweep where the sharp nose's stand-in decides its sampled curves.
    std::string view_legend(View view) const;
    // The flow view is drawn for a drawing area of this width/height.
    static double flow_aspect();

    // What a chart or view shows now in words, for screen readers.
    std::string chart_text(ChartId chart) const;
    std::string view_text(View view) const;
    // "In grey, a reference kept with thickness 0.12, ...": empty while
    // the chart keeps none.
    std::string reference_note(ChartId chart) const;

    // ---- Reading the charts; none of these runs a chain ----

    const ModelState& state() const { return s_; }
    // The exact minimum of the continuous surface pressure for the last
    // pressure computed, and what the last critical Mach search found;
    // empty before the first.
    const std::optional<SurfaceMinimum>& exact_minimum() const { return exact_minimum_; }
    const std::optional<CriticalMachs>& critical_machs() const { return critical_machs_; }
    // Whether the critical Mach numbers shown belong to an earlier state:
    // the last pressure's minimum was not low enough for a search.
    bool mcrit_held() const { return mcrit_held_; }
    // What a chart shows at a point of its user coordinates (empty outside
    // its scale rectangle and where it shows nothing), and the tooltip of
    // it, with the inputs of the reference in grey when one is kept.
    std::optional<Probe> probe(ChartId chart, double x, double y) const;
    std::string probe_text(ChartId chart, double x, double y) const;
    // The supersonic stretches of the pressure chart as drawn, as JSON.
    std::string supersonic_json() const;
    // The flow's sonic flag and largest local Mach number, as JSON.
    std::string flow_json() const;
    // The numbers behind a chart or view, by name, as Copy data and Save
    // data give them: the five charts with the Mach number each was drawn
    // with (the critical Mach chart's columns alone before any search),
    // the sweep and the flow field while their view is open; empty for a
    // closed view and an unknown name.
    std::optional<ChartTable> chart_table(std::string_view name) const;

    // ---- The path to the state, for a link ----

    InputState input_state() const;
    // The charts whose references are kept, in the order they were kept,
    // each with the inputs it was kept at.
    struct KeptReference {
        ChartId chart;
        InputState at;
        bool operator==(const KeptReference&) const = default;
    };
    const std::vector<KeptReference>& kept_references() const { return kept_; }
    // The inputs of the last critical Mach search while its numbers are
    // held, and how many references were kept before it; empty otherwise.
    struct SearchPoint {
        InputState at;
        std::size_t after_kept = 0;
    };
    std::optional<SearchPoint> held_search() const;
    // Whether any chain has drawn the charts.
    bool drawn() const { return chart(ChartId::profil).scale().has_value(); }
    // Every action that reached this state from the start, as script
    // lines, a typed Mach text once for a run of typing.
    std::vector<std::string> path() const;

    // While held, the open views are not drawn after each chain; released,
    // they are drawn once for the state reached. A state being opened
    // passes through many chains whose views nobody sees.
    void hold_views(bool held);

    // ---- Earlier states ----

    // The window as it was at start-up, with the table it loaded.
    Session restarted() const;
    // Whether two windows show the same: the bars, the boxes and their
    // tooltips, the charts, references and views, the sonic level, and the
    // inputs a link reads.
    bool same_window(const Session& other) const;
    // Shows what `other` shows, as if reached the same way; the messages
    // not yet taken and the About requests stay this window's.
    void become(const Session& other);
    // For an earlier state kept aside: lets go of the flow view's drawing,
    // by far the largest and drawn from the numbers alone; become() draws
    // it again when the view is open.
    void drop_flow_drawing();

private:
    void log(std::string line);
    // The chain procedures, each reading its controls, calling the
    // numerics, writing its boxes and drawing its chart.
    void profil_hesapla();
    void profil_ciz();
    void basınc_hesapla();
    void Mcrit_iter(double cp_min);
    void basınc_ciz();
    void CL_Alfa_ciz();
    void CM_Alfa_ciz();

    // The whole chain, steps 1 to 6; it stops after the profile while no
    // lookup has succeeded (there is no circle to flow about).
    void full_chain();
    void whole_chain();  // a handler that runs the full chain
    // For the chains that start after the profile step: the full chain
    // first while no profile exists. False when there is still none.
    bool ensure_profile();
    // Every handler starts here: the Mach box is read afresh by the first
    // chart of the chain that needs it; and ends there: the open views
    // brought up to date.
    void begin_chain() { mach_read_ = false; }
    void chain_done();
    // The Prandtl-Glauert factor of the Mach box for this chain's charts
    // (empty for 0 or an unusable text), read once per chain.
    std::optional<double> free_stream_factor();
    // The pressure chart as a chain draws it at `mach`, with the sonic
    // level when it is switched on.
    void draw_pressure(const std::optional<MachInUse>& mach);
    void describe_cp_min();
    void update_sweep();
    void update_flow();
    bool sweep_stand_in() const;
    // The exact minimum Cp of the continuous surface, where it is finite.
    std::optional<double> surface_peak() const {
        return exact_minimum_ ? std::optional<double>(exact_minimum_->cp) : std::nullopt;
    }

    RecordingSurface& drawing(ChartId chart) { return charts_[static_cast<std::size_t>(chart)]; }
    std::string& box(std::size_t index) { return texts_[index]; }

    ModelState s_;
    std::string table_warning_;
    std::array<int, 6> bars_{};
    std::array<std::string, kValueBoxNames.size()> texts_;
    std::string cp_min_tip_, mcrit_tip_;
    MachBoxLook mach_look_;
    std::vector<std::string> messages_;
    unsigned about_requests_ = 0;

    bool mach_read_ = false;
    std::optional<double> mach_factor_;
    std::optional<MachInUse> mach_in_use_;  // the Mach number behind mach_factor_
    std::optional<SurfaceMinimum> exact_minimum_;
    std::optional<CriticalMachs> critical_machs_;
    double last_cp_min_ = 0;  // the sampled minimum of the last pressure computed
    bool stand_in_ = false;   // ... and it is the sharp nose's stand-in
    bool mcrit_held_ = false;
    std::string mcrit_inputs_;  // the inputs of the last search
    std::array<std::optional<MachInUse>, 5> drawn_mach_;
    std::array<RecordingSurface, 5> charts_;
    bool sonic_level_ = false;

    std::array<RecordingSurface, 2> views_;
    std::shared_ptr<SweepCache> sweep_cache_ = std::make_shared<SweepCache>();
    SweepInput sweep_input_ = SweepInput::thickness;
    std::optional<Sweep> sweep_;  // while its view is open
    bool flow_open_ = false;
    bool views_held_ = false;

    std::string chain_mach_ = "0", bar_mach_ = "0";
    std::vector<KeptReference> kept_;
    InputState search_at_;
    std::size_t search_after_kept_ = 0;

    // The state after start-up, shared by every copy.
    std::shared_ptr<const ModelState> start_;
    // The path as a list from the last action back, shared by copies.
    struct PathStep {
        std::string line;
        std::shared_ptr<const PathStep> before;
    };
    std::shared_ptr<const PathStep> path_;
};

}  // namespace jmach

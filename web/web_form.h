#pragma once
// The main window of the browser edition, without a toolkit: the scroll-bar
// values and value-box texts the page shows, the five charts as retained
// drawings, and the same handlers and chain procedures as the desktop
// window, calling the same numerics and views. The page moves the scroll
// bars, types into the Mach box and clicks the charts through the names of
// the controls; it then shows the texts, messages and drawings kept here.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "airfoil/surface_minimum.h"
#include "charts/chart_data.h"
#include "charts/chart_reading.h"
#include "charts/recompute_chains.h"
#include "charts/recording_surface.h"
#include "charts/sweep.h"
#include "compressible/mcrit.h"
#include "core/model_state.h"
#include "core/number_text.h"

namespace jmach::web {

// A chart: what was drawn since its last Cls, and a count of changes, so
// that the page repaints only the charts a chain touched.
class Chart : public RecordingSurface {
public:
    unsigned version() const { return version_; }

protected:
    void changed() override { ++version_; }

private:
    unsigned version_ = 0;
};

// The drawing of a chart as one array of numbers for the page: [0] the
// length of the array, [1] 1 when a Scale was set, [2..5] its corners,
// [6] the primitive count, then 7 numbers each: kind (0 line, 1 circle,
// 2 image), x1, y1, x2, y2 (circle: centre x, y and 0, 0), radius, colour
// (-1 for the foreground colour); an image has its column and row counts
// in place of the radius and colour, then one number a cell, row by row
// from the (x1, y1) corner: its colour, or -1 where it has none.
std::vector<double> pack_chart(const RecordingSurface& chart);
// A chart's kept reference in the same layout: [1] 1 while one is kept,
// [2..5] 0 (it is painted in the chart's own scale), then its primitives.
std::vector<double> pack_reference(const RecordingSurface& chart);

// The chart of a control name, or empty.
std::optional<ChartId> chart_id(std::string_view name);

class WebForm : public RecomputeChains<WebForm> {
public:
    // Start-up: the constants and the airfoil table from its text. Returns
    // the reader's message when the table cannot be loaded.
    std::optional<std::string> Form_Load(std::string_view table_text, std::string_view file_name);
    // After a start-up that loaded the table: the reader's warning that
    // values after the last row were ignored, or empty.
    const std::string& table_warning() const { return table_warning_; }

    // What the page does, by control name. False for a name the window does
    // not have.
    bool scroll(std::string_view bar, int value);  // the bar moved: its handler runs
    bool click(std::string_view chart);             // Mcrit: nothing runs
    void type_mach(std::string_view text);          // runs nothing

    // What the page shows: a value box's text and tooltip (plain text,
    // paragraphs at blank lines), whether the Mach box shows its note
    // look, the messages raised since they were last taken (answered with
    // OK), a chart.
    const std::string* text(std::string_view box) const;
    const std::string* tooltip(std::string_view box) const;
    bool mach_noted() const { return Text_Moo_noted; }
    std::vector<std::string> take_messages();
    const Chart* chart(std::string_view name) const;
    const ModelState& state() const { return s_; }

    // The exact minimum of the continuous surface pressure for the last
    // pressure computed, and what the last critical Mach search found;
    // empty before the first.
    const std::optional<SurfaceMinimum>& exact_minimum() const { return exact_minimum_; }
    const std::optional<CriticalMachs>& critical_machs() const { return critical_machs_; }

    // Reading the charts, as the desktop's chart menus and probe tooltip
    // do; none of them runs a chain. What a chart shows at a point in its
    // user coordinates (empty outside its scale rectangle and where it
    // shows nothing), and the tooltip text of it, with the inputs of the
    // reference in grey when one is kept; the sonic level over the
    // pressure chart (switching it redraws the chart as the last chain
    // drew it); a chart's reference, named by the inputs the charts are
    // drawn with now; the supersonic stretches of the pressure chart as
    // drawn, as JSON.
    std::optional<Probe> probe(ChartId which, double x, double y) const;
    std::string probe_text(ChartId which, double x, double y) const;
    void set_sonic_level(bool on);
    bool sonic_level() const { return sonic_level_; }
    void keep_reference(ChartId which);
    void clear_reference(ChartId which);
    std::string supersonic_json() const;
    const Chart& chart(ChartId which) const;

    // The views beside the window, each shown in its own panel: the
    // critical Mach number across a family (opened on an input, or
    // switched to another) and the flow field (before any profile it
    // says there is none and stays closed). While open they are drawn
    // afresh at the end of every chain; closing a closed view does nothing.
    void open_sweep(SweepInput input);
    void open_flow();
    void close_sweep();
    void close_flow();
    bool sweep_open() const { return sweep_.has_value(); }
    bool flow_open() const { return flow_open_; }
    const std::optional<Sweep>& sweep() const { return sweep_; }
    // The flow's sonic flag and largest local Mach number as the JSON
    // object of the script tool.
    std::string flow_json() const;
    // The numbers behind a chart or view, by name, as the desktop's Copy data
    // and Save data give them: the five charts with the Mach number each was
    // drawn with (the critical Mach chart's columns alone before any search),
    // the sweep and the flow field while their view is open; empty for a
    // closed view and an unknown name.
    std::optional<ChartTable> chart_table(std::string_view name) const;
    // The Mach number in use of the pressure chart as last drawn, which the
    // flow view is drawn at; empty without one.
    const std::optional<MachInUse>& drawn_pressure_mach() const { return drawn_mach(ChartId::pressure); }
    // The flow view is drawn for a drawing area of this width/height.
    static constexpr double kFlowAspect = 2.0;

private:
    void show_message(const char* text) { messages_.emplace_back(text); }
    // After every chain: the open views brought up to date.
    void chain_done();
    void update_sweep();
    void update_flow();

    // The chain procedures, each reading its controls, calling the
    // numerics, writing its boxes and drawing its chart.
    void profil_hesapla();
    void profil_ciz();
    void basınc_hesapla();
    void Mcrit_iter(double cp_min);
    void basınc_ciz();
    void CL_Alfa_ciz();
    void CM_Alfa_ciz();

    friend class RecomputeChains<WebForm>;
    PlotSurface& profil_surface() { return profil; }
    void mach_from_scroll_bar() { Text_Moo = number_text(static_cast<double>(HScroll_Moo) / 100.0); }  // exactly Value / 100
    void begin_chain() { mach_read_ = false; }
    std::optional<double> free_stream_factor();
    // The pressure chart as the chain draws it at `mach`, with the sonic
    // level when it is switched on; and the minimum-pressure tooltip for it.
    void draw_pressure(const std::optional<MachInUse>& mach);
    void describe_cp_min();
    Chart& chart(ChartId which) { return const_cast<Chart&>(std::as_const(*this).chart(which)); }
    std::optional<MachInUse>& drawn_mach(ChartId which) { return drawn_mach_[static_cast<std::size_t>(which)]; }
    const std::optional<MachInUse>& drawn_mach(ChartId which) const {
        return drawn_mach_[static_cast<std::size_t>(which)];
    }

    ModelState s_;
    std::string table_warning_;
    std::vector<std::string> messages_;
    bool mach_read_ = false;
    std::optional<double> mach_factor_;
    std::optional<MachInUse> mach_in_use_;  // the Mach number behind mach_factor_
    std::optional<SurfaceMinimum> exact_minimum_;
    std::optional<CriticalMachs> critical_machs_;
    double last_cp_min_ = 0;  // the sampled minimum of the last pressure computed
    // The Mach number each chart was last drawn with, when it added the
    // corrected curve (by ChartId).
    std::array<std::optional<MachInUse>, 5> drawn_mach_;
    bool sonic_level_ = false;

    // Controls, named as the user knows them, at their start values.
    int HScroll_Thickness = 0;
    int HScroll_Camber = 0;
    int HScroll_nP = 51;
    int HScroll_AlfaD = 0;
    int HScroll_xM = 0;
    int HScroll_Moo = 0;
    std::string Text_Thickness = "0";
    std::string Text_Camber = "0";
    std::string Text_nP = "51";
    std::string Text_AlfaD = "0";
    std::string Text_xM = "0";
    std::string Text_Moo = "0";
    std::string Text_CpMin = "0";
    std::string Text_Mcrit = "0";
    std::string Text_CL = "0";
    std::string Text1 = "0";
    std::string Text_Moo_tip;
    bool Text_Moo_noted = false;
    std::string Text_CpMin_tip = kCpMinDescription;
    std::string Text_Mcrit_tip = kMcritDescription;
    Chart Mcrit, profil, pressure, Picture_CL, Picture_CM;

    SweepCache sweep_cache_;
    SweepInput sweep_input_ = SweepInput::thickness;
    std::optional<Sweep> sweep_;  // while its view is open
    bool flow_open_ = false;
    Chart sweep_chart_, flow_chart_;
};

}  // namespace jmach::web

#pragma once
// The main window: the inputs, value boxes and five charts of the program,
// and the handlers that turn each user event into its recompute chain.

#include <QMainWindow>
#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "airfoil/profile.h"
#include "airfoil/surface_minimum.h"
#include "charts/chart_data.h"
#include "charts/chart_reading.h"
#include "charts/sweep.h"
#include "charts/recompute_chains.h"
#include "compressible/mcrit.h"
#include "core/model_state.h"
#include "core/number_text.h"

class QAction;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPrinter;
class QScrollBar;

namespace jmach {

class FormAbout;
class PictureBox;
class ViewWindow;

// The value boxes in window order, by control name.
inline constexpr std::array<const char*, 10> kValueBoxNames = {
    "Text_Thickness", "Text_Camber", "Text_nP",    "Text_AlfaD", "Text_xM",
    "Text_Moo",       "Text_CpMin",  "Text_Mcrit", "Text_CL",    "Text1"};

// The scroll bars, as the companion tool names them.
enum class Input { thickness, camber, np, alpha, xm, mach };
// The charts in window order; kChartNames holds their control names.
enum class Chart { Mcrit, profil, pressure, Picture_CL, Picture_CM };
inline constexpr std::array<const char*, 5> kChartNames = {"Mcrit", "profil", "pressure", "Picture_CL",
                                                           "Picture_CM"};

// The views beside the window, each a window of its own with one chart.
enum class View { sweep, flow };
inline constexpr std::array<const char*, 2> kViewNames = {"sweep", "flow"};

// The commands of each chart's context menu, in menu order, by object name.
inline constexpr std::array<const char*, 5> kChartCommands = {"copy_image", "copy_data", "save_image",
                                                               "save_data", "print"};

class Form1 : public QMainWindow, public RecomputeChains<Form1> {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: the constants and the airfoil table from the working
    // directory. Returns the reader's message when the table cannot be
    // loaded; the window must then not be shown.
    std::optional<std::string> Form_Load();
    std::optional<std::string> Form_Load(const std::filesystem::path& table_file);
    // After a start-up that loaded the table: the reader's warning that
    // values after the last row were ignored, or empty.
    const std::string& table_warning() const { return table_warning_; }

    // Every message box of the window goes through here. Without a hook it
    // is a modal box with one OK button, no icon and the application's
    // title; with one, the hook receives the text instead (the script tool
    // and the tests answer it that way).
    using MessageHook = std::function<void(const QString& text)>;
    void set_message_hook(MessageHook hook) { message_hook_ = std::move(hook); }

    const ModelState& state() const { return s_; }

    // The exact minimum of the continuous surface pressure for the last
    // pressure computed, and what the last critical Mach search found;
    // empty before the first.
    const std::optional<SurfaceMinimum>& exact_minimum() const { return exact_minimum_; }
    const std::optional<CriticalMachs>& critical_machs() const { return critical_machs_; }

    // The numbers behind a chart as it is drawn.
    ChartTable chart_table(Chart which) const;
    // A chart as a file, by the file's suffix: .csv its numbers, .png,
    // .svg or .pdf its image with captions. Returns the message to show
    // when nothing was written.
    std::optional<QString> export_chart(Chart which, const QString& file);

    // Each chart's right-click menu, and its commands.
    QMenu* chart_menu(Chart which) const;
    void copy_chart_image(Chart which);
    void copy_chart_data(Chart which);
    void save_chart_image(Chart which);
    void save_chart_data(Chart which);
    void print_chart(Chart which);

    // The save dialogs and the print dialog go through here. Without a
    // hook they are Qt's dialogs; with one, the file hook returns the
    // chosen file (empty: cancelled) and the print hook sets the printer
    // up and returns whether to print.
    using FileDialogHook = std::function<QString(const QString& caption, const QString& start, const QString& filters)>;
    using PrintHook = std::function<bool(QPrinter& printer)>;
    void set_file_dialog_hook(FileDialogHook hook) { file_hook_ = std::move(hook); }
    void set_print_hook(PrintHook hook) { print_hook_ = std::move(hook); }

    // The About window once it has been created, else null.
    QWidget* about_window() const;

    // What a user can do and see, for the companion tool: move a scroll bar
    // to a value within its range (its handler runs unless the value is
    // the one it has), type into the Mach box (runs nothing), open About,
    // and read a value box or a chart.
    struct Range {
        int minimum, maximum;
    };
    Range input_range(Input input) const;
    void set_input(Input input, int value);
    void type_mach(const QString& text);
    void open_about();
    QString value_text(std::string_view box_name) const;
    QString value_tip(std::string_view box_name) const;  // the box's tooltip, empty when none
    PictureBox& chart(Chart which) const;

    // Reading the charts. What a chart shows at a point in its user
    // coordinates (empty outside its scale rectangle and where it shows
    // nothing); the sonic level over the pressure chart, as the pressure
    // menu's check item; a chart's reference curves, as its menu keeps and
    // clears them; and the supersonic stretches of the pressure chart as
    // drawn, as JSON. None of them runs a chain.
    std::optional<Probe> probe(Chart which, double x, double y) const;
    void set_sonic_level(bool on);
    bool sonic_level() const { return sonic_level_; }
    void keep_reference(Chart which);
    void clear_reference(Chart which);
    std::string supersonic_json() const;

    // The views beside the window: the critical Mach number across the
    // family of one input ("Critical Mach number against…" in the Mcrit
    // menu), and the flow field ("Flow field…" in the profile menu). Open,
    // they are brought up to date at the end of every chain; closed, they
    // cost nothing. Opening the flow field before there is a profile only
    // says so.
    void open_sweep(SweepInput input);
    void open_flow();
    void close_view(View view);
    bool view_open(View view) const;
    QWidget* view_window(View view) const;  // null before it was first opened
    const std::optional<Sweep>& sweep() const { return sweep_; }
    // What the flow field shows, as JSON: {"sonic":…,"m_local_max":…}.
    std::string flow_json() const;
    // A view's chart to a file by its suffix (as export_chart); a message
    // when it is closed or nothing was written.
    std::optional<QString> export_view(View view, const QString& file);

    // A window that nobody watches (the script tool's, between images)
    // holds back what only a viewer needs: its value boxes are written and
    // the explanations of its results made when they are read, rendered or
    // watched again. Writing a line edit lays its text out for the screen,
    // the larger part of a change outside the numerics. Watched at start.
    void set_watched(bool watched);
    // Writes what the window has held back; a watched window holds nothing.
    void bring_up_to_date() const;

    // The handlers: those of the scroll bars and charts come with the
    // recompute chains.
    void Mn_About_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The window's controls and captions at their places (form1_layout.cpp).
    void build_layout();
    void connect_handlers();
    void show_message(const QString& text, bool error = false);
    // Tooltips and accessible names and descriptions (form1_help.cpp).
    // The minimum pressure is explained by the points it was sampled at,
    // its value and the Mach number of the pressure chart.
    struct HeldCpMin {
        int points;
        double sampled;
        std::optional<MachInUse> mach;  // the pressure chart's
    };
    void describe_controls();
    void describe_cp_min();
    void describe_mcrit();
    void describe_cp_min_now(const HeldCpMin& held) const;
    void describe_mcrit_now() const;
    void explain_held() const;
    void show_value(QLineEdit* box, const std::string& text);
    // A chart's tooltip and description, with the inputs of its reference.
    void describe_reference(Chart which);
    // The pressure chart drawn again as the last chain drew it, with the
    // sonic level when it is switched on.
    void draw_pressure(const std::optional<MachInUse>& mach);
    // The right-click menus (chart_menu.cpp).
    void build_chart_menus();
    // The views (form1_views.cpp): made on first opening; brought up to
    // date at the end of every chain while open.
    void chain_done();
    void make_sweep_window();
    void update_sweep();
    void update_flow();
    QString ask_save_file(const QString& caption, const QString& name, const QString& filters);
    QScrollBar* scroll_bar(Input input) const;

    // The chain procedures, each reading its controls, calling the
    // numerics, writing its boxes and drawing its chart.
    void profil_hesapla();
    void profil_ciz();
    void basınc_hesapla();
    void Mcrit_iter(double cp_min);
    void basınc_ciz();
    void CL_Alfa_ciz();
    void CM_Alfa_ciz();

    friend class RecomputeChains<Form1>;
    PlotSurface& profil_surface();
    void mach_from_scroll_bar();
    // Every handler starts here: the Mach box is read afresh by the first
    // chart of the chain that needs it.
    void begin_chain() { mach_read_ = false; }
    // The Prandtl-Glauert factor of the Mach box for this chain's charts
    // (empty for 0 or an unusable text). The box is read once per chain,
    // marked while its text cannot be used or holds more than the number
    // read from it, and mach_beta set from it.
    std::optional<double> free_stream_factor();

    ModelState s_;
    std::string table_warning_;
    MessageHook message_hook_;
    std::unique_ptr<FormAbout> about_;
    bool mach_read_ = false;
    std::optional<double> mach_factor_;
    std::optional<MachInUse> mach_in_use_;  // the Mach number behind mach_factor_

    std::optional<SurfaceMinimum> exact_minimum_;
    std::optional<CriticalMachs> critical_machs_;
    // The Mach number each chart was last drawn with, when it added the
    // corrected curve (by Chart).
    std::array<std::optional<MachInUse>, 5> drawn_mach_;
    std::array<QMenu*, 5> chart_menus_{};
    std::array<QAction*, 5> clear_reference_actions_{};
    std::array<QString, 5> chart_descriptions_;
    QAction* sonic_action_ = nullptr;
    std::unique_ptr<ViewWindow> sweep_window_, flow_window_;
    class QComboBox* sweep_selector_ = nullptr;
    SweepCache sweep_cache_;
    std::optional<Sweep> sweep_;  // while the sweep is open
    bool sonic_level_ = false;
    double last_cp_min_ = 0;  // the sampled minimum of the last pressure computed
    FileDialogHook file_hook_;
    PrintHook print_hook_;
    QString last_folder_;  // where the last file was saved, while the program runs

    // What a window nobody watches has not written yet (kValueBoxNames
    // order), and the explanations still to make: of the minimum pressure
    // (sampled at how many points) and of the critical Mach number.
    bool watched_ = true;
    mutable std::array<std::optional<QString>, kValueBoxNames.size()> held_values_;
    mutable std::optional<HeldCpMin> held_cp_min_;
    mutable bool held_mcrit_ = false;
    std::array<QLineEdit*, kValueBoxNames.size()> value_boxes() const;

    // Controls, named as the user knows them.
    QAction* Mn_About = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLineEdit* Text_Thickness = nullptr;
    QLineEdit* Text_Camber = nullptr;
    QLineEdit* Text_nP = nullptr;
    QLineEdit* Text_AlfaD = nullptr;
    QLineEdit* Text_xM = nullptr;
    QLineEdit* Text_Moo = nullptr;
    QLineEdit* Text_CpMin = nullptr;
    QLineEdit* Text_Mcrit = nullptr;
    QLineEdit* Text_CL = nullptr;
    QLineEdit* Text1 = nullptr;
    QScrollBar* HScroll_Thickness = nullptr;
    QScrollBar* HScroll_Camber = nullptr;
    QScrollBar* HScroll_nP = nullptr;
    QScrollBar* HScroll_AlfaD = nullptr;
    QScrollBar* HScroll_xM = nullptr;
    QScrollBar* HScroll_Moo = nullptr;
    PictureBox* Mcrit = nullptr;
    PictureBox* profil = nullptr;
    PictureBox* pressure = nullptr;
    PictureBox* Picture_CL = nullptr;
    PictureBox* Picture_CM = nullptr;
};

}  // namespace jmach

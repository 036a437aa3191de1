#pragma once
// Every control of the main window in one table: its name, kind, caption,
// range, help text and place in the layout. The desktop window builds its
// widgets from it, the page builds its elements from it, and the script
// language takes its ranges from it.
//
// Places are in twips (1/1440 inch; 15 twips make one pixel at 96 dpi),
// measured from the client area of the control's container.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/palette.h"

namespace jmach {

// The window's caption and the size of its client area, in twips.
inline constexpr const char* kWindowTitle = "Critical Mach number for Tarvelle";
inline constexpr int kClientWidth = 11880;
inline constexpr int kClientHeight = 7350;
inline constexpr int kTwipsPerPixel = 15;

enum class ControlKind { frame, label, value_box, scroll_bar, picture, chart_label };

// How a caption is written: the window's dialog font, a Greek letter in
// it, the charts' tick numbers and axis titles (Arial, italic), or the
// regular Greek α of an axis.
enum class FontKind { dialog, greek, tick, title, alpha };

struct Control {
    ControlKind kind;
    const char* name;
    const char* parent;   // the frame or chart it lies in; "" for the client area
    const char* caption;  // a label's or frame's caption; a value box's start text
    int left, top, width, height;
    FontKind font = FontKind::dialog;
    // Scroll bars: the range, the arrow and page steps, the start value.
    int minimum = 0, maximum = 0, small_change = 0, large_change = 0, value = 0;
    bool typed = false;        // a value box the user types into (the Mach box)
    Colour foreground = 0;     // a chart's foreground colour
    bool clickable = false;    // a chart whose click recomputes everything
    const char* label = "";    // the caption that names a value box or scroll bar
    // For assistive technology and tooltips: the quantity, and its meaning,
    // unit and range. A chart's description tells what it shows; how it is
    // used differs between the front ends, which add that themselves.
    const char* help_name = "";
    const char* help = "";
    // Row and column in the page's layout for narrow screens (0: none).
    int row = 0, column = 0;
};

// Every control, frames before what they hold, in tab order within each kind.
std::span<const Control> controls();
// One control by its name, or nullptr.
const Control* control(std::string_view name);

// The scroll bars, as the handlers and the script language know them.
enum class Input { thickness, camber, np, alpha, xm, mach };
inline constexpr std::array<const char*, 6> kInputBars = {"HScroll_Thickness", "HScroll_Camber", "HScroll_nP",
                                                          "HScroll_AlfaD",     "HScroll_xM",     "HScroll_Moo"};
inline constexpr std::array<const char*, 6> kInputWords = {"thickness", "camber", "np", "alpha", "xm", "mach"};
const Control& input_bar(Input input);

// The value boxes in window order.
inline constexpr std::array<const char*, 10> kValueBoxNames = {
    "Text_Thickness", "Text_Camber", "Text_nP",    "Text_AlfaD", "Text_xM",
    "Text_Moo",       "Text_CpMin",  "Text_Mcrit", "Text_CL",    "Text1"};

// The charts in window order, and what each shows (for the titles of its
// images and menus).
inline constexpr std::array<const char*, 5> kChartNames = {"Mcrit", "profil", "pressure", "Picture_CL",
                                                           "Picture_CM"};
inline constexpr std::array<const char*, 5> kChartTitles = {"Critical Mach number", "Profile", "Surface pressure",
                                                            "Lift curve", "Moment curve"};

// The views beside the window, each with one chart: its title, its size in
// pixels on the desktop and the legend above it.
enum class View { sweep, flow };
inline constexpr std::array<const char*, 2> kViewNames = {"sweep", "flow"};
struct ViewInfo {
    const char* name;
    const char* title;
    int width, height;
    const char* legend;
};
const ViewInfo& view_info(View view);

// What the sweep can run over: the words of the script language, the
// choices of the view's selector and the title of its horizontal axis.
inline constexpr std::array<const char*, 3> kSweepChoices = {"Thickness t/c", "Camber f/c", "Angle of attack α"};
inline constexpr std::array<const char*, 3> kSweepAxisTitles = {"t/c", "f/c", "α [°]"};
inline constexpr const char* kSweepSelectorHelp =
    "The input the critical Mach number is drawn against, over every whole value of its scroll bar, the other "
    "inputs as they are set.";

// The whole table as one JSON object for the page: "window" (title and
// client size), "controls" (every field above, colours as "#rrggbb"),
// "views", "sweep" (inputs, choices, axis titles, selector help) and
// "charts" (names and titles).
std::string controls_json();

}  // namespace jmach

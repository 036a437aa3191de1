#include "session/controls.h"

#include <string_view>

#include "airfoil/surface_minimum.h"
#include "compressible/mcrit.h"
#include "charts/sweep.h"

namespace jmach {

namespace {

constexpr Control frame(const char* name, const char* caption, int left, int top, int width, int height) {
    return {ControlKind::frame, name, "", caption, left, top, width, height};
}

constexpr Control label(const char* parent, const char* name, const char* caption, int left, int top, int width,
                        int height, FontKind font, int row) {
    Control c{ControlKind::label, name, parent, caption, left, top, width, height, font};
    c.row = row;
    c.column = 1;
    return c;
}

constexpr Control box(const char* parent, const char* name, const char* text, int left, int top, int width,
                      const char* caption_label, const char* help_name, const char* help, int row,
                      bool typed = false) {
    Control c{ControlKind::value_box, name, parent, text, left, top, width, 285};
    c.typed = typed;
    c.label = caption_label;
    c.help_name = help_name;
    c.help = help;
    c.row = row;
    c.column = 2;
    return c;
}

struct Range {
    int minimum, maximum, small_change, large_change, value;
};

constexpr Control bar(const char* parent, const char* name, int left, int top, int width, Range r,
                      const char* caption_label, const char* help_name, const char* help, int row) {
    Control c{ControlKind::scroll_bar, name, parent, "", left, top, width, 255};
    c.minimum = r.minimum;
    c.maximum = r.maximum;
    c.small_change = r.small_change;
    c.large_change = r.large_change;
    c.value = r.value;
    c.label = caption_label;
    c.help_name = help_name;
    c.help = help;
    c.row = row;
    c.column = 3;
    return c;
}

constexpr Control picture(const char* name, int left, int top, int width, int height, Colour foreground,
                          bool clickable, const char* help_name, const char* help) {
    Control c{ControlKind::picture, name, "", "", left, top, width, height};
    c.foreground = foreground;
    c.clickable = clickable;
    c.help_name = help_name;
    c.help = help;
    return c;
}

constexpr Control caption(const char* chart, const char* name, const char* text, int left, int top, FontKind font,
                          int width = 375, int height = 255) {
    return {ControlKind::chart_label, name, chart, text, left, top, width, height, font};
}

constexpr Control kControls[] = {
    // The five geometry and flow inputs.
    frame("Frame1", "", 120, 240, 3375, 2055),
    label("Frame1", "Label2", "δ", 240, 240, 375, 255, FontKind::greek, 1),
    box("Frame1", "Text_Thickness", "0", 720, 240, 495, "Label2", "Relative thickness δ, value",
        "Relative thickness δ = t/c set by its scroll bar, 0 to 0.30.", 1),
    bar("Frame1", "HScroll_Thickness", 1200, 240, 1335, {0, 30, 1, 1, 0}, "Label2", "Relative thickness δ",
        "Relative thickness δ = t/c: largest distance between the surfaces as a fraction of the chord, 0 to 0.30 "
        "in steps of 0.01.",
        1),
    label("Frame1", "Label3", "γ", 240, 600, 255, 255, FontKind::greek, 2),
    box("Frame1", "Text_Camber", "0", 720, 600, 495, "Label3", "Relative camber γ, value",
        "Relative camber γ = f/c set by its scroll bar, 0 to 0.15.", 2),
    bar("Frame1", "HScroll_Camber", 1200, 600, 1335, {0, 15, 1, 1, 0}, "Label3", "Relative camber γ",
        "Relative camber γ = f/c: largest height of the mean line as a fraction of the chord, 0 to 0.15 in steps "
        "of 0.01.",
        2),
    label("Frame1", "Label5", "nP", 240, 960, 255, 255, FontKind::dialog, 3),
    box("Frame1", "Text_nP", "51", 720, 960, 495, "Label5", "Number of surface points nP, value",
        "Number of profile points nP set by its scroll bar, 11 to 101.", 3),
    bar("Frame1", "HScroll_nP", 1200, 960, 1335, {11, 101, 2, 10, 51}, "Label5", "Number of surface points nP",
        "Number of points nP on the profile at which the pressure is computed, 11 to 101; the arrows step by 2, "
        "the page areas by 10.",
        3),
    label("Frame1", "Label4", "α", 240, 1320, 255, 375, FontKind::greek, 4),
    box("Frame1", "Text_AlfaD", "0", 720, 1320, 495, "Label4", "Angle of attack α, value",
        "Angle of attack α in degrees set by its scroll bar, -10 to 10.", 4),
    bar("Frame1", "HScroll_AlfaD", 1200, 1320, 1335, {-10, 10, 1, 1, 0}, "Label4", "Angle of attack α",
        "Angle of attack α in degrees, -10 to 10 in steps of 1.", 4),
    label("Frame1", "Label7", "xM/c", 120, 1680, 495, 255, FontKind::dialog, 5),
    box("Frame1", "Text_xM", "0", 720, 1680, 495, "Label7", "Moment reference point xM/c, value",
        "Moment reference point xM/c set by its scroll bar, 0 to 1 (fraction of the chord from the leading edge).",
        5),
    bar("Frame1", "HScroll_xM", 1200, 1680, 1335, {0, 100, 1, 5, 0}, "Label7", "Moment reference point xM/c",
        "Moment reference point xM/c: where on the chord the pitching moment is taken, as a fraction of the chord "
        "from the leading edge, 0 to 1 in steps of 0.01.",
        5),

    // The Mach number and the compressibility results.
    frame("Frame3", "Sıkıştırılabilme etkisi", 120, 2400, 3375, 975),
    label("Frame3", "Label36", "Moo", 240, 240, 495, 255, FontKind::dialog, 1),
    box("Frame3", "Text_Moo", "0", 720, 240, 615, "Label36", "Free-stream Mach number M∞, value",
        "Free-stream Mach number M∞ (no unit) set by its scroll bar, 0 to 0.90; a number typed here, from 0 up to "
        "below 1, is used by the next recompute.",
        1, true),
    bar("Frame3", "HScroll_Moo", 240, 600, 1095, {0, 90, 1, 1, 0}, "Label36", "Free-stream Mach number M∞",
        "Free-stream Mach number M∞ (no unit), 0 to 0.90 in steps of 0.01; above 0 the pressure, lift and moment "
        "charts add the Prandtl-Glauert-corrected curves in magenta.",
        1),
    label("Frame3", "Label38", "CpMin", 1800, 240, 735, 255, FontKind::dialog, 2),
    box("Frame3", "Text_CpMin", "0", 2520, 240, 615, "Label38", "Minimum pressure coefficient CpMin", kCpMinDescription,
        2),
    label("Frame3", "Label37", "Mcr-PG", 1800, 600, 615, 255, FontKind::dialog, 3),
    box("Frame3", "Text_Mcrit", "0", 2520, 600, 615, "Label37", "Critical Mach number by Prandtl-Glauert",
        kMcritDescription, 3),

    // The lift and moment coefficients.
    frame("Frame2", "", 120, 3480, 3375, 615),
    label("Frame2", "Label1", "CL =", 240, 240, 495, 255, FontKind::dialog, 1),
    box("Frame2", "Text_CL", "0", 720, 240, 735, "Label1", "Lift coefficient CL",
        "Incompressible lift coefficient CL (no unit) at the current angle of attack, rounded to 4 decimals.", 1),
    label("Frame2", "Label6", "CM =", 1800, 240, 495, 255, FontKind::dialog, 2),
    box("Frame2", "Text1", "0", 2280, 240, 735, "Label6", "Pitching-moment coefficient CM",
        "Incompressible pitching-moment coefficient CM (no unit) about xM/c at the current angle of attack, rounded "
        "to 5 decimals.",
        2),

    // The charts, in window order.
    picture("Mcrit", 120, 4200, 3400, 2925, kBlack, false, "Critical Mach number chart",
            "Critical Mach number chart: 1 - Cp of the minimum pressure against the Mach number 0 to 1 under "
            "Prandtl-Glauert (blue), Kármán-Tsien (green) and Laitone (magenta), with the critical pressure "
            "coefficient Cp* (red); the blue vertical line marks the critical Mach number."),
    picture("profil", 3600, 240, 4800, 2400, kLiteralBlue, true, "Profile chart",
            "Profile: y/c against x/c, 0 to 1 along the chord; lower surface red, upper surface blue; a red ring "
            "marks the moment reference point."),
    picture("pressure", 3600, 2760, 4800, 4335, kLiteralGreen, true, "Surface pressure chart",
            "Surface pressure: 1 - Cp against x/c, 0 to 1 along the chord; lower surface red, upper surface blue, "
            "and in magenta Cp corrected by Prandtl-Glauert when a Mach number above 0 is in use."),
    picture("Picture_CL", 8520, 240, 3200, 3915, kBlack, true, "Lift curve chart",
            "Lift curve: lift coefficient CL against the angle of attack α, -12 to 12 degrees; a red ring marks the "
            "current angle, magenta the curve corrected by Prandtl-Glauert, CL/β."),
    picture("Picture_CM", 8520, 4320, 3255, 2775, kBlack, true, "Moment curve chart",
            "Moment curve: pitching-moment coefficient CM about xM/c against the angle of attack α, -12 to 12 "
            "degrees; a red ring marks the current angle, magenta the curve corrected by Prandtl-Glauert, CM/β."),

    // The tick numbers and axis titles laid over the charts.
    caption("profil", "Label10", "  0.2", 0, 480, FontKind::tick),
    caption("profil", "Label9", "  y/c", 0, 1080, FontKind::title),
    caption("profil", "Label11", " -0.2", 0, 2040, FontKind::tick),
    caption("profil", "Label8", "x/c", 2160, 2116, FontKind::title),
    caption("profil", "Label12", "1.0", 4200, 2160, FontKind::tick),
    caption("pressure", "Label26", "5.0", 120, 240, FontKind::tick, 255),
    caption("pressure", "Label19", "1-Cp", 0, 840, FontKind::title, 495, 375),
    caption("pressure", "Label25", "3.0", 120, 1680, FontKind::tick, 255),
    caption("pressure", "Label24", "2.0", 120, 2400, FontKind::tick, 255),
    caption("pressure", "Label20", "1.0", 120, 3120, FontKind::tick, 255),
    caption("pressure", "Label21", "0.0", 120, 3840, FontKind::tick, 255),
    caption("pressure", "Label23", "x/c", 2280, 3960, FontKind::title),
    caption("pressure", "Label22", "1.0", 4200, 3960, FontKind::tick),
    caption("Picture_CL", "Label30", "  3.0", 0, 600, FontKind::tick),
    caption("Picture_CL", "Label27", " CL", 0, 1200, FontKind::title),
    caption("Picture_CL", "Label29", "  1.0", 0, 1833, FontKind::tick),
    caption("Picture_CL", "Label28", "  0.0", 0, 2473, FontKind::tick),
    caption("Picture_CL", "Label31", " -1.0", 0, 3120, FontKind::tick),
    caption("Picture_CL", "Label14", " -8", 720, 3635, FontKind::tick),
    caption("Picture_CL", "Label13", "α", 1560, 3600, FontKind::alpha, 255),
    caption("Picture_CL", "Label15", "8", 2322, 3636, FontKind::tick, 135),
    caption("Picture_CM", "Label32", " CM", 0, 360, FontKind::title),
    caption("Picture_CM", "Label35", "  1.0", 0, 800, FontKind::tick),
    caption("Picture_CM", "Label33", "  0.0", 0, 1420, FontKind::tick),
    caption("Picture_CM", "Label34", " -1.0", 0, 2020, FontKind::tick),
    caption("Picture_CM", "Label17", " -8", 720, 2520, FontKind::tick),
    caption("Picture_CM", "Label18", "α", 1560, 2480, FontKind::alpha, 255),
    caption("Picture_CM", "Label16", "8", 2370, 2520, FontKind::tick, 135),
};

constexpr ViewInfo kViews[] = {
    {"sweep", "Critical Mach number", 640, 360,
     "Critical Mach number by Prandtl-Glauert (blue), Kármán-Tsien (green) and Laitone (magenta) from the sampled "
     "minimum Cp, and by Prandtl-Glauert from the exact minimum of the continuous surface (grey); the red ring "
     "marks the current value."},
    {"flow", "Flow field", 800, 400,
     "Streamlines of the exact potential flow about the profile, evenly spaced far upstream, over the local Mach "
     "number at M∞ (Prandtl-Glauert Cp and the isentropic relation; at M∞ = 0 the incompressible Cp); the orange "
     "line is the sonic line, where the flow turns supersonic."},
};

constexpr const char* kKindNames[] = {"frame", "label", "value_box", "scroll_bar", "picture", "chart_label"};
constexpr const char* kFontNames[] = {"dialog", "greek", "tick", "title", "alpha"};

// A JSON string of a text of this table (plain UTF-8, no control characters).
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

template <std::size_t N>
std::string list(const std::array<const char*, N>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < N; ++i) out += (i ? "," : "") + quoted(texts[i]);
    return out + "]";
}

}  // namespace

std::span<const Control> controls() { return kControls; }

const Control* control(std::string_view name) {
    for (const Control& c : kControls)
        if (name == c.name) return &c;
    return nullptr;
}

const Control& input_bar(Input input) { return *control(kInputBars[static_cast<std::size_t>(input)]); }

const ViewInfo& view_info(View view) { return kViews[static_cast<std::size_t>(view)]; }

std::string controls_json() {
    std::string out = "{\"window\":{\"title\":" + quoted(kWindowTitle) + ",\"width\":" + std::to_string(kClientWidth) +
                      ",\"height\":" + std::to_string(kClientHeight) + ",\"twips_per_pixel\":" +
                      std::to_string(kTwipsPerPixel) + "},\"controls\":[";
    bool first = true;
    for (const Control& c : kControls) {
        out += first ? "{" : ",{";
        first = false;
        out += "\"kind\":" + quoted(kKindNames[static_cast<int>(c.kind)]) + ",\"name\":" + quoted(c.name) +
               ",\"parent\":" + quoted(c.parent) + ",\"caption\":" + quoted(c.caption) +
               ",\"left\":" + std::to_string(c.left) + ",\"top\":" + std::to_string(c.top) +
               ",\"width\":" + std::to_string(c.width) + ",\"height\":" + std::to_string(c.height) +
               ",\"font\":" + quoted(kFontNames[static_cast<int>(c.font)]);
        if (c.kind == ControlKind::scroll_bar)
            out += ",\"min\":" + std::to_string(c.minimum) + ",\"max\":" + std::to_string(c.maximum) +
                   ",\"small\":" + std::to_string(c.small_change) + ",\"large\":" + std::to_string(c.large_change) +
                   ",\"value\":" + std::to_string(c.value);
        if (c.kind == ControlKind::value_box) out += std::string(",\"typed\":") + (c.typed ? "true" : "false");
        if (c.kind == ControlKind::picture)
            out += ",\"foreground\":" + quoted(hex_colour(c.foreground)) +
                   ",\"clickable\":" + (c.clickable ? "true" : "false");
        if (*c.label) out += ",\"label\":" + quoted(c.label);
        if (*c.help_name) out += ",\"help_name\":" + quoted(c.help_name) + ",\"help\":" + quoted(c.help);
        if (c.row) out += ",\"row\":" + std::to_string(c.row) + ",\"column\":" + std::to_string(c.column);
        out += "}";
    }
    out += "],\"views\":[";
    for (std::size_t i = 0; i < std::size(kViews); ++i) {
        const ViewInfo& v = kViews[i];
        out += (i ? ",{" : "{") + std::string("\"name\":") + quoted(v.name) + ",\"title\":" + quoted(v.title) +
               ",\"width\":" + std::to_string(v.width) + ",\"height\":" + std::to_string(v.height) +
               ",\"legend\":" + quoted(v.legend) + "}";
    }
    out += "],\"sweep\":{\"inputs\":" + list(kSweepInputNames) +
           ",\"choices\":" + list(kSweepChoices) + ",\"axis_titles\":" + list(kSweepAxisTitles) +
           ",\"help\":" + quoted(kSweepSelectorHelp) + "},\"charts\":{\"names\":" + list(kChartNames) +
           ",\"titles\":" + list(kChartTitles) + "}}";
    return out;
}

}  // namespace jmach

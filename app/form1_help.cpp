// What every control of the main window means, for tooltips and for
// screen readers: the quantity, its unit and its range. The boxes of the
// minimum pressure and the critical Mach number also tell what the
// sampling at nP points hides.

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>

#include "airfoil/surface_minimum.h"
#include "app/form1.h"
#include "charts/picture_box.h"
#include "compressible/mcrit.h"

namespace jmach {

namespace {

struct Help {
    const char* name;         // accessible name: the quantity
    const char* description;  // meaning, unit and range
};

constexpr Help kCpMinHelp = {"Minimum pressure coefficient CpMin", kCpMinDescription};
constexpr Help kMcritHelp = {"Critical Mach number by Prandtl-Glauert", kMcritDescription};

QString text(const char* s) { return QString::fromUtf8(s); }

// A tooltip as rich text, so that Qt wraps its lines: paragraphs at blank
// lines, line breaks kept.
QString tip(const QString& plain) {
    // Paragraphs at blank lines, line breaks within them, the text escaped:
    // in one pass that copies the plain runs whole, since the boxes whose
    // tooltips tell the last result get a new one on every change.
    QString html;
    html.reserve(plain.size() + 64);
    html += QLatin1String("<p>");
    const QChar* run = plain.constData();
    const QChar* const end = run + plain.size();
    for (const QChar* c = run; c != end; ++c) {
        const char16_t u = c->unicode();
        if (u != u'\n' && u != u'<' && u != u'>' && u != u'&' && u != u'"') continue;
        html.append(run, c - run);
        if (u == u'\n' && c + 1 != end && c[1] == u'\n') {
            html += QLatin1String("</p><p>");
            ++c;
        } else {
            html += u == u'\n' ? QLatin1String("<br>")
                    : u == u'<' ? QLatin1String("&lt;")
                    : u == u'>' ? QLatin1String("&gt;")
                    : u == u'&' ? QLatin1String("&amp;")
                                : QLatin1String("&quot;");
        }
        run = c + 1;
    }
    html.append(run, end - run);
    html += QLatin1String("</p>");
    return html;
}

void describe(QWidget* widget, const Help& help, bool tooltip = true) {
    widget->setAccessibleName(text(help.name));
    widget->setAccessibleDescription(text(help.description));
    if (tooltip) widget->setToolTip(tip(text(help.description)));
}

// A tooltip and accessible description made of the box's meaning and what
// the last computation adds to it.
void describe_with(QWidget* widget, const std::string& description) {
    const QString full = QString::fromStdString(description);
    widget->setToolTip(tip(full));
    widget->setAccessibleDescription(full);
}

}  // namespace

void Form1::describe_controls() {
    describe(HScroll_Thickness, {"Relative thickness δ", "Relative thickness δ = t/c: largest distance between "
                                 "the surfaces as a fraction of the chord, 0 to 0.30 in steps of 0.01."});
    describe(HScroll_Camber, {"Relative camber γ", "Relative camber γ = f/c: largest height of the mean line as a "
                              "fraction of the chord, 0 to 0.15 in steps of 0.01."});
    describe(HScroll_nP, {"Number of surface points nP", "Number of points nP on the profile at which the "
                          "pressure is computed, 11 to 101; the arrows step by 2, the page areas by 10."});
    describe(HScroll_AlfaD, {"Angle of attack α", "Angle of attack α in degrees, -10 to 10 in steps of 1."});
    describe(HScroll_xM, {"Moment reference point xM/c", "Moment reference point xM/c: where on the chord the "
                          "pitching moment is taken, as a fraction of the chord from the leading edge, 0 to 1 "
                          "in steps of 0.01."});
    describe(HScroll_Moo, {"Free-stream Mach number M∞", "Free-stream Mach number M∞ (no unit), 0 to 0.90 in "
                           "steps of 0.01; above 0 the pressure, lift and moment charts add the "
                           "Prandtl-Glauert-corrected curves in magenta."});

    describe(Text_Thickness, {"Relative thickness δ, value", "Relative thickness δ = t/c set by its scroll bar, "
                              "0 to 0.30."});
    describe(Text_Camber, {"Relative camber γ, value", "Relative camber γ = f/c set by its scroll bar, 0 to 0.15."});
    describe(Text_nP, {"Number of surface points nP, value", "Number of profile points nP set by its scroll bar, "
                       "11 to 101."});
    describe(Text_AlfaD, {"Angle of attack α, value", "Angle of attack α in degrees set by its scroll bar, "
                          "-10 to 10."});
    describe(Text_xM, {"Moment reference point xM/c, value", "Moment reference point xM/c set by its scroll bar, "
                       "0 to 1 (fraction of the chord from the leading edge)."});
    // The Mach box's tooltip tells its state (an unusable typed value), so
    // its meaning goes to screen readers only.
    describe(Text_Moo, {"Free-stream Mach number M∞, value", "Free-stream Mach number M∞ (no unit) set by its "
                        "scroll bar, 0 to 0.90; a number typed here, from 0 up to below 1, is used by the next "
                        "recompute."}, false);
    describe(Text_CpMin, kCpMinHelp);
    describe(Text_Mcrit, kMcritHelp);
    describe(Text_CL, {"Lift coefficient CL", "Incompressible lift coefficient CL (no unit) at the current angle "
                       "of attack, rounded to 4 decimals."});
    describe(Text1, {"Pitching-moment coefficient CM", "Incompressible pitching-moment coefficient CM (no unit) "
                     "about xM/c at the current angle of attack, rounded to 5 decimals."});

    constexpr const char* kChartUse = " Click to recompute; right-click to copy, save or print the chart.";
    describe(Mcrit, {"Critical Mach number chart", "Critical Mach number chart: 1 - Cp of the minimum pressure "
                     "against the Mach number 0 to 1 under Prandtl-Glauert (blue), Kármán-Tsien (green) and "
                     "Laitone (magenta), with the critical pressure coefficient Cp* (red); the blue vertical line "
                     "marks the critical Mach number. Right-click to copy, save or print the chart."});
    describe(profil, {"Profile chart", (std::string("Profile: y/c against x/c, 0 to 1 along the chord; lower "
                      "surface red, upper surface blue; a red ring marks the moment reference point.") + kChartUse).c_str()});
    describe(pressure, {"Surface pressure chart", (std::string("Surface pressure: 1 - Cp against x/c, 0 to 1 along "
                        "the chord; lower surface red, upper surface blue, and in magenta Cp corrected by "
                        "Prandtl-Glauert when a Mach number above 0 is in use.") + kChartUse).c_str()});
    describe(Picture_CL, {"Lift curve chart", (std::string("Lift curve: lift coefficient CL against the angle of "
                          "attack α, -12 to 12 degrees; a red ring marks the current angle, magenta the curve "
                          "corrected by Prandtl-Glauert, CL/β.") + kChartUse).c_str()});
    describe(Picture_CM, {"Moment curve chart", (std::string("Moment curve: pitching-moment coefficient CM about "
                          "xM/c against the angle of attack α, -12 to 12 degrees; a red ring marks the current "
                          "angle, magenta the curve corrected by Prandtl-Glauert, CM/β.") + kChartUse).c_str()});

    for (std::size_t i = 0; i < chart_descriptions_.size(); ++i)
        chart_descriptions_[i] = chart(static_cast<Chart>(i)).accessibleDescription();

    menuBar()->setAccessibleName(QStringLiteral("Menu bar"));
    menuBar()->setAccessibleDescription(QStringLiteral("The About item shows who made the program."));
    Mn_About->setToolTip(QStringLiteral("Show the About window"));
    Mn_About->setStatusTip(Mn_About->toolTip());
}

void Form1::describe_cp_min() {
    const HeldCpMin now{geometry_points(s_), last_cp_min_, drawn_mach_[static_cast<int>(Chart::pressure)]};
    if (watched_)
        describe_cp_min_now(now);
    else
        held_cp_min_ = now;
}

void Form1::describe_cp_min_now(const HeldCpMin& held) const {
    std::string text = cp_min_description(held.points, held.sampled, *exact_minimum_);
    // Where the flow is locally supersonic at the Mach number in use.
    if (const std::string supersonic = describe_supersonic(s_, held.mach); !supersonic.empty())
        text += "\n\n" + supersonic;
    describe_with(Text_CpMin, text);
}

void Form1::describe_reference(Chart which) {
    PictureBox& box = chart(which);
    QString text = chart_descriptions_[static_cast<int>(which)];
    if (box.has_reference())
        text += QStringLiteral("\n\nIn grey, a reference kept with ") + QString::fromStdString(box.reference_inputs()) +
                QLatin1Char('.');
    box.setToolTip(tip(text));
    box.setAccessibleDescription(text);
}

void Form1::describe_mcrit() {
    if (watched_)
        describe_mcrit_now();
    else
        held_mcrit_ = true;
}

void Form1::describe_mcrit_now() const { describe_with(Text_Mcrit, mcrit_description(*critical_machs_)); }

}  // namespace jmach

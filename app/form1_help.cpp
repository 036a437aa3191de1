// What every control of the main window means, for tooltips and for
// screen readers: the quantity, its unit and its range. The boxes of the
// minimum pressure and the critical Mach number also tell what the
// sampling at nP points hides.

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>

#include "app/form1.h"
#include "charts/control_help.h"
#include "charts/picture_box.h"

namespace jmach {

namespace {

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

// The control's name and description from the help table, by its object
// name, with what using it on this window means after the description.
void describe(QWidget* widget, bool tooltip = true, const char* use = "") {
    const ControlHelp* help = control_help(widget->objectName().toStdString());
    Q_ASSERT(help);
    if (!help) return;
    const QString description = text(help->description) + QLatin1String(use);
    widget->setAccessibleName(text(help->name));
    widget->setAccessibleDescription(description);
    if (tooltip) widget->setToolTip(tip(description));
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
    for (QWidget* bar : {HScroll_Thickness, HScroll_Camber, HScroll_nP, HScroll_AlfaD, HScroll_xM, HScroll_Moo})
        describe(bar);
    for (QWidget* box : {Text_Thickness, Text_Camber, Text_nP, Text_AlfaD, Text_xM}) describe(box);
    // The Mach box's tooltip tells its state (an unusable typed value), so
    // its meaning goes to screen readers only.
    describe(Text_Moo, false);
    for (QWidget* box : {Text_CpMin, Text_Mcrit, Text_CL, Text1}) describe(box);

    // The charts: what each shows, then how it is used here.
    describe(Mcrit, true, " Right-click to copy, save or print the chart.");
    for (QWidget* chart : {profil, pressure, Picture_CL, Picture_CM})
        describe(chart, true, " Click to recompute; right-click to copy, save or print the chart.");

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

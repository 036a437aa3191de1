#include "app/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/table.h"
#include "app/form_about.h"
#include "app/view_window.h"
#include "charts/lift_chart.h"
#include "charts/mcrit_chart.h"
#include "charts/moment_chart.h"
#include "charts/picture_box.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "core/number_text.h"

namespace jmach {

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Critical Mach number for Tarvelle"));
    build_layout();
    describe_controls();
    build_chart_menus();
    connect_handlers();
}

Form1::~Form1() = default;

void Form1::connect_handlers() {
    // Every chain ends with the views beside the window.
    connect(HScroll_Thickness, &QScrollBar::valueChanged, this, [this] { HScroll_Thickness_Change(), chain_done(); });
    connect(HScroll_Camber, &QScrollBar::valueChanged, this, [this] { HScroll_Camber_Change(), chain_done(); });
    connect(HScroll_nP, &QScrollBar::valueChanged, this, [this] { HScroll_nP_Change(), chain_done(); });
    connect(HScroll_AlfaD, &QScrollBar::valueChanged, this, [this] { HScroll_AlfaD_Change(), chain_done(); });
    connect(HScroll_xM, &QScrollBar::valueChanged, this, [this] { HScroll_xM_Change(), chain_done(); });
    connect(HScroll_Moo, &QScrollBar::valueChanged, this, [this] { HScroll_Moo_Change(), chain_done(); });
    connect(Picture_CL, &PictureBox::clicked, this, [this] { Picture_CL_Click(), chain_done(); });
    connect(Picture_CM, &PictureBox::clicked, this, [this] { Picture_CM_Click(), chain_done(); });
    connect(pressure, &PictureBox::clicked, this, [this] { pressure_Click(), chain_done(); });
    connect(profil, &PictureBox::clicked, this, [this] { profil_Click(), chain_done(); });
    // A click on the critical Mach chart is not handled.
    connect(Mn_About, &QAction::triggered, this, [this] { Mn_About_Click(); });
}

std::optional<std::string> Form1::Form_Load() { return Form_Load(kTableFileName); }

std::optional<std::string> Form1::Form_Load(const std::filesystem::path& table_file) {
    set_constants(s_);
    return load_airfoil_table(table_file, s_, &table_warning_);
}

void Form1::show_message(const QString& text, bool error) {
    if (message_hook_) {
        message_hook_(text);
        return;
    }
    // The modal box takes the mouse: a scroll bar whose arrow or page area
    // is still held would never see the button's release and would go on
    // stepping, one more message a step. Let go of it first.
    for (QScrollBar* bar : {HScroll_Thickness, HScroll_Camber, HScroll_nP, HScroll_AlfaD, HScroll_xM, HScroll_Moo}) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), bar->mapToGlobal(QPointF(-1, -1)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
    }
    QMessageBox box(error ? QMessageBox::Warning : QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    text, QMessageBox::Ok, this);
    box.exec();
}

QWidget* Form1::about_window() const { return about_.get(); }

void Form1::closeEvent(QCloseEvent* event) {
    if (about_) about_->close();
    for (View view : {View::sweep, View::flow}) close_view(view);
    QMainWindow::closeEvent(event);
}

// ---- The chain procedures ----

namespace {
// A value too long for its box shows its leading digits, not its tail.
void write_value(QLineEdit* box, const QString& value) {
    // An unchanged value is left as it is: no repaint of the box, its frame
    // and the scroll bar beside it.
    if (box->text() == value && box->cursorPosition() == 0) return;
    box->setText(value);
    box->setCursorPosition(0);
}
}  // namespace

void Form1::show_value(QLineEdit* box, const std::string& text) {
    QString value = QString::fromStdString(text);
    if (watched_) {
        write_value(box, value);
        return;
    }
    const auto boxes = value_boxes();
    held_values_[static_cast<std::size_t>(std::find(boxes.begin(), boxes.end(), box) - boxes.begin())] =
        std::move(value);
}

void Form1::profil_hesapla() {
    const ProfileOutcome outcome = jmach::profil_hesapla(s_, HScroll_Thickness->value(),
                                                         HScroll_Camber->value(), HScroll_nP->value());
    show_value(Text_Thickness, number_text(s_.thickness));
    show_value(Text_Camber, number_text(s_.camber));
    show_value(Text_nP, number_text(s_.n_points));
    if (outcome == ProfileOutcome::not_in_table) show_message(QString::fromUtf8(kNotInTableMessage));
}

void Form1::profil_ciz() {
    renkler(s_);
    jmach::profil_ciz(s_, *profil);
}

void Form1::basınc_hesapla() {
    const double cp_min = jmach::basınc_hesapla(s_, HScroll_AlfaD->value());
    show_value(Text_AlfaD, number_text(s_.alpha_deg));
    show_value(Text_CpMin, rounded_text(cp_min, 3));
    exact_minimum_ = exact_surface_minimum(s_);
    last_cp_min_ = cp_min;  // explained with the pressure chart, which follows
    if (cp_min < kMcritThreshold) Mcrit_iter(cp_min);
}

void Form1::Mcrit_iter(double cp_min) {
    const McritCurves curves = mcrit_curves(s_, cp_min);
    Mcrit_ciz(curves, *Mcrit);
    const McritResult r = mcrit_search(s_, cp_min);
    mcrit_marker(*Mcrit, r);
    show_value(Text_Mcrit, rounded_text(r.mcr, 4));
    critical_machs_ = jmach::critical_machs(s_, cp_min, curves, r);
    describe_mcrit();
}

void Form1::basınc_ciz() {
    free_stream_factor();
    draw_pressure(mach_in_use_);
    describe_cp_min();
}

void Form1::draw_pressure(const std::optional<MachInUse>& mach) {
    jmach::basınc_ciz(s_, *pressure, mach ? std::optional<double>(mach->beta) : std::nullopt);
    if (sonic_level_ && mach) jmach::sonic_level(s_, *pressure, *mach);
    drawn_mach_[static_cast<int>(Chart::pressure)] = mach;
}

void Form1::CL_Alfa_ciz() {
    lift_curve(s_);
    jmach::CL_Alfa_ciz(s_, *Picture_CL, free_stream_factor());
    drawn_mach_[static_cast<int>(Chart::Picture_CL)] = mach_in_use_;
    show_value(Text_CL, rounded_text(s_.cl_current, 4));
}

void Form1::CM_Alfa_ciz() {
    const std::optional<double> cm = moment_curve(s_, HScroll_xM->value());
    jmach::CM_Alfa_ciz(s_, *Picture_CM, free_stream_factor());
    drawn_mach_[static_cast<int>(Chart::Picture_CM)] = mach_in_use_;
    show_value(Text_xM, number_text(s_.moment_ref_x));
    show_value(Text1, cm ? rounded_text(*cm, 5) : std::string());
}

std::optional<double> Form1::free_stream_factor() {
    if (mach_read_) return mach_factor_;
    mach_read_ = true;
    const std::string text = Text_Moo->text().toStdString();
    const MachBoxLook look = mach_box_look(text);
    const std::optional<double> mach = look.mach;
    // Red text while the number cannot be used; a coloured background with
    // a note while the text holds more than the number read from it.
    const QString tip = QString::fromStdString(look.tip);
    if (tip != Text_Moo->toolTip()) {  // the state changes
        const QPalette plain = QApplication::palette(Text_Moo);
        QPalette palette = Text_Moo->palette();
        palette.setColor(QPalette::Text, mach ? plain.color(QPalette::Text) : to_qcolor(kErrorText));
        palette.setColor(QPalette::Base, look.noted ? to_qcolor(kNoteBackground) : plain.color(QPalette::Base));
        Text_Moo->setPalette(palette);
        Text_Moo->setToolTip(tip);
    }
    mach_factor_ = free_stream(s_, mach);
    mach_in_use_ = mach_factor_ ? std::optional<MachInUse>(MachInUse{*mach, *mach_factor_}) : std::nullopt;
    return mach_factor_;
}

// ---- What the shared chains ask of the window ----

PlotSurface& Form1::profil_surface() { return *profil; }

void Form1::mach_from_scroll_bar() {
    // Value -> decimal text -> number, then / 100: exactly Value / 100.
    const double mach = QString::number(HScroll_Moo->value()).toDouble() / 100.0;
    Text_Moo->setText(QString::fromStdString(number_text(mach)));
}

void Form1::Mn_About_Click() {
    if (!about_) about_ = std::make_unique<FormAbout>();
    about_->show();
    about_->raise();
    about_->activateWindow();
}

// ---- Reading the charts ----

std::optional<Probe> Form1::probe(Chart which, double x, double y) const {
    return probe_chart(static_cast<ChartId>(which), chart(which), s_, drawn_mach_[static_cast<int>(which)],
                       critical_machs_, x, y);
}

void Form1::set_sonic_level(bool on) {
    if (sonic_action_->isChecked() != on) {
        sonic_action_->setChecked(on);  // comes back here through its signal
        return;
    }
    if (sonic_level_ == on) return;
    sonic_level_ = on;
    // The chart as the last chain left it, with or without the level; before
    // any chain it shows nothing to add to.
    if (pressure->scale()) draw_pressure(drawn_mach_[static_cast<int>(Chart::pressure)]);
}

void Form1::keep_reference(Chart which) {
    chart(which).keep_reference(reference_inputs(s_, drawn_mach_[static_cast<int>(Chart::pressure)]));
    clear_reference_actions_[static_cast<int>(which)]->setEnabled(true);
    describe_reference(which);
}

void Form1::clear_reference(Chart which) {
    chart(which).clear_reference();
    clear_reference_actions_[static_cast<int>(which)]->setEnabled(false);
    describe_reference(which);
}

std::string Form1::supersonic_json() const {
    return jmach::supersonic_json(s_, drawn_mach_[static_cast<int>(Chart::pressure)]);
}

// ---- What the companion tool drives and reads ----

QScrollBar* Form1::scroll_bar(Input input) const {
    switch (input) {
    case Input::thickness: return HScroll_Thickness;
    case Input::camber: return HScroll_Camber;
    case Input::np: return HScroll_nP;
    case Input::alpha: return HScroll_AlfaD;
    case Input::xm: return HScroll_xM;
    case Input::mach: return HScroll_Moo;
    }
    return HScroll_Thickness;
}

Form1::Range Form1::input_range(Input input) const {
    const QScrollBar* bar = scroll_bar(input);
    return {bar->minimum(), bar->maximum()};
}

void Form1::set_input(Input input, int value) {
    // Setting the value it already has raises no change, as with the real
    // scroll bar.
    scroll_bar(input)->setValue(value);
}

void Form1::type_mach(const QString& text) { Text_Moo->setText(text); }

void Form1::open_about() { Mn_About->trigger(); }

std::array<QLineEdit*, kValueBoxNames.size()> Form1::value_boxes() const {
    return {Text_Thickness, Text_Camber, Text_nP, Text_AlfaD, Text_xM, Text_Moo, Text_CpMin, Text_Mcrit, Text_CL, Text1};
}

QString Form1::value_text(std::string_view box_name) const {
    const auto boxes = value_boxes();
    for (std::size_t i = 0; i < kValueBoxNames.size(); ++i)
        if (box_name == kValueBoxNames[i]) return held_values_[i] ? *held_values_[i] : boxes[i]->text();
    return {};
}

QString Form1::value_tip(std::string_view box_name) const {
    // The only tooltips held back are those of the results.
    if (box_name == "Text_CpMin" || box_name == "Text_Mcrit") explain_held();
    const auto* box = findChild<QLineEdit*>(QString::fromLatin1(box_name.data(), static_cast<qsizetype>(box_name.size())));
    return box ? box->toolTip() : QString();
}

void Form1::set_watched(bool watched) {
    watched_ = watched;
    if (watched) bring_up_to_date();
}

void Form1::bring_up_to_date() const {
    const auto boxes = value_boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (auto& held = held_values_[i]) {
            write_value(boxes[i], *held);
            held.reset();
        }
    explain_held();
}

void Form1::explain_held() const {
    // The results explained are the last ones: nothing but the chain that
    // holds an explanation back changes what it explains.
    if (held_cp_min_) {
        describe_cp_min_now(*held_cp_min_);
        held_cp_min_.reset();
    }
    if (held_mcrit_) {
        describe_mcrit_now();
        held_mcrit_ = false;
    }
}

PictureBox& Form1::chart(Chart which) const {
    switch (which) {
    case Chart::Mcrit: return *Mcrit;
    case Chart::profil: return *profil;
    case Chart::pressure: return *pressure;
    case Chart::Picture_CL: return *Picture_CL;
    case Chart::Picture_CM: return *Picture_CM;
    }
    return *Mcrit;
}

}  // namespace jmach

// The views beside the main window: the critical Mach number across a
// family of profiles, and the flow field, each a window of its own opened
// from a chart's menu and brought up to date at the end of every chain.

#include <QComboBox>
#include <QPrinter>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

#include "app/form1.h"
#include "app/view_window.h"
#include "charts/flow_view.h"
#include "charts/picture_box.h"
#include "core/number_text.h"

namespace jmach {

namespace {

constexpr const char* kSweepChoices[] = {"Thickness t/c", "Camber f/c", "Angle of attack α"};
constexpr const char* kSweepTitles[] = {"t/c", "f/c", "α [°]"};

QString tick_text(SweepInput input, double v) {
    return QString::fromStdString(input == SweepInput::alpha ? number_text(v) : rounded_text(v, 2));
}

}  // namespace

void Form1::chain_done() {
    if (view_open(View::sweep)) update_sweep();
    if (view_open(View::flow)) update_flow();
}

bool Form1::view_open(View view) const {
    const auto& window = view == View::sweep ? sweep_window_ : flow_window_;
    return window && window->isVisible();
}

QWidget* Form1::view_window(View view) const {
    return view == View::sweep ? static_cast<QWidget*>(sweep_window_.get()) : static_cast<QWidget*>(flow_window_.get());
}

void Form1::close_view(View view) {
    if (view_open(view)) view_window(view)->close();
    if (view == View::sweep) sweep_.reset();
}

std::optional<QString> Form1::export_view(View view, const QString& file) {
    if (!view_open(view))
        return QStringLiteral("export %1: its window is not open").arg(QString::fromLatin1(kViewNames[static_cast<int>(view)]));
    auto& window = view == View::sweep ? sweep_window_ : flow_window_;
    return window->export_to(file);
}

void Form1::make_sweep_window() {
    ViewWindow::Hooks hooks;
    hooks.table = [this] { return sweep_ ? sweep_table(*sweep_) : ChartTable{}; };
    hooks.ask_file = [this](const QString& caption, const QString& name, const QString& filters) {
        return ask_save_file(caption, name, filters);
    };
    hooks.message = [this](const QString& text) { show_message(text, true); };
    if (print_hook_) hooks.print_setup = [this](QPrinter& printer) { return print_hook_(printer); };
    sweep_window_ = std::make_unique<ViewWindow>(QStringLiteral("Critical Mach number"), QStringLiteral("sweep"),
                                                 QSize(640, 360), std::move(hooks));
    sweep_selector_ = new QComboBox(sweep_window_.get());
    sweep_selector_->setObjectName(QStringLiteral("sweep_input"));
    sweep_selector_->setAccessibleName(QStringLiteral("Input swept"));
    sweep_selector_->setToolTip(QStringLiteral("The input the critical Mach number is drawn against, over every whole "
                                               "value of its scroll bar, the other inputs as they are set."));
    for (const char* choice : kSweepChoices) sweep_selector_->addItem(QString::fromUtf8(choice));
    auto* legend = new QLabel(QStringLiteral("Critical Mach number by Prandtl-Glauert (blue), Kármán-Tsien (green) and "
                                             "Laitone (magenta) from the sampled minimum Cp, and by Prandtl-Glauert "
                                             "from the exact minimum of the continuous surface (grey); the red ring "
                                             "marks the current value."),
                              sweep_window_.get());
    legend->setWordWrap(true);
    sweep_window_->top().addWidget(sweep_selector_);
    sweep_window_->top().addWidget(legend);
    connect(sweep_selector_, &QComboBox::currentIndexChanged, this, [this](int) {
        if (view_open(View::sweep)) update_sweep();
    });
    sweep_window_->chart().setToolTip(legend->text());
    sweep_window_->chart().setAccessibleDescription(legend->text());
}

void Form1::open_sweep(SweepInput input) {
    if (!sweep_window_) make_sweep_window();
    {
        const QSignalBlocker quiet(sweep_selector_);
        sweep_selector_->setCurrentIndex(static_cast<int>(input));
    }
    sweep_window_->show();
    sweep_window_->raise();
    update_sweep();
}

void Form1::update_sweep() {
    const auto input = static_cast<SweepInput>(std::clamp(sweep_selector_->currentIndex(), 0, 2));
    const SweepInputs at{HScroll_Thickness->value(), HScroll_Camber->value(), HScroll_nP->value(),
                         HScroll_AlfaD->value()};
    sweep_ = sweep_cache_.compute(s_, input, at);
    PictureBox& chart = sweep_window_->chart();
    sweep_ciz(*sweep_, chart);
    std::vector<ViewWindow::Caption> captions;
    for (const double x : sweep_ticks(input))
        captions.push_back({tick_text(input, x), x, -0.01, Qt::AlignHCenter | Qt::AlignTop});
    for (int k = 0; k <= 10; k += 2)
        captions.push_back({QString::fromStdString(rounded_text(k / 10.0, 1)), sweep_value(input, sweep_range(input).first),
                            k / 10.0, Qt::AlignRight | Qt::AlignVCenter});
    const auto [low, high] = sweep_range(input);
    captions.push_back({QString::fromUtf8(kSweepTitles[static_cast<int>(input)]), sweep_value(input, high), 0.01,
                        Qt::AlignRight | Qt::AlignBottom, true});
    captions.push_back({QStringLiteral("Mcrit"), sweep_value(input, low), 1.07, Qt::AlignLeft | Qt::AlignTop, true});
    sweep_window_->set_captions(captions);
}

namespace {

constexpr QSize kFlowChart(800, 400);

ViewWindow::Hooks view_hooks(std::function<ChartTable()> table, std::function<QString(const QString&, const QString&, const QString&)> ask,
                             std::function<void(const QString&)> message, std::function<bool(QPrinter&)> print) {
    ViewWindow::Hooks hooks;
    hooks.table = std::move(table);
    hooks.ask_file = std::move(ask);
    hooks.message = std::move(message);
    hooks.print_setup = std::move(print);
    return hooks;
}

}  // namespace

void Form1::open_flow() {
    // The flow about a profile: before the first lookup has succeeded there
    // is none to show.
    if (!has_profile(s_)) {
        show_message(QStringLiteral("There is no profile yet: move a scroll bar or click a chart first, then open "
                                    "the flow field."));
        return;
    }
    if (!flow_window_) {
        std::function<bool(QPrinter&)> print;
        if (print_hook_) print = [this](QPrinter& printer) { return print_hook_(printer); };
        flow_window_ = std::make_unique<ViewWindow>(
            QStringLiteral("Flow field"), QStringLiteral("flow"), kFlowChart,
            view_hooks([this] { return flow_table(s_, drawn_mach_[static_cast<int>(Chart::pressure)]); },
                       [this](const QString& caption, const QString& name, const QString& filters) {
                           return ask_save_file(caption, name, filters);
                       },
                       [this](const QString& text) { show_message(text, true); }, std::move(print)));
        auto* legend = new QLabel(QStringLiteral("Streamlines of the exact potential flow about the profile, evenly "
                                                 "spaced far upstream, over the local Mach number at M∞ (Prandtl-Glauert "
                                                 "Cp and the isentropic relation; at M∞ = 0 the incompressible Cp); the "
                                                 "orange line is the sonic line, where the flow turns supersonic."),
                                  flow_window_.get());
        legend->setWordWrap(true);
        flow_window_->top().addWidget(legend);
        flow_window_->chart().setToolTip(legend->text());
        flow_window_->chart().setAccessibleDescription(legend->text());
    }
    flow_window_->show();
    flow_window_->raise();
    update_flow();
}

void Form1::update_flow() {
    const std::optional<MachInUse> mach = drawn_mach_[static_cast<int>(Chart::pressure)];
    PictureBox& chart = flow_window_->chart();
    const double aspect = static_cast<double>(kFlowChart.width()) / kFlowChart.height();
    flow_ciz(s_, mach, chart, aspect);
    const FlowFrame frame = flow_frame(aspect);
    const FlowColourScale scale = flow_colour_scale(mach);
    std::vector<ViewWindow::Caption> captions;
    for (const double x : {-0.5, 0.0, 0.5, 1.0, 1.5})
        captions.push_back({QString::fromStdString(number_text(x)), x, frame.y2, Qt::AlignHCenter | Qt::AlignBottom});
    for (const double y : {-0.25, 0.0, 0.25})
        captions.push_back({QString::fromStdString(number_text(y)), frame.field_x1, y, Qt::AlignLeft | Qt::AlignVCenter});
    for (const double v : scale.ticks)
        captions.push_back({QString::fromStdString(number_text(v)), frame.tick_x2, frame.bar_y(scale, v),
                            Qt::AlignLeft | Qt::AlignVCenter});
    captions.push_back({QStringLiteral("x/c"), 1.25, frame.y2, Qt::AlignHCenter | Qt::AlignBottom, true});
    captions.push_back({QStringLiteral("y/c"), frame.field_x1, frame.y1, Qt::AlignLeft | Qt::AlignTop, true});
    captions.push_back({scale.by_mach ? QStringLiteral("M local") : QStringLiteral("Cp"), frame.bar_x1, frame.y1,
                        Qt::AlignLeft | Qt::AlignTop, true});
    flow_window_->set_captions(captions);
}

std::string Form1::flow_json() const {
    const FlowSummary summary = flow_summary(s_, drawn_mach_[static_cast<int>(Chart::pressure)]);
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, summary.m_local_max).ptr;
    return std::string("{\"sonic\":") + (summary.sonic ? "true" : "false") + ",\"m_local_max\":" +
           (std::isfinite(summary.m_local_max) ? std::string(buffer, end) : std::string("null")) + "}";
}

}  // namespace jmach

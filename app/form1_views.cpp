// The views beside the main window: the critical Mach number across a
// family of profiles, and the flow field, each a window of its own opened
// from a chart's menu and brought up to date at the end of every chain.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/form1.h"
#include "app/view_window.h"
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

void Form1::open_flow() {
    show_message(QStringLiteral("The flow field is not available yet."));
}

std::string Form1::flow_json() const { return "{\"sonic\":false,\"m_local_max\":null}"; }

}  // namespace jmach

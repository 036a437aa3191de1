#include "app/view_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QVBoxLayout>

#include <algorithm>

#include "app/chart_export.h"
#include "app/form1.h"
#include "app/picture_box.h"

namespace jmach {

ViewWindow::ViewWindow(Form1& form, View view) : QWidget(nullptr, Qt::Window), form_(form), view_(view) {
    const ViewInfo& info = view_info(view);
    const QString name = QString::fromLatin1(info.name);
    setObjectName(name + QStringLiteral("_window"));
    setWindowTitle(QString::fromUtf8(info.title));
    auto* layout = new QVBoxLayout(this);
    if (view == View::sweep) {
        selector_ = new QComboBox(this);
        selector_->setObjectName(QStringLiteral("sweep_input"));
        selector_->setAccessibleName(QStringLiteral("Input swept"));
        selector_->setToolTip(QString::fromUtf8(kSweepSelectorHelp));
        for (const char* choice : kSweepChoices) selector_->addItem(QString::fromUtf8(choice));
        layout->addWidget(selector_);
        connect(selector_, &QComboBox::currentIndexChanged, this, [this](int index) {
            Session& session = form_.session();
            if (!session.view_open(View::sweep) || index < 0) return;
            session.open_sweep(static_cast<SweepInput>(index));
            form_.refresh();
        });
    }
    legend_ = new QLabel(QString::fromUtf8(info.legend), this);
    legend_->setObjectName(name + QStringLiteral("_legend"));
    legend_->setWordWrap(true);
    layout->addWidget(legend_);
    // The chart at its size at least, so that it, its captions and the
    // legend always fit; a larger window scales it.
    chart_ = new PictureBox(this, Qt::black);
    chart_->setObjectName(name);
    chart_->setMinimumSize(info.width, info.height);
    chart_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chart_->setAccessibleName(windowTitle() + QStringLiteral(" chart"));
    chart_->setToolTip(legend_->text());
    chart_->setAccessibleDescription(legend_->text());
    layout->addWidget(chart_, 1);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    menu_ = new QMenu(this);
    menu_->setObjectName(name + QStringLiteral("_menu"));
    const std::pair<const char*, void (ViewWindow::*)()> commands[] = {
        {"Copy image", &ViewWindow::copy_image}, {"Copy data", &ViewWindow::copy_data},
        {"Save image…", &ViewWindow::save_image}, {"Save data…", &ViewWindow::save_data},
        {"Print…", &ViewWindow::print}};
    for (std::size_t k = 0; k < std::size(commands); ++k) {
        QAction* action = menu_->addAction(QString::fromUtf8(commands[k].first));
        action->setObjectName(QString::fromLatin1(kChartCommands[k]));
        connect(action, &QAction::triggered, this, [this, command = commands[k].second] { (this->*command)(); });
    }
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(chart_->mapToGlobal(at)); });
}

ViewWindow::~ViewWindow() = default;

QString ViewWindow::title() const { return QStringLiteral("jmach: ") + windowTitle(); }

void ViewWindow::show_view() {
    const Session& session = form_.session();
    const RecordingSurface& drawing = session.view_chart(view_);
    chart_->show_surface(drawing);
    if (selector_ && selector_->currentIndex() != static_cast<int>(session.sweep_input())) {
        const QSignalBlocker quiet(selector_);
        selector_->setCurrentIndex(static_cast<int>(session.sweep_input()));
    }
    if (const QString legend = QString::fromStdString(session.view_legend(view_)); legend != legend_->text()) {
        legend_->setText(legend);
        chart_->setToolTip(legend);
        chart_->setAccessibleDescription(legend);
    }
    if (captioned_version_ != drawing.version()) {
        captioned_version_ = drawing.version();
        place_captions();
    }
}

void ViewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The layout has sized the chart already: its captions follow it.
    if (captioned_version_) place_captions();
}

void ViewWindow::place_captions() {
    for (QLabel* label : captions_) delete label;
    captions_.clear();
    const auto& sc = form_.session().view_chart(view_).scale();
    if (!sc || sc->x2 == sc->x1 || sc->y2 == sc->y1) return;
    QFont tick = font();
    tick.setPointSizeF(tick.pointSizeF() * 0.85);
    QFont title = font();
    title.setItalic(true);
    using Align = ViewCaption::Align;
    for (const ViewCaption& c : form_.session().view_captions(view_)) {
        auto* label = new QLabel(QString::fromStdString(c.text), chart_);
        label->setTextFormat(Qt::PlainText);
        label->setFont(c.title ? title : tick);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, to_qcolor(kSurfaceBackground));
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
        label->adjustSize();
        chart_->add_caption(label);
        // The caption's corner from the point it is aligned at.
        const double px = (c.x - sc->x1) / (sc->x2 - sc->x1) * chart_->width();
        const double py = (c.y - sc->y1) / (sc->y2 - sc->y1) * chart_->height();
        QPoint at(static_cast<int>(px), static_cast<int>(py));
        const QSize size = label->size();
        if (c.horizontal == Align::centre) at.rx() -= size.width() / 2;
        if (c.horizontal == Align::end) at.rx() -= size.width();
        if (c.vertical == Align::centre) at.ry() -= size.height() / 2;
        if (c.vertical == Align::end) at.ry() -= size.height();
        at.setX(std::clamp(at.x(), 0, std::max(0, chart_->width() - size.width())));
        at.setY(std::clamp(at.y(), 0, std::max(0, chart_->height() - size.height())));
        label->move(at);
        label->show();
        captions_.push_back(label);
    }
}

void ViewWindow::closeEvent(QCloseEvent* event) {
    // Closed by its close box: the view is closed, and costs nothing more.
    if (form_.session().view_open(view_)) {
        form_.session().close_view(view_);
        form_.refresh();
    }
    QWidget::closeEvent(event);
}

std::optional<QString> ViewWindow::export_to(const QString& file) {
    const std::optional<ExportFormat> format = export_format(file);
    if (!format)
        return QStringLiteral("%1: the suffix must be .csv, .png, .svg or .pdf").arg(QDir::toNativeSeparators(file));
    const std::optional<ChartTable> table = form_.session().chart_table(kViewNames[static_cast<std::size_t>(view_)]);
    const std::optional<QString> reason =
        *format == ExportFormat::csv
            ? write_whole_file(file, QByteArray::fromStdString(table ? csv_text(*table) : std::string()))
            : write_widget_image(*chart_, file, *format, title(), 2.0 * chart_->devicePixelRatioF());
    if (!reason) return std::nullopt;
    return cannot_write_message(file, *reason);
}

void ViewWindow::copy_image() {
    auto* mime = new QMimeData;
    mime->setImageData(widget_image(*chart_, 2.0 * chart_->devicePixelRatioF()));
    mime->setData(QStringLiteral("image/svg+xml"), widget_svg(*chart_, title()));
    QApplication::clipboard()->setMimeData(mime);
}

void ViewWindow::copy_data() {
    const std::optional<ChartTable> table = form_.session().chart_table(kViewNames[static_cast<std::size_t>(view_)]);
    QApplication::clipboard()->setText(table ? QString::fromStdString(tsv_text(*table)) : QString());
}

void ViewWindow::save_image() {
    const QString file = form_.ask_save_file(QStringLiteral("Save image"), chart_->objectName() + QStringLiteral(".png"),
                                             kImageFilters, is_image_file,
                                             QStringLiteral("an image is saved as .png, .svg or .pdf"));
    if (file.isEmpty()) return;
    if (const auto error = export_to(file)) form_.show_message(*error, true);
}

void ViewWindow::save_data() {
    const QString file = form_.ask_save_file(QStringLiteral("Save data"), chart_->objectName() + QStringLiteral(".csv"),
                                             kDataFilters, is_data_file, QStringLiteral("the data are saved as .csv"));
    if (file.isEmpty()) return;
    if (const auto error = export_to(file)) form_.show_message(*error, true);
}

void ViewWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    if (!form_.setup_printer(printer, windowTitle())) return;
    if (const auto error = print_widget(*chart_, printer, title())) form_.show_message(*error, true);
}

}  // namespace jmach

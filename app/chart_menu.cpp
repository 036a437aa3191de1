// The charts out of the window: each chart's right-click menu (copy its
// image or its numbers, save either to a file, print it, keep or clear its
// reference, and the views and the sonic level) and the export of a chart
// to a file by its suffix, which the script tool's images share.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

#include "app/chart_export.h"
#include "app/form1.h"
#include "app/picture_box.h"
#include "app/view_window.h"

namespace jmach {

namespace {

std::size_t index_of(ChartId which) { return static_cast<std::size_t>(which); }

// What each chart shows, for the titles of its images and prints.
QString chart_title(ChartId which) {
    return QStringLiteral("jmach: %1").arg(QString::fromLatin1(kChartTitles[index_of(which)]));
}

QString chart_name(ChartId which) { return QString::fromLatin1(kChartNames[index_of(which)]); }

}  // namespace

void Form1::build_chart_menus() {
    const std::array<const char*, 5> captions = {"Copy image", "Copy data", "Save image…", "Save data…", "Print…"};
    const std::array<void (Form1::*)(ChartId), 5> commands = {&Form1::copy_chart_image, &Form1::copy_chart_data,
                                                              &Form1::save_chart_image, &Form1::save_chart_data,
                                                              &Form1::print_chart};
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const auto which = static_cast<ChartId>(i);
        auto* menu = new QMenu(this);
        menu->setObjectName(chart_name(which) + QStringLiteral("_menu"));
        menu->setAccessibleName(QString::fromLatin1(kChartTitles[i]) + QStringLiteral(" chart menu"));
        for (std::size_t k = 0; k < captions.size(); ++k) {
            QAction* action = menu->addAction(QString::fromUtf8(captions[k]));
            action->setObjectName(QString::fromLatin1(kChartCommands[k]));
            connect(action, &QAction::triggered, this, [this, which, command = commands[k]] { (this->*command)(which); });
        }
        // Reading the chart: a reference to compare with, and on the
        // pressure chart the sonic level.
        menu->addSeparator();
        QAction* keep = menu->addAction(QStringLiteral("Keep as reference"));
        keep->setObjectName(QStringLiteral("keep_reference"));
        connect(keep, &QAction::triggered, this, [this, which] { forward([&] { session_.keep_reference(which); }); });
        QAction* clear = menu->addAction(QStringLiteral("Clear reference"));
        clear->setObjectName(QStringLiteral("clear_reference"));
        clear->setEnabled(false);
        connect(clear, &QAction::triggered, this, [this, which] { forward([&] { session_.clear_reference(which); }); });
        clear_reference_actions_[i] = clear;
        // The views beside the window.
        if (which == ChartId::Mcrit) {
            QAction* sweep = menu->addAction(QStringLiteral("Critical Mach number against…"));
            sweep->setObjectName(QStringLiteral("open_sweep"));
            connect(sweep, &QAction::triggered, this, [this] {
                forward([&] { session_.open_sweep(session_.sweep_input()); });
                view_window(View::sweep)->raise();
            });
        }
        if (which == ChartId::profil) {
            QAction* flow = menu->addAction(QStringLiteral("Flow field…"));
            flow->setObjectName(QStringLiteral("open_flow"));
            connect(flow, &QAction::triggered, this, [this] {
                forward([&] { session_.open_flow(); });
                if (ViewWindow* window = view_window(View::flow)) window->raise();
            });
        }
        if (which == ChartId::pressure) {
            sonic_action_ = menu->addAction(QStringLiteral("Show sonic level"));
            sonic_action_->setObjectName(QStringLiteral("sonic_level"));
            sonic_action_->setCheckable(true);
            connect(sonic_action_, &QAction::toggled, this,
                    [this](bool on) { forward([&] { session_.set_sonic_level(on); }); });
        }
        chart_menus_[i] = menu;
        PictureBox& box = *charts_[i];
        // The values under the pointer follow it in a tooltip.
        box.set_probe([this, which](double x, double y) {
            return QString::fromStdString(session_.probe_text(which, x, y));
        });
        box.setContextMenuPolicy(Qt::CustomContextMenu);
        connect(&box, &QWidget::customContextMenuRequested, this,
                [menu, &box](const QPoint& at) { menu->popup(box.mapToGlobal(at)); });
    }
}

std::optional<QString> Form1::export_chart(ChartId which, const QString& file) {
    const std::optional<ExportFormat> format = export_format(file);
    if (!format)
        return QStringLiteral("%1: the suffix must be .csv, .png, .svg or .pdf").arg(QDir::toNativeSeparators(file));
    PictureBox& box = chart(which);
    const std::optional<QString> reason =
        *format == ExportFormat::csv
            ? write_whole_file(file, QByteArray::fromStdString(csv_text(*session_.chart_table(kChartNames[index_of(which)]))))
            : write_widget_image(box, file, *format, chart_title(which), 2.0 * box.devicePixelRatioF());
    if (!reason) return std::nullopt;
    return cannot_write_message(file, *reason);
}

void Form1::copy_chart_image(ChartId which) {
    PictureBox& box = chart(which);
    auto* mime = new QMimeData;
    mime->setImageData(widget_image(box, 2.0 * box.devicePixelRatioF()));
    mime->setData(QStringLiteral("image/svg+xml"), widget_svg(box, chart_title(which)));
    QApplication::clipboard()->setMimeData(mime);
}

void Form1::copy_chart_data(ChartId which) {
    QApplication::clipboard()->setText(QString::fromStdString(tsv_text(*session_.chart_table(kChartNames[index_of(which)]))));
}

QString Form1::ask_save_file(const QString& caption, const QString& name, const QString& filters) {
    if (last_folder_.isEmpty()) last_folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString start = QDir(last_folder_).filePath(name);
    QString selected;
    QString file = file_hook_ ? file_hook_(caption, start, filters)
                              : QFileDialog::getSaveFileName(this, caption, start, filters, &selected);
    if (file.isEmpty()) return file;
    // A name without a suffix takes the one of the chosen file type.
    if (QFileInfo(file).suffix().isEmpty()) {
        const QString filter = selected.isEmpty() ? filters.section(QStringLiteral(";;"), 0, 0) : selected;
        file += filter.section(QStringLiteral("(*"), 1).chopped(1);
    }
    last_folder_ = QFileInfo(file).absolutePath();
    return file;
}

QString Form1::ask_save_file(const QString& caption, const QString& name, const QString& filters,
                             const std::function<bool(const QString&)>& fits, const QString& wrong_kind) {
    const QString file = ask_save_file(caption, name, filters);
    if (file.isEmpty() || fits(file)) return file;
    show_message(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), wrong_kind), true);
    return QString();
}

bool Form1::setup_printer(QPrinter& printer, const QString& title) {
    if (print_hook_) return print_hook_(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print %1").arg(title.toLower()));
    return dialog.exec() == QDialog::Accepted;
}

void Form1::save_chart_image(ChartId which) {
    const QString file = ask_save_file(QStringLiteral("Save image"), chart_name(which) + QStringLiteral(".png"),
                                       kImageFilters, is_image_file, QStringLiteral("an image is saved as .png, .svg or .pdf"));
    if (file.isEmpty()) return;
    if (const auto error = export_chart(which, file)) show_message(*error, true);
}

void Form1::save_chart_data(ChartId which) {
    const QString file = ask_save_file(QStringLiteral("Save data"), chart_name(which) + QStringLiteral(".csv"),
                                       kDataFilters, is_data_file, QStringLiteral("the data are saved as .csv"));
    if (file.isEmpty()) return;
    if (const auto error = export_chart(which, file)) show_message(*error, true);
}

void Form1::print_chart(ChartId which) {
    QPrinter printer(QPrinter::HighResolution);
    if (!setup_printer(printer, QString::fromLatin1(kChartTitles[index_of(which)]))) return;
    if (const auto error = print_widget(chart(which), printer, chart_title(which))) show_message(*error, true);
}

}  // namespace jmach

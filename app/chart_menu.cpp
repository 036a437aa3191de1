// The charts out of the window: each chart's right-click menu (copy its
// image or its numbers, save either to a file, print it) and the export of
// a chart to a file by its suffix, which the script tool shares.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
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
#include "charts/picture_box.h"

namespace jmach {

namespace {

int index_of(Chart which) { return static_cast<int>(which); }

// What each chart shows, for the titles of its images and prints.
QString chart_title(Chart which) {
    static const char* const titles[] = {"Critical Mach number", "Profile", "Surface pressure", "Lift curve",
                                         "Moment curve"};
    return QStringLiteral("jmach: %1").arg(QString::fromLatin1(titles[index_of(which)]));
}

QString chart_name(Chart which) { return QString::fromLatin1(kChartNames[index_of(which)]); }

const QString kImageFilters = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
const QString kDataFilters = QStringLiteral("CSV table (*.csv)");

}  // namespace

void Form1::build_chart_menus() {
    const std::array<const char*, 5> captions = {"Copy image", "Copy data", "Save image…", "Save data…", "Print…"};
    const std::array<void (Form1::*)(Chart), 5> commands = {&Form1::copy_chart_image, &Form1::copy_chart_data,
                                                            &Form1::save_chart_image, &Form1::save_chart_data,
                                                            &Form1::print_chart};
    for (int i = 0; i < static_cast<int>(kChartNames.size()); ++i) {
        const Chart which = static_cast<Chart>(i);
        auto* menu = new QMenu(this);
        menu->setObjectName(chart_name(which) + QStringLiteral("_menu"));
        menu->setAccessibleName(chart_title(which).mid(7) + QStringLiteral(" chart menu"));
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
        connect(keep, &QAction::triggered, this, [this, which] { keep_reference(which); });
        QAction* clear = menu->addAction(QStringLiteral("Clear reference"));
        clear->setObjectName(QStringLiteral("clear_reference"));
        clear->setEnabled(false);
        connect(clear, &QAction::triggered, this, [this, which] { clear_reference(which); });
        clear_reference_actions_[i] = clear;
        // The views beside the window.
        if (which == Chart::Mcrit) {
            QAction* sweep = menu->addAction(QStringLiteral("Critical Mach number against…"));
            sweep->setObjectName(QStringLiteral("open_sweep"));
            connect(sweep, &QAction::triggered, this, [this] {
                open_sweep(sweep_selector_ ? static_cast<SweepInput>(sweep_selector_->currentIndex()) : SweepInput::thickness);
            });
        }
        if (which == Chart::profil) {
            QAction* flow = menu->addAction(QStringLiteral("Flow field…"));
            flow->setObjectName(QStringLiteral("open_flow"));
            connect(flow, &QAction::triggered, this, [this] { open_flow(); });
        }
        if (which == Chart::pressure) {
            sonic_action_ = menu->addAction(QStringLiteral("Show sonic level"));
            sonic_action_->setObjectName(QStringLiteral("sonic_level"));
            sonic_action_->setCheckable(true);
            connect(sonic_action_, &QAction::toggled, this, [this](bool on) { set_sonic_level(on); });
        }
        chart_menus_[i] = menu;
        PictureBox& box = chart(which);
        // The values under the pointer follow it in a tooltip.
        box.set_probe([this, which, &box](double x, double y) {
            const std::optional<Probe> p = probe(which, x, y);
            if (!p) return QString();
            QString text = QString::fromStdString(p->text);
            if (box.has_reference())
                text += QStringLiteral("\nIn grey: ") + QString::fromStdString(box.reference_inputs());
            return text;
        });
        box.setContextMenuPolicy(Qt::CustomContextMenu);
        connect(&box, &QWidget::customContextMenuRequested, this,
                [menu, &box](const QPoint& at) { menu->popup(box.mapToGlobal(at)); });
    }
}

QMenu* Form1::chart_menu(Chart which) const { return chart_menus_[index_of(which)]; }

ChartTable Form1::chart_table(Chart which) const {
    const std::optional<MachInUse>& mach = drawn_mach_[index_of(which)];
    switch (which) {
    case Chart::Mcrit:
        return critical_machs_ ? mcrit_table(s_, critical_machs_->cp_min, critical_machs_->samples)
                               : empty_mcrit_table();
    case Chart::profil: return profile_table(s_);
    case Chart::pressure: return pressure_table(s_, mach);
    case Chart::Picture_CL: return lift_table(s_, mach);
    case Chart::Picture_CM: return moment_table(s_, mach);
    }
    return {};
}

std::optional<QString> Form1::export_chart(Chart which, const QString& file) {
    const std::optional<ExportFormat> format = export_format(file);
    if (!format)
        return QStringLiteral("%1: the suffix must be .csv, .png, .svg or .pdf").arg(QDir::toNativeSeparators(file));
    PictureBox& box = chart(which);
    const std::optional<QString> reason =
        *format == ExportFormat::csv
            ? write_whole_file(file, QByteArray::fromStdString(csv_text(chart_table(which))))
            : write_widget_image(box, file, *format, chart_title(which), 2.0 * box.devicePixelRatioF());
    if (!reason) return std::nullopt;
    return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), *reason);
}

void Form1::copy_chart_image(Chart which) {
    PictureBox& box = chart(which);
    auto* mime = new QMimeData;
    mime->setImageData(widget_image(box, 2.0 * box.devicePixelRatioF()));
    mime->setData(QStringLiteral("image/svg+xml"), widget_svg(box, chart_title(which)));
    QApplication::clipboard()->setMimeData(mime);
}

void Form1::copy_chart_data(Chart which) {
    QApplication::clipboard()->setText(QString::fromStdString(tsv_text(chart_table(which))));
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

void Form1::save_chart_image(Chart which) {
    const QString file = ask_save_file(QStringLiteral("Save image"), chart_name(which) + QStringLiteral(".png"),
                                       kImageFilters);
    if (file.isEmpty()) return;
    const std::optional<ExportFormat> format = export_format(file);
    if (!format || *format == ExportFormat::csv) {
        show_message(QStringLiteral("%1: an image is saved as .png, .svg or .pdf").arg(QDir::toNativeSeparators(file)), true);
        return;
    }
    if (const auto error = export_chart(which, file)) show_message(*error, true);
}

void Form1::save_chart_data(Chart which) {
    const QString file = ask_save_file(QStringLiteral("Save data"), chart_name(which) + QStringLiteral(".csv"),
                                       kDataFilters);
    if (file.isEmpty()) return;
    if (export_format(file) != ExportFormat::csv) {
        show_message(QStringLiteral("%1: the data are saved as .csv").arg(QDir::toNativeSeparators(file)), true);
        return;
    }
    if (const auto error = export_chart(which, file)) show_message(*error, true);
}

void Form1::print_chart(Chart which) {
    QPrinter printer(QPrinter::HighResolution);
    if (print_hook_) {
        if (!print_hook_(printer)) return;
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Print %1").arg(chart_title(which).mid(7).toLower()));
        if (dialog.exec() != QDialog::Accepted) return;
    }
    if (const auto error = print_widget(chart(which), printer, chart_title(which))) show_message(*error, true);
}

}  // namespace jmach

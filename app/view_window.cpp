#include "app/view_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include "app/chart_export.h"
#include "charts/picture_box.h"

namespace jmach {

ViewWindow::ViewWindow(const QString& title, const QString& chart_name, const QSize& chart_size, Hooks hooks)
    : QWidget(nullptr, Qt::Window), title_(title), chart_name_(chart_name), hooks_(std::move(hooks)) {
    setObjectName(chart_name + QStringLiteral("_window"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    top_ = new QVBoxLayout;
    layout->addLayout(top_);
    chart_ = new PictureBox(this, Qt::black);
    chart_->setObjectName(chart_name);
    chart_->setFixedSize(chart_size);
    chart_->setAccessibleName(title + QStringLiteral(" chart"));
    layout->addWidget(chart_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    menu_ = new QMenu(this);
    menu_->setObjectName(chart_name + QStringLiteral("_menu"));
    const std::pair<const char*, void (ViewWindow::*)()> commands[] = {
        {"Copy image", &ViewWindow::copy_image}, {"Copy data", &ViewWindow::copy_data},
        {"Save image…", &ViewWindow::save_image}, {"Save data…", &ViewWindow::save_data},
        {"Print…", &ViewWindow::print}};
    const char* const names[] = {"copy_image", "copy_data", "save_image", "save_data", "print"};
    for (std::size_t k = 0; k < std::size(commands); ++k) {
        QAction* action = menu_->addAction(QString::fromUtf8(commands[k].first));
        action->setObjectName(QString::fromLatin1(names[k]));
        connect(action, &QAction::triggered, this, [this, command = commands[k].second] { (this->*command)(); });
    }
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(chart_->mapToGlobal(at)); });
}

ViewWindow::~ViewWindow() = default;

void ViewWindow::set_captions(const std::vector<Caption>& captions) {
    for (QWidget* w : captions_) delete w;
    captions_.clear();
    const auto& sc = chart_->scale();
    if (!sc || sc->x2 == sc->x1 || sc->y2 == sc->y1) return;
    QFont tick = font();
    tick.setPointSizeF(tick.pointSizeF() * 0.85);
    QFont title = font();
    title.setItalic(true);
    for (const Caption& c : captions) {
        auto* label = new ChartCaption(c.text, chart_);
        label->setTextFormat(Qt::PlainText);
        label->setFont(c.title ? title : tick);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, to_qcolor(kSurfaceBackground));
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
        label->adjustSize();
        const double px = (c.x - sc->x1) / (sc->x2 - sc->x1) * chart_->width();
        const double py = (c.y - sc->y1) / (sc->y2 - sc->y1) * chart_->height();
        QPoint at(static_cast<int>(px), static_cast<int>(py));
        const QSize size = label->size();
        if (c.align & Qt::AlignHCenter) at.rx() -= size.width() / 2;
        if (c.align & Qt::AlignRight) at.rx() -= size.width();
        if (c.align & Qt::AlignVCenter) at.ry() -= size.height() / 2;
        if (c.align & Qt::AlignBottom) at.ry() -= size.height();
        at.setX(std::clamp(at.x(), 0, std::max(0, chart_->width() - size.width())));
        at.setY(std::clamp(at.y(), 0, std::max(0, chart_->height() - size.height())));
        label->move(at);
        label->show();
        captions_.push_back(label);
    }
    chart_->update();
}

std::optional<QString> ViewWindow::export_to(const QString& file) {
    const std::optional<ExportFormat> format = export_format(file);
    if (!format)
        return QStringLiteral("%1: the suffix must be .csv, .png, .svg or .pdf").arg(QDir::toNativeSeparators(file));
    const std::optional<QString> reason =
        *format == ExportFormat::csv
            ? write_whole_file(file, QByteArray::fromStdString(csv_text(hooks_.table())))
            : write_widget_image(*chart_, file, *format, QStringLiteral("jmach: ") + title_,
                                 2.0 * chart_->devicePixelRatioF());
    if (!reason) return std::nullopt;
    return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), *reason);
}

void ViewWindow::copy_image() {
    auto* mime = new QMimeData;
    mime->setImageData(widget_image(*chart_, 2.0 * chart_->devicePixelRatioF()));
    mime->setData(QStringLiteral("image/svg+xml"), widget_svg(*chart_, QStringLiteral("jmach: ") + title_));
    QApplication::clipboard()->setMimeData(mime);
}

void ViewWindow::copy_data() { QApplication::clipboard()->setText(QString::fromStdString(tsv_text(hooks_.table()))); }

void ViewWindow::save_image() {
    const QString file = hooks_.ask_file(QStringLiteral("Save image"), chart_name_ + QStringLiteral(".png"),
                                         QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"));
    if (file.isEmpty()) return;
    const std::optional<ExportFormat> format = export_format(file);
    if (!format || *format == ExportFormat::csv) {
        hooks_.message(QStringLiteral("%1: an image is saved as .png, .svg or .pdf").arg(QDir::toNativeSeparators(file)));
        return;
    }
    if (const auto error = export_to(file)) hooks_.message(*error);
}

void ViewWindow::save_data() {
    const QString file = hooks_.ask_file(QStringLiteral("Save data"), chart_name_ + QStringLiteral(".csv"),
                                         QStringLiteral("CSV table (*.csv)"));
    if (file.isEmpty()) return;
    if (export_format(file) != ExportFormat::csv) {
        hooks_.message(QStringLiteral("%1: the data are saved as .csv").arg(QDir::toNativeSeparators(file)));
        return;
    }
    if (const auto error = export_to(file)) hooks_.message(*error);
}

void ViewWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    if (hooks_.print_setup) {
        if (!hooks_.print_setup(printer)) return;
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Print ") + title_.toLower());
        if (dialog.exec() != QDialog::Accepted) return;
    }
    if (const auto error = print_widget(*chart_, printer, QStringLiteral("jmach: ") + title_)) hooks_.message(*error);
}

}  // namespace jmach

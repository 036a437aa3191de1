#include "app/chart_export.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

#include <algorithm>

namespace jmach {

namespace {

// Logical pixels of the screen: 96 to the inch.
constexpr int kScreenDpi = 96;

void render_into(QWidget& widget, QPainter& painter) {
    widget.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

}  // namespace

std::optional<ExportFormat> export_format(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("csv")) return ExportFormat::csv;
    if (suffix == QLatin1String("png")) return ExportFormat::png;
    if (suffix == QLatin1String("svg")) return ExportFormat::svg;
    if (suffix == QLatin1String("pdf")) return ExportFormat::pdf;
    return std::nullopt;
}

bool is_image_file(const QString& file) {
    const std::optional<ExportFormat> format = export_format(file);
    return format && *format != ExportFormat::csv;
}

bool is_data_file(const QString& file) { return export_format(file) == ExportFormat::csv; }

QString cannot_write_message(const QString& file, const QString& reason) {
    return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(file), reason);
}

QString format_suffix(ExportFormat format) {
    switch (format) {
    case ExportFormat::csv: return QStringLiteral("csv");
    case ExportFormat::png: return QStringLiteral("png");
    case ExportFormat::svg: return QStringLiteral("svg");
    case ExportFormat::pdf: return QStringLiteral("pdf");
    }
    return QString();
}

QImage widget_image(QWidget& widget, qreal scale) {
    QImage image(widget.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    render_into(widget, painter);
    painter.end();
    return image;
}

QByteArray widget_svg(QWidget& widget, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(kScreenDpi);
    svg.setSize(widget.size());
    svg.setViewBox(QRect(QPoint(0, 0), widget.size()));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Drawn by jmach"));
    QPainter painter(&svg);
    render_into(widget, painter);
    painter.end();
    return buffer.data();
}

QByteArray widget_pdf(QWidget& widget, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("jmach"));
        // One logical pixel is one unit of the page: the page is the
        // widget's size, 72/96 of a point per pixel.
        pdf.setResolution(kScreenDpi);
        pdf.setPageSize(QPageSize(QSizeF(widget.size()) * 72.0 / kScreenDpi, QPageSize::Point, QString(),
                                  QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        render_into(widget, painter);
        painter.end();
    }
    return buffer.data();
}

std::optional<QString> write_whole_file(const QString& file, const QByteArray& bytes) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return out.errorString();
    if (out.write(bytes) != bytes.size()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return reason;
    }
    if (!out.commit()) return out.errorString();
    return std::nullopt;
}

std::optional<QString> write_widget_image(QWidget& widget, const QString& file, ExportFormat format,
                                          const QString& title, qreal png_scale) {
    switch (format) {
    case ExportFormat::png: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!widget_image(widget, png_scale).save(&buffer, "PNG")) return QStringLiteral("the image could not be encoded");
        return write_whole_file(file, bytes);
    }
    case ExportFormat::svg: return write_whole_file(file, widget_svg(widget, title));
    case ExportFormat::pdf: return write_whole_file(file, widget_pdf(widget, title));
    case ExportFormat::csv: break;
    }
    return QStringLiteral("not an image format");
}

QString printer_refusal(const QPrinter& printer) {
    return printer.outputFileName().isEmpty()
               ? QStringLiteral("The printer %1 refused the job.").arg(printer.printerName())
               : QStringLiteral("Cannot print to %1: the file cannot be opened for writing.")
                     .arg(QDir::toNativeSeparators(printer.outputFileName()));
}

std::optional<QString> print_widget(QWidget& widget, QPrinter& printer, const QString& title) {
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return printer_refusal(printer);
    }
    // The printable area in device units, and the widget scaled to fill it
    // without distortion. Qt paints a widget for a printer through a
    // bitmap at the printer's resolution; recorded as a picture first, the
    // chart reaches the printer as lines and text, with the pen widths it
    // has on the screen scaled to the page.
    const QRect page = painter.viewport();
    const qreal scale = std::min(page.width() / qreal(widget.width()), page.height() / qreal(widget.height()));
    QPicture picture;
    QPainter recorder(&picture);
    recorder.scale(scale, scale);
    render_into(widget, recorder);
    recorder.end();
    painter.translate(page.x() + (page.width() - widget.width() * scale) / 2.0,
                      page.y() + (page.height() - widget.height() * scale) / 2.0);
    // A picture plays back enlarged by the device's resolution over its
    // own; its coordinates are printer units already.
    painter.scale(picture.logicalDpiX() / qreal(printer.logicalDpiX()),
                  picture.logicalDpiY() / qreal(printer.logicalDpiY()));
    painter.drawPicture(0, 0, picture);
    if (!painter.end()) return QStringLiteral("The printer %1 did not finish the job.").arg(printer.printerName());
    return std::nullopt;
}

}  // namespace jmach

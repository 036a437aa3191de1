#pragma once
// Charts and the window out of the program: a widget with its child
// captions as a PNG, SVG or PDF image or on a printer, and text files
// written whole or not at all.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace jmach {

enum class ExportFormat { csv, png, svg, pdf };

// The file types of the save dialogs.
inline const QString kImageFilters = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
inline const QString kDataFilters = QStringLiteral("CSV table (*.csv)");

// The format a file name's suffix asks for (any letter case); empty for
// any other suffix.
std::optional<ExportFormat> export_format(const QString& file);
// The suffix of a format, without the dot.
QString format_suffix(ExportFormat format);

// The widget and its children painted into an image of scale times its
// size in device pixels (scale 2: twice the screen's resolution).
QImage widget_image(QWidget& widget, qreal scale);
// The widget as vector graphics: an SVG document, or a one-page PDF whose
// page is the widget's size.
QByteArray widget_svg(QWidget& widget, const QString& title);
QByteArray widget_pdf(QWidget& widget, const QString& title);

// Writes `bytes` to `file` through a temporary file that replaces it only
// when everything was written. Returns the reason when it could not.
std::optional<QString> write_whole_file(const QString& file, const QByteArray& bytes);
// The message for a file that could not be written, and why.
QString cannot_write_message(const QString& file, const QString& reason);
// Whether a file's suffix asks for an image (PNG, SVG or PDF), or for CSV.
bool is_image_file(const QString& file);
bool is_data_file(const QString& file);

// The widget as an image file of the given format (png, svg or pdf); PNG
// at png_scale times the widget's size. Returns the reason of a failure.
std::optional<QString> write_widget_image(QWidget& widget, const QString& file, ExportFormat format,
                                          const QString& title, qreal png_scale);

// Why a printer would not start a job: refused, or its file unwritable.
QString printer_refusal(const QPrinter& printer);

// The widget scaled to fit the printer's page, centred, with its
// children. Returns the reason when the printer refuses.
std::optional<QString> print_widget(QWidget& widget, QPrinter& printer, const QString& title);

}  // namespace jmach

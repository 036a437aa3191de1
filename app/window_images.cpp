#include "app/window_images.h"

#include <QApplication>
#include <QBuffer>

#include "app/chart_export.h"
#include "app/form1.h"
#include "app/view_window.h"
#include "core/file_write.h"
#include "session/script_text.h"

namespace jmach {

WindowImages::WindowImages(std::unique_ptr<QApplication> app) : app_(std::move(app)) {}

// The window goes first, then the application (and with it the font
// database): members end in the reverse order of their declaration.
WindowImages::~WindowImages() = default;

std::optional<std::string> WindowImages::write_file(const std::string& file, std::string_view bytes) {
    if (const auto reason = write_whole_file(file, bytes)) return cannot_write(file, *reason);
    return std::nullopt;
}

std::optional<std::string> WindowImages::write_image(const Session& session, const ImageRequest& request) {
    shown_ = session;
    // Nobody answers a message here: the script reported it already.
    (void)shown_.take_messages();
    if (!form_) {
        form_ = std::make_unique<Form1>(shown_);
        form_->set_message_hook([](const QString&) {});
        form_->show();  // offscreen: laid out as on a screen, seen by nobody
    } else {
        form_->refresh();
    }
    const QString file = QString::fromStdString(request.file);
    std::optional<QString> error;
    switch (request.of) {
    case ImageRequest::Of::window: {
        std::optional<QString> reason;
        if (request.format == FileFormat::png) {
            // The window as the screen shows it, at its own resolution.
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            form_->grab().save(&buffer, "PNG");
            reason = write_whole_file(file, bytes);
        } else {
            reason = write_widget_image(*form_, file, request.format == FileFormat::svg ? ExportFormat::svg : ExportFormat::pdf,
                                        form_->windowTitle(), 1.0);
        }
        if (reason)
            return "cannot write the snapshot \"" + quote_excerpt(request.file) + "\": " + reason->toStdString();
        return std::nullopt;
    }
    case ImageRequest::Of::chart: error = form_->export_chart(request.chart, file); break;
    case ImageRequest::Of::handout:
        if (const auto reason = form_->save_handout(file))
            return "cannot write the handout \"" + quote_excerpt(request.file) + "\": " + reason->toStdString();
        return std::nullopt;
    case ImageRequest::Of::view:
        if (ViewWindow* window = form_->view_window(request.view); window && shown_.view_open(request.view))
            error = window->export_to(file);
        else
            error = QStringLiteral("export %1: its window is not open").arg(QString::fromLatin1(kViewNames[static_cast<std::size_t>(request.view)]));
        break;
    }
    if (error) return error->toStdString();
    return std::nullopt;
}

}  // namespace jmach

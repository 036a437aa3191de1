#pragma once
// jmach-script's images: the window, a chart or a view painted by the Qt
// window from a session, exactly as the window shows that session, into a
// PNG, SVG or PDF file.

#include <memory>

#include "session/script_runner.h"

class QApplication;

namespace jmach {

class Form1;

class WindowImages : public ScriptFiles {
public:
    // Paints with the running QApplication; `app`, when given, is the one
    // made for the images, ended after the window.
    explicit WindowImages(std::unique_ptr<QApplication> app = nullptr);
    ~WindowImages() override;

    std::optional<std::string> write_file(const std::string& file, std::string_view bytes) override;
    std::optional<std::string> write_image(const Session& session, const ImageRequest& request) override;

private:
    std::unique_ptr<QApplication> app_;
    Session shown_;  // what the window shows: the script's session as it was at the image
    std::unique_ptr<Form1> form_;
};

}  // namespace jmach

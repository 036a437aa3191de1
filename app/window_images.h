#pragma once
// jmach-script's images: the window, a chart or a view painted by the Qt
// window from a session, exactly as the window shows that session, into a
// PNG, SVG or PDF file.

#include <memory>

#include "session/script_runner.h"

namespace jmach {

class Form1;

class WindowImages : public ScriptFiles {
public:
    // A QApplication must exist.
    WindowImages();
    ~WindowImages() override;

    std::optional<std::string> write_file(const std::string& file, std::string_view bytes) override;
    std::optional<std::string> write_image(const Session& session, const ImageRequest& request) override;

private:
    Session shown_;  // what the window shows: the script's session as it was at the image
    std::unique_ptr<Form1> form_;
};

}  // namespace jmach

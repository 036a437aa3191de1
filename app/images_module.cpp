// The image part of jmach-script, loaded on the script's first image line:
// it starts the Qt GUI application (offscreen, nobody sees the window) and
// hands back the painter of the window's images.

#include <QApplication>

#include "app/platform_notices.h"
#include "app/window_images.h"

// `argc` must live as long as the images: the application keeps it.
extern "C" __attribute__((visibility("default"))) jmach::ScriptFiles* jmach_window_images(int* argc, char** argv) {
    if (QCoreApplication::instance()) return new jmach::WindowImages;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    jmach::quiet_platform_notices();
    return new jmach::WindowImages(std::make_unique<QApplication>(*argc, argv));
}

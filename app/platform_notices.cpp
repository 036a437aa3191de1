#include "app/platform_notices.h"

#include <QtGlobal>
#include <QString>

namespace jmach {

namespace {

QtMessageHandler previous = nullptr;
bool installed = false;

void handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && (text == QLatin1String("This plugin does not support raise()") ||
                                 text == QLatin1String("This plugin does not support propagateSizeHints()")))
        return;
    if (previous) previous(type, context, text);
}

}  // namespace

void quiet_platform_notices() {
    if (installed) return;
    installed = true;
    previous = qInstallMessageHandler(handler);
}

}  // namespace jmach

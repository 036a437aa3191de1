#include "app/platform_notices.h"

#include <QtGlobal>
#include <QString>

namespace jmach {

namespace {

QtMessageHandler previous = nullptr;

void handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && (text == QLatin1String("This plugin does not support raise()") ||
                                 text == QLatin1String("This plugin does not support propagateSizeHints()")))
        return;
    if (previous) previous(type, context, text);
}

}  // namespace

void quiet_platform_notices() {
    const QtMessageHandler before = qInstallMessageHandler(handler);
    if (before != handler) previous = before;
}

}  // namespace jmach

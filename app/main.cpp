// jmach: the window program. Reads the airfoil table from the working
// directory and opens the main window.

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "app/form1.h"
#include "app/platform_notices.h"

namespace {

// On a platform nobody can see (offscreen, minimal) a modal box would wait
// for an answer that never comes, so there the message goes to standard
// error only.
bool interactive_platform() {
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

}  // namespace

int main(int argc, char** argv) {
    jmach::quiet_platform_notices();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jmach"));

    jmach::Form1 form;
    if (const auto error = form.Form_Load()) {
        std::fprintf(stderr, "jmach: %s\n", error->c_str());
        if (interactive_platform()) {
            QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                            QString::fromStdString(*error), QMessageBox::Ok);
            box.exec();
        }
        return 1;
    }
    if (!form.table_warning().empty()) std::fprintf(stderr, "jmach: %s\n", form.table_warning().c_str());
    form.show();
    return QApplication::exec();
}

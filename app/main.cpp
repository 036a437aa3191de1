// jmach: the window program. Finds the airfoil table (the working directory
// first, then the installation's data, then the desktop's data folders, or
// the file named with --table) and opens the main window over the session.

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/platform_notices.h"
#include "app/table_location.h"

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
    jmach::set_application_identity();
    // The desktop entry's id, which the window system matches the window to.
    QGuiApplication::setDesktopFileName(jmach::application_id());
    jmach::CommandLine command_line(
        QStringLiteral("jmach"), QStringLiteral("[FILE-OR-LINK]"),
        QStringLiteral("Critical Mach numbers of Joukowski airfoils: profile, surface pressure, critical Mach\n"
                       "number, lift and moment curves in one window.\n"
                       "The airfoil table KATJO-D20G15.txt is read from the working directory, else from\n"
                       "share/jmach of this installation, else from $XDG_DATA_HOME/jmach and\n"
                       "$XDG_DATA_DIRS/jmach.\n"
                       "A state file (.jmach) or a link to a state given here is opened at the start."));
    command_line.parser().addPositionalArgument(QStringLiteral("FILE-OR-LINK"),
                                                QStringLiteral("A state to open: a .jmach file, or a link with #state=."));
    command_line.set_max_positional(1);
    command_line.leave_toolkit_options();
    // Read before the window system is reached: --help needs no display.
    if (const auto status = command_line.read(jmach::program_arguments(argc, argv))) return *status;
    jmach::quiet_platform_notices();

    QApplication app(argc, argv);
    jmach::Session session;
    if (const auto error = jmach::load_startup_table(session, command_line.table(), jmach::installed_table_places())) {
        std::fprintf(stderr, "jmach: %s\n", error->c_str());
        if (interactive_platform()) {
            QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                            QString::fromStdString(*error), QMessageBox::Ok);
            box.exec();
        }
        return 1;
    }
    if (!session.table_warning().empty()) std::fprintf(stderr, "jmach: %s\n", session.table_warning().c_str());
    jmach::Form1 form(session);
    form.show();
    if (const QStringList state = command_line.positional(); !state.isEmpty()) {
        if (const auto refused = form.open_state(state.front())) {
            std::fprintf(stderr, "jmach: %s\n", refused->toLocal8Bit().constData());
            if (interactive_platform()) form.show_message(*refused, true);
        }
    }
    return QApplication::exec();
}

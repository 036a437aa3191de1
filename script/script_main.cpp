// jmach-script: runs the main window without a screen from a script of
// actions and prints what its value boxes (and charts) show after each.
//
//   jmach-script [--charts] [--table FILE] [SCRIPT]   (no SCRIPT or "-": standard input)

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/platform_notices.h"
#include "app/table_location.h"
#include "script/script_io.h"
#include "script/script_runner.h"

namespace {

constexpr const char* kDescription =
    "Runs the window offscreen and prints one JSON line per action.\n"
    "The airfoil table KATJO-D20G15.txt is read from the working directory, else from\n"
    "share/jmach of this installation, else from $XDG_DATA_HOME/jmach and $XDG_DATA_DIRS/jmach.\n"
    "Actions, one per line (blank lines and # comments are skipped):\n"
    "  thickness N | camber N | np N | alpha N | xm N | mach N   move that scroll bar to N\n"
    "  type-mach TEXT                  replace the text of the Mach box (runs nothing)\n"
    "  click profil|pressure|Picture_CL|Picture_CM|Mcrit\n"
    "  about                           open the About window\n"
    "  snapshot FILE.png|.svg|.pdf     save an image of the whole window\n"
    "  export CHART FILE.csv|.png|.svg|.pdf\n"
    "                                  save a chart's numbers (CSV) or its image\n"
    "  probe CHART X Y                 what the chart shows at X Y (its user coordinates)\n"
    "  sonic on|off                    the sonic level on the pressure chart\n"
    "  keep CHART | unkeep CHART       keep the chart's curves as its reference, or clear it";

QtMessageHandler default_handler = nullptr;

// Writing a PDF asks for the runtime folder, which a plain shell or a CI job
// may not set; Qt then uses one of its own.
void quiet_handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("XDG_RUNTIME_DIR not set"))) return;
    if (default_handler) default_handler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything opens a file: a closed standard descriptor must not be
    // taken by a file of Qt's, to be read as the script or written over.
    const int closed = jmach::guard_standard_descriptors();
    jmach::set_application_identity();
    jmach::CommandLine command_line(QStringLiteral("jmach-script"), QStringLiteral("[SCRIPT]"),
                                    QString::fromLatin1(kDescription));
    const QCommandLineOption charts_option(QStringLiteral("charts"),
                                           QStringLiteral("Add what each chart shows to every line."));
    command_line.parser().addOption(charts_option);
    command_line.parser().addPositionalArgument(QStringLiteral("SCRIPT"),
                                                QStringLiteral("The script file; none or - reads standard input."));
    command_line.set_max_positional(1);
    if (const auto status = command_line.read(jmach::program_arguments(argc, argv))) return *status;
    const bool charts = command_line.parser().isSet(charts_option);
    const QStringList positional = command_line.positional();
    const std::string script_name = positional.isEmpty() ? std::string() : positional.front().toStdString();
    const char* script = positional.isEmpty() ? nullptr : script_name.c_str();

    // The window is drawn into memory only, whatever display there is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    jmach::quiet_platform_notices();
    default_handler = qInstallMessageHandler(quiet_handler);
    QApplication app(argc, argv);

    int in = STDIN_FILENO;  // a closed standard input reads as an empty script
    if (script && std::strcmp(script, "-") != 0) {
        std::string error;
        if ((in = jmach::open_script(script, error)) < 0) {
            std::fprintf(stderr, "jmach-script: %s\n", error.c_str());
            return 2;
        }
    }

    jmach::Form1 form;
    if (const auto error = jmach::load_startup_table(form, command_line.table(), jmach::installed_table_places())) {
        std::fprintf(stderr, "jmach-script: %s\n", error->c_str());
        return 1;
    }
    if (!form.table_warning().empty()) std::fprintf(stderr, "jmach-script: %s\n", form.table_warning().c_str());
    // The runner holds the window's paint back before it is shown: nobody
    // sees its first frame either.
    jmach::ScriptRunner runner(form, jmach::ScriptOptions{charts});
    form.show();
    QCoreApplication::processEvents();
    jmach::ScriptLineReader lines(jmach::fd_source(in));
    jmach::LineWriter out(STDOUT_FILENO, (closed & 2) != 0);
    std::string error;
    const int status = runner.run(lines, out, script ? jmach::quote_excerpt(script) : "stdin", error);
    if (status != 0) std::fprintf(stderr, "jmach-script: %s\n", error.c_str());
    return status;
}

// jmach-script: runs the main window without a screen from a script of
// actions and prints what its value boxes (and charts) show after each.
//
//   jmach-script [--charts] [SCRIPT]      (no SCRIPT or "-": standard input)

#include <QApplication>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/form1.h"
#include "app/platform_notices.h"
#include "script/script_io.h"
#include "script/script_runner.h"

namespace {

constexpr const char* kUsage =
    "usage: jmach-script [--charts] [SCRIPT]\n"
    "Runs the window offscreen, reading KATJO-D20G15.txt from the working directory.\n"
    "Actions, one per line (blank lines and # comments are skipped):\n"
    "  thickness N | camber N | np N | alpha N | xm N | mach N   move that scroll bar to N\n"
    "  type-mach TEXT                  replace the text of the Mach box (runs nothing)\n"
    "  click profil|pressure|Picture_CL|Picture_CM|Mcrit\n"
    "  about                           open the About window\n"
    "  snapshot FILE.png               save an image of the whole window\n";

}  // namespace

int main(int argc, char** argv) {
    // Before anything opens a file: a closed standard descriptor must not be
    // taken by a file of Qt's, to be read as the script or written over.
    const int closed = jmach::guard_standard_descriptors();
    bool charts = false;
    const char* script = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--charts") == 0) {
            charts = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "jmach-script: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        } else if (!script) {
            script = argv[i];
        } else {
            std::fprintf(stderr, "jmach-script: one script at most\n%s", kUsage);
            return 2;
        }
    }

    // The window is drawn into memory only, whatever display there is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    jmach::quiet_platform_notices();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jmach"));

    int in = STDIN_FILENO;  // a closed standard input reads as an empty script
    if (script && std::strcmp(script, "-") != 0) {
        std::string error;
        if ((in = jmach::open_script(script, error)) < 0) {
            std::fprintf(stderr, "jmach-script: %s\n", error.c_str());
            return 2;
        }
    }

    jmach::Form1 form;
    if (const auto error = form.Form_Load()) {
        std::fprintf(stderr, "jmach-script: %s\n", error->c_str());
        return 1;
    }
    if (!form.table_warning().empty()) std::fprintf(stderr, "jmach-script: %s\n", form.table_warning().c_str());
    form.show();
    QCoreApplication::processEvents();

    jmach::ScriptRunner runner(form, jmach::ScriptOptions{charts});
    jmach::ScriptLineReader lines(jmach::fd_source(in));
    jmach::LineWriter out(STDOUT_FILENO, (closed & 2) != 0);
    std::string error;
    const int status = runner.run(lines, out, script ? jmach::quote_excerpt(script) : "stdin", error);
    if (status != 0) std::fprintf(stderr, "jmach-script: %s\n", error.c_str());
    return status;
}

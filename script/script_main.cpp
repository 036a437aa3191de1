// jmach-script: runs the main window without a screen from a script of
// actions and prints what its value boxes (and charts) show after each.
//
//   jmach-script [--charts] [SCRIPT]      (no SCRIPT or "-": standard input)

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/form1.h"
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

QtMessageHandler default_handler = nullptr;

// The offscreen platform cannot fix a window's size and says so each time
// the window is laid out; the notice means nothing for drawing into memory.
void quiet_handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("propagateSizeHints"))) return;
    if (default_handler) default_handler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
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
    default_handler = qInstallMessageHandler(quiet_handler);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jmach"));

    std::ifstream file;
    std::istream* in = &std::cin;
    if (script && std::strcmp(script, "-") != 0) {
        file.open(script);
        if (!file) {
            std::fprintf(stderr, "jmach-script: cannot read %s\n", script);
            return 2;
        }
        in = &file;
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
    std::ostringstream errors;
    const int status = runner.run(*in, std::cout, errors);
    if (status != 0) std::cerr << "jmach-script: " << (script ? script : "stdin") << ": " << errors.str();
    return status;
}

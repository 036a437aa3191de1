// jmach-script: runs the main window without a screen from a script of
// actions and prints what its value boxes (and charts) show after each.
//
//   jmach-script [--charts] [--table FILE] [--state FILE-OR-LINK] [SCRIPT]
//   (no SCRIPT or "-": standard input)
//
// The window here is the session alone. The Qt window that paints images
// is a part of its own, loaded when the first snapshot or image export
// comes: a script without one neither starts a GUI application nor loads
// its libraries.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/table_location.h"
#include "core/file_write.h"
#include "script/script_io.h"
#include "session/script_runner.h"

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
    "  keep CHART | unkeep CHART       keep the chart's curves as its reference, or clear it\n"
    "  sweep thickness|camber|alpha    open the critical Mach view over that input\n"
    "  flow | close sweep|flow         open the flow field, or close a view\n"
    "  undo | redo                     take the last step back, or forward again\n"
    "  save FILE.jmach                 save the state (opened again with --state)\n"
    "  link                            add the link to the state to the line\n"
    "  handout FILE.pdf                save the one-page handout";

// Where the part that paints images lies: beside the program in a build,
// in the installation's library folder once installed.
#ifndef JMACH_IMAGES_FROM_BIN
#error "the build names the folder of the image part relative to the programs (JMACH_IMAGES_FROM_BIN)"
#endif
constexpr const char* kImagesModule = "jmach-images.so";

// The files of a script: its CSV tables written here, its images by the
// Qt window of the image part, loaded on first use.
class ToolFiles : public jmach::ScriptFiles {
public:
    ToolFiles(int argc, char** argv) : argc_(argc), argv_(argv) {}

    std::optional<std::string> write_file(const std::string& file, std::string_view bytes) override {
        if (const auto reason = jmach::write_whole_file(file, bytes)) return jmach::cannot_write(file, *reason);
        return std::nullopt;
    }

    std::optional<std::string> write_image(const jmach::Session& session, const jmach::ImageRequest& request) override {
        if (!images_) {
            std::string why;
            images_ = load(why);
            if (!images_) return jmach::cannot_write(request.file, why);
        }
        return images_->write_image(session, request);
    }

private:
    std::unique_ptr<jmach::ScriptFiles> load(std::string& why) {
        std::error_code ec;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
        const std::filesystem::path folder = ec ? std::filesystem::path(".") : self.parent_path();
        void* part = nullptr;
        for (const std::filesystem::path& place : {folder / kImagesModule, folder / JMACH_IMAGES_FROM_BIN / kImagesModule}) {
            if ((part = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL))) break;
            if (std::filesystem::exists(place, ec)) {
                why = std::string("the image part cannot be loaded (") + ::dlerror() + ")";
                return nullptr;
            }
        }
        if (!part) {
            why = std::string("the image part ") + kImagesModule + " is not installed";
            return nullptr;
        }
        using Make = jmach::ScriptFiles* (*)(int*, char**);
        const auto make = reinterpret_cast<Make>(::dlsym(part, "jmach_window_images"));
        if (!make) {
            why = "the image part is not this program's";
            return nullptr;
        }
        return std::unique_ptr<jmach::ScriptFiles>(make(&argc_, argv_));
    }

    int argc_;
    char** argv_;
    std::unique_ptr<jmach::ScriptFiles> images_;
};

}  // namespace

int main(int argc, char** argv) {
    // Before anything opens a file: a closed standard descriptor must not be
    // taken by a file of ours, to be read as the script or written over.
    const int closed = jmach::guard_standard_descriptors();
    jmach::set_application_identity();
    jmach::CommandLine command_line(QStringLiteral("jmach-script"), QStringLiteral("[SCRIPT]"),
                                    QString::fromLatin1(kDescription));
    const QCommandLineOption charts_option(QStringLiteral("charts"),
                                           QStringLiteral("Add what each chart shows to every line."));
    command_line.parser().addOption(charts_option);
    const QCommandLineOption state_option(
        QStringLiteral("state"),
        QStringLiteral("Open a state (a .jmach file or a link) first; its line has the action \"open\"."),
        QStringLiteral("FILE-OR-LINK"));
    command_line.parser().addOption(state_option);
    command_line.parser().addPositionalArgument(QStringLiteral("SCRIPT"),
                                                QStringLiteral("The script file; none or - reads standard input."));
    command_line.set_max_positional(1);
    if (const auto status = command_line.read(jmach::program_arguments(argc, argv))) return *status;
    const bool charts = command_line.parser().isSet(charts_option);
    const QStringList positional = command_line.positional();
    const std::string script_name = positional.isEmpty() ? std::string() : positional.front().toStdString();
    const char* script = positional.isEmpty() ? nullptr : script_name.c_str();

    int in = STDIN_FILENO;  // a closed standard input reads as an empty script
    if (script && std::strcmp(script, "-") != 0) {
        std::string error;
        if ((in = jmach::open_script(script, error)) < 0) {
            std::fprintf(stderr, "jmach-script: %s\n", error.c_str());
            return 2;
        }
    }

    jmach::Session session;
    if (const auto error = jmach::load_startup_table(session, command_line.table(), jmach::installed_table_places())) {
        std::fprintf(stderr, "jmach-script: %s\n", error->c_str());
        return 1;
    }
    if (!session.table_warning().empty()) std::fprintf(stderr, "jmach-script: %s\n", session.table_warning().c_str());
    ToolFiles files(argc, argv);
    jmach::ScriptRunner runner(session, jmach::ScriptOptions{charts, jmach::page_address()}, &files);
    jmach::ScriptLineReader lines(jmach::fd_source(in));
    jmach::LineWriter out(STDOUT_FILENO, (closed & 2) != 0);
    std::string error;
    if (command_line.parser().isSet(state_option)) {
        // A state refused runs nothing: no line, and the script is not read.
        const std::string where = command_line.parser().value(state_option).toStdString();
        std::string json;
        if (const auto refused = runner.open(where, json)) {
            std::fprintf(stderr, "jmach-script: %s: %s\n", jmach::quote_excerpt(where).c_str(), refused->c_str());
            return 1;
        }
        if (!out.write_line(json)) {
            std::fprintf(stderr, "jmach-script: %s\n", out.error().c_str());
            return 1;
        }
    }
    const int status = runner.run(
        lines,
        [&](std::string_view line) -> std::optional<std::string> {
            if (out.write_line(line)) return std::nullopt;
            return out.error();
        },
        script ? jmach::quote_excerpt(script) : "stdin", error);
    if (status != 0) std::fprintf(stderr, "jmach-script: %s\n", error.c_str());
    return status;
}

// session-replay: runs a script over the window without any toolkit, as
// jmach-script does, and prints its JSON lines. Images are not painted: an
// image line reports as it would once the file was written. The
// regression recordings replay through it in the Qt-free suite.
//
//   session-replay [--charts] TABLE SCRIPT

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "script/script_io.h"
#include "session/script_runner.h"

namespace {

class NoFiles : public jmach::ScriptFiles {
public:
    std::optional<std::string> write_file(const std::string&, std::string_view) override { return std::nullopt; }
    std::optional<std::string> write_image(const jmach::Session&, const jmach::ImageRequest&) override {
        return std::nullopt;
    }
};

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    const bool charts = argc > 1 && std::strcmp(argv[1], "--charts") == 0;
    if (charts) ++first;
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: session-replay [--charts] TABLE SCRIPT\n");
        return 2;
    }
    jmach::Session session;
    if (const auto error = session.Form_Load(std::filesystem::path(argv[first]))) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    std::string error;
    const int in = jmach::open_script(argv[first + 1], error);
    if (in < 0) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    NoFiles files;
    jmach::ScriptRunner runner(session, {charts}, &files);
    jmach::ScriptLineReader lines(jmach::fd_source(in));
    jmach::LineWriter out(STDOUT_FILENO);
    const int status = runner.run(
        lines,
        [&](std::string_view line) -> std::optional<std::string> {
            if (out.write_line(line)) return std::nullopt;
            return out.error();
        },
        argv[first + 1], error);
    if (status != 0) std::fprintf(stderr, "%s\n", error.c_str());
    return status;
}

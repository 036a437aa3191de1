#pragma once
// Runs the script language over the window: one action a line, each
// reported as one JSON line of the value boxes (and, on request, every
// chart's drawing). jmach-script, the page's #script= hook and the tests
// run scripts here.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/history.h"
#include "session/script_parse.h"
#include "session/script_text.h"
#include "session/session.h"
#include "session/state_lines.h"

namespace jmach {

// The file formats a chart, a view or the window is saved in, by the
// file's suffix (after the last dot of its last part, in any case).
enum class FileFormat { csv, png, svg, pdf };
std::optional<FileFormat> file_format(std::string_view file);

// What the window is asked to save as an image: the whole window, one of
// its charts, or one of its views.
struct ImageRequest {
    enum class Of { window, chart, view, handout };
    Of of = Of::window;
    ChartId chart = ChartId::Mcrit;
    View view = View::sweep;
    std::string file;
    FileFormat format = FileFormat::png;
};

// Where a script's files go: the edition's own ways of writing a file and
// of painting an image. Each returns the message to report when nothing
// was written.
class ScriptFiles {
public:
    virtual ~ScriptFiles() = default;
    // The bytes as the file: a chart's numbers as CSV.
    virtual std::optional<std::string> write_file(const std::string& file, std::string_view bytes) = 0;
    // An image of the window as the session shows it now.
    virtual std::optional<std::string> write_image(const Session& session, const ImageRequest& request) = 0;
};

// The message when a file cannot be written: "Cannot write FILE: REASON".
std::string cannot_write(std::string_view file, std::string_view reason);

struct ScriptOptions {
    bool charts = false;  // add the "charts" object to every line
    std::string page = kDefaultPageAddress;  // the address a link starts with
    bool history = true;  // keep the steps for undo (a state being opened needs none)
    // A script takes back the last steps of its own lines, not a lesson's
    // hour of work: fewer kept states than the window's keep a long batch
    // run from carrying the drawings of a thousand earlier ones.
    std::size_t undo_steps = 100;
};

class ScriptRunner {
public:
    // `files` may be null: every action that writes a file is then refused.
    ScriptRunner(Session& session, ScriptOptions options, ScriptFiles* files);

    // Runs every line of `in`, writing one JSON line per action through
    // `out` (which returns the reason when the line could not be written),
    // and returns 0 when the whole script ran. Otherwise it stops and
    // returns the exit status with its message in `error`: 1 at the first
    // bad line ("<script>: line N: ...") or failed write, 2 when the script
    // cannot be read.
    using LineOutput = std::function<std::optional<std::string>(std::string_view line)>;
    int run(ScriptLineReader& in, const LineOutput& out, std::string_view script_name, std::string& error);

    // Runs one line. Blank and comment lines do nothing and leave `json`
    // empty. Returns the error text of a bad line.
    std::optional<std::string> run_line(std::string_view line, std::string& json);
    // Performs one parsed action; the error text when it could not be done.
    std::optional<std::string> perform(const ScriptAction& action);
    // Opens the state of a file or link as one step, and gives the JSON
    // line of the window after it (action "open"); the notice of a state
    // refused ("line N: ...", or why the file cannot be read), when nothing
    // changed.
    std::optional<std::string> open(const std::string& where, std::string& json);
    // The JSON line of the window after `action`.
    std::string report(const ScriptAction& action) const;
    // The messages the last action raised, each answered with OK.
    const std::vector<std::string>& messages() const { return messages_; }
    // The steps an undo takes back.
    History& history() { return history_; }

private:
    std::optional<std::string> save(const ScriptAction& action);
    std::optional<std::string> act(const ScriptAction& action);

    Session& session_;
    ScriptOptions options_;
    History history_{options_.undo_steps};
    ScriptFiles* files_;
    std::vector<std::string> messages_;
};

// The drawing of one surface as a JSON array: its Scale corners first,
// then each primitive since the last Cls, in drawing order.
std::string surface_json(const RecordingSurface& surface);

}  // namespace jmach

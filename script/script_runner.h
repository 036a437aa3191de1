#pragma once
// Drives the main window from a script of actions, one per line, and
// reports the window's value boxes (and, on request, every chart's drawing)
// as one JSON line per action. Used by jmach-script and by the tests.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_io.h"
#include "script/script_parse.h"

namespace jmach {

class Form1;
class RecordingSurface;

struct ScriptOptions {
    bool charts = false;  // add the "charts" object to every line
    // Let the window paint after every action, as a window on a screen
    // does. Without it nothing is painted unless an action writes pixels
    // (a snapshot, an image export): a batch that nobody watches does not
    // rasterise frames that are thrown away. Either way the charts keep
    // their retained drawings and the files are the same.
    bool paint_every_action = false;
};

class ScriptRunner {
public:
    // Takes over the window's message boxes: each is answered with OK and
    // its text reported with the action that raised it.
    ScriptRunner(Form1& form, ScriptOptions options);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Runs every line of `in`, writing one JSON line per action to `out`,
    // and returns 0 when the whole script ran. Otherwise it stops and
    // returns the exit status with its message in `error`: 1 at the first
    // bad line ("<script>: line N: ...") or failed write, 2 when the script
    // cannot be read.
    int run(ScriptLineReader& in, LineWriter& out, std::string_view script_name, std::string& error);

    // Runs one line. Blank and comment lines do nothing and leave `json`
    // empty. Returns the error text of a bad line.
    std::optional<std::string> run_line(std::string_view line, std::string& json);

private:
    std::optional<std::string> perform(const ScriptAction& action);
    std::optional<std::string> write_pixels(const ScriptAction& action);
    // While no one watches: the main window and the About window take no
    // repaints.
    void hold_paint();
    std::string report(const ScriptAction& action) const;

    Form1& form_;
    ScriptOptions options_;
    std::vector<std::string> messages_;
};

// The drawing of one surface as a JSON array: its Scale corners first,
// then each primitive since the last Cls, in drawing order.
std::string surface_json(const RecordingSurface& surface);

}  // namespace jmach

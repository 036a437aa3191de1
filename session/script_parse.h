#pragma once
// One line of the script language read as an action, without running it:
// what to do, or the message for a bad line.

#include <string>
#include <string_view>
#include <variant>

namespace jmach {

// The words of the actions name the scroll bars by kInputWords, the charts
// by kChartNames, the views by kViewNames and the swept inputs by
// kSweepInputNames; the scroll bars' ranges are those of the control table.

struct ScriptAction {
    enum class Kind {
        skip,       // a blank line or a # comment
        set_input,  // move scroll bar `input` to `value`
        type_mach,  // replace the Mach box text by `text`
        click,      // click chart `chart`
        about,      // open the About window
        snapshot,   // save an image of the window to the file `text`
        export_chart,  // save chart `chart` (numbers or image) to the file `text`
        probe,      // what chart `chart` shows at (`x`, `y`), its user coordinates
        sonic,      // the sonic level on the pressure chart, on when `on`
        keep,       // keep chart `chart`'s curves as its reference
        unkeep,     // clear chart `chart`'s reference
        sweep,      // open (or switch) the critical Mach view on input `input`
        flow,       // open the flow-field view
        close_view, // close view `view`
        export_view,  // save view `view` (numbers or image) to the file `text`
        undo,       // take the window back one step
        redo,       // and forward again
        save_state, // save the state to the file `text` (.jmach)
        link,       // report the link to the state
        handout,    // save the one-page handout to the file `text` (.pdf)
    };
    Kind kind = Kind::skip;
    int input = 0;  // index into kInputWords (kSweepInputNames for a sweep)
    int value = 0;
    int chart = 0;  // index into kChartNames
    double x = 0, y = 0;
    bool on = false;
    int view = 0;  // index into kViewNames
    std::string text;
    std::string content;  // the line without the blanks around it, as it is echoed
};

// The suffix of a file's own name (after the last dot of its last part),
// in lower case and without the dot; empty when it has none.
std::string file_suffix(std::string_view file);

// The action of one line, or the message of a bad line (an unknown action,
// a missing or non-whole number, a value out of its bar's range, a click
// on something that is no chart, words after "about", a snapshot or export
// without a file name, a probe without two finite numbers, "sonic" without
// on or off, words after undo, redo or link, save or handout without a
// file of their suffix). A message quotes at most 80 characters of the line.
std::variant<ScriptAction, std::string> parse_script_line(std::string_view line);

}  // namespace jmach

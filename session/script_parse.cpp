#include "session/script_parse.h"

#include <charconv>
#include <cctype>
#include <cmath>

#include "charts/sweep.h"
#include "core/number_text.h"
#include "session/controls.h"
#include "session/script_text.h"

namespace jmach {

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string quoted(std::string_view text) { return "\"" + quote_excerpt(text) + "\""; }

constexpr const char* kChartChoice = "one of Mcrit, profil, pressure, Picture_CL, Picture_CM";

// The index of a word in a list of names, or -1.
template <std::size_t N>
int index_in(const std::array<const char*, N>& names, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (word == names[i]) return static_cast<int>(i);
    return -1;
}
int chart_index(std::string_view name) { return index_in(kChartNames, name); }

// A finite number written out in full (no blanks, nothing after it).
bool read_number(std::string_view text, double& value) {
    const std::optional<double> read = read_number_text(text);
    if (read) value = *read;
    return read.has_value();
}

}  // namespace

std::string file_suffix(std::string_view file) {
    const std::string_view name = file.substr(file.find_last_of('/') == std::string_view::npos ? 0 : file.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    std::string suffix(dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1));
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix;
}

std::variant<ScriptAction, std::string> parse_script_line(std::string_view line) {
    ScriptAction action;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view content = trim(line);
    if (content.empty() || content.front() == '#') return action;
    action.content = std::string(content);

    const std::size_t space = content.find_first_of(" \t");
    const std::string_view word = content.substr(0, space);
    // The rest of the line after the one blank that ends the action word.
    const std::string_view raw_rest =
        space == std::string_view::npos ? std::string_view() : content.substr(space + 1);
    const std::string_view rest = trim(raw_rest);

    for (std::size_t i = 0; i < kInputWords.size(); ++i) {
        if (word != kInputWords[i]) continue;
        const Control& range = input_bar(static_cast<Input>(i));
        int value = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (rest.empty() || ec != std::errc() || end != rest.data() + rest.size())
            return std::string(word) + " needs a whole number, not " + quoted(rest);
        if (value < range.minimum || value > range.maximum)
            return std::string(word) + " " + std::to_string(value) + " is outside " + std::to_string(range.minimum) +
                   ".." + std::to_string(range.maximum);
        action.kind = ScriptAction::Kind::set_input;
        action.input = static_cast<int>(i);
        action.value = value;
        return action;
    }
    if (word == "type-mach") {
        action.kind = ScriptAction::Kind::type_mach;
        action.text = std::string(raw_rest);
        return action;
    }
    if (word == "click") {
        if ((action.chart = chart_index(rest)) >= 0) {
            action.kind = ScriptAction::Kind::click;
            return action;
        }
        return "click needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, not " + quoted(rest);
    }
    if (word == "about") {
        if (!rest.empty()) return std::string("about takes nothing after it");
        action.kind = ScriptAction::Kind::about;
        return action;
    }
    if (word == "snapshot") {
        if (rest.empty()) return std::string("snapshot needs a file name");
        action.kind = ScriptAction::Kind::snapshot;
        action.text = std::string(rest);
        return action;
    }
    if (word == "export") {
        // export CHART FILE: the file name is the rest of the line.
        const std::size_t gap = rest.find_first_of(" \t");
        const std::string_view name = rest.substr(0, gap);
        const std::string_view file = gap == std::string_view::npos ? std::string_view() : trim(rest.substr(gap));
        action.view = index_in(kViewNames, name);
        action.chart = chart_index(name);
        if (action.view >= 0 || action.chart >= 0) {
            if (file.empty()) return "export " + std::string(name) + " needs a file name";
            action.kind = action.view >= 0 ? ScriptAction::Kind::export_view : ScriptAction::Kind::export_chart;
            action.text = std::string(file);
            return action;
        }
        return "export needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, sweep, flow, not " + quoted(name);
    }
    if (word == "probe") {
        // probe CHART X Y
        const std::size_t gap1 = rest.find_first_of(" \t");
        const std::string_view name = rest.substr(0, gap1);
        const std::string_view coordinates = gap1 == std::string_view::npos ? std::string_view() : trim(rest.substr(gap1));
        const std::size_t gap2 = coordinates.find_first_of(" \t");
        const std::string_view xs = coordinates.substr(0, gap2);
        const std::string_view ys = gap2 == std::string_view::npos ? std::string_view() : trim(coordinates.substr(gap2));
        action.chart = chart_index(name);
        if (action.chart < 0) return std::string("probe needs ") + kChartChoice + ", not " + quoted(name);
        if (!read_number(xs, action.x) || !read_number(ys, action.y))
            return "probe " + std::string(name) + " needs two numbers X Y, not " + quoted(coordinates);
        action.kind = ScriptAction::Kind::probe;
        return action;
    }
    if (word == "sonic") {
        if (rest != "on" && rest != "off") return "sonic needs on or off, not " + quoted(rest);
        action.kind = ScriptAction::Kind::sonic;
        action.on = rest == "on";
        return action;
    }
    if (word == "keep" || word == "unkeep") {
        action.chart = chart_index(rest);
        if (action.chart < 0) return std::string(word) + " needs " + kChartChoice + ", not " + quoted(rest);
        action.kind = word == "keep" ? ScriptAction::Kind::keep : ScriptAction::Kind::unkeep;
        return action;
    }
    if (word == "sweep") {
        if ((action.input = index_in(kSweepInputNames, rest)) >= 0) {
            action.kind = ScriptAction::Kind::sweep;
            return action;
        }
        return "sweep needs thickness, camber or alpha, not " + quoted(rest);
    }
    if (word == "flow") {
        if (!rest.empty()) return std::string("flow takes nothing after it");
        action.kind = ScriptAction::Kind::flow;
        return action;
    }
    if (word == "close") {
        if ((action.view = index_in(kViewNames, rest)) >= 0) {
            action.kind = ScriptAction::Kind::close_view;
            return action;
        }
        return "close needs sweep or flow, not " + quoted(rest);
    }
    if (word == "undo" || word == "redo" || word == "link") {
        if (!rest.empty()) return std::string(word) + " takes nothing after it";
        action.kind = word == "undo"   ? ScriptAction::Kind::undo
                      : word == "redo" ? ScriptAction::Kind::redo
                                       : ScriptAction::Kind::link;
        return action;
    }
    if (word == "save" || word == "handout") {
        const bool save = word == "save";
        if (rest.empty()) return std::string(word) + " needs a file name";
        if (file_suffix(rest) != (save ? "jmach" : "pdf"))
            return std::string(word) + " " + quoted(rest) + ": the suffix must be " + (save ? ".jmach" : ".pdf");
        action.kind = save ? ScriptAction::Kind::save_state : ScriptAction::Kind::handout;
        action.text = std::string(rest);
        return action;
    }
    return "unknown action " + quoted(word);
}

}  // namespace jmach

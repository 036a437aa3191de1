#include "session/state_lines.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "core/utf8.h"
#include "session/script_runner.h"
#include "session/script_text.h"

namespace jmach {

namespace {

// The lines that take a window in state `from` to state `to`; `from` is
// updated as they would update it.
void moves(InputState& from, const InputState& to, std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < kInputWords.size(); ++i) {
        if (from.bars[i] == to.bars[i]) continue;
        lines.push_back(std::string(kInputWords[i]) + " " + std::to_string(to.bars[i]));
        from.bars[i] = to.bars[i];
        if (static_cast<Input>(i) == Input::mach) from.chain_mach = from.bar_mach = to.bar_mach;
    }
    // A typed Mach number that a chain has read: typed, then a click on
    // the profile recomputes everything with it.
    if (to.chain_mach != from.chain_mach) {
        lines.push_back("type-mach " + to.chain_mach);
        lines.push_back("click profil");
        from.chain_mach = to.chain_mach;
    }
    if (to.sonic != from.sonic) {
        lines.push_back(to.sonic ? "sonic on" : "sonic off");
        from.sonic = to.sonic;
    }
}

bool whole_in_range(std::string_view text, const Control& bar) {
    // At most four digits after an optional minus: no sign, blank or point.
    const std::string_view digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 4) return false;
    for (const char c : digits)
        if (c < '0' || c > '9') return false;
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value >= bar.minimum && value <= bar.maximum;
}

// Whether a text holds a control character or a line separator.
bool has_breaks(std::string_view text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return text.find("\u2028") != std::string_view::npos || text.find("\u2029") != std::string_view::npos;
}

template <std::size_t N>
bool one_of(const std::array<const char*, N>& names, std::string_view word) {
    for (const char* n : names)
        if (word == n) return true;
    return false;
}

// Whether a line is one a state may hold: the action word, then nothing
// or one blank and its value.
bool allowed(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && ((line[end] >= 'a' && line[end] <= 'z') || line[end] == '-')) ++end;
    if (end == 0 || (end < line.size() && line[end] != ' ')) return false;
    const std::string_view word = line.substr(0, end);
    const std::string_view rest = end < line.size() ? line.substr(end + 1) : std::string_view();
    if (word != "type-mach" && has_breaks(rest)) return false;
    for (std::size_t i = 0; i < kInputWords.size(); ++i)
        if (word == kInputWords[i]) return whole_in_range(rest, input_bar(static_cast<Input>(i)));
    if (word == "type-mach") return utf8_length(rest) <= kMaxStateMachText && !has_breaks(rest);
    if (word == "click" || word == "keep" || word == "unkeep") return one_of(kChartNames, rest);
    if (word == "sonic") return rest == "on" || rest == "off";
    if (word == "sweep") return one_of(kSweepInputNames, rest);
    if (word == "close") return one_of(kViewNames, rest);
    if (word == "flow") return rest.empty();
    return false;
}

// The moment point's mark on the profile stays only until another chain
// redraws the profile, so where the last moves end with the moment point's
// it may show where the window shows none, or the reverse. The lines may
// move the moment point first among the last moves, or there and back
// after them.
enum class MomentMark { as_ordered, moved_first, moved_again };

// The lines from the start to the state, passing through the states the
// window still shows something of: the inputs each reference was kept at
// and, while the critical Mach number is held, those of its search. A
// click on the profile draws the charts where no line has yet.
std::vector<std::string> direct_lines(const Session& session, MomentMark mark) {
    InputState at;
    for (std::size_t i = 0; i < at.bars.size(); ++i) at.bars[i] = input_bar(static_cast<Input>(i)).value;
    const InputState start = at;
    std::vector<std::string> lines;
    auto reach = [&](const InputState& to) {
        moves(at, to, lines);
        if (at == start && lines.empty()) lines.emplace_back("click profil");
    };
    const auto search = session.held_search();
    const auto& kept = session.kept_references();
    for (std::size_t i = 0; i <= kept.size(); ++i) {
        if (search && search->after_kept == i) reach(search->at);
        if (i == kept.size()) break;
        reach(kept[i].at);
        // Moving on redraws the chart over its kept reference, never the reference.
        lines.push_back(std::string("keep ") + kChartNames[static_cast<std::size_t>(kept[i].chart)]);
    }
    const InputState to = session.input_state();
    const auto xm = static_cast<std::size_t>(Input::xm);
    if (mark == MomentMark::moved_first) {
        InputState first = at;
        first.bars[xm] = to.bars[xm];
        moves(at, first, lines);
    }
    moves(at, to, lines);
    if (session.drawn() && lines.empty()) lines.emplace_back("click profil");
    if (mark == MomentMark::moved_again) {
        InputState aside = to;
        aside.bars[xm] += to.bars[xm] < input_bar(Input::xm).maximum ? 1 : -1;
        moves(at, aside, lines);
        moves(at, to, lines);
    }
    if (const std::string& typed = *session.text("Text_Moo"); typed != at.chain_mach) lines.push_back("type-mach " + typed);
    if (session.view_open(View::sweep))
        lines.push_back(std::string("sweep ") + kSweepInputNames[static_cast<std::size_t>(session.sweep_input())]);
    if (session.view_open(View::flow)) lines.push_back("flow");
    return lines;
}

// Runs checked state lines on `window`, its views drawn once at the end;
// the error of a line that could not run (the line itself quoted), else
// empty, with the last message raised on the way in `notice`.
std::optional<std::string> run_lines(Session& window, const std::vector<std::string>& lines, std::string& notice) {
    ScriptRunner runner(window, {.history = false}, nullptr);
    window.hold_views(true);
    for (const std::string& line : lines) {
        auto parsed = parse_script_line(line);
        std::optional<std::string> error;
        if (const auto* bad = std::get_if<std::string>(&parsed))
            error = *bad;
        else
            error = runner.perform(std::get<ScriptAction>(parsed));
        if (error) return "the state stopped at \"" + line + "\": " + *error;
        if (!runner.messages().empty()) notice = runner.messages().back();
    }
    window.hold_views(false);
    return std::nullopt;
}

// Whether the lines take a window at its start to what `session` shows.
bool reaches(const Session& session, const std::vector<std::string>& lines) {
    Session replay = session.restarted();
    std::string notice;
    return !run_lines(replay, lines, notice) && replay.same_window(session);
}

bool fits(const std::vector<std::string>& lines) {
    std::size_t chars = std::string_view(kStateHeader).size();
    for (const std::string& line : lines) chars += utf8_length(line) + 1;
    return lines.size() + 1 <= kMaxStateLines && chars <= kMaxStateChars;
}

}  // namespace

std::vector<std::string> state_lines(const Session& session) {
    const std::vector<std::string> lines = direct_lines(session, MomentMark::as_ordered);
    if (reaches(session, lines)) return lines;
    for (const MomentMark mark : {MomentMark::moved_first, MomentMark::moved_again})
        if (std::vector<std::string> other = direct_lines(session, mark); fits(other) && reaches(session, other))
            return other;
    // Where the window shows more of its path than the direct lines give
    // (a profile the table lacks on the way, charts from an earlier
    // point count): the path as it was taken, when a state can hold it.
    std::vector<std::string> path = session.path();
    if (fits(path) && std::all_of(path.begin(), path.end(), [](const std::string& l) { return allowed(l); }) &&
        reaches(session, path))
        return path;
    return lines;
}

std::string state_text(const Session& session) {
    std::string text = std::string(kStateHeader) + "\n";
    for (const std::string& line : state_lines(session)) text += line + "\n";
    return text;
}

std::string percent_encoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           std::string_view("-_.!~*'()").find(ch) != std::string_view::npos;
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string state_link(const Session& session, std::string_view base) {
    return std::string(base.substr(0, base.find('#'))) + "#state=" + percent_encoded(state_text(session));
}

std::optional<std::string> percent_decoded(std::string_view part) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < part.size(); ++i) {
        if (part[i] != '%') {
            out += part[i];
            continue;
        }
        const int high = i + 2 < part.size() ? digit(part[i + 1]) : -1;
        const int low = high >= 0 ? digit(part[i + 2]) : -1;
        if (low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (valid_utf8(out) != out) return std::nullopt;
    return out;
}

std::variant<std::vector<std::string>, std::string> read_state(std::string_view text, bool versioned) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark some editors write
    std::vector<std::string> lines;
    std::size_t number = 0, chars = 0;
    auto refuse = [&](const std::string& why) { return "line " + std::to_string(number) + ": " + why; };
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        // The final line feed of a file ends its last line.
        if (from > text.size() && line.empty() && number > 1) break;
        if (number > kMaxStateLines) return refuse("a state holds at most " + std::to_string(kMaxStateLines) + " lines");
        chars += utf8_length(line) + 1;
        if (chars > kMaxStateChars + 1)
            return refuse("a state holds at most " + std::to_string(kMaxStateChars) + " characters");
        if (valid_utf8(line) != line) return refuse("not UTF-8 text");
        if (versioned && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (versioned && number == 1) {
            // "jmach-state N": a later version is another edition's to read.
            const std::string_view word = "jmach-state ";
            int version = 0;
            const char* digits = line.data() + std::min(word.size(), line.size());
            const auto [stop, ec] = std::from_chars(digits, line.data() + line.size(), version);
            if (!line.starts_with(word) || ec != std::errc() || stop != line.data() + line.size() || version < 1)
                return refuse(std::string("this is not a state of the window: its first line must be \"") +
                              kStateHeader + "\"");
            if (version > kStateVersion)
                return refuse("the state is of version " + std::to_string(version) +
                              ", newer than this edition reads (version " + std::to_string(kStateVersion) + ")");
            continue;
        }
        // A written state may hold blank lines and # comments.
        if (versioned && (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#')) continue;
        if (allowed(line)) {
            lines.emplace_back(line);
            continue;
        }
        const auto parsed = parse_script_line(line);
        if (const auto* bad = std::get_if<std::string>(&parsed)) return refuse(*bad);
        return refuse("\"" + quote_excerpt(line) +
                      "\" is not a line of a state: a state holds only the moves of the bars, the Mach text, clicks, "
                      "references, the sonic level and the views, each written as the window writes it");
    }
    if (versioned && number == 0) return refuse("this is not a state of the window: it is empty");
    return lines;
}

StateOpened open_state(Session& session, std::string_view text, StateSource source) {
    const bool versioned = source == StateSource::file || text.starts_with("jmach-state");
    if (source == StateSource::link && text.empty()) {
        session.become(session.restarted());
        return {true, {}};
    }
    auto read = read_state(text, versioned);
    if (const auto* why = std::get_if<std::string>(&read)) return {false, *why};
    // Run on a window at its start: a state that stops half-way changes
    // nothing here (it cannot, for checked lines; said rather than hidden).
    Session opened = session.restarted();
    std::string notice;
    if (auto error = run_lines(opened, std::get<std::vector<std::string>>(read), notice)) return {false, *error};
    session.become(opened);
    return {true, notice};
}

std::string not_a_state_notice(std::string_view why) {
    std::string reason(why);
    if (!reason.empty() && reason[0] >= 'a' && reason[0] <= 'z') reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
    return std::string(kNotAStateNotice) + (reason.empty() ? "" : " " + reason + ".");
}

std::string cannot_open_state(std::string_view name, std::string_view why) {
    return "Cannot open " + std::string(name) + ": " + std::string(why) + ". The window stays as it was.";
}

bool is_link(std::string_view where) {
    return where.find("state=") != std::string_view::npos || where.starts_with("http://") ||
           where.starts_with("https://") || where.starts_with("file:");
}

StateOpened open_state_at(Session& session, const std::string& where) {
    if (is_link(where)) {
        const std::optional<std::string> text = state_in_link(where);
        if (!text) return {false, kLinkNotEncoded};
        return open_state(session, *text, StateSource::link);
    }
    // Only a plain file: a pipe or a device would be read without end.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(where, ec))
        return {false, std::filesystem::exists(where, ec) ? "it is not a file" : "there is no such file"};
    std::ifstream in(where, std::ios::binary);
    // A state's characters take at most four bytes each: what is longer
    // is refused at the line where it passes the bound.
    std::string text(4 * kMaxStateChars + 64, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return {false, "it cannot be read"};
    text.resize(static_cast<std::size_t>(in.gcount()));
    return open_state(session, text, StateSource::file);
}

std::optional<std::string> state_in_link(std::string_view link) {
    // The # part holds parts between '&'s in any order (#embed&state=...);
    // a state's own '&' is percent-encoded.
    const std::size_t hash = link.find('#');
    if (hash == std::string_view::npos) return std::string();
    std::string_view parts = link.substr(hash + 1);
    while (!parts.empty()) {
        const std::size_t amp = parts.find('&');
        const std::string_view part = parts.substr(0, amp);
        if (part.starts_with("state=")) return percent_decoded(part.substr(6));
        parts = amp == std::string_view::npos ? std::string_view() : parts.substr(amp + 1);
    }
    return std::string();
}

}  // namespace jmach

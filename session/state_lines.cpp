#include "session/state_lines.h"

#include <charconv>

#include "core/utf8.h"
#include "session/script_runner.h"

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
    if (word == "click") return rest == "profil";
    if (word == "sonic") return rest == "on" || rest == "off";
    if (word == "keep") return one_of(kChartNames, rest);
    if (word == "sweep") return one_of(kSweepInputNames, rest);
    if (word == "flow") return rest.empty();
    return false;
}

}  // namespace

std::vector<std::string> state_lines(const Session& session) {
    InputState at;
    for (std::size_t i = 0; i < at.bars.size(); ++i) at.bars[i] = input_bar(static_cast<Input>(i)).value;
    std::vector<std::string> lines;
    for (const Session::KeptReference& r : session.kept_references()) {
        moves(at, r.at, lines);
        // Moving on redraws the chart over its kept reference, never the reference.
        lines.push_back(std::string("keep ") + kChartNames[static_cast<std::size_t>(r.chart)]);
    }
    moves(at, session.input_state(), lines);
    if (const std::string& typed = *session.text("Text_Moo"); typed != at.chain_mach) lines.push_back("type-mach " + typed);
    if (session.view_open(View::sweep))
        lines.push_back(std::string("sweep ") + kSweepInputNames[static_cast<std::size_t>(session.sweep_input())]);
    if (session.view_open(View::flow)) lines.push_back("flow");
    return lines;
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
    const std::vector<std::string> lines = state_lines(session);
    std::string joined;
    for (const std::string& line : lines) joined += (joined.empty() ? "" : "\n") + line;
    return std::string(base) + (lines.empty() ? "" : "#state=" + percent_encoded(joined));
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

StateOpened open_state(Session& session, std::string_view text) {
    if (text.empty()) return {true, {}};
    std::vector<std::string_view> lines;
    if (utf8_length(text) <= kMaxStateChars) {
        for (std::size_t from = 0;;) {
            const std::size_t end = text.find('\n', from);
            lines.push_back(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
            if (end == std::string_view::npos) break;
            from = end + 1;
        }
    }
    bool good = !lines.empty() && lines.size() <= kMaxStateLines && valid_utf8(text) == text;
    for (const std::string_view line : lines) good = good && allowed(line);
    if (!good) return {false, kNotAStateNotice};
    ScriptRunner runner(session, {}, nullptr);
    std::string notice;
    for (const std::string_view line : lines) {
        auto parsed = parse_script_line(line);
        std::optional<std::string> error;
        if (const auto* bad = std::get_if<std::string>(&parsed))
            error = *bad;
        else
            error = runner.perform(std::get<ScriptAction>(parsed));
        // Cannot happen for a checked line; said rather than hidden.
        if (error) return {false, "The link stopped at \"" + std::string(line) + "\": " + *error};
        if (!runner.messages().empty()) notice = runner.messages().back();
    }
    return {true, notice};
}

}  // namespace jmach

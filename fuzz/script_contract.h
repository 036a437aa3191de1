#pragma once
// What jmach-script's line handling promises for any input bytes, checked by
// the fuzz target and by the corpus replay of the ordinary suite: the lines
// do not depend on how the bytes arrive, each is well-formed UTF-8 without a
// line end and within the bound; each parses to an action that stays within
// its scroll bar's range or to a short, printable message; every text echoed
// makes a valid JSON string; the Mach text parse gives a usable Mach number
// or none, and a short well-formed note; read as a state, the bytes give
// only the actions a state may hold, or the line that is refused and why.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/number_text.h"
#include "core/utf8.h"
#include "session/controls.h"
#include "session/script_parse.h"
#include "session/script_text.h"
#include "session/state_lines.h"

namespace jmach::script_contract {

// The longest message a bad line may give: the longest wording (export's
// list of charts and views, under 100 bytes) and a quoted excerpt of
// kMaxQuotedChars characters, each up to four bytes (a four-byte UTF-8
// character or a \xHH escape), with its quotes and "...".
inline constexpr std::size_t kMaxMessage = 100 + 4 * kMaxQuotedChars + 5;

// True when `text` is one JSON string: quotes around well-formed UTF-8
// with no raw control character, and only JSON's escapes.
inline bool is_json_string(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
    const std::string_view body = text.substr(1, text.size() - 2);
    if (valid_utf8(body) != body) return false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c < 0x20 || c == '"') return false;
        if (c != '\\') continue;
        if (++i == body.size()) return false;
        if (body[i] == 'u') {
            for (int k = 1; k <= 4; ++k)
                if (i + k >= body.size() || !std::isxdigit(static_cast<unsigned char>(body[i + k]))) return false;
            i += 4;
        } else if (std::strchr("\"\\/bfnrt", body[i]) == nullptr) {
            return false;
        }
    }
    return true;
}

inline std::vector<std::string> lines_of(std::string_view bytes, std::size_t piece, ScriptLineReader::Status& last) {
    ScriptLineReader reader([bytes, piece](char* buf, std::size_t size) mutable -> std::ptrdiff_t {
        const std::size_t n = std::min({piece, size, bytes.size()});
        std::memcpy(buf, bytes.data(), n);
        bytes.remove_prefix(n);
        return static_cast<std::ptrdiff_t>(n);
    });
    std::vector<std::string> lines;
    std::string line;
    while ((last = reader.next(line)) == ScriptLineReader::Status::line) lines.push_back(line);
    if (last == ScriptLineReader::Status::too_long) lines.push_back(line);
    return lines;
}

// Empty when every promise holds for `bytes` arriving in pieces of `piece`
// bytes, else what broke.
inline std::string check(std::string_view bytes, std::size_t piece) {
    ScriptLineReader::Status whole_end{}, piece_end{};
    const std::vector<std::string> lines = lines_of(bytes, bytes.size() + 1, whole_end);
    if (lines_of(bytes, piece, piece_end) != lines || piece_end != whole_end)
        return "the lines depend on how the bytes arrive (pieces of " + std::to_string(piece) + ")";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::string where = "line " + std::to_string(n + 1) + ": ";
        if (valid_utf8(line) != line) return where + "not well-formed UTF-8";
        if (line.find_first_of("\r\n") != std::string::npos) return where + "holds a line end";
        if (line.size() > 3 * kMaxScriptLine) return where + "beyond the bound";
        const auto parsed = parse_script_line(line);
        if (const auto* message = std::get_if<std::string>(&parsed)) {
            if (message->size() > kMaxMessage) return where + "a message of " + std::to_string(message->size()) + " bytes";
            if (valid_utf8(*message) != *message) return where + "a message that is not well-formed UTF-8";
            for (const char c : *message)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return where + "a control character in a message";
            continue;
        }
        const ScriptAction& a = std::get<ScriptAction>(parsed);
        if (!is_json_string(json_string(a.content))) return where + "its echo is no valid JSON string";
        if (a.kind == ScriptAction::Kind::set_input &&
            (a.input < 0 || a.input > 5 || a.value < input_bar(static_cast<Input>(a.input)).minimum ||
             a.value > input_bar(static_cast<Input>(a.input)).maximum))
            return where + "a scroll-bar value outside its range";
        if (a.kind == ScriptAction::Kind::click && (a.chart < 0 || a.chart > 4)) return where + "no such chart";
        if (a.kind == ScriptAction::Kind::type_mach) {
            if (const auto m = mach_from_text(a.text); m && !(std::isfinite(*m) && std::fabs(*m) < 1))
                return where + "an unusable Mach number passed as usable";
            if (std::isnan(parse_leading_number(a.text))) return where + "the Mach text reads as NaN";
            const std::string note = mach_text_note(a.text);
            if (note.size() > 200 || valid_utf8(note) != note) return where + "a long or ill-formed Mach note";
            if (!is_json_string(json_string(note))) return where + "the Mach note is no valid JSON string";
        }
    }
    // The same bytes as a state file or an older link: only actions that
    // set what the window shows, within the bounds, or "line N: why".
    for (const bool versioned : {true, false}) {
        const auto read = read_state(bytes, versioned);
        if (const auto* why = std::get_if<std::string>(&read)) {
            if (!why->starts_with("line ") || why->size() > kMaxMessage + 300 || valid_utf8(*why) != *why)
                return "a state refused without its line, or at length: " + why->substr(0, 80);
            continue;
        }
        const auto& state = std::get<std::vector<std::string>>(read);
        if (state.size() > kMaxStateLines) return "a state of more lines than the bound";
        for (const std::string& line : state) {
            const auto parsed = parse_script_line(line);
            const auto* a = std::get_if<ScriptAction>(&parsed);
            using K = ScriptAction::Kind;
            if (!a || a->kind == K::snapshot || a->kind == K::export_chart || a->kind == K::export_view ||
                a->kind == K::save_state || a->kind == K::handout || a->kind == K::probe || a->kind == K::about)
                return "a state holds \"" + line.substr(0, 80) + "\"";
        }
    }
    return {};
}

}  // namespace jmach::script_contract

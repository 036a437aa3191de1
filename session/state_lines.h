#pragma once
// The state of the window as lines of the script language: the actions a
// user would take from the start to reach what the window shows now (the
// scroll bars, the Mach box, the kept references with the inputs they were
// kept at, the sonic level, the open views), and those lines read back.
// A link to the state carries them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/session.h"

namespace jmach {

// Most lines and characters a state may have.
inline constexpr std::size_t kMaxStateLines = 200;
inline constexpr std::size_t kMaxStateChars = 8000;
// Longest Mach text a state line types, in characters.
inline constexpr std::size_t kMaxStateMachText = 100;

std::vector<std::string> state_lines(const Session& session);

// The page's address `base` with #state= and the lines, percent-encoded;
// the bare address for the start state.
std::string state_link(const Session& session, std::string_view base);

// A text percent-encoded as a part of an address: every byte of its UTF-8
// but the letters, digits and - _ . ! ~ * ' ( ) as %XX.
std::string percent_encoded(std::string_view text);
// The text of a percent-encoded part of an address; empty when a % is not
// followed by two hexadecimal digits or the bytes are not well-formed UTF-8.
std::optional<std::string> percent_decoded(std::string_view part);

// The notice when a state cannot be opened.
inline constexpr const char* kNotAStateNotice =
    "This link does not describe a state of the window: the page opened at its start.";

// Opens the state of `text` (lines separated by line feeds) on a window
// at its start. Every line is checked before anything runs: only the
// actions that set what the window shows, each with a value its control
// takes, within the bounds above. A text that fails the check runs
// nothing and gives kNotAStateNotice. Otherwise every line runs, each
// message on the way answered with OK; the result is the last message
// raised (a profile the table lacks), or empty.
struct StateOpened {
    bool opened = false;
    std::string notice;
};
StateOpened open_state(Session& session, std::string_view text);

}  // namespace jmach

#pragma once
// The state of the window as lines of the script language: the actions a
// user would take from the start to reach what the window shows now (the
// scroll bars, the Mach box, the kept references with the inputs they were
// kept at, the sonic level, the open views), and those lines read back.
// A link to the state carries them.

#include <optional>
#include <variant>
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

// Where the page is published, for a link to a state, unless a teacher
// sets where the page lies for the class.
inline constexpr const char* kDefaultPageAddress = "https://jmach.org/jmach.html";

// A state's text: its first line names the format and its version, then
// one action a line; # comments and blank lines may stand between them.
inline constexpr int kStateVersion = 1;
inline constexpr const char* kStateHeader = "jmach-state 1";
inline constexpr const char* kStateSuffix = ".jmach";

// The lines from the start to what the window shows; checked by running
// them on a window at its start.
std::vector<std::string> state_lines(const Session& session);
// The state file's text: the header line, then the state lines, each
// ended by a line feed.
std::string state_text(const Session& session);

// The page's address `base` (without any # part) with #state= and the
// state's text, percent-encoded.
std::string state_link(const Session& session, std::string_view base);
// The percent-decoded state text of a link (the whole address, or its #
// part alone): the part state= among the # part's parts between '&'s;
// "" for an address without one; empty for a link whose state is not
// percent-encoded text.
std::optional<std::string> state_in_link(std::string_view link);
// Why a link whose state is not percent-encoded text opens nothing.
inline constexpr const char* kLinkNotEncoded = "line 1: the state in the link is not percent-encoded UTF-8 text";

// A text percent-encoded as a part of an address: every byte of its UTF-8
// but the letters, digits and - _ . ! ~ * ' ( ) as %XX.
std::string percent_encoded(std::string_view text);
// The text of a percent-encoded part of an address; empty when a % is not
// followed by two hexadecimal digits or the bytes are not well-formed UTF-8.
std::optional<std::string> percent_decoded(std::string_view part);

// The notice when a link the page or the window opened with is no state:
// the start, and why ("line N: ...").
inline constexpr const char* kNotAStateNotice =
    "This link does not describe a state of the window: the page opened at its start.";
std::string not_a_state_notice(std::string_view why);
// The message when a state file or link cannot be opened into a window
// already showing something: which, why, and that nothing changed.
std::string cannot_open_state(std::string_view name, std::string_view why);

// The action lines of a state's text, or why it is none: "line N: ...".
// Only the actions that set what the window shows, each with a value its
// control takes, within the bounds above; never an export, a snapshot or
// another file. `versioned`: the text starts with the header line.
std::variant<std::vector<std::string>, std::string> read_state(std::string_view text, bool versioned);

// Opens the state of `text`: every line is checked before anything runs,
// then every line runs on a window at its start, each message on the way
// answered with OK, and `session` becomes that window. A file must start
// with its header line; a link's text may lack it (links written before
// the format had one). A text that is no state leaves `session` as it was
// and gives "line N: why" as its notice. Otherwise the notice is the last
// message raised (a profile the table lacks), or empty.
struct StateOpened {
    bool opened = false;
    std::string notice;
};
enum class StateSource { file, link };
StateOpened open_state(Session& session, std::string_view text, StateSource source);
// Whether a name given to a program is a link (an address, or #state=...)
// rather than a file.
bool is_link(std::string_view where);
// Opens the state of a link or of a state file by its name: a file that
// is missing, not a plain file or unreadable says so as its notice.
StateOpened open_state_at(Session& session, const std::string& where);

}  // namespace jmach

#pragma once
// The airfoil table: for each (thickness, camber) pair the offsets eps, mu
// of the Joukowski circle centre. Read once at start-up from a text file of
// numbers: one ignored value, the row count N (0..500), then N rows of five
// values t/c, f/c, eps, mu and an unused fifth number. Commas, blanks, tabs
// and line breaks separate values; lines carry no meaning.
//
// The reader streams: it stops after the last announced row and looks at
// most kTableLookahead bytes further, so neither its memory nor its time
// depends on what a file holds beyond its table.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/model_state.h"

namespace jmach {

inline constexpr const char* kTableFileName = "KATJO-D20G15.txt";
inline constexpr int kTableMaxRows = 500;

// "airfoil table "<file>": <what>", the form of every message about the
// table, and a file or folder name as such a message shows it (control bytes
// and broken UTF-8 as \xHH, at most 1024 bytes).
std::string table_message(std::string_view file, const std::string& what);
std::string printable_name(std::string_view name);

// Every row's circle must make a profile: 0 <= eps <= kTableMaxOffset and
// |mu| <= kTableMaxOffset. Real profiles stay below 0.4 (the program's own
// table reaches eps = 0.31, mu = 0.38); within this bound the profile,
// pressure, lift and moment are finite for every angle and point count.
inline constexpr double kTableMaxOffset = 10;
// Longest value the reader takes (a double needs 17 significant digits).
inline constexpr std::size_t kTableMaxValueChars = 1024;
// Bytes the table may take up to the end of its last row: 500 rows of five
// values of any sensible length fit many times over.
inline constexpr long long kTableMaxBytes = 8LL << 20;
// Bytes read past the last row to tell whether more values follow.
inline constexpr long long kTableLookahead = 64LL << 10;

// Reads the table from `text` into table_rows and the four table columns of
// `s`. On any fault returns one message naming `file_name` and, where it
// applies, the line and the offending text; `s` is then left untouched, so
// no partial table is ever used. When values follow the last row (ignored,
// as the format says) and `warning` is given, it receives one line naming
// the file, the row count and where those values start; otherwise it is
// cleared.
std::optional<std::string> parse_airfoil_table(std::string_view text, std::string_view file_name,
                                               ModelState& s, std::string* warning = nullptr);

// Reads the file at `path` (missing, unreadable, a directory or anything
// but a regular file is an error) and parses it as above.
std::optional<std::string> load_airfoil_table(const std::filesystem::path& path, ModelState& s,
                                              std::string* warning = nullptr);

// Finds the first row whose keys equal s.thickness and s.camber exactly and
// sets circle_eps and circle_mu from it. False when no row matches.
bool table_lookup(ModelState& s);

}  // namespace jmach

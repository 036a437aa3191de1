#pragma once
// The airfoil table: for each (thickness, camber) pair the offsets eps, mu
// of the Joukowski circle centre. Read once at start-up from a text file of
// numbers: one ignored value, the row count N (0..500), then N rows of five
// values t/c, f/c, eps, mu and an unused fifth number. Commas, blanks, tabs
// and line breaks separate values; lines carry no meaning.

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

// Reads the table from `text` into table_rows and the four table columns of
// `s`. On any fault returns one message naming `file_name` and, where it
// applies, the line and the offending text; `s` is then left untouched, so
// no partial table is ever used.
std::optional<std::string> parse_airfoil_table(std::string_view text, std::string_view file_name,
                                               ModelState& s);

// Reads the file at `path` (missing, unreadable or a directory is an error)
// and parses it as above.
std::optional<std::string> load_airfoil_table(const std::filesystem::path& path, ModelState& s);

// Finds the first row whose keys equal s.thickness and s.camber exactly and
// sets circle_eps and circle_mu from it. False when no row matches.
bool table_lookup(ModelState& s);

}  // namespace jmach

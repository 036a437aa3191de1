#pragma once
// Where the programs find the airfoil table at start-up. The working
// directory comes first, as it always has; then the data folder of the
// installation the running program belongs to (<prefix>/share/jmach, found
// from the executable, so a moved installation or an unpacked package works
// without any setting); then the desktop's data folders (XDG_DATA_HOME and
// XDG_DATA_DIRS, each with /jmach). The first place that holds anything of
// that name is the one loaded: a broken table there stops start-up and is
// never passed over for another file.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace jmach {

class Session;

// The folders tried after the working directory.
struct TablePlaces {
    std::filesystem::path program_dir;             // folder of the running executable
    std::vector<std::filesystem::path> data_dirs;  // the application's data folders, most personal first
};

// The places of this process: the executable's folder and the data folders
// Qt reports for the application (its name must be set).
TablePlaces installed_table_places();

// Every file tried, in order, each once: the bare file name (the working
// directory), the installation's data folder, then each data folder.
std::vector<std::filesystem::path> table_candidates(const TablePlaces& places);

// The first candidate present in any form: a file, a folder, or a name that
// cannot be examined (loading it gives the reason). None: nullopt.
std::optional<std::filesystem::path> first_present(const std::vector<std::filesystem::path>& candidates);

// The start-up message when no candidate is present, naming every place.
std::string table_not_found_message(const std::vector<std::filesystem::path>& candidates);

// Runs the window's start-up with the table named on the command line, or
// else with the first one found. Returns the one message when start-up
// cannot go on; the window must then not be shown.
std::optional<std::string> load_startup_table(Session& session, const std::optional<std::filesystem::path>& named,
                                              const TablePlaces& places);

}  // namespace jmach

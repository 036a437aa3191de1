#include "app/table_location.h"

#include <QStandardPaths>

#include <algorithm>
#include <system_error>

#include "airfoil/table.h"
#include "session/session.h"

namespace jmach {

namespace fs = std::filesystem;

namespace {

// The data folder relative to the programs' folder, as the installation
// lays them out (e.g. "../share/jmach", from the install directories).
#ifndef JMACH_DATA_FROM_BIN
#error "the build names the data folder relative to the programs (JMACH_DATA_FROM_BIN)"
#endif

fs::path from_qt(const QString& path) { return fs::path(path.toStdString()); }

}  // namespace

TablePlaces installed_table_places() {
    TablePlaces places;
    // The folder of the running executable, as the kernel names it.
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) places.program_dir = self.parent_path();
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        places.data_dirs.push_back(from_qt(dir));
    return places;
}

std::vector<fs::path> table_candidates(const TablePlaces& places) {
    std::vector<fs::path> out{fs::path(kTableFileName)};
    auto add = [&](const fs::path& dir) {
        // A relative data folder would depend on the working directory,
        // which has had its turn already.
        if (dir.empty() || dir.is_relative()) return;
        const fs::path file = (dir / kTableFileName).lexically_normal();
        if (std::find(out.begin(), out.end(), file) == out.end()) out.push_back(file);
    };
    if (!places.program_dir.empty()) add(places.program_dir / JMACH_DATA_FROM_BIN);
    for (const fs::path& dir : places.data_dirs) add(dir);
    return out;
}

std::optional<fs::path> first_present(const std::vector<fs::path>& candidates) {
    for (const fs::path& file : candidates) {
        std::error_code ec;
        // An error other than "not there" (a folder we may not enter) does
        // not let the search go on to another file: loading reports it.
        if (fs::status(file, ec).type() != fs::file_type::not_found) return file;
    }
    return std::nullopt;
}

std::string table_not_found_message(const std::vector<fs::path>& candidates) {
    std::string where = "no such file in the working directory";
    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    if (!ec) where += " " + printable_name(cwd.string());
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        where += i == 1 ? ", nor in " : i + 1 == candidates.size() ? " or " : ", ";
        where += printable_name(candidates[i].parent_path().string());
    }
    return table_message(kTableFileName, where + "; name one with --table FILE");
}

std::optional<std::string> load_startup_table(Session& session, const std::optional<fs::path>& named,
                                              const TablePlaces& places) {
    if (named) return session.Form_Load(*named);
    const std::vector<fs::path> candidates = table_candidates(places);
    const std::optional<fs::path> file = first_present(candidates);
    if (!file) return table_not_found_message(candidates);
    return session.Form_Load(*file);
}

}  // namespace jmach

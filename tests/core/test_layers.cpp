// The layers of the source tree, checked on the files themselves: each
// folder includes only from its own layer and those below it
// (core < airfoil, compressible < charts < session < app, web, script;
// tools on the numerics), the front ends know nothing of each other (but
// that jmach-script starts as the window program does), and nothing below
// the desktop window, nor the page, includes Qt.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(Layers, EveryIncludePointsDownAndTheNumericsUseNoQt) {
    // Each folder's floor: a folder includes from its own and the floors below.
    const std::map<std::string, int> floor = {{"core", 0},  {"airfoil", 1}, {"compressible", 1}, {"charts", 2}, {"tools", 2},
                                              {"session", 3}, {"app", 4},     {"web", 4},          {"script", 4}};
    const fs::path root = JMACH_SOURCE_DIR;
    const std::regex include(R"re(^\s*#\s*include\s*([<"])([^>"]+)[>"])re");
    int files = 0;
    for (const auto& [folder, level] : floor)
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.path().extension() != ".h" && entry.path().extension() != ".cpp") continue;
            ++files;
            // jmach-script reads its command line with Qt's core, as the window program does.
            const bool qt = folder == "app";
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch m;
                if (!std::regex_search(line, m, include)) continue;
                const std::string target = m[2], top = target.substr(0, target.find('/'));
                const std::string where = fs::relative(entry.path(), root).string() + ":" + std::to_string(number);
                const bool start_up = folder == "script" && (target == "app/command_line.h" || target == "app/table_location.h");
                if (m[1] == "\"" && floor.count(top) && top != folder && floor.at(top) >= level && !start_up)
                    ADD_FAILURE() << where << " includes " << target << " from a layer above or beside it";
                if (target.starts_with("Q") && !qt) ADD_FAILURE() << where << " includes Qt's " << target;
            }
        }
    EXPECT_GT(files, 30);
}

}  // namespace

// The layers of the source tree, checked on the files themselves: each
// folder includes only from its own layer and those below it
// (core < airfoil, compressible < charts < app < script; the browser
// edition on charts; tools on the numerics), and the numerics, the chart
// views and the browser edition include no Qt.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(Layers, EveryIncludePointsDownAndTheNumericsUseNoQt) {
    // Which folders each folder may include from.
    const std::map<std::string, std::vector<std::string>> may_include = {
        {"core", {"core"}}, {"airfoil", {"core", "airfoil"}}, {"compressible", {"core", "compressible"}},
        {"charts", {"core", "airfoil", "compressible", "charts"}}, {"web", {"core", "airfoil", "compressible", "charts", "web"}},
        {"app", {"core", "airfoil", "compressible", "charts", "app"}},
        {"script", {"core", "airfoil", "compressible", "charts", "app", "script"}},
        {"tools", {"core", "airfoil", "compressible"}}};
    const fs::path root = JMACH_SOURCE_DIR;
    const std::regex include(R"re(^\s*#\s*include\s*([<"])([^>"]+)[>"])re");
    int files = 0;
    for (const auto& [folder, allowed] : may_include)
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.path().extension() != ".h" && entry.path().extension() != ".cpp") continue;
            ++files;
            // The Qt widget that paints a chart is the one file of the chart layer that may use Qt.
            const bool qt = folder == "app" || folder == "script" || (folder == "charts" && entry.path().stem() == "picture_box");
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch m;
                if (!std::regex_search(line, m, include)) continue;
                const std::string target = m[2], top = target.substr(0, target.find('/'));
                const std::string where = fs::relative(entry.path(), root).string() + ":" + std::to_string(number);
                if (m[1] == "\"" && may_include.count(top) && std::ranges::find(allowed, top) == allowed.end())
                    ADD_FAILURE() << where << " includes " << target << " from a layer above or beside it";
                if (target.starts_with("Q") && !qt) ADD_FAILURE() << where << " includes Qt's " << target;
            }
        }
    EXPECT_GT(files, 30);
}

}  // namespace

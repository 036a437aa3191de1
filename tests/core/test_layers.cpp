// The layers of the source tree, checked on the files themselves: each
// folder includes only from its own layer and those below it
// (core < airfoil, compressible < charts < app < script; the browser
// edition on charts; tools on the numerics), and the numerics, the chart
// views and the browser edition include no Qt.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Which folders each folder may include from.
const std::map<std::string, std::vector<std::string>> kMayInclude = {
    {"core", {"core"}},
    {"airfoil", {"core", "airfoil"}},
    {"compressible", {"core", "compressible"}},
    {"charts", {"core", "compressible", "charts"}},
    {"web", {"core", "airfoil", "compressible", "charts", "web"}},
    {"app", {"core", "airfoil", "compressible", "charts", "app"}},
    {"script", {"core", "airfoil", "compressible", "charts", "app", "script"}},
    {"tools", {"core", "airfoil", "compressible"}},
};

bool allowed(const std::string& from, const std::string& to) {
    for (const std::string& folder : kMayInclude.at(from))
        if (folder == to) return true;
    return false;
}

// The Qt widget that paints a chart is the one file of the chart layer
// that may use Qt; above it everything may.
bool may_use_qt(const std::string& folder, const fs::path& file) {
    if (folder == "app" || folder == "script") return true;
    return folder == "charts" && file.stem() == "picture_box";
}

TEST(Layers, EveryIncludePointsDownAndTheNumericsUseNoQt) {
    const fs::path root = JMACH_SOURCE_DIR;
    const std::regex include(R"re(^\s*#\s*include\s*([<"])([^>"]+)[>"])re");
    std::vector<std::string> faults;
    int files = 0;
    for (const auto& [folder, _] : kMayInclude) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp") continue;
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch m;
                if (!std::regex_search(line, m, include)) continue;
                const std::string target = m[2];
                const std::string where = fs::relative(entry.path(), root).string() + ":" + std::to_string(number) + " ";
                const std::string top = target.substr(0, target.find('/'));
                if (m[1] == "\"" && kMayInclude.count(top) && !allowed(folder, top))
                    faults.push_back(where + "includes " + target + " from a layer above or beside it");
                if (target.starts_with("Q") && !may_use_qt(folder, entry.path()))
                    faults.push_back(where + "includes Qt's " + target);
            }
        }
    }
    EXPECT_GT(files, 30);
    EXPECT_TRUE(faults.empty()) << [&] {
        std::string all;
        for (const std::string& f : faults) all += f + "\n";
        return all;
    }();
}

}  // namespace

// The script language over the window: the files its lines ask for reach
// the edition's writer with the chart's own numbers, and a line that cannot
// be done stops the script with its line and why.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "session/script_runner.h"
#include "test_support.h"

namespace jmach {
namespace {

// Remembers what it was asked to write and fails where told to.
class Files : public ScriptFiles {
public:
    std::vector<std::string> written;
    std::optional<std::string> refuse;
    std::optional<std::string> write_file(const std::string& file, std::string_view bytes) override {
        if (refuse) return cannot_write(file, *refuse);
        written.push_back(file + "=" + std::string(bytes));
        return std::nullopt;
    }
    std::optional<std::string> write_image(const Session&, const ImageRequest& r) override {
        written.push_back(r.file + (r.of == ImageRequest::Of::window ? " window" : r.of == ImageRequest::Of::view ? " view" : " chart"));
        return std::nullopt;
    }
};

struct Outcome {
    int status = 0;
    std::string error;
    std::vector<std::string> lines;
};

Outcome run(Session& s, ScriptFiles* files, std::string_view script) {
    ScriptRunner runner(s, {}, files);
    ScriptLineReader in(text_source(script));
    Outcome r;
    r.status = runner.run(
        in, [&](std::string_view line) { return r.lines.emplace_back(line), std::optional<std::string>(); }, "test", r.error);
    return r;
}

TEST(ScriptRunner, FilesGetTheChartsNumbersAndEveryRefusalIsABadLine) {
    Session s = loaded();
    Files files;
    Outcome r = run(s, &files, "thickness 12\nexport Picture_CL lift.CSV\nexport profil p.svg\nsnapshot w.pdf\nflow\nexport flow f.png\n");
    EXPECT_EQ(r.status, 0) << r.error;
    ASSERT_EQ(files.written.size(), 4u);
    EXPECT_EQ(files.written[0], "lift.CSV=" + csv_text(*s.chart_table("Picture_CL")));
    EXPECT_EQ(files.written[1], "p.svg chart");
    EXPECT_EQ(files.written[2], "w.pdf window");
    EXPECT_EQ(files.written[3], "f.png view");

    const struct {
        const char* line;
        const char* error;
    } bad[] = {
        {"export pressure p.txt", "test: line 1: p.txt: the suffix must be .csv, .png, .svg or .pdf"},
        {"export sweep s.csv", "test: line 1: export sweep: its window is not open"},
        {"thickness -2147483648", "test: line 1: thickness -2147483648 is outside 0..30"},
    };
    for (const auto& b : bad) {
        Session fresh = loaded();
        const Outcome refused = run(fresh, &files, b.line);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.error, b.error);
        EXPECT_TRUE(refused.lines.empty());
    }
    files.refuse = "Permission denied";
    const Outcome denied = run(s, &files, "alpha 2\nexport profil /x.csv\nalpha 3");
    EXPECT_EQ(denied.error, "test: line 2: Cannot write /x.csv: Permission denied");
    EXPECT_EQ(denied.lines.size(), 1u);
    EXPECT_EQ(*s.text("Text_AlfaD"), "2");
    // An edition without files refuses every file line.
    EXPECT_EQ(run(s, nullptr, "export profil p.csv").error, "test: line 1: Cannot write p.csv: this edition writes no files");
}

}  // namespace
}  // namespace jmach

// Start-up as a user meets it: where the table is found and the command
// lines of both programs. (The installed table's place is checked on a real
// installation by tests/install.)

#include <filesystem>

#include "airfoil/table.h"
#include "app/command_line.h"
#include "app/table_location.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

namespace fs = std::filesystem;

// Runs the test body in `dir` as the working directory.
struct InFolder {
    explicit InFolder(const fs::path& dir) : before(fs::current_path()) { fs::current_path(dir); }
    ~InFolder() { fs::current_path(before); }
    fs::path before;
};

const std::string kGoodTable = "1\n1\n0.05, 0, 0.1, 0, 0\n";

// Which table start-up takes for what lies in the working directory, the
// installation and the data folder ('g' a good table, 'b' a broken one, 'd'
// a folder of that name, '-' nothing). Whatever is found first is taken and
// a broken one refused: the search never passes over it to another file.
TEST(TableSearch, TheFirstPlaceHoldingAnythingOfThatNameIsLoaded) {
    ensure_app();
    const struct {
        const char* layout;
        int taken;          // index of the place loaded from, -1 none
        const char* fault;  // part of the message, "" when it loads
    } cases[] = {{"ggg", 0, ""}, {"--g", 2, ""}, {"dgg", 0, "is a directory"},
                 {"-bg", 1, "the file ends after 0 values"}, {"---", -1, "no such file in the working directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        QTemporaryDir tmp;
        const fs::path root = tmp.path().toStdString();
        const fs::path dirs[] = {root / "work", root / "prefix/share/jmach", root / "data/jmach"};
        fs::create_directories(root / "work");
        fs::create_directories(root / "prefix/bin");
        for (int k = 0; k < 3; ++k) {
            const fs::path file = dirs[k] / kTableFileName;
            if (c.layout[k] == 'g') put(file, kGoodTable);
            if (c.layout[k] == 'b') put(file, "");
            if (c.layout[k] == 'd') fs::create_directories(file);
        }
        InFolder in(dirs[0]);
        const TablePlaces places{root / "prefix/bin", {dirs[2]}};
        if (c.taken > 0) {
            EXPECT_EQ(first_present(table_candidates(places)), dirs[c.taken] / kTableFileName);
        }
        Session form;
        const auto error = load_startup_table(form, std::nullopt, places);
        EXPECT_EQ(error.has_value(), *c.fault != '\0') << error.value_or("");
        EXPECT_NE(error.value_or("").find(c.fault), std::string::npos) << error.value_or("");
        EXPECT_EQ(form.state().table_rows, *c.fault ? 0 : 1) << "rows loaded";
    }
}

// A program run in `dir` with these arguments, with no display and no
// installed table in reach.
ProgramRun run(const char* program, const QStringList& args, const QString& dir) {
    return run_program(QString::fromLatin1(program), args, dir, {}, [&](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/none"));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dir + QStringLiteral("/none"));
        p.setProcessEnvironment(env);
    }, 30);
}

TEST(CommandLine, HelpVersionAndEveryUnusableCommandLine) {
    ensure_app();
    QTemporaryDir tmp;
    put(tmp.filePath(QStringLiteral("trailing.txt")).toStdString(), "1 1\n0.12 0.02 0.1 0 0\n7\n");
    put(tmp.filePath(QStringLiteral("good.jmach")).toStdString(), "jmach-state 1\nthickness 12\n");
    put(tmp.filePath(QStringLiteral("bad.jmach")).toStdString(), "jmach-state 1\nthickness 12\nexport pressure p.csv\n");
    const QString table = QStringLiteral(JMACH_SOURCE_DIR "/data/KATJO-D20G15.txt");
    const std::string version = JMACH_VERSION;
    struct Case {
        const char* program;
        QStringList args;
        int exit_code;
        const char* out;  // the start of standard output
        const char* err;  // part of standard error
    };
    const char* window = JMACH_PROGRAM;
    const char* tool = JMACH_SCRIPT_TOOL;
    const Case cases[] = {
        // Usage and version without any display.
        {window, {"--help"}, 0, "Usage: jmach [options] [FILE-OR-LINK]\n", ""},
        {tool, {"--version"}, 0, "jmach-script ", ""},
        // A command line neither program can use: usage on standard error, 2.
        {window, {"--bogus"}, 2, "", "jmach: Unknown option 'bogus'.\nUsage: jmach [options] [FILE-OR-LINK]\n"},
        {window, {"--table", "a.txt", "--table", "b.txt"}, 2, "", "--table given more than once"},
        {tool, {"-", "extra"}, 2, "", "unexpected argument 'extra'"},
        // A named table that cannot be used: the reader's one message, 1, no window.
        {window, {"-platform", "offscreen", "--table", "missing.txt"}, 1, "",
         "jmach: airfoil table \"missing.txt\": no such file in the working directory"},
        // Values after the last row: one warning, and the table is used.
        {tool, {"--table", "trailing.txt"}, 0, "", "jmach-script: airfoil table \"trailing.txt\": warning: the row count "
         "is 1, but values follow the last row (line 2): from line 3 on ('7') they were ignored; check"},
        // A state opened first, or refused with its line before anything runs.
        {tool, {"--table", table, "--state", "good.jmach"}, 0, R"({"action":"open","Text_Thickness":"0.12")", ""},
        {tool, {"--table", table, "--state", "bad.jmach"}, 1, "",
         "jmach-script: bad.jmach: line 3: \"export pressure p.csv\" is not a line of a state"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fs::path(c.program).filename().string() + " " + c.args.join(u' ').toStdString());
        const ProgramRun r = run(c.program, c.args, tmp.path());
        const std::string out = r.out.toStdString(), err = r.err.toStdString();
        EXPECT_EQ(r.exit_code, c.exit_code) << err;
        EXPECT_TRUE(out.starts_with(c.out)) << out;
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        if (c.args.value(0).endsWith(QStringLiteral("version"))) {
            EXPECT_EQ(out.substr(out.find(' ') + 1), version + "\n");
        }
    }
}

}  // namespace
}  // namespace jmach::testing

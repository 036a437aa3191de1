// Start-up as a user meets it: where the table is found, the command lines
// of both programs, and the identity the application gives the desktop.

#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

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

void put(const fs::path& file, const std::string& contents) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

TEST(TableSearch, CandidatesRunFromTheWorkingDirectoryToTheInstallationAndTheDataFoldersEachOnce) {
    const TablePlaces places{"/opt/jm/bin", {"/home/u/.local/share/jmach", "relative/jmach", "/usr/share/jmach",
                                             "/opt/jm/share/jmach/", "/usr/share/jmach"}};
    const std::vector<fs::path> expected = {"KATJO-D20G15.txt", "/opt/jm/share/jmach/KATJO-D20G15.txt",
                                            "/home/u/.local/share/jmach/KATJO-D20G15.txt",
                                            "/usr/share/jmach/KATJO-D20G15.txt"};
    EXPECT_EQ(table_candidates(places), expected);
    // Without an executable folder only the working directory and the data folders remain.
    EXPECT_EQ(table_candidates({{}, {}}), std::vector<fs::path>{"KATJO-D20G15.txt"});
}

// Which table start-up takes, for what lies in the working directory and in
// the two later places. A broken file or a folder where the table should be
// is taken (and refused by the reader): the search never passes over it.
TEST(TableSearch, TheFirstPlaceHoldingAnythingOfThatNameIsLoaded) {
    ensure_app();
    enum class Kind { none, good, broken, folder };
    struct Case {
        const char* name;
        Kind cwd, installed, data;
        const char* loaded_from;  // "cwd", "installed", "data" or "" (no table found)
        const char* fault;        // part of the message, "" when it loads
    };
    const Case cases[] = {
        {"working directory first", Kind::good, Kind::good, Kind::good, "cwd", ""},
        {"installation next", Kind::none, Kind::good, Kind::good, "installed", ""},
        {"data folder last", Kind::none, Kind::none, Kind::good, "data", ""},
        {"broken in working directory", Kind::broken, Kind::good, Kind::good, "cwd", "the file ends after 0 values"},
        {"folder in working directory", Kind::folder, Kind::good, Kind::good, "cwd", "is a directory"},
        {"broken installed table", Kind::none, Kind::broken, Kind::good, "installed", "the file ends after 0 values"},
        {"nowhere", Kind::none, Kind::none, Kind::none, "", "no such file in the working directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        const fs::path root = tmp.path().toStdString();
        const fs::path cwd = root / "work", bin = root / "prefix/bin", installed = root / "prefix/share/jmach",
                       data = root / "data/jmach";
        fs::create_directories(cwd);
        fs::create_directories(bin);
        auto lay = [](const fs::path& dir, Kind kind) {
            const fs::path file = dir / kTableFileName;
            if (kind == Kind::good) put(file, kGoodTable);
            if (kind == Kind::broken) put(file, "");
            if (kind == Kind::folder) fs::create_directories(file);
        };
        lay(cwd, c.cwd);
        lay(installed, c.installed);
        lay(data, c.data);
        InFolder in(cwd);
        const TablePlaces places{bin, {data}};
        const auto found = first_present(table_candidates(places));
        const std::string from = c.loaded_from;
        const fs::path expected = from == "cwd"         ? fs::path(kTableFileName)
                                  : from == "installed" ? installed / kTableFileName
                                  : from == "data"      ? data / kTableFileName
                                                        : fs::path();
        EXPECT_EQ(found.value_or(fs::path()), expected);

        Form1 form;
        const auto error = load_startup_table(form, std::nullopt, places);
        if (*c.fault == '\0') {
            EXPECT_FALSE(error) << *error;
            EXPECT_EQ(form.state().table_rows, 1);
        } else {
            ASSERT_TRUE(error);
            EXPECT_NE(error->find(c.fault), std::string::npos) << *error;
            EXPECT_EQ(form.state().table_rows, 0) << "nothing loaded from a later place";
        }
    }
}

TEST(TableSearch, TheMessageWhenNothingIsFoundNamesEveryPlaceInOrder) {
    QTemporaryDir tmp;
    InFolder in(tmp.path().toStdString());
    const std::string message =
        table_not_found_message(table_candidates({"/opt/jm/bin", {"/home/u/.local/share/jmach", "/usr/share/jmach"}}));
    EXPECT_EQ(message, "airfoil table \"KATJO-D20G15.txt\": no such file in the working directory " +
                           fs::current_path().string() +
                           ", nor in /opt/jm/share/jmach, /home/u/.local/share/jmach or /usr/share/jmach;"
                           " name one with --table FILE");
}

// The id and the data folders the desktop sees are the ones the
// installation uses: <XDG data>/jmach holds the table.
TEST(Identity, QtsDataFoldersAreWhereTheInstallationKeepsTheTable) {
    ensure_app();
    const QString name = QCoreApplication::applicationName();
    set_application_identity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), application_id());
    EXPECT_EQ(application_id().count(u'.'), 2) << "reverse-DNS: domain and name";
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral(JMACH_VERSION));
    const QStringList qt_dirs = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    const TablePlaces places = installed_table_places();
    ASSERT_EQ(places.data_dirs.size(), static_cast<std::size_t>(qt_dirs.size()));
    for (qsizetype i = 0; i < qt_dirs.size(); ++i) {
        EXPECT_TRUE(qt_dirs[i].endsWith(QStringLiteral("/jmach"))) << qt_dirs[i].toStdString();
        EXPECT_EQ(places.data_dirs[i], fs::path(qt_dirs[i].toStdString()));
    }
    QCoreApplication::setApplicationName(name);
}

// A program run in `dir` with these arguments and standard input, with no
// display and no installed table in reach.
struct Outcome {
    int exit_code = -1;
    std::string out, err;
};
Outcome run(const char* program, const QStringList& args, const QString& dir, const QByteArray& input = {},
        const QString& data_home = {}) {
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_DATA_HOME"), data_home.isEmpty() ? dir + QStringLiteral("/none") : data_home);
    env.insert(QStringLiteral("XDG_DATA_DIRS"), dir + QStringLiteral("/none"));
    p.setProcessEnvironment(env);
    p.start(QString::fromLatin1(program), args);
    p.write(input);
    p.closeWriteChannel();
    // A window program still running at the deadline has opened its window.
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput().toStdString(),
            p.readAllStandardError().toStdString()};
}

TEST(CommandLine, HelpVersionAndEveryUnusableCommandLine) {
    ensure_app();
    QTemporaryDir tmp;
    put(tmp.filePath(QStringLiteral("good.txt")).toStdString(), kGoodTable);
    put(tmp.filePath(QStringLiteral("broken.txt")).toStdString(), "1\n2\n0.05, 0, 0.1\n");
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
        {window, {"--help"}, 0, "Usage: jmach [options]\n", ""},
        {window, {"-h"}, 0, "Usage: jmach [options]\n", ""},
        {tool, {"--help"}, 0, "Usage: jmach-script [options] [SCRIPT]\n", ""},
        {window, {"--version"}, 0, "jmach ", ""},
        {tool, {"--version"}, 0, "jmach-script ", ""},
        // A command line neither program can use: usage on standard error, 2.
        {window, {"--bogus"}, 2, "", "jmach: Unknown option 'bogus'.\nUsage: jmach [options]\n"},
        {window, {"--table"}, 2, "", "Missing value after '--table'"},
        {window, {"--table", "good.txt", "--table", "good.txt"}, 2, "", "--table given more than once"},
        {window, {"--table="}, 2, "", "--table needs a file name"},
        {window, {"good.txt"}, 2, "", "unexpected argument 'good.txt'"},
        {tool, {"-", "extra"}, 2, "", "unexpected argument 'extra'"},
        {tool, {"--charts", "--table"}, 2, "", "Usage: jmach-script"},
        // A named table that cannot be used: the reader's one message, 1, no window.
        {window, {"-platform", "offscreen", "--table", "missing.txt"}, 1, "",
         "jmach: airfoil table \"missing.txt\": no such file in the working directory"},
        {window, {"--table", "broken.txt", "-platform", "offscreen"}, 1, "",
         "jmach: airfoil table \"broken.txt\": the file ends after 5 values"},
        {tool, {"--table", "."}, 1, "", "jmach-script: airfoil table \".\": is a directory"},
        {tool, {"--table=broken.txt", "-"}, 1, "", "the file ends after 5 values"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fs::path(c.program).filename().string() + " " + c.args.join(u' ').toStdString());
        const Outcome r = run(c.program, c.args, tmp.path());
        EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
        EXPECT_TRUE(r.out.starts_with(c.out)) << r.out;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        // Help and version say nothing else; a refusal prints nothing on standard output.
        EXPECT_TRUE(c.exit_code == 0 ? r.err.empty() : r.out.empty()) << r.out << r.err;
        if (c.args.value(0).endsWith(QStringLiteral("version"))) {
            EXPECT_EQ(r.out.substr(r.out.find(' ') + 1), version + "\n");
        }
    }
}

// The script tool away from any table of its working directory: with
// --table, or with the table in the desktop's data folder.
TEST(CommandLine, ScriptToolRunsFromAnEmptyFolderWithTheTableItIsGiven) {
    ensure_app();
    QTemporaryDir tmp;
    const fs::path root = tmp.path().toStdString();
    fs::create_directories(root / "empty");
    put(root / "elsewhere/table.txt", kGoodTable);
    put(root / "data/jmach" / kTableFileName, kGoodTable);
    const QString empty = QString::fromStdString((root / "empty").string());
    const QString table = QString::fromStdString((root / "elsewhere/table.txt").string());
    const QString data = QString::fromStdString((root / "data").string());
    for (const Outcome& r : {run(JMACH_SCRIPT_TOOL, {QStringLiteral("--table"), table}, empty, "thickness 5\n"),
                         run(JMACH_SCRIPT_TOOL, {}, empty, "thickness 5\n", data)}) {
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_NE(r.out.find(R"("Text_Thickness":"0.05")"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(R"("message":null)"), std::string::npos) << r.out;
    }
    // Nothing was written where the programs ran.
    EXPECT_TRUE(fs::is_empty(root / "empty"));
}

}  // namespace
}  // namespace jmach::testing

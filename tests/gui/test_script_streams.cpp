// jmach-script's streams end to end: an editor's line ends and byte-order
// mark, a huge line, a directory for a script, closed or full standard
// streams, and "about" without a window. Every output line must be valid
// JSON and every failure must end with its message and a non-zero exit
// status.

#include <QJsonDocument>

#include <fcntl.h>
#include <unistd.h>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

enum class Fd { as_is, close_stdin, close_stdout, full_stdout };

// Runs the tool in `dir` with `input` on its standard input, after changing
// its standard descriptors as `fd` says.
ProgramRun run_tool(const QString& dir, const QStringList& args, const QByteArray& input, Fd fd) {
    return run_program(QStringLiteral(JMACH_SCRIPT_TOOL), args, dir, input, [fd](QProcess& tool) {
        tool.setChildProcessModifier([fd] {
            if (fd == Fd::close_stdin || fd == Fd::close_stdout) ::close(fd == Fd::close_stdin ? STDIN_FILENO : STDOUT_FILENO);
            if (fd == Fd::full_stdout && ::dup2(::open("/dev/full", O_WRONLY), STDOUT_FILENO) < 0) ::_exit(125);
        });
    });
}

TEST(ScriptStreams, LineEndsEncodingsBoundsAndStandardStreams) {
    ensure_app();
    QTemporaryDir dir;
    write_example_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString());
    QDir(dir.path()).mkdir(QStringLiteral("a-folder"));
    struct Case {
        const char* name;
        QStringList args;
        QByteArray input;
        Fd fd;
        int exit_code;
        int lines;
        std::string err_part;  // the tool's message on standard error ("" for none)
    };
    const Case cases[] = {
        {"a 3 MiB line", {}, "thickness 5\n" + QByteArray(3 << 20, '7') + "\n", Fd::as_is, 1, 1,
         "jmach-script: stdin: line 2: longer than 1048576 bytes: \"7777"},
        {"a folder as script", {QStringLiteral("a-folder")}, "", Fd::as_is, 2, 0,
         "jmach-script: a-folder is a directory, not a script"},
        {"closed standard input", {}, "", Fd::close_stdin, 0, 0, ""},
        {"closed standard output", {}, "thickness 5\n", Fd::close_stdout, 1, 0,
         "jmach-script: cannot write standard output (Bad file descriptor"},
        {"full standard output", {}, "thickness 5\n", Fd::full_stdout, 1, 0,
         "jmach-script: cannot write standard output (No space left on device)"},
        {"about, offscreen", {}, "about\nabout\n", Fd::as_is, 0, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun r = run_tool(dir.path(), c.args, c.input, c.fd);
        EXPECT_EQ(r.exit_code, c.exit_code) << r.err.toStdString();
        const QList<QByteArray> lines = r.out.isEmpty() ? QList<QByteArray>() : r.out.chopped(r.out.endsWith('\n') ? 1 : 0).split('\n');
        EXPECT_EQ(lines.size(), c.lines);
        for (const QByteArray& line : lines) {
            QJsonParseError error{};
            EXPECT_TRUE(QJsonDocument::fromJson(line, &error).isObject()) << error.errorString().toStdString();
        }
        // Qt's own notices may stand there too, never the offscreen ones.
        EXPECT_FALSE(r.err.contains("does not support")) << r.err.toStdString();
        if (!c.err_part.empty()) EXPECT_TRUE(r.err.contains(c.err_part.c_str())) << r.err.toStdString();
        else EXPECT_FALSE(r.err.contains("jmach-script:")) << r.err.toStdString();
    }
}

TEST(ScriptStreams, AnExportNeverReplacesTheToolsOwnOutput) {
    // so.csv links to /dev/stdout, which is a file or a pipe: the export is
    // refused with that reason and the JSON lines before it stay.
    ensure_app();
    QTemporaryDir dir;
    write_example_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/stdout"), dir.filePath(QStringLiteral("so.csv"))));
    const QByteArray script = "thickness 5\nexport pressure so.csv\nalpha 3\n";
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    for (const bool to_file : {true, false}) {
        SCOPED_TRACE(to_file ? "standard output to a file" : "standard output to a pipe");
        const ProgramRun r = run_program(QStringLiteral(JMACH_SCRIPT_TOOL), {}, dir.path(), script, [&](QProcess& p) {
            if (to_file) p.setStandardOutputFile(out);
        });
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_TRUE(r.err.contains("Cannot write so.csv: is this program's standard output")) << r.err.toStdString();
        QFile file(out);
        const QByteArray lines = to_file && file.open(QIODevice::ReadOnly) ? file.readAll() : r.out;
        EXPECT_EQ(lines.count('\n'), 1);
        EXPECT_TRUE(lines.startsWith("{\"action\":\"thickness 5\"")) << lines.toStdString();
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("so.csv"))).isSymLink());
    }
}

}  // namespace
}  // namespace jmach::testing

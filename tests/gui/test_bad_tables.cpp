// The window program started in a folder whose "KATJO-D20G15.txt" is missing
// or broken. Every time it must write its one message naming the file and
// the fault and end by itself with exit code 1, before the main window comes
// up: once the window is up the program waits in its event loop, so a
// program still running at the deadline has opened it.

#include <QDir>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

// Runs the window program in `dir` on the offscreen platform (where the
// start-up message goes to standard error) and checks that it refused to
// start for `fault`.
void expect_refused(const QString& dir, const std::string& fault) {
    const ProgramRun program = run_program(QStringLiteral(JMACH_PROGRAM), {}, dir, {}, [&](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // An installed copy of the table in the desktop's data folders must
        // not stand in for the missing one.
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/no-data-home"));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dir + QStringLiteral("/no-data-dirs"));
        p.setProcessEnvironment(env);
    }, 30);  // generous: the sanitizer build starts slowly on a busy machine
    const std::string err = program.err.toStdString();
    ASSERT_NE(program.exit_code, -1) << "still running after the deadline: the main window came up";
    ASSERT_NE(program.exit_code, -2) << "crashed\n" << err;
    // 1 is the program's start-up failure; anything else (a sanitizer's exit
    // code, an abort) is a fault of its own.
    EXPECT_EQ(program.exit_code, 1) << err;
    // Qt may warn first; the program's own message is the one line that
    // starts with its name.
    const std::string lines = "\n" + err;
    const std::size_t at = lines.find("\njmach: ");
    ASSERT_EQ(lines.find("\njmach: ", at + 1), std::string::npos) << err;
    const std::string own = lines.substr(at + 1, lines.find('\n', at + 1) - at - 1);
    EXPECT_TRUE(own.starts_with("jmach: airfoil table \"KATJO-D20G15.txt\"")) << err;
    EXPECT_NE(own.find(fault), std::string::npos) << "expected \"" << fault << "\" in:\n" << own;
    EXPECT_EQ(err.find("Sanitizer"), std::string::npos) << err;
    EXPECT_EQ(err.find("runtime error"), std::string::npos) << err;
}

// The reader's every message is checked on its own, and a missing table or
// a folder by the start-up tests; here bytes that are not numbers reach the
// program before its window.
TEST(BadTable, BinaryGarbageIsRefusedWithItsMessage) {
    ensure_app();
    QTemporaryDir dir;
    std::ofstream(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString(), std::ios::binary)
        << std::string("\x7f" "ELF\x02\x01\x01") + std::string(9, '\0');
    expect_refused(dir.path(), "is not a number");
}

}  // namespace
}  // namespace jmach::testing

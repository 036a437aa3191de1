// The window program as a process: it refuses to start without its table.

#include <QProcess>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

TEST(WindowStartup, MissingTableEndsStartUpWithTheMessageAndAnError) {
    ensure_app();
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    QProcess program;
    program.setWorkingDirectory(empty.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Offscreen no one could answer a message box, so the program writes
    // the message to standard error and leaves at once.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(JMACH_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(20000)) << "the program did not stop";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(program.exitCode(), 0);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("KATJO-D20G15.txt"))) << err.toStdString();
}

}  // namespace
}  // namespace jmach::testing

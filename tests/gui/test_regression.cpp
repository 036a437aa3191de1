// jmach-script itself, images and all, on the README's screenshot script:
// its output is the recording line for line (kept as one SHA-256 digest a
// line) and its snapshot is the window.

#include <QCryptographicHash>
#include <QFile>
#include <QImage>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

QByteArray read_all(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(Regression, TheScreenshotScriptIsTheRecordingAndWritesTheWindow) {
    ensure_app();
    const QString source = QStringLiteral(JMACH_SOURCE_DIR "/");
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(source + QStringLiteral("data/KATJO-D20G15.txt"), dir.filePath(QStringLiteral("KATJO-D20G15.txt"))));
    const ProgramRun tool = run_program(QStringLiteral(JMACH_SCRIPT_TOOL),
                                        {QStringLiteral("--charts"), source + QStringLiteral("tests/regression/screenshot.script")},
                                        dir.path());
    EXPECT_EQ(tool.exit_code, 0) << tool.err.toStdString();
    const QList<QByteArray> got = tool.out.split('\n');
    const QList<QByteArray> want = read_all(source + QStringLiteral("tests/regression/screenshot.sha256")).split('\n');
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i].isEmpty() ? got[i] : QCryptographicHash::hash(got[i], QCryptographicHash::Sha256).toHex(), want[i])
            << "output line " << i + 1;
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("regression-snapshot.png"))).size(), QSize(792, 508));
}

}  // namespace
}  // namespace jmach::testing

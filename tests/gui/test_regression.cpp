// jmach-script's output, recorded byte for byte: the README's examples and
// two seeded random scripts (every action kind, the real table and one with
// holes). Long recordings are kept as one SHA-256 digest per output line,
// so a difference still names the first action that changed.

#include <QCryptographicHash>
#include <QFile>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

QByteArray read_all(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The non-blank, non-comment lines of a script: the actions, in order.
QList<QByteArray> actions(const QByteArray& script) {
    QList<QByteArray> out;
    for (const QByteArray& line : script.split('\n'))
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith('#')) out.push_back(line.trimmed());
    return out;
}

struct Recording {
    const char* script;    // under tests/regression
    const char* table;     // relative to the source folder
    const char* expected;  // whole output (.jsonl) or one digest per line (.sha256)
};

TEST(Regression, ScriptToolOutputIsByteForByteTheRecording) {
    ensure_app();
    const QString source = QStringLiteral(JMACH_SOURCE_DIR "/");
    const QString folder = source + QStringLiteral("tests/regression/");
    const Recording recordings[] = {
        {"readme-example.script", "data/KATJO-D20G15.txt", "readme-example.jsonl"},
        {"screenshot.script", "data/KATJO-D20G15.txt", "screenshot.sha256"},
        {"random-real-table.script", "data/KATJO-D20G15.txt", "random-real-table.sha256"},
        {"random-holey-table.script", "tests/regression/holey-table.txt", "random-holey-table.sha256"},
    };
    for (const Recording& r : recordings) {
        SCOPED_TRACE(r.script);
        QTemporaryDir dir;
        ASSERT_TRUE(QFile::copy(source + QString::fromLatin1(r.table), dir.filePath(QStringLiteral("KATJO-D20G15.txt"))));
        const ProgramRun tool = run_program(QStringLiteral(JMACH_SCRIPT_TOOL), {QStringLiteral("--charts"), folder + QString::fromLatin1(r.script)},
                                     dir.path(), {}, {}, 300);
        EXPECT_EQ(tool.exit_code, 0) << tool.err.toStdString();
        const QByteArray& output = tool.out;
        const QString expected_file = folder + QString::fromLatin1(r.expected);
        const bool digests = expected_file.endsWith(QStringLiteral(".sha256"));
        const QList<QByteArray> got = output.split('\n');
        const QList<QByteArray> want = read_all(expected_file).split('\n');
        const QList<QByteArray> action = actions(read_all(folder + QString::fromLatin1(r.script)));
        ASSERT_EQ(got.size(), want.size()) << "output lines";
        for (qsizetype i = 0; i < got.size(); ++i) {
            const QByteArray line = digests && !got[i].isEmpty()
                                        ? QCryptographicHash::hash(got[i], QCryptographicHash::Sha256).toHex()
                                        : got[i];
            ASSERT_EQ(line, want[i]) << "first difference at output line " << i + 1 << ", action \""
                                     << (i < action.size() ? action[i].toStdString() : std::string()) << "\"";
        }
    }
}

}  // namespace
}  // namespace jmach::testing

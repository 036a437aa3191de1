// The companion tool: its script language in-process, and jmach-script end
// to end as a teacher would run it.

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <sstream>

#include "app/script_runner.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

QJsonObject parse(const std::string& line) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    return doc.object();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct ScriptResult {
    int status;
    std::vector<std::string> out;
    std::string err;
};

ScriptResult run_script(Window& w, const std::string& script, bool charts = false) {
    ScriptRunner runner(*w, ScriptOptions{charts});
    std::istringstream in(script);
    std::ostringstream out, err;
    const int status = runner.run(in, out, err);
    return {status, lines_of(out.str()), err.str()};
}

TEST(ScriptRunner, ActionsReportEveryValueBoxAndTheMessage) {
    Window w;
    const ScriptResult r = run_script(w,
                             "# a comment\n"
                             "\n"
                             "thickness 5\r\n"
                             "   \n"
                             "thickness 1\n"
                             "type-mach 0.5\n"
                             "click Mcrit\n"
                             "click pressure\n");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.size(), 5u);
    const QJsonObject first = parse(r.out[0]);
    EXPECT_EQ(first.value("action").toString(), QStringLiteral("thickness 5"));
    EXPECT_EQ(first.value("Text_Thickness").toString(), QStringLiteral("0.05"));
    EXPECT_EQ(first.value("Text_nP").toString(), QStringLiteral("51"));
    EXPECT_TRUE(first.value("message").isNull());
    for (const char* name : kValueBoxNames) EXPECT_TRUE(first.value(name).isString()) << name;
    EXPECT_FALSE(first.contains("charts"));

    const QJsonObject missing = parse(r.out[1]);
    EXPECT_EQ(missing.value("message").toString(), QStringLiteral("bu profil veritabanında yok"));
    EXPECT_EQ(missing.value("Text_Thickness").toString(), QStringLiteral("0.01"));

    // Typing runs nothing; the Mcrit chart has no click; the next chart
    // click reads the typed Mach number.
    EXPECT_EQ(parse(r.out[2]).value("Text_Moo").toString(), QStringLiteral("0.5"));
    EXPECT_TRUE(parse(r.out[2]).value("message").isNull());
    EXPECT_TRUE(parse(r.out[3]).value("message").isNull());
    EXPECT_EQ(parse(r.out[4]).value("message").toString(), QStringLiteral("bu profil veritabanında yok"));
}

TEST(ScriptRunner, SameValueIsNoChangeAndBadLinesNameTheirNumber) {
    Window w;
    w->Text_CL->setText(QStringLiteral("untouched"));
    ScriptResult r = run_script(w, "thickness 0\nnp 51\nalpha 0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.size(), 3u);
    EXPECT_EQ(w->Text_CL->text(), QStringLiteral("untouched"));

    struct Bad {
        const char* script;
        const char* says;
    };
    for (const Bad& b : {Bad{"thickness 5\n\nthickness 31\nthickness 6\n", "line 3: thickness 31 is outside 0..30"},
                         Bad{"alpha -11\n", "line 1: alpha -11 is outside -10..10"},
                         Bad{"# c\nnp 5x\n", "line 2: np needs a whole number"},
                         Bad{"mach\n", "line 1: mach needs a whole number"},
                         Bad{"click Frame1\n", "line 1: click needs one of"},
                         Bad{"jump 3\n", "line 1: unknown action \"jump\""},
                         Bad{"snapshot\n", "line 1: snapshot needs a file name"}}) {
        SCOPED_TRACE(b.script);
        r = run_script(w, b.script);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
    }
    // The lines before the bad one ran, the ones after it did not.
    EXPECT_EQ(w->Text_Thickness->text(), QStringLiteral("0.05"));
}

TEST(ScriptRunner, ChartsListScaleFirstThenPrimitivesWithColours) {
    Window w;
    const ScriptResult r = run_script(w, "thickness 5\nalpha 4\nxm 30\n", true);
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject last = parse(r.out.back());
    const QJsonObject charts = last.value("charts").toObject();
    for (const char* name : {"Mcrit", "profil", "pressure", "Picture_CL", "Picture_CM"}) {
        SCOPED_TRACE(name);
        const QJsonArray ops = charts.value(name).toArray();
        ASSERT_FALSE(ops.isEmpty());
        EXPECT_EQ(ops.first().toObject().value("op").toString(), QStringLiteral("scale"));
        const auto& sc = dynamic_cast<const RecordingSurface&>(*w->findChild<PictureBox*>(name));
        EXPECT_EQ(ops.size(), static_cast<qsizetype>(sc.primitives().size() + 1));
        EXPECT_EQ(ops.first().toObject().value("x1").toDouble(), sc.scale()->x1);
    }
    // The moment point's ring closes the profile's list.
    const QJsonObject ring = charts.value("profil").toArray().last().toObject();
    EXPECT_EQ(ring.value("op").toString(), QStringLiteral("circle"));
    EXPECT_EQ(ring.value("x").toDouble(), 0.3);
    EXPECT_EQ(ring.value("r").toDouble(), 0.01);
    EXPECT_EQ(ring.value("color").toString(), QStringLiteral("#ff0000"));
}

// jmach-script as a separate program in a folder with its table.
TEST(ScriptTool, RunsAScriptFileAndWritesASnapshot) {
    ensure_app();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    write_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString(), example_rows());
    QFile script(dir.filePath(QStringLiteral("handout.txt")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("# a handout figure\n"
                 "thickness 5\n"
                 "camber 2\n"
                 "alpha 5\n"
                 "mach 50\n"
                 "about\n"
                 "snapshot figure.png\n");
    script.close();

    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(JMACH_SCRIPT_TOOL), {QStringLiteral("--charts"), script.fileName()});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const std::string err = tool.readAllStandardError().toStdString();
    ASSERT_EQ(tool.exitCode(), 0) << err;
    const std::vector<std::string> out = lines_of(tool.readAllStandardOutput().toStdString());
    ASSERT_EQ(out.size(), 6u);
    const QJsonObject mach = parse(out[3]);
    EXPECT_EQ(mach.value("action").toString(), QStringLiteral("mach 50"));
    EXPECT_EQ(mach.value("Text_Moo").toString(), QStringLiteral("0.5"));
    EXPECT_EQ(mach.value("Text_CpMin").toString(), QStringLiteral("-1.928"));
    EXPECT_TRUE(mach.value("charts").toObject().contains("Picture_CM"));

    const QImage image(dir.filePath(QStringLiteral("figure.png")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 792);
    EXPECT_GT(image.height(), 490);  // the client area under the menu bar
}

TEST(ScriptTool, ReadsStandardInputAndFailsOnABadLine) {
    ensure_app();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    write_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString(), example_rows());
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(JMACH_SCRIPT_TOOL), {});
    ASSERT_TRUE(tool.waitForStarted());
    tool.write("thickness 5\nnp 102\nalpha 3\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_NE(tool.exitCode(), 0);
    EXPECT_EQ(lines_of(tool.readAllStandardOutput().toStdString()).size(), 1u);
    EXPECT_TRUE(tool.readAllStandardError().contains("line 2: np 102 is outside 11..101"));
}

TEST(ScriptTool, MissingTableIsAnError) {
    ensure_app();
    QTemporaryDir dir;
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(JMACH_SCRIPT_TOOL), {});
    ASSERT_TRUE(tool.waitForStarted());
    tool.write("thickness 5\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_NE(tool.exitCode(), 0);
    EXPECT_TRUE(tool.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(tool.readAllStandardError().contains("KATJO-D20G15.txt"));
}

}  // namespace
}  // namespace jmach::testing

// jmach-script end to end, as a teacher runs it: a script file in a folder
// with its table, one JSON line per action, stopped by a bad line.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

TEST(ScriptTool, JsonLinesChartsAndABadLine) {
    ensure_app();
    QTemporaryDir dir;
    write_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString(), example_rows());
    std::ofstream(dir.filePath(QStringLiteral("handout.txt")).toStdString())
        << "# a handout figure\n\nthickness 5\ncamber 2\nthickness 1\nthickness 5\nalpha 5\ntype-mach 0.9\n"
           "mach 50\nxm 30\nnp 102\nalpha 3\n";
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(JMACH_SCRIPT_TOOL), {QStringLiteral("--charts"), QStringLiteral("handout.txt")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_NE(tool.exitCode(), 0);
    EXPECT_TRUE(tool.readAllStandardError().contains("line 11: np 102 is outside 11..101"));
    // One line for each action before the bad one, none after it.
    const QList<QByteArray> out = tool.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(out.size(), 8);
    auto line = [&](int i) { return QJsonDocument::fromJson(out[i]).object(); };

    EXPECT_EQ(line(0).value("action").toString(), QStringLiteral("thickness 5"));
    EXPECT_EQ(line(0).value("Text_Thickness").toString(), QStringLiteral("0.05"));
    EXPECT_TRUE(line(0).value("message").isNull());
    for (const char* name : kValueBoxNames) EXPECT_TRUE(line(0).value(name).isString()) << name;
    EXPECT_EQ(line(2).value("message").toString(), QStringLiteral("bu profil veritabanında yok"));
    EXPECT_EQ(line(2).value("Text_Thickness").toString(), QStringLiteral("0.01"));
    EXPECT_EQ(line(5).value("Text_Moo").toString(), QStringLiteral("0.9"));
    EXPECT_EQ(line(6).value("Text_Moo").toString(), QStringLiteral("0.5"));
    EXPECT_EQ(line(6).value("Text_CpMin").toString(), QStringLiteral("-1.928"));

    // Every surface lists its Scale first; the moment point's ring closes the profile.
    const QJsonObject charts = line(7).value("charts").toObject();
    for (const char* name : {"Mcrit", "profil", "pressure", "Picture_CL", "Picture_CM"})
        EXPECT_EQ(charts.value(name).toArray().first().toObject().value("op").toString(), QStringLiteral("scale"))
            << name;
    EXPECT_EQ(charts.value("profil").toArray().last().toObject(),
              QJsonDocument::fromJson(R"({"op":"circle","x":0.3,"y":0,"r":0.01,"color":"#ff0000"})").object());
}

}  // namespace
}  // namespace jmach::testing

// The views beside the window: the critical Mach number across a family
// agrees with the window's own values set by hand, reads only the table,
// follows the chains while open and costs nothing closed; the script
// tool's view actions and their bad lines.

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "airfoil/surface_minimum.h"
#include "compressible/mcrit.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

struct Script {
    explicit Script(std::optional<std::vector<Row>> rows = std::nullopt) : w(std::move(rows)) {}
    Window w;
    ScriptRunner runner{*w.form, ScriptOptions{}};
    std::string json;
    std::optional<std::string> operator()(const std::string& line) { return runner.run_line(line, json); }
    QJsonObject last() const { return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object(); }
    std::string file(const char* name) const { return w.dir.filePath(QString::fromLatin1(name)).toStdString(); }
};

std::optional<double> at(const QJsonArray& list, int i) {
    return list[i].isNull() ? std::nullopt : std::optional<double>(list[i].toDouble());
}

TEST(SweepView, EveryEntryIsTheWindowsOwnValueWithThatInputSetByHand) {
    Script run;
    for (const char* line : {"camber 4", "np 51", "alpha 4", "thickness 12", "sweep thickness"}) ASSERT_FALSE(run(line));
    QJsonObject sweep = run.last()["sweep"].toObject();
    ASSERT_EQ(sweep["values"].toArray().size(), 31);
    EXPECT_EQ(sweep["input"].toString(), QStringLiteral("thickness"));
    const QJsonObject family = sweep;
    for (int t : {0, 1, 3, 12, 30}) {
        SCOPED_TRACE(t);
        ASSERT_FALSE(run("thickness " + std::to_string(t)));
        // Moving the swept bar keeps the family; only its marker moves.
        sweep = run.last()["sweep"].toObject();
        for (const char* key : {"mcrit_pg", "mcrit_kt", "mcrit_la", "mcrit_pg_exact"}) EXPECT_EQ(sweep[key], family[key]) << key;
        const CriticalMachs machs = *run.w->critical_machs();
        EXPECT_EQ(at(sweep["values"].toArray(), t), t / 100.0);
        EXPECT_EQ(at(sweep["mcrit_pg"].toArray(), t), machs.pg);
        EXPECT_EQ(at(sweep["mcrit_kt"].toArray(), t), machs.kt);
        EXPECT_EQ(at(sweep["mcrit_la"].toArray(), t), machs.la);
        const SurfaceMinimum exact = *run.w->exact_minimum();
        ModelState s = run.w->state();
        if (exact.unbounded)
            EXPECT_FALSE(at(sweep["mcrit_pg_exact"].toArray(), t));
        else
            EXPECT_EQ(at(sweep["mcrit_pg_exact"].toArray(), t), mcrit_search(s, exact.cp).mcr);
    }
    // Switched to the angle: every angle of the bar, the same agreement.
    ASSERT_FALSE(run("sweep alpha"));
    ASSERT_FALSE(run("alpha -7"));
    sweep = run.last()["sweep"].toObject();
    EXPECT_EQ(sweep["values"].toArray().first().toDouble(), -10);
    EXPECT_EQ(at(sweep["mcrit_pg"].toArray(), 3), run.w->critical_machs()->pg);
    // No search below the threshold: the symmetric profile at 0 degrees
    // has its minimum above -0.01 only at zero thickness.
    ASSERT_FALSE(run("sweep camber"));
    ASSERT_FALSE(run("thickness 0"));
    ASSERT_FALSE(run("alpha 0"));
    EXPECT_TRUE(run.last()["sweep"].toObject()["mcrit_pg"].toArray()[0].isNull());
    // Closed, the lines carry no sweep; closing again does nothing.
    ASSERT_FALSE(run("close sweep"));
    EXPECT_FALSE(run.last().contains(QStringLiteral("sweep")));
    ASSERT_FALSE(run("close sweep"));
    ASSERT_FALSE(run("alpha 2"));
    EXPECT_FALSE(run.last().contains(QStringLiteral("sweep")));
}

TEST(SweepView, AProfileTheTableLacksIsNullWithoutAMessage) {
    Script run(example_rows());  // thickness 0, 0.05 (camber 0 and 0.02) and 0.12 (camber 0.02)
    for (const char* line : {"camber 2", "alpha 3", "thickness 5", "sweep thickness"}) ASSERT_FALSE(run(line));
    EXPECT_TRUE(run.last()["message"].isNull());
    const QJsonArray pg = run.last()["sweep"].toObject()["mcrit_pg"].toArray();
    for (int t = 0; t <= 30; ++t) EXPECT_EQ(pg[t].isNull(), t != 5 && t != 12) << t;
    // The CSV: the input with its unit, then the four values; empty cells
    // where there is none.
    ASSERT_FALSE(run("export sweep " + run.file("sweep.csv")));
    QFile csv(QString::fromStdString(run.file("sweep.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_EQ(lines[0], "thickness t/c [-],Mcrit Prandtl-Glauert [-],Mcrit Karman-Tsien [-],Mcrit Laitone [-],"
                        "Mcrit Prandtl-Glauert exact minimum [-]\r");
    EXPECT_EQ(lines[2], "0.01,,,,\r");
    EXPECT_TRUE(lines[6].startsWith("0.05,0.") && lines.size() == 33);
}

TEST(FlowView, OpenItReportsWhereTheFlowTurnsSonicAndExportsTheFieldItShows) {
    Script run;
    for (const char* line : {"thickness 12", "camber 4", "np 51", "alpha 6", "mach 60", "flow"}) ASSERT_FALSE(run(line));
    QJsonObject flow = run.last()["flow"].toObject();
    EXPECT_TRUE(flow["sonic"].toBool());
    EXPECT_GT(flow["m_local_max"].toDouble(), 1.2);
    EXPECT_TRUE(run.w->view_open(View::flow) && run.w->view_window(View::flow)->windowTitle() == QStringLiteral("Flow field"));
    // Followed by the chains: subsonic at a lower Mach number, and at 0 no
    // Mach number at all.
    ASSERT_FALSE(run("mach 30"));
    flow = run.last()["flow"].toObject();
    EXPECT_FALSE(flow["sonic"].toBool());
    EXPECT_LT(flow["m_local_max"].toDouble(), 1.0);
    ASSERT_FALSE(run("mach 0"));
    EXPECT_EQ(run.last()["flow"].toObject()["m_local_max"].toDouble(-1), 0.0);
    // The sharp nose of a zero-thickness profile at incidence saturates.
    ASSERT_FALSE(run("mach 50"));
    ASSERT_FALSE(run("thickness 0"));
    EXPECT_EQ(run.last()["flow"].toObject()["m_local_max"].toDouble(-1), 5.0);
    for (const char* file : {"flow.csv", "flow.png", "flow.svg"}) ASSERT_FALSE(run("export flow " + run.file(file))) << file;
    QFile csv(QString::fromStdString(run.file("flow.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    EXPECT_TRUE(text.startsWith("r/a [-],theta [rad],x/c [-],y/c [-],u/U [-],v/U [-],Cp [-],Cp Prandtl-Glauert [-],M local [-]\r\n1,0,1,0,"));
    EXPECT_FALSE(text.contains("nan") || text.contains("inf") || text.contains(",,"));
    EXPECT_TRUE(QImage(QString::fromStdString(run.file("flow.png"))).size() == QSize(1600, 800));
    ASSERT_FALSE(run("close flow"));
    EXPECT_FALSE(run.last().contains(QStringLiteral("flow")));
}

TEST(Views, ScriptBadLinesAndAFlowBeforeAnyProfile) {
    Script run;
    for (const auto& [line, message] : std::vector<std::pair<std::string, const char*>>{
             {"sweep", "sweep needs thickness, camber or alpha"},
             {"sweep mach", "sweep needs thickness, camber or alpha, not \"mach\""},
             {"close", "close needs sweep or flow"},
             {"close about", "close needs sweep or flow"},
             {"flow now", "flow takes nothing after it"},
             {"export sweep", "export sweep needs a file name"},
             {"export sweep " + run.file("closed.csv"), "export sweep: its window is not open"},
             {"export flow " + run.file("closed.png"), "export flow: its window is not open"}}) {
        const auto error = run(line);
        ASSERT_TRUE(error) << line;
        EXPECT_EQ(error->find(message), 0u) << *error;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(run.file("closed.csv"))));
    ASSERT_FALSE(run("close flow"));  // closing a closed view does nothing
    ASSERT_FALSE(run("flow"));  // no profile yet: the window says so
    EXPECT_FALSE(run.last()["message"].isNull());
    EXPECT_FALSE(run.last().contains(QStringLiteral("flow")));
}

}  // namespace
}  // namespace jmach::testing

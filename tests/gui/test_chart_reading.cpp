// Reading the charts in the window: the sonic level and the references
// redraw without a chain, paint the same through the layers as plainly,
// the probe follows the pointer, and the script tool's new actions and
// their bad lines.

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

struct Script {
    Window w{std::nullopt};  // the real table
    ScriptRunner runner{*w.form, ScriptOptions{true}};
    std::string json;
    std::optional<std::string> operator()(const std::string& line) { return runner.run_line(line, json); }
    QJsonObject last() const { return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object(); }
};

QAction* menu_action(Form1& f, Chart which, const char* name) {
    return f.chart_menu(which)->findChild<QAction*>(QString::fromLatin1(name));
}

TEST(ChartReading, SonicLevelAndReferencesRedrawWithoutAChain) {
    Script run;
    for (const char* line : {"thickness 12", "camber 4", "np 101", "alpha 5", "mach 60"}) ASSERT_FALSE(run(line));
    const QJsonObject before = run.last();
    const QJsonArray drawn = before["charts"].toObject()["pressure"].toArray();
    ASSERT_FALSE(run("sonic on"));
    QJsonObject on = run.last();
    const QJsonArray with_level = on["charts"].toObject()["pressure"].toArray();
    // The chart's own drawing first, then the level and the rings.
    ASSERT_GT(with_level.size(), drawn.size() + 10);
    for (qsizetype i = 0; i < drawn.size(); ++i) EXPECT_EQ(with_level[i], drawn[i]) << i;
    EXPECT_EQ(with_level[drawn.size()].toObject()["color"].toString(), QStringLiteral("#ff8000"));
    for (const char* key : {"Text_CpMin", "Text_Mcrit", "Text_CL", "cp_min_exact"}) EXPECT_EQ(on[key], before[key]) << key;
    EXPECT_TRUE(menu_action(run.w, Chart::pressure, "sonic_level")->isChecked());
    // The level follows the chains while on; M = 0 draws nothing extra.
    ASSERT_FALSE(run("mach 0"));
    EXPECT_EQ(run.last()["charts"].toObject()["pressure"].toArray().size(), drawn.size() - 100);  // no corrected curve
    EXPECT_TRUE(run.last()["supersonic"].isNull());
    ASSERT_FALSE(run("mach 60"));
    EXPECT_EQ(run.last()["charts"].toObject()["pressure"].toArray(), with_level);
    ASSERT_FALSE(run("sonic off"));
    EXPECT_EQ(run.last()["charts"].toObject()["pressure"].toArray(), drawn);

    // One reference per chart, kept under "reference" until cleared.
    EXPECT_FALSE(run.last().contains(QStringLiteral("reference")));
    EXPECT_FALSE(menu_action(run.w, Chart::profil, "clear_reference")->isEnabled());
    ASSERT_FALSE(run("keep profil"));
    ASSERT_FALSE(run("keep Mcrit"));
    EXPECT_TRUE(menu_action(run.w, Chart::profil, "clear_reference")->isEnabled());
    ASSERT_FALSE(run("thickness 20"));
    const QJsonObject kept = run.last()["reference"].toObject();
    EXPECT_EQ(kept.keys(), QStringList({QStringLiteral("Mcrit"), QStringLiteral("profil")}));
    EXPECT_EQ(kept["profil"].toArray().size(), 100);  // the outline's segments, no grid
    EXPECT_TRUE(run.w->chart(Chart::profil).toolTip().contains(QStringLiteral("thickness 0.12, camber 0.04, nP 101")));
    ASSERT_FALSE(run("unkeep profil"));
    ASSERT_FALSE(run("unkeep profil"));  // nothing kept: nothing happens
    EXPECT_EQ(run.last()["reference"].toObject().keys(), QStringList({QStringLiteral("Mcrit")}));
    ASSERT_FALSE(run("unkeep Mcrit"));
    EXPECT_FALSE(run.last().contains(QStringLiteral("reference")));
    EXPECT_FALSE(run.w->chart(Chart::profil).toolTip().contains(QStringLiteral("grey")));
}

TEST(ChartReading, LayeredPaintWithReferencesAndTheSonicLevelIsThePlainPaint) {
    Window w(std::nullopt);
    w->show();
    auto step = [&](Input input, int value) {
        w->set_input(input, value);
        QCoreApplication::processEvents();
    };
    step(Input::np, 101), step(Input::thickness, 12), step(Input::mach, 70), step(Input::alpha, 4);
    for (std::size_t i = 0; i < kChartNames.size(); ++i) w->keep_reference(static_cast<Chart>(i));
    w->set_sonic_level(true);
    step(Input::camber, 6), step(Input::alpha, 5), step(Input::alpha, 6);
    const QImage window = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        PictureBox& box = w->chart(static_cast<Chart>(i));
        const QRect at(box.mapTo(w.form.get(), QPoint(0, 0)), box.size());
        QImage backing(window.size(), window.format());
        QPainter painter(&backing);
        painter.translate(at.topLeft());
        paint_surface(painter, QRect(QPoint(0, 0), at.size()), box, box.foreground());
        painter.end();
        auto chart_only = [&](QImage image) {
            image = image.copy(at).convertToFormat(QImage::Format_RGB32);
            QPainter covered(&image);
            for (const QWidget* label : box.findChildren<QWidget*>()) covered.fillRect(label->geometry(), Qt::black);
            return image;
        };
        const QImage plain = chart_only(backing);
        EXPECT_EQ(chart_only(window), plain) << kChartNames[i];
        // The grey shows: a reference pixel somewhere on every chart.
        bool grey = false;
        for (int y = 0; y < plain.height() && !grey; ++y)
            for (int x = 0; x < plain.width() && !grey; ++x) grey = plain.pixelColor(x, y) == to_qcolor(kReferenceGrey);
        EXPECT_TRUE(grey) << kChartNames[i];
    }
}

TEST(ChartReading, TheProbeFollowsThePointerAndTheMinimumTooltipNamesSupersonicStretches) {
    Window w(std::nullopt);
    w->show();
    for (const auto& [input, value] : std::vector<std::pair<Input, int>>{
             {Input::thickness, 12}, {Input::camber, 4}, {Input::np, 101}, {Input::alpha, 5}, {Input::mach, 60}})
        w->set_input(input, value);
    EXPECT_TRUE(w->value_tip("Text_CpMin").contains(QStringLiteral("Locally supersonic at M∞ = 0.6")));
    PictureBox& box = w->chart(Chart::pressure);
    const QPointF at(box.width() * 0.15, box.height() * 0.3);
    QMouseEvent move(QEvent::MouseMove, at, box.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &move);
    ProbeTip* tip = PictureBox::probe_tip();
    ASSERT_TRUE(tip && tip->isVisible());
    EXPECT_TRUE(tip->text().contains(QStringLiteral("1 - Cp = ")) && tip->text().contains(QStringLiteral("Local Mach number")))
        << tip->text().toStdString();
    const auto user = box.user_point(at);
    ASSERT_TRUE(user);
    EXPECT_EQ(tip->text().toStdString(), w->probe(Chart::pressure, user->x(), user->y())->text);
    // It follows the pointer, beside it.
    const QPoint first = tip->pos();
    const QPointF next = at + QPointF(1, 2);
    QMouseEvent again(QEvent::MouseMove, next, box.mapToGlobal(next), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &again);
    EXPECT_EQ(tip->pos() - first, QPoint(1, 2));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&box, &leave);
    EXPECT_FALSE(tip->isVisible());
    w->set_input(Input::mach, 0);
    EXPECT_FALSE(w->value_tip("Text_CpMin").contains(QStringLiteral("supersonic")));
}

TEST(ChartReading, ScriptProbesAndBadLines) {
    Script run;
    ASSERT_FALSE(run("probe profil 0.5 0"));  // no profile yet
    EXPECT_TRUE(run.last()["probe"].isNull() && run.last()["supersonic"].isNull());
    ASSERT_FALSE(run("thickness 12"));
    ASSERT_FALSE(run("probe profil 0.5 -0.05"));
    const QJsonObject p = run.last()["probe"].toObject();
    EXPECT_EQ(p.keys(), QStringList({QStringLiteral("point"), QStringLiteral("surface"), QStringLiteral("x"), QStringLiteral("y")}));
    EXPECT_EQ(p["surface"].toString(), QStringLiteral("upper"));
    ASSERT_FALSE(run("probe profil 1.2 0"));  // beyond the scale rectangle
    EXPECT_TRUE(run.last()["probe"].isNull());
    EXPECT_TRUE(run.last()["supersonic"].isNull());  // M = 0
    for (const auto& [line, message] : std::vector<std::pair<const char*, const char*>>{
             {"probe Foo 1 2", "probe needs one of Mcrit, profil"},
             {"probe pressure 1", "probe pressure needs two numbers X Y, not \"1\""},
             {"probe pressure a 2", "probe pressure needs two numbers"},
             {"probe pressure 1 2 3", "probe pressure needs two numbers"},
             {"probe pressure nan 2", "probe pressure needs two numbers"},
             {"sonic", "sonic needs on or off, not \"\""},
             {"sonic yes", "sonic needs on or off"},
             {"keep mcrit", "keep needs one of Mcrit"},
             {"unkeep", "unkeep needs one of"}}) {
        const auto error = run(line);
        ASSERT_TRUE(error) << line;
        EXPECT_EQ(error->find(message), 0u) << *error;
    }
}

}  // namespace
}  // namespace jmach::testing

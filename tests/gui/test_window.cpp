// The main window over its session on the offscreen platform: the widgets
// built from the control table, the events handed to the session, what the
// window then shows (boxes, tooltips, the Mach box's look, messages, the
// views) and the charts painted from their drawings.

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

#include "airfoil/profile.h"
#include "app/rich_tip.h"
#include "app/view_window.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

// The application object goes when the tests are done, whoever made it:
// the font database frees its fontconfig patterns only then.
struct AppCleanup : ::testing::Environment {
    void TearDown() override { delete QCoreApplication::instance(); }
};
const auto* const kCleanup = ::testing::AddGlobalTestEnvironment(new AppCleanup);

void click(QWidget* w, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

void type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &key);
    }
}

QAction* menu_action(Form1& form, ChartId chart, const char* name) {
    return form.chart_menu(chart)->findChild<QAction*>(QString::fromLatin1(name));
}

TEST(WindowWidgets, EveryControlOfTheTableStandsAtItsPlace) {
    Window w;
    EXPECT_EQ(w->centralWidget()->size(), QSize(792, 490));
    for (const Control& c : controls()) {
        SCOPED_TRACE(c.name);
        auto* widget = w.find<QWidget>(c.name);
        ASSERT_NE(widget, nullptr);
        auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
        EXPECT_EQ(widget->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)));
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), *c.parent ? c.parent : "client");
        if (*c.help_name) {
            EXPECT_EQ(widget->accessibleName().toStdString(), c.help_name);
        }
    }
    // Tab walks the inputs in window order, the Mach box before its bar.
    QStringList order;
    for (QWidget* at = w.bar("HScroll_Thickness"); order.size() < 7; at = at->nextInFocusChain())
        if (at->focusPolicy() & Qt::TabFocus) order << at->objectName();
    EXPECT_EQ(order.join(' '), QStringLiteral("HScroll_Thickness HScroll_Camber HScroll_nP HScroll_AlfaD HScroll_xM "
                                              "Text_Moo HScroll_Moo"));
}

TEST(WindowEvents, ScrollBarsChartsAndTypingReachTheSession) {
    Window w;
    w->show();
    // A key on a scroll bar is its Change: the chain runs and its boxes show.
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    w.bar("HScroll_Thickness")->setValue(5);
    QApplication::sendEvent(w.bar("HScroll_AlfaD"), &right);
    EXPECT_EQ(w.session.bar(Input::alpha), 1);
    for (const char* name : kValueBoxNames)
        EXPECT_EQ(w.box(name)->text().toStdString(), *w.session.text(name)) << name;
    EXPECT_EQ(w.box("Text_CpMin")->toolTip(), rich_tip(QString::fromStdString(*w.session.tooltip("Text_CpMin"))));

    // A click on a chart recomputes; on a caption over it, nothing.
    const unsigned drawn = w.session.chart(ChartId::profil).version();
    click(w.find<QLabel>("Label10"), {2, 2});
    EXPECT_EQ(w.session.chart(ChartId::profil).version(), drawn);
    click(&w->chart(ChartId::profil), {150, 100});
    EXPECT_NE(w.session.chart(ChartId::profil).version(), drawn);

    // Typing replaces the Mach text and runs nothing; the next chain reads
    // it and the box shows how: red while unusable.
    QLineEdit* moo = w.box("Text_Moo");
    moo->selectAll();
    type(moo, QStringLiteral("1.5"));
    EXPECT_EQ(*w.session.text("Text_Moo"), "1.5");
    QApplication::sendEvent(w.bar("HScroll_AlfaD"), &right);
    EXPECT_EQ(moo->palette().color(QPalette::Text), to_qcolor(kErrorText));
    EXPECT_EQ(moo->toolTip().toStdString(), w.session.mach_look().tip);
    w.bar("HScroll_Moo")->setValue(30);
    EXPECT_EQ(moo->text(), QStringLiteral("0.3"));
    EXPECT_TRUE(moo->toolTip().isEmpty());

    EXPECT_TRUE(w.messages.empty());
}

TEST(WindowEvents, ChartMenusAndViewsReachTheSession) {
    Window w;
    w.bar("HScroll_Thickness")->setValue(5);
    w.bar("HScroll_Moo")->setValue(60);

    QAction* clear = menu_action(*w.form, ChartId::pressure, "clear_reference");
    EXPECT_FALSE(clear->isEnabled());
    menu_action(*w.form, ChartId::pressure, "keep_reference")->trigger();
    EXPECT_TRUE(w.session.chart(ChartId::pressure).has_reference());
    EXPECT_TRUE(clear->isEnabled());
    clear->trigger();
    EXPECT_FALSE(w.session.chart(ChartId::pressure).has_reference());
    EXPECT_FALSE(clear->isEnabled());
    menu_action(*w.form, ChartId::pressure, "sonic_level")->trigger();
    EXPECT_TRUE(w.session.sonic_level());

    // The sweep: opened from the critical Mach chart's menu, its selector
    // switches the input, its close box closes the view.
    menu_action(*w.form, ChartId::Mcrit, "open_sweep")->trigger();
    ViewWindow* sweep = w->view_window(View::sweep);
    ASSERT_NE(sweep, nullptr);
    EXPECT_TRUE(sweep->isVisible());
    EXPECT_EQ(sweep->findChild<QLabel*>("sweep_legend")->text().toStdString(), w.session.view_legend(View::sweep));
    // Never smaller than its chart; a larger window scales the chart.
    const ViewInfo& info = view_info(View::sweep);
    sweep->resize(1, 1);
    EXPECT_TRUE(sweep->chart().width() >= info.width && sweep->chart().height() >= info.height);
    sweep->resize(sweep->width() + 200, sweep->height() + 100);
    EXPECT_TRUE(sweep->chart().width() > info.width && sweep->chart().height() > info.height);
    sweep->selector()->setCurrentIndex(2);
    EXPECT_EQ(w.session.sweep_input(), SweepInput::alpha);
    sweep->close();
    EXPECT_FALSE(w.session.view_open(View::sweep));
    EXPECT_TRUE(w.messages.empty());
}

// The button goes down on an arrow or a page area and stays down; the real
// modal box opens and is answered only after the bar's auto-repeat delay
// (500 ms). One press must make one step and one message.
TEST(WindowMessages, OnePressOnAScrollBarMakesOneStepAndOneMessage) {
    for (const bool arrow : {true, false}) {
        Window w;
        w->set_message_hook(nullptr);
        w->show();
        QScrollBar* bar = w.bar("HScroll_Thickness");
        const QPoint at(arrow ? bar->width() - 4 : bar->width() / 2, bar->height() / 2);
        QStringList texts;
        QPointer<QMessageBox> current;
        QElapsedTimer open_for;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box != current) current = box, texts.push_back(box->text()), open_for.start();
            else if (box && open_for.elapsed() > 700) box->done(QMessageBox::Ok);
        });
        answer.start(20);
        QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(bar, &press);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 1200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(bar->value(), 1) << (arrow ? "arrow" : "page");
        EXPECT_EQ(texts, QStringList{QString::fromUtf8(kNotInTableMessage)}) << texts.size() << " boxes";
    }
}

// The probe's tooltip follows the pointer with the session's text.
TEST(WindowPaint, AChartShowsItsProbe) {
    Window w;
    w->show();
    w.bar("HScroll_Thickness")->setValue(5);
    w.bar("HScroll_Moo")->setValue(50);
    PictureBox& box = w->chart(ChartId::pressure);
    const QPointF at(box.width() * 0.5, box.height() * 0.6);
    QMouseEvent move(QEvent::MouseMove, at, box.mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&box, &move);
    const QPointF user = *box.user_point(at);
    const std::string expected = w.session.probe_text(ChartId::pressure, user.x(), user.y());
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), expected);
}

// A drawing painted at 100 % and 200 %: the background, a grid line on
// whole device pixels one logical pixel wide, the kept reference in grey
// beneath the live curve.
TEST(WindowPaint, ADrawingIsPaintedOnItsBackgroundWithGridReferenceAndCurves) {
    ensure_app();
    RecordingSurface s;
    s.Scale(0, 0, 100, 100);
    s.Line(0, 50.3f, 100, 50.3f, kBlack);  // the grid
    s.Line(0, 0, 100, 100, kLiteralBlue);  // the curves
    s.Line(0, 90, 100, 90, kLiteralRed);
    s.keep_reference("thickness 0.05");
    s.Cls();
    s.Scale(0, 0, 100, 100);
    s.Line(0, 50.3f, 100, 50.3f, kBlack);
    for (const int ratio : {1, 2}) {
        SCOPED_TRACE(ratio);
        QImage image(QSize(100, 100) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint_surface(painter, QRect(0, 0, 100, 100), s, QColor(0, 255, 0));
        painter.end();
        auto at = [&](int x, int y) { return image.pixelColor(x * ratio, y * ratio); };
        EXPECT_EQ(at(70, 10), to_qcolor(kSurfaceBackground));
        int black_rows = 0;
        for (int y = 0; y < image.height(); ++y) black_rows += image.pixelColor(10 * ratio, y) == QColor(Qt::black);
        EXPECT_EQ(black_rows, ratio);                      // the grid line covers whole device pixels
        EXPECT_EQ(at(50, 90), to_qcolor(kReferenceGrey));  // the reference, beneath
    }
}

}  // namespace
}  // namespace jmach::testing

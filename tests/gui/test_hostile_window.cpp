// The window under a hostile student: a held click on a scroll bar that
// lands on a pair the table lacks, and Mach texts that hold more than a
// number.

#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

void mouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const bool press = type == QEvent::MouseButtonPress;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, press ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void wait_ms(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The mouse button goes down on an arrow or a page area of a scroll bar and
// the step lands on a pair the table lacks: the real modal message box
// opens while the button is still down, and the student answers it only
// after the bar's auto-repeat delay. One press must make one step and one
// message, however long the box stays open.
TEST(HostileWindow, OnePressOnAScrollBarMakesOneStepAndOneMessage) {
    struct Case {
        const char* bar;
        const char* where;
        int expected_value;
    };
    // With the example rows thickness 0.01 and camber 0.01 (at thickness 0)
    // are missing; thickness and camber step by 1 on arrows and pages.
    const Case cases[] = {{"HScroll_Thickness", "right arrow", 1},
                          {"HScroll_Thickness", "page right of the thumb", 1},
                          {"HScroll_Camber", "right arrow", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bar) + ", " + c.where);
        Window w;
        w->set_message_hook(nullptr);  // the real message box
        w->show();
        QScrollBar* bar = scroll(w, c.bar);
        const QPoint at = std::string(c.where) == "right arrow" ? QPoint(bar->width() - 4, bar->height() / 2)
                                                                : QPoint(bar->width() / 2, bar->height() / 2);
        // Answers each box after it has been open longer than the
        // auto-repeat delay, counting the boxes.
        QStringList texts;
        QPointer<QMessageBox> current;
        QElapsedTimer open_for;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            if (box != current) {
                current = box;
                texts.push_back(box->text());
                open_for.start();
            } else if (open_for.elapsed() > 700) {
                box->done(QMessageBox::Ok);
            }
        });
        answer.start(20);
        mouse(bar, QEvent::MouseButtonPress, at);
        wait_ms(1200);  // the button still held, long after the box was answered
        EXPECT_EQ(bar->value(), c.expected_value);
        EXPECT_EQ(texts.size(), 1) << "message boxes";
        EXPECT_EQ(texts.value(0).toStdString(), kNotInTableMessage);
        mouse(bar, QEvent::MouseButtonRelease, at);
        wait_ms(100);
        EXPECT_EQ(bar->value(), c.expected_value);
    }
}

// A Mach text that holds more than its leading number: the number used is
// that leading number, as before, and the next chain gives the box a
// coloured background and a note distinct from the error state; a chain
// over a clean text takes it away again.
TEST(HostileWindow, TheMachBoxNotesWhatItReadFromATextWithMore) {
    Window w;
    scroll(w, "HScroll_Thickness")->setValue(5);
    QLineEdit* moo = text_box(w, "Text_Moo");
    const QPalette plain = moo->palette();
    auto drawn_at = [&](const char* text) {
        moo->setText(QString::fromUtf8(text));
        w->pressure_Click();
        return surface_json(*picture(w, "pressure")) + surface_json(*picture(w, "Picture_CL"));
    };
    const std::string at_0 = drawn_at("0"), at_half = drawn_at("0.5");
    enum Look { clean, noted, error };
    const char* point = " The decimal point is \".\".";
    struct Case {
        const char* text;
        Look look;
        std::string tip;
        const std::string& drawn;
    };
    const Case cases[] = {
        {"0,7", noted, std::string("Read as 0: \",7\" after the number is ignored.") + point, at_0},
        {"0.5x", noted, std::string("Read as 0.5: \"x\" after the number is ignored.") + point, at_half},
        {"  0.5\t", clean, "", at_half},
        {"\uFF10.\uFF17", noted, std::string("Read as 0: the text does not start with a number.") + point, at_0},
        {"0.50 and then some more words", noted,
         std::string("Read as 0.5: \"and then some more w...\" after the number is ignored.") + point, at_half},
        {"1.5x", error, kMachErrorTip, at_0},  // the error state comes first
        {"", clean, "", at_0},
        {"0.5", clean, "", at_half},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString before = moo->toolTip();
        moo->setText(QString::fromUtf8(c.text));
        EXPECT_EQ(moo->toolTip(), before) << "typing alone changed the mark";
        EXPECT_EQ(drawn_at(c.text), c.drawn) << "the number used";
        EXPECT_EQ(moo->toolTip().toStdString(), c.tip);
        EXPECT_EQ(moo->palette().color(QPalette::Text),
                  c.look == error ? QColor(255, 0, 0) : plain.color(QPalette::Text));
        EXPECT_EQ(moo->palette().color(QPalette::Base),
                  c.look == noted ? to_qcolor(kNoteBackground) : plain.color(QPalette::Base));
    }
}

std::vector<std::string> seen_messages;
void capture(QtMsgType, const QMessageLogContext&, const QString& text) { seen_messages.push_back(text.toStdString()); }

// The offscreen platform's notices at "about" go; every other message still
// reaches the handler installed before.
TEST(HostileWindow, OnlyTheOffscreenPlatformNoticesAreSilenced) {
    ensure_app();
    seen_messages.clear();
    qInstallMessageHandler(capture);
    quiet_platform_notices();
    quiet_platform_notices();  // a second time changes nothing
    Window w;
    w->show();
    w->open_about();
    w->open_about();
    QCoreApplication::processEvents();
    qWarning("This plugin does not support raise()");
    qWarning("A warning of the program's own");
    qWarning("This plugin does not support raise() -- or so it says");
    qInstallMessageHandler(nullptr);
    quiet_platform_notices();
    // (Qt may say other things on some machines; those pass as well.)
    const auto seen = [](const std::string& m) { return std::ranges::count(seen_messages, m); };
    EXPECT_EQ(seen("A warning of the program's own"), 1);
    EXPECT_EQ(seen("This plugin does not support raise() -- or so it says"), 1);
    EXPECT_EQ(seen("This plugin does not support raise()"), 0);
    EXPECT_EQ(seen("This plugin does not support propagateSizeHints()"), 0);
}

}  // namespace
}  // namespace jmach::testing

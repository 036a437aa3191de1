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

}  // namespace
}  // namespace jmach::testing

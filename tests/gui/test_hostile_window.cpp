// The window under a hostile student: a held click on a scroll bar whose
// step lands on a pair the table lacks, and Mach texts that hold more than
// a number.

#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

void wait_ms(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The button goes down on an arrow or a page area and stays down; the real
// modal box opens and is answered only after the bar's auto-repeat delay
// (500 ms). One press must make one step and one message.
TEST(HostileWindow, OnePressOnAScrollBarMakesOneStepAndOneMessage) {
    // Thickness 0.01, and camber 0.01 at thickness 0, are not in the example rows.
    for (const auto& [name, arrow] : {std::pair{"HScroll_Thickness", true}, {"HScroll_Thickness", false}, {"HScroll_Camber", true}}) {
        Window w;
        w->set_message_hook(nullptr);
        w->show();
        QScrollBar* bar = scroll(w, name);
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
        wait_ms(1200);
        EXPECT_EQ(bar->value(), 1) << name << (arrow ? ", arrow" : ", page");
        EXPECT_EQ(texts, QStringList{QString::fromUtf8(kNotInTableMessage)}) << texts.size() << " boxes";
    }
}

// The number used stays the leading number; the next chain gives the box a
// coloured background and a note, distinct from the error state, and a
// chain over a clean text takes them away.
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
    const std::string point = " The decimal point is \".\".";
    const std::tuple<const char*, std::string, std::string> cases[] = {  // text, tooltip, drawing
        {"0,7", "Read as 0: \",7\" after the number is ignored." + point, at_0},
        {"0.5x", "Read as 0.5: \"x\" after the number is ignored." + point, at_half},
        {"\uFF10.\uFF17", "Read as 0: the text does not start with a number." + point, at_0},
        {"1.5x", kMachErrorTip, at_0},  // the error state comes first
        {"0.5", "", at_half}};
    for (const auto& [text, tip, drawn] : cases) {
        const QString before = moo->toolTip();
        moo->setText(QString::fromUtf8(text));
        EXPECT_EQ(moo->toolTip(), before) << "typing alone marked " << text;
        EXPECT_EQ(drawn_at(text), drawn) << text;
        EXPECT_EQ(moo->toolTip().toStdString(), tip);
        const bool error = tip == kMachErrorTip, noted = !tip.empty() && !error;
        EXPECT_EQ(moo->palette().color(QPalette::Text), error ? QColor(255, 0, 0) : plain.color(QPalette::Text)) << text;
        EXPECT_EQ(moo->palette().color(QPalette::Base), noted ? to_qcolor(kNoteBackground) : plain.color(QPalette::Base)) << text;
    }
}

}  // namespace
}  // namespace jmach::testing

// The main window on the offscreen platform: its layout, the scroll-bar
// events, and the recompute chain of every handler.

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cmath>

#include "airfoil/pressure.h"
#include "app/number_text.h"
#include "compressible/mcrit.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

// The application object goes when the tests are done, whoever made it:
// the font database frees its fontconfig patterns only then.
class ApplicationTeardown : public ::testing::Environment {
public:
    void TearDown() override { delete QApplication::instance(); }
};
[[maybe_unused]] const auto* const kTeardown = ::testing::AddGlobalTestEnvironment(new ApplicationTeardown);

TEST(WindowLayout, ControlsAtTheirPlacesWithTheirRanges) {
    Window w;
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Critical Mach number for Tarvelle"));
    EXPECT_EQ(w->centralWidget()->size(), QSize(792, 490));

    // "About" is a clickable item of the menu bar itself, not a sub-menu.
    const auto actions = w->menuBar()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0], w->Mn_About);
    EXPECT_EQ(actions[0]->objectName(), QStringLiteral("Mn_About"));
    EXPECT_EQ(actions[0]->text(), QStringLiteral("About"));
    EXPECT_EQ(actions[0]->menu(), nullptr);

    struct Bar {
        const char* name;
        int min, max, small, large, value;
        QRect geometry;
    };
    for (const Bar& b : {Bar{"HScroll_Thickness", 0, 30, 1, 1, 0, {80, 16, 89, 17}},
                         Bar{"HScroll_Camber", 0, 15, 1, 1, 0, {80, 40, 89, 17}},
                         Bar{"HScroll_nP", 11, 101, 2, 10, 51, {80, 64, 89, 17}},
                         Bar{"HScroll_AlfaD", -10, 10, 1, 1, 0, {80, 88, 89, 17}},
                         Bar{"HScroll_xM", 0, 100, 1, 5, 0, {80, 112, 89, 17}},
                         Bar{"HScroll_Moo", 0, 90, 1, 1, 0, {16, 40, 73, 17}}}) {
        SCOPED_TRACE(b.name);
        auto* bar = w->findChild<QScrollBar*>(QString::fromLatin1(b.name));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), b.min);
        EXPECT_EQ(bar->maximum(), b.max);
        EXPECT_EQ(bar->singleStep(), b.small);
        EXPECT_EQ(bar->pageStep(), b.large);
        EXPECT_EQ(bar->value(), b.value);
        EXPECT_EQ(bar->geometry(), b.geometry);
        EXPECT_FALSE(bar->hasTracking());
    }

    // Initial texts; only the Mach box takes typing.
    for (const char* name : kValueBoxNames) {
        SCOPED_TRACE(name);
        auto* box = w->findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromLatin1(std::string_view(name) == "Text_nP" ? "51" : "0"));
        EXPECT_EQ(box->isReadOnly(), std::string_view(name) != "Text_Moo");
    }

    EXPECT_EQ(w->Frame1->geometry(), QRect(8, 16, 225, 137));
    EXPECT_EQ(w->Frame3->title(), QStringLiteral("Sıkıştırılabilme etkisi"));
    EXPECT_EQ(w->Text_Mcrit->geometry(), QRect(168, 40, 41, 19));
    EXPECT_EQ(w->Mcrit->geometry(), QRect(8, 280, 227, 195));
    EXPECT_EQ(w->pressure->geometry(), QRect(240, 184, 320, 289));
    EXPECT_EQ(w->Picture_CM->geometry(), QRect(568, 288, 217, 185));

    // Greek captions as letters, not as a symbol font.
    EXPECT_EQ(w->Frame1->findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("δ"));
    EXPECT_EQ(w->Frame1->findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("γ"));
    EXPECT_EQ(w->Frame1->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("α"));

    // Chart captions belong to their chart, on the chart's own background.
    auto* alpha = w->Picture_CL->findChild<QLabel*>(QStringLiteral("Label13"));
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->text(), QStringLiteral("α"));
    EXPECT_EQ(alpha->geometry(), QRect(104, 240, 17, 17));
    auto* tick = w->pressure->findChild<QLabel*>(QStringLiteral("Label26"));
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(tick->palette().color(QPalette::Window), QColor(255, 255, 192));
    EXPECT_TRUE(tick->font().italic());
    EXPECT_EQ(w->profil->findChild<QLabel*>(QStringLiteral("Label10"))->text(), QStringLiteral("  0.2"));
    EXPECT_TRUE(w->Mcrit->findChildren<QLabel*>().isEmpty());

    // Nothing is computed or drawn before the first event.
    for (PictureBox* box : {w->Mcrit, w->profil, w->pressure, w->Picture_CL, w->Picture_CM}) {
        EXPECT_FALSE(box->scale().has_value()) << box->objectName().toStdString();
        EXPECT_TRUE(box->primitives().empty()) << box->objectName().toStdString();
    }
    EXPECT_FALSE(has_profile(w->state()));
}

// A table without thickness 0.01 makes every run of the profile step
// visible as one message, which counts the handler runs.
TEST(WindowScrollBars, OneChangePerArrowPageKeyOrReleaseNoneWhileDragging) {
    Window w({{0, 0, 0, 0}});
    QScrollBar* bar = w->HScroll_Thickness;

    bar->setSliderDown(true);  // the user grabs the thumb
    bar->setSliderPosition(3);
    bar->setSliderPosition(1);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.text(w->Text_Thickness), "0");
    bar->setSliderDown(false);  // ... and lets it go at 1
    EXPECT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.text(w->Text_Thickness), "0.01");

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // arrow
    EXPECT_EQ(w.messages.size(), 2u);
    EXPECT_EQ(w.text(w->Text_Thickness), "0.02");
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);  // page area
    EXPECT_EQ(w.messages.size(), 3u);
    EXPECT_EQ(w.text(w->Text_Thickness), "0.01") << bar->value();
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(bar, &right);  // keyboard
    EXPECT_EQ(w.messages.size(), 4u);
    EXPECT_EQ(w.text(w->Text_Thickness), "0.02");

    // The arrows of nP step by 2, its page areas by 10; a drag may still
    // leave it on an even count.
    w->HScroll_nP->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.text(w->Text_nP), "53");
    w->HScroll_nP->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(w.text(w->Text_nP), "43");
    w->HScroll_nP->setSliderDown(true);
    w->HScroll_nP->setSliderPosition(50);
    w->HScroll_nP->setSliderDown(false);
    EXPECT_EQ(w.text(w->Text_nP), "50");
}

TEST(WindowChain, WorkedExamplesShowTheirTexts) {
    Window w;
    // Flat plate, 11 points, no incidence: no suction, no critical Mach search.
    w.set(w->HScroll_nP, 11);
    w->profil_Click();
    EXPECT_EQ(w.text(w->Text_Thickness), "0");
    EXPECT_EQ(w.text(w->Text_nP), "11");
    EXPECT_EQ(w.text(w->Text_CpMin), "0");
    EXPECT_EQ(w.text(w->Text_Mcrit), "0");
    EXPECT_TRUE(w->Mcrit->primitives().empty());
    EXPECT_EQ(w.text(w->Text_CL), "0");

    // At 5 degrees the leading edge of the plate shows Cp = -99; the relaxed
    // iteration leaves the real numbers there, so the result is bracketed
    // and the box says so.
    w.set(w->HScroll_AlfaD, 5);
    EXPECT_EQ(w.text(w->Text_AlfaD), "5");
    EXPECT_EQ(w.text(w->Text_CpMin), "-99");
    EXPECT_NE(w.text(w->Text_Mcrit), "0");
    EXPECT_FALSE(w->Mcrit->primitives().empty());
    EXPECT_TRUE(w->Text_Mcrit->toolTip().contains(QStringLiteral("bracketing")));
    const Drawing mcrit_chart = drawing(*w->Mcrit);
    const std::string mcrit_text = w.text(w->Text_Mcrit);

    // Back to zero incidence: Cp_min is not below -0.01, so the critical
    // Mach box and chart keep what they showed.
    w.set(w->HScroll_AlfaD, 0);
    EXPECT_EQ(w.text(w->Text_CpMin), "0");
    EXPECT_EQ(w.text(w->Text_Mcrit), mcrit_text);
    EXPECT_TRUE(same(drawing(*w->Mcrit), mcrit_chart));

    // eps = 0.1, mu = 0 (our key 0.05, 0), 11 points.
    w.set(w->HScroll_Thickness, 5);
    EXPECT_EQ(w.text(w->Text_Thickness), "0.05");
    EXPECT_EQ(w.text(w->Text_CpMin), "-0.481");
    EXPECT_TRUE(w->Text_Mcrit->toolTip().isEmpty());
    w.set(w->HScroll_AlfaD, 5);
    EXPECT_EQ(w.text(w->Text_CpMin), "-1.284");

    // eps = 0.1, mu = 0.05 (our key 0.05, 0.02), 51 points.
    w.set(w->HScroll_nP, 51);
    w.set(w->HScroll_Camber, 2);
    EXPECT_EQ(w.text(w->Text_Camber), "0.02");
    EXPECT_EQ(w.text(w->Text_CpMin), "-1.928");
    w.set(w->HScroll_AlfaD, 0);
    EXPECT_EQ(w.text(w->Text_CpMin), "-0.63");
    EXPECT_TRUE(w.messages.empty());

    // The critical Mach box shows the search's result for this Cp_min.
    ModelState copy = w->state();
    const double cp_min = basınc_hesapla(copy, 0);
    EXPECT_EQ(w.text(w->Text_Mcrit), rounded_text(mcrit_search(copy, cp_min).mcr, 4));
}

TEST(WindowChain, RealTableFlatPlateAndEveryPairFound) {
    ensure_app();
    Form1 form;
    std::vector<std::string> messages;
    form.set_message_hook([&](const QString& t) { messages.push_back(t.toStdString()); });
    // The tests run in the build folder, next to the copy of the table.
    const auto error = form.Form_Load();
    ASSERT_FALSE(error.has_value()) << *error;
    form.HScroll_nP->setValue(11);
    form.HScroll_AlfaD->setValue(5);
    EXPECT_EQ(form.Text_CpMin->text(), QStringLiteral("-99"));
    for (int t = 0; t <= 30; t += 6)
        for (int c = 0; c <= 15; c += 5) {
            form.HScroll_Thickness->setValue(t);
            form.HScroll_Camber->setValue(c);
        }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(form.Text_Thickness->text(), QStringLiteral("0.3"));
    EXPECT_EQ(form.Text_Camber->text(), QStringLiteral("0.15"));
}

TEST(WindowChain, MomentPointRedrawsOnlyMomentAndProfileAndRingGoesWithNextClick) {
    Window w;
    w.set(w->HScroll_Thickness, 5);
    w.set(w->HScroll_AlfaD, 4);
    plant_sentinel(*w->pressure);
    plant_sentinel(*w->Picture_CL);
    plant_sentinel(*w->Picture_CM);
    plant_sentinel(*w->Mcrit);
    w->Text_CL->setText(QStringLiteral("untouched"));
    const std::string cm_before = w.text(w->Text1);

    w.set(w->HScroll_xM, 25);
    EXPECT_TRUE(has_sentinel(*w->pressure));
    EXPECT_TRUE(has_sentinel(*w->Picture_CL));
    EXPECT_TRUE(has_sentinel(*w->Mcrit));
    EXPECT_EQ(w.text(w->Text_CL), "untouched");
    EXPECT_FALSE(has_sentinel(*w->Picture_CM));
    EXPECT_EQ(w.text(w->Text_xM), "0.25");
    EXPECT_NE(w.text(w->Text1), cm_before);

    // The ring is the last thing on a freshly drawn profile.
    ASSERT_FALSE(w->profil->primitives().empty());
    const Primitive& ring = w->profil->primitives().back();
    EXPECT_EQ(ring.kind, Primitive::Kind::circle);
    EXPECT_EQ(ring.x1, 0.25);
    EXPECT_EQ(ring.y1, 0.0);
    EXPECT_EQ(ring.r, 0.01);
    EXPECT_EQ(ring.colour, rgb(255, 0, 0));
    EXPECT_EQ(circles(*w->profil), 1);

    w->Picture_CM_Click();
    EXPECT_EQ(circles(*w->profil), 0);
    EXPECT_FALSE(has_sentinel(*w->pressure));
    EXPECT_FALSE(has_sentinel(*w->Picture_CL));
    EXPECT_NE(w.text(w->Text_CL), "untouched");
    EXPECT_EQ(w.text(w->Text_xM), "0.25");  // the point itself stays
}

TEST(WindowChain, PointCountLeavesLiftAndMomentAlone) {
    Window w;
    w.set(w->HScroll_Thickness, 5);
    w.set(w->HScroll_AlfaD, 3);
    plant_sentinel(*w->profil);
    plant_sentinel(*w->pressure);
    plant_sentinel(*w->Picture_CL);
    plant_sentinel(*w->Picture_CM);
    w->Text_CL->setText(QStringLiteral("cl"));
    w->Text1->setText(QStringLiteral("cm"));
    const std::string cp_before = w.text(w->Text_CpMin);

    w.set(w->HScroll_nP, 21);
    EXPECT_EQ(w.text(w->Text_nP), "21");
    EXPECT_FALSE(has_sentinel(*w->profil));
    EXPECT_FALSE(has_sentinel(*w->pressure));
    EXPECT_TRUE(has_sentinel(*w->Picture_CL));
    EXPECT_TRUE(has_sentinel(*w->Picture_CM));
    EXPECT_EQ(w.text(w->Text_CL), "cl");
    EXPECT_EQ(w.text(w->Text1), "cm");
    EXPECT_NE(w.text(w->Text_CpMin), cp_before);  // the pressure was recomputed
}

TEST(WindowChain, ChartClicksRunTheFullChainButNotOnTheCriticalMachChart) {
    Window w;
    w.set(w->HScroll_Thickness, 5);
    w.set(w->HScroll_AlfaD, 3);
    for (PictureBox* box : {w->profil, w->pressure, w->Picture_CL, w->Picture_CM}) {
        SCOPED_TRACE(box->objectName().toStdString());
        for (PictureBox* other : {w->Mcrit, w->profil, w->pressure, w->Picture_CL, w->Picture_CM})
            plant_sentinel(*other);
        emit box->clicked();
        for (PictureBox* other : {w->Mcrit, w->profil, w->pressure, w->Picture_CL, w->Picture_CM})
            EXPECT_FALSE(has_sentinel(*other)) << other->objectName().toStdString();
    }
    for (PictureBox* other : {w->Mcrit, w->profil, w->pressure, w->Picture_CL, w->Picture_CM})
        plant_sentinel(*other);
    emit w->Mcrit->clicked();
    for (PictureBox* other : {w->Mcrit, w->profil, w->pressure, w->Picture_CL, w->Picture_CM})
        EXPECT_TRUE(has_sentinel(*other)) << other->objectName().toStdString();
}

TEST(WindowMach, ScrollBarWritesTheMachText) {
    Window w;
    w.set(w->HScroll_Moo, 45);
    EXPECT_EQ(w.text(w->Text_Moo), "0.45");
    EXPECT_EQ(w.text(w->Text_Thickness), "0");  // and the full chain ran
    EXPECT_FALSE(w->pressure->primitives().empty());
    w.set(w->HScroll_Moo, 90);
    EXPECT_EQ(w.text(w->Text_Moo), "0.9");
    w.set(w->HScroll_Moo, 7);
    EXPECT_EQ(w.text(w->Text_Moo), "0.07");
    w.set(w->HScroll_Moo, 0);
    EXPECT_EQ(w.text(w->Text_Moo), "0");
}

TEST(WindowMach, TypedTextsOneAbcEmptyAndNegative) {
    Window w;
    w.set(w->HScroll_Thickness, 5);
    w.set(w->HScroll_AlfaD, 3);
    auto charts = [&] {
        return std::vector<Drawing>{drawing(*w->pressure), drawing(*w->Picture_CL), drawing(*w->Picture_CM)};
    };
    auto same_charts = [](const std::vector<Drawing>& a, const std::vector<Drawing>& b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!same(a[i], b[i])) return false;
        return true;
    };
    const auto incompressible = charts();
    const QColor normal = w->Text_Moo->palette().color(QPalette::Text);
    auto marked = [&] {
        return w->Text_Moo->palette().color(QPalette::Text) == QColor(255, 0, 0) &&
               w->Text_Moo->toolTip() == QString::fromLatin1(kMachErrorTip);
    };

    // Typing runs nothing.
    w->Text_Moo->setText(QStringLiteral("1"));
    EXPECT_FALSE(marked());
    // The next chain reads it: no compressible curves, box in error state.
    w->pressure_Click();
    EXPECT_TRUE(marked());
    EXPECT_TRUE(same_charts(charts(), incompressible));

    // Text without a leading number, and no text at all, read as Mach 0.
    for (const char* text : {"abc", ""}) {
        SCOPED_TRACE(text);
        w->Text_Moo->setText(QString::fromLatin1(text));
        w->profil_Click();
        EXPECT_FALSE(marked());
        EXPECT_EQ(w->Text_Moo->palette().color(QPalette::Text), normal);
        EXPECT_TRUE(same_charts(charts(), incompressible));
    }

    // A negative Mach number corrects as its magnitude does.
    w->Text_Moo->setText(QStringLiteral("0.5"));
    w->profil_Click();
    const auto at_half = charts();
    EXPECT_FALSE(same_charts(at_half, incompressible));
    w->Text_Moo->setText(QStringLiteral("-0.5"));
    w->profil_Click();
    EXPECT_FALSE(marked());
    EXPECT_TRUE(same_charts(charts(), at_half));

    // Not finite, then put right by the scroll bar.
    w->Text_Moo->setText(QStringLiteral("1e999"));
    w.set(w->HScroll_AlfaD, 2);  // this chain reads the box too
    EXPECT_TRUE(marked());
    w.set(w->HScroll_Moo, 30);
    EXPECT_FALSE(marked());
    EXPECT_EQ(w.text(w->Text_Moo), "0.3");
}

TEST(WindowFirstAction, AlphaOrMomentPointFirstShowTheWholeDefaultPicture) {
    // Reference: a chart click, then the same move.
    Window ref;
    ref->profil_Click();
    ref.set(ref->HScroll_AlfaD, 4);

    Window w;
    w.set(w->HScroll_AlfaD, 4);
    EXPECT_TRUE(has_profile(w->state()));
    for (const char* name : kValueBoxNames) {
        const auto* a = w->findChild<QLineEdit*>(QString::fromLatin1(name));
        const auto* b = ref->findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_EQ(a->text(), b->text()) << name;
    }
    EXPECT_TRUE(same(drawing(*w->Picture_CL), drawing(*ref->Picture_CL)));
    EXPECT_TRUE(same(drawing(*w->Picture_CM), drawing(*ref->Picture_CM)));
    EXPECT_TRUE(same(drawing(*w->pressure), drawing(*ref->pressure)));

    // xM first: the full chain, then the moment chain with its ring.
    Window x;
    x.set(x->HScroll_xM, 40);
    EXPECT_TRUE(has_profile(x->state()));
    EXPECT_EQ(x.text(x->Text_xM), "0.4");
    EXPECT_FALSE(x->Picture_CL->primitives().empty());
    EXPECT_FALSE(x->pressure->primitives().empty());
    EXPECT_EQ(circles(*x->profil), 1);

    // nP first computes no lift; a following xM move must not build the
    // moment curve from an empty lift curve.
    Window n;
    n.set(n->HScroll_nP, 41);
    EXPECT_TRUE(n->Picture_CL->primitives().empty());
    n.set(n->HScroll_xM, 40);
    Window r;
    r.set(r->HScroll_nP, 41);
    r->profil_Click();
    r.set(r->HScroll_xM, 40);
    EXPECT_EQ(n.text(n->Text1), r.text(r->Text1));
    EXPECT_TRUE(same(drawing(*n->Picture_CM), drawing(*r->Picture_CM)));
}

TEST(WindowLookup, MissingPairShowsTheMessageAndKeepsTheLastProfile) {
    Window w;
    w.set(w->HScroll_Thickness, 5);
    w.set(w->HScroll_AlfaD, 3);
    const ModelState before = w->state();
    const std::string cp = w.text(w->Text_CpMin), cl = w.text(w->Text_CL);
    plant_sentinel(*w->Picture_CM);

    w.set(w->HScroll_Thickness, 1);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0], "bu profil veritabanında yok");
    EXPECT_EQ(w.text(w->Text_Thickness), "0.01");
    EXPECT_EQ(w->state().thickness, 0.01);
    EXPECT_EQ(w->state().circle_eps, before.circle_eps);
    // The rest of the chain went on with the profile of thickness 0.05.
    EXPECT_EQ(w.text(w->Text_CpMin), cp);
    EXPECT_EQ(w.text(w->Text_CL), cl);
    EXPECT_FALSE(has_sentinel(*w->Picture_CM));
}

TEST(WindowLookup, PointCountChangedAfterAFailedLookupKeepsTheLastGoodPressure) {
    Window w;
    w.set(w->HScroll_Thickness, 5);
    w.set(w->HScroll_AlfaD, 3);
    const std::string cp = w.text(w->Text_CpMin), mcrit = w.text(w->Text_Mcrit);
    w.set(w->HScroll_Thickness, 1);  // not in the table
    w.set(w->HScroll_nP, 101);       // still not: the 51-point geometry stays
    EXPECT_EQ(w.messages.size(), 2u);
    EXPECT_EQ(w.text(w->Text_nP), "101");
    EXPECT_EQ(w.text(w->Text_CpMin), cp);
    EXPECT_EQ(w.text(w->Text_Mcrit), mcrit);
    // Red, blue and magenta runs all follow the 51 points of that geometry.
    w.set(w->HScroll_Moo, 50);
    std::size_t magenta = 0;
    for (const Primitive& p : w->pressure->primitives())
        if (p.colour == kMagenta) ++magenta;
    EXPECT_EQ(magenta, 50u);
}

TEST(WindowLookup, NoProfileEverFoundDrawsOnlyTheEmptyProfileGrid) {
    Window w({{0.2, 0.1, 0.1, 0.05}});  // lacks the starting pair (0, 0)
    w.set(w->HScroll_AlfaD, 3);          // full chain first, then nothing more
    w->pressure_Click();
    w.set(w->HScroll_xM, 10);
    w.set(w->HScroll_nP, 31);
    EXPECT_EQ(w.messages.size(), 4u);
    EXPECT_FALSE(has_profile(w->state()));
    EXPECT_FALSE(w->profil->primitives().empty());  // the grid
    EXPECT_EQ(circles(*w->profil), 0);
    for (PictureBox* box : {w->Mcrit, w->pressure, w->Picture_CL, w->Picture_CM})
        EXPECT_TRUE(box->primitives().empty()) << box->objectName().toStdString();
    EXPECT_EQ(w.text(w->Text_AlfaD), "0");
    EXPECT_EQ(w.text(w->Text_CpMin), "0");
    EXPECT_EQ(w.text(w->Text_nP), "31");

    // Once a pair is found everything comes up.
    w.set(w->HScroll_Thickness, 20);
    w.set(w->HScroll_Camber, 10);
    EXPECT_TRUE(has_profile(w->state()));
    EXPECT_EQ(w.text(w->Text_AlfaD), "3");
    EXPECT_FALSE(w->Picture_CM->primitives().empty());
}

TEST(WindowMessages, TheBoxIsModalWithOneOkNoIconAndTheApplicationTitle) {
    ensure_app();
    Form1 form;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = -1;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        modal = box->isModal();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    form.show_message(QString::fromUtf8(kNotInTableMessage));
    EXPECT_TRUE(modal);
    EXPECT_EQ(title, QGuiApplication::applicationDisplayName());
    EXPECT_EQ(text, QStringLiteral("bu profil veritabanında yok"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
}

TEST(WindowAbout, CreatedOnceModelessAndKept) {
    Window w;
    EXPECT_EQ(w->about_window(), nullptr);
    w->Mn_About->trigger();
    QWidget* about = w->about_window();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowModality(), Qt::NonModal);
    EXPECT_EQ(about->parentWidget(), nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about->size(), QSize(240, 136));
    about->close();
    w->Mn_About->trigger();
    EXPECT_EQ(w->about_window(), about);
    EXPECT_TRUE(about->isVisible());
    // The About menu computes nothing.
    EXPECT_FALSE(has_profile(w->state()));
    w->close();
    EXPECT_FALSE(about->isVisible());
}

}  // namespace
}  // namespace jmach::testing

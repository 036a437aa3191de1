// The main window on the offscreen platform: its layout and the recompute
// chain of every handler.

#include <QMenuBar>

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

// The texts of some value boxes, joined by spaces.
std::string texts(std::initializer_list<const QLineEdit*> boxes) {
    std::string s;
    for (const QLineEdit* box : boxes) s += (s.empty() ? "" : " ") + box->text().toStdString();
    return s;
}

TEST(WindowLayout, CaptionClientAreaMenuAndScrollBars) {
    Window w;
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Critical Mach number for Tarvelle"));
    EXPECT_EQ(w->centralWidget()->size(), QSize(792, 490));
    // "About" is a clickable item of the menu bar itself, not a sub-menu.
    const auto actions = w->menuBar()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("About"));
    EXPECT_EQ(actions[0]->menu(), nullptr);
    struct Bar { const char* name; int min, max, small, large, value; };
    for (const Bar& b : {Bar{"HScroll_Thickness", 0, 30, 1, 1, 0}, Bar{"HScroll_Camber", 0, 15, 1, 1, 0},
                         Bar{"HScroll_nP", 11, 101, 2, 10, 51}, Bar{"HScroll_AlfaD", -10, 10, 1, 1, 0},
                         Bar{"HScroll_xM", 0, 100, 1, 5, 0}, Bar{"HScroll_Moo", 0, 90, 1, 1, 0}}) {
        const auto* bar = w->findChild<QScrollBar*>(QString::fromLatin1(b.name));
        ASSERT_NE(bar, nullptr) << b.name;
        EXPECT_EQ((std::vector{bar->minimum(), bar->maximum(), bar->singleStep(), bar->pageStep(), bar->value()}),
                  (std::vector{b.min, b.max, b.small, b.large, b.value})) << b.name;
        EXPECT_FALSE(bar->hasTracking()) << b.name;  // no Change while the thumb is dragged
    }
}

TEST(WindowChain, WorkedExamplesShowTheirTexts) {
    // Flat plate from the real table, 11 points: no suction at 0 degrees,
    // so no critical Mach search.
    Window real(std::nullopt);
    scroll(real, "HScroll_nP")->setValue(11);
    real->profil_Click();
    EXPECT_EQ(texts({text_box(real, "Text_CpMin"), text_box(real, "Text_Mcrit"), text_box(real, "Text_CL")}), "0 0 0");
    // At 5 degrees the leading edge shows Cp = -99; the relaxed iteration
    // leaves the real numbers there, so the result is bracketed and the box
    // says so.
    scroll(real, "HScroll_AlfaD")->setValue(5);
    EXPECT_EQ(texts({text_box(real, "Text_CpMin")}), "-99");
    EXPECT_TRUE(text_box(real, "Text_Mcrit")->toolTip().contains(QStringLiteral("bracketing")));
    const std::string mcrit = texts({text_box(real, "Text_Mcrit")}) + surface_json(*picture(real, "Mcrit"));
    // Back to zero incidence: Cp_min is not below -0.01, so the critical
    // Mach box and chart keep what they showed.
    scroll(real, "HScroll_AlfaD")->setValue(0);
    EXPECT_EQ(texts({text_box(real, "Text_CpMin"), text_box(real, "Text_Mcrit")}) + surface_json(*picture(real, "Mcrit")), "0 " + mcrit);

    // eps = 0.1, mu = 0 (our key 0.05, 0), 11 points.
    Window w;
    scroll(w, "HScroll_nP")->setValue(11);
    scroll(w, "HScroll_Thickness")->setValue(5);
    EXPECT_EQ(texts({text_box(w, "Text_CpMin")}), "-0.481");
    scroll(w, "HScroll_AlfaD")->setValue(5);
    scroll(w, "HScroll_xM")->setValue(25);
    EXPECT_EQ(texts({text_box(w, "Text_CpMin"), text_box(w, "Text_CL"), text_box(w, "Text1")}), "-1.284 0.5974 -0.00235");
    // eps = 0.1, mu = 0.05 (our key 0.05, 0.02), 51 points.
    scroll(w, "HScroll_nP")->setValue(51);
    scroll(w, "HScroll_Camber")->setValue(2);
    EXPECT_EQ(texts({text_box(w, "Text_CpMin")}), "-1.928");
    scroll(w, "HScroll_AlfaD")->setValue(0);
    EXPECT_EQ(texts({text_box(w, "Text_CpMin"), text_box(w, "Text_Mcrit")}), "-0.63 0.6811");
}

// What the moment point, a chart click and the point count change.
TEST(WindowChain, MomentPointPointCountAndChartClicksRedrawOnlyTheirCharts) {
    Window w;
    scroll(w, "HScroll_Thickness")->setValue(5);
    scroll(w, "HScroll_AlfaD")->setValue(4);
    text_box(w, "Text_CL")->setText(QStringLiteral("untouched"));
    scroll(w, "HScroll_xM")->setValue(25);
    EXPECT_EQ(texts({text_box(w, "Text_CL"), text_box(w, "Text_xM")}), "untouched 0.25");
    // The red ring is the one circle, and the last thing, on the profile.
    EXPECT_TRUE(surface_json(*picture(w, "profil")).ends_with(R"({"op":"circle","x":0.25,"y":0,"r":0.01,"color":"#ff0000"}])"));
    EXPECT_EQ(circles(*picture(w, "profil")), 1);

    // A chart click runs the full chain, which erases the ring but keeps
    // the point.
    emit picture(w, "Picture_CM")->clicked();
    EXPECT_EQ(circles(*picture(w, "profil")), 0);
    EXPECT_EQ(texts({text_box(w, "Text_CL"), text_box(w, "Text_xM")}), "0.4781 0.25");

    // The point count redraws profile and pressure, not lift and moment.
    text_box(w, "Text_CL")->setText(QStringLiteral("cl"));
    text_box(w, "Text1")->setText(QStringLiteral("cm"));
    scroll(w, "HScroll_nP")->setValue(21);
    EXPECT_EQ(texts({text_box(w, "Text_nP"), text_box(w, "Text_CL"), text_box(w, "Text1")}), "21 cl cm");
}

TEST(WindowFirstAction, AlphaOrMomentPointFirstShowTheWholeDefaultPicture) {
    // Alpha first shows what a chart click and then the same move show.
    Window ref, w;
    ref->profil_Click();
    scroll(ref, "HScroll_AlfaD")->setValue(4);
    scroll(w, "HScroll_AlfaD")->setValue(4);
    for (const char* name : kValueBoxNames)
        EXPECT_EQ(w->findChild<QLineEdit*>(name)->text(), ref->findChild<QLineEdit*>(name)->text()) << name;
    for (const char* name : {"pressure", "Picture_CL", "Picture_CM"})
        EXPECT_EQ(surface_json(*w->findChild<PictureBox*>(name)), surface_json(*ref->findChild<PictureBox*>(name)));
    // xM first: the full chain, then the moment chain with its ring.
    Window x;
    scroll(x, "HScroll_xM")->setValue(40);
    EXPECT_FALSE(picture(x, "Picture_CL")->primitives().empty() || picture(x, "pressure")->primitives().empty());
    EXPECT_EQ(circles(*picture(x, "profil")), 1);
    // nP first computes no lift; a following xM move must not build the
    // moment curve from an empty lift curve.
    Window n, r;
    scroll(n, "HScroll_nP")->setValue(41);
    EXPECT_TRUE(picture(n, "Picture_CL")->primitives().empty());
    scroll(n, "HScroll_xM")->setValue(40);
    scroll(r, "HScroll_nP")->setValue(41);
    r->profil_Click();
    scroll(r, "HScroll_xM")->setValue(40);
    EXPECT_EQ(texts({text_box(n, "Text1")}) + surface_json(*picture(n, "Picture_CM")), texts({text_box(r, "Text1")}) + surface_json(*picture(r, "Picture_CM")));
}

TEST(WindowLookup, MissingPairShowsTheMessageAndTheChainKeepsTheLastGoodProfile) {
    Window w;
    scroll(w, "HScroll_Thickness")->setValue(5);
    scroll(w, "HScroll_AlfaD")->setValue(3);
    const std::string cp = texts({text_box(w, "Text_CpMin")}), cl = texts({text_box(w, "Text_CL")}), mcrit = texts({text_box(w, "Text_Mcrit")});
    const std::string drawn = surface_json(*picture(w, "pressure"));
    picture(w, "pressure")->Cls();
    scroll(w, "HScroll_Thickness")->setValue(1);
    ASSERT_EQ(w.messages, std::vector<std::string>{"bu profil veritabanında yok"});
    EXPECT_EQ(texts({text_box(w, "Text_Thickness")}), "0.01");
    // The rest of the chain went on with the profile of thickness 0.05.
    EXPECT_EQ(texts({text_box(w, "Text_CpMin"), text_box(w, "Text_CL")}), cp + " " + cl);
    EXPECT_EQ(surface_json(*picture(w, "pressure")), drawn);
    // A new point count after the failed lookup keeps the last good
    // pressure: still the 51-point geometry, whose 50 intervals the
    // magenta run follows.
    scroll(w, "HScroll_nP")->setValue(101);
    EXPECT_EQ(w.messages.size(), 2u);
    EXPECT_EQ(texts({text_box(w, "Text_nP"), text_box(w, "Text_CpMin"), text_box(w, "Text_Mcrit")}), "101 " + cp + " " + mcrit);
    scroll(w, "HScroll_Moo")->setValue(50);
    EXPECT_EQ(std::ranges::count(picture(w, "pressure")->primitives(), std::optional{kMagenta}, &Primitive::colour), 50);
}

}  // namespace
}  // namespace jmach::testing

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

// Marks Mcrit, profil, pressure, Picture_CL and Picture_CM with a line
// that only survives while nobody clears them; then tells, in that order,
// which still carry it ("k") and which were redrawn ("-").
void mark_charts(Window& w) {
    for (PictureBox* b : {picture(w, "Mcrit"), picture(w, "profil"), picture(w, "pressure"), picture(w, "Picture_CL"), picture(w, "Picture_CM")})
        b->Line(-7.5f, -7.5f, 7.5f, 7.5f, rgb(1, 2, 3));
}
std::string kept(Window& w) {
    std::string s;
    for (PictureBox* b : {picture(w, "Mcrit"), picture(w, "profil"), picture(w, "pressure"), picture(w, "Picture_CL"), picture(w, "Picture_CM")})
        s += surface_json(*b).find("#010203") != std::string::npos ? 'k' : '-';
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

// Each handler redraws only what its chain computes.
TEST(WindowChain, MomentPointPointCountAndChartClicksRedrawOnlyTheirCharts) {
    Window w;
    scroll(w, "HScroll_Thickness")->setValue(5);
    scroll(w, "HScroll_AlfaD")->setValue(4);
    mark_charts(w);
    text_box(w, "Text_CL")->setText(QStringLiteral("untouched"));
    scroll(w, "HScroll_xM")->setValue(25);
    EXPECT_EQ(kept(w), "k-kk-");
    EXPECT_EQ(texts({text_box(w, "Text_CL"), text_box(w, "Text_xM")}), "untouched 0.25");
    // The red ring is the one circle, and the last thing, on the profile.
    EXPECT_TRUE(surface_json(*picture(w, "profil")).ends_with(R"({"op":"circle","x":0.25,"y":0,"r":0.01,"color":"#ff0000"}])"));
    EXPECT_EQ(circles(*picture(w, "profil")), 1);

    // A chart click runs the full chain, which erases the ring but keeps
    // the point.
    mark_charts(w);
    emit picture(w, "Picture_CM")->clicked();
    EXPECT_EQ(kept(w), "-----");
    EXPECT_EQ(circles(*picture(w, "profil")), 0);
    EXPECT_EQ(texts({text_box(w, "Text_CL"), text_box(w, "Text_xM")}), "0.4781 0.25");

    // The point count redraws profile and pressure, not lift and moment.
    mark_charts(w);
    text_box(w, "Text_CL")->setText(QStringLiteral("cl"));
    text_box(w, "Text1")->setText(QStringLiteral("cm"));
    scroll(w, "HScroll_nP")->setValue(21);
    EXPECT_EQ(kept(w), "---kk");
    EXPECT_EQ(texts({text_box(w, "Text_nP"), text_box(w, "Text_CL"), text_box(w, "Text1")}), "21 cl cm");
}

TEST(WindowMach, TypedOneAbcEmptyAndNegativeThenTheScrollBar) {
    Window w;
    scroll(w, "HScroll_Thickness")->setValue(5);
    scroll(w, "HScroll_AlfaD")->setValue(3);
    auto charts = [&] {
        return surface_json(*picture(w, "pressure")) + surface_json(*picture(w, "Picture_CL")) + surface_json(*picture(w, "Picture_CM"));
    };
    const std::string incompressible = charts();
    const QColor normal = text_box(w, "Text_Moo")->palette().color(QPalette::Text);
    auto shows_error = [&](bool error) {
        EXPECT_EQ(text_box(w, "Text_Moo")->palette().color(QPalette::Text), error ? QColor(255, 0, 0) : normal);
        EXPECT_EQ(text_box(w, "Text_Moo")->toolTip() == QString::fromLatin1(kMachErrorTip), error);
    };
    text_box(w, "Text_Moo")->setText(QStringLiteral("0.5"));
    w->profil_Click();
    const std::string at_half = charts();
    EXPECT_NE(at_half, incompressible);
    // Typing runs nothing; the next chain reads the box. Text without a
    // leading number, and no text at all, read as Mach 0; a negative Mach
    // number corrects as its magnitude does; 1 or more draws no
    // compressible curves and marks the box.
    for (const auto& [text, error, drawn] : {std::tuple{"abc", false, incompressible}, {"", false, incompressible},
                                             {"-0.5", false, at_half}, {"1", true, incompressible}}) {
        SCOPED_TRACE(text);
        text_box(w, "Text_Moo")->setText(QString::fromLatin1(text));
        shows_error(false);
        w->pressure_Click();
        shows_error(error);
        EXPECT_EQ(charts(), drawn);
    }
    // The scroll bar puts it right and runs the full chain; its text for 0 is "0".
    for (const auto& [value, text] : {std::pair{30, "0.3"}, {7, "0.07"}, {0, "0"}}) {
        picture(w, "Picture_CM")->Cls();
        scroll(w, "HScroll_Moo")->setValue(value);
        shows_error(false);
        EXPECT_EQ(texts({text_box(w, "Text_Moo")}), text);
        EXPECT_FALSE(picture(w, "Picture_CM")->primitives().empty());
    }
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
    mark_charts(w);
    scroll(w, "HScroll_Thickness")->setValue(1);
    ASSERT_EQ(w.messages, std::vector<std::string>{"bu profil veritabanında yok"});
    EXPECT_EQ(texts({text_box(w, "Text_Thickness")}), "0.01");
    // The rest of the chain went on with the profile of thickness 0.05.
    EXPECT_EQ(texts({text_box(w, "Text_CpMin"), text_box(w, "Text_CL")}), cp + " " + cl);
    EXPECT_EQ(kept(w), "-----");
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

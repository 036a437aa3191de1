// The window itself, without a toolkit: which charts each handler's chain
// redraws and which it leaves, the first action before any profile, the
// Mach box, the chart menus and the views.
// (What each chain shows is pinned by the regression recordings.)

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "test_support.h"

namespace jmach {
namespace {

std::string texts(const Session& s, std::initializer_list<const char*> boxes) {
    std::string out;
    for (const char* box : boxes) out += (out.empty() ? "" : " ") + *s.text(box);
    return out;
}

// Each chart's and view's version, to tell which ones an action redrew.
std::map<std::string, unsigned> versions(const Session& s) {
    std::map<std::string, unsigned> out;
    for (const char* name : kChartNames) out[name] = s.surface(name)->version();
    for (const char* name : kViewNames) out[name] = s.surface(name)->version();
    return out;
}

std::string changed(const std::map<std::string, unsigned>& before, const Session& s) {
    std::string out;
    for (const char* name : kChartNames)
        if (s.surface(name)->version() != before.at(name)) out += (out.empty() ? "" : " ") + std::string(name);
    return out;
}

TEST(SessionChain, EachHandlerRedrawsTheChartsOfItsChainAndNoOthers) {
    Session w = loaded();
    w.scroll(Input::thickness, 5);  // a profile with a suction peak: the search runs
    const struct {
        const char* what;
        std::function<void()> act;
        std::string charts;
    } cases[] = {
        {"thickness", [&] { w.scroll(Input::thickness, 12); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"points", [&] { w.scroll(Input::np, 31); }, "Mcrit profil pressure"},
        {"angle", [&] { w.scroll(Input::alpha, 3); }, "Mcrit pressure Picture_CL Picture_CM"},
        {"moment point", [&] { w.scroll(Input::xm, 25); }, "profil Picture_CM"},
        {"Mach", [&] { w.scroll(Input::mach, 50); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"Mcrit click", [&] { w.click(ChartId::Mcrit); }, ""},
        {"typed Mach", [&] { w.type_mach("0.3"); }, ""},
        {"the same value again", [&] { EXPECT_FALSE(w.scroll(Input::alpha, 3)); }, ""},
    };
    for (const auto& c : cases) {
        const auto before = versions(w);
        c.act();
        EXPECT_EQ(changed(before, w), c.charts) << c.what;
    }
}

TEST(SessionChain, AlphaOrMomentPointFirstShowTheWholeDefaultPicture) {
    // Alpha or xM first runs the full chain (pinned by the regression recordings).
    // nP first computes no lift; a following xM move must not build the
    // moment curve from an empty lift curve.
    Session n = loaded(), r = loaded();
    n.scroll(Input::np, 41);
    n.scroll(Input::xm, 40);
    r.scroll(Input::np, 41);
    r.click(ChartId::profil);
    r.scroll(Input::xm, 40);
    EXPECT_EQ(texts(n, {"Text1"}), texts(r, {"Text1"}));
    EXPECT_EQ(n.chart(ChartId::Picture_CM).primitives().size(), r.chart(ChartId::Picture_CM).primitives().size());
}

TEST(SessionMachBox, TypingRunsNothingAndTheNextChainReadsTheLeadingNumber) {
    Session w = loaded();
    w.scroll(Input::thickness, 5);
    w.type_mach("0.5 abc");
    EXPECT_TRUE(w.mach_look().tip.empty());  // nothing read it yet
    w.click(ChartId::pressure);
    EXPECT_TRUE(w.mach_look().noted && !w.mach_unusable());
    EXPECT_EQ(w.drawn_mach(ChartId::pressure).value().mach, 0.5);
    // A number the correction cannot use: red, and no corrected curves.
    w.type_mach("1.5");
    w.click(ChartId::pressure);
    EXPECT_TRUE(w.mach_unusable());
}

TEST(SessionMenus, SonicLevelAndViewsRedrawWithoutAChain) {
    Session w = loaded();
    w.scroll(Input::thickness, 12);
    w.scroll(Input::camber, 2);
    w.scroll(Input::alpha, 4);
    w.scroll(Input::mach, 60);
    auto before = versions(w);
    w.set_sonic_level(true);
    EXPECT_EQ(changed(before, w), "pressure");
    EXPECT_GT(std::ranges::count(w.chart(ChartId::pressure).primitives(), std::optional{kSonicOrange}, &Primitive::colour), 0);

    // Open views follow every chain; closed, they are left alone.
    w.open_sweep(SweepInput::camber);
    w.open_flow();
    ASSERT_TRUE(w.view_open(View::sweep) && w.view_open(View::flow));
    before = versions(w);
    w.scroll(Input::alpha, 0);
    EXPECT_NE(w.view_chart(View::sweep).version(), before.at("sweep"));
    EXPECT_NE(w.view_chart(View::flow).version(), before.at("flow"));
    w.close_view(View::sweep);
    EXPECT_TRUE(!w.view_open(View::sweep) && w.view_captions(View::sweep).empty() && !w.chart_table("sweep"));
}

}  // namespace
}  // namespace jmach

// The window itself, without a toolkit: what each handler's chain shows
// (the worked values), which charts it redraws and which it leaves, the
// first action before any profile, a profile the table lacks, the Mach box,
// the chart menus and the views.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "session/session.h"

namespace jmach {
namespace {

const std::filesystem::path kRealTable = std::filesystem::path(JMACH_SOURCE_DIR) / "data" / "KATJO-D20G15.txt";

// The circles of the worked examples under keys of our own: (0, 0) the
// flat plate, (0.05, 0) eps = 0.1, mu = 0 and (0.05, 0.02) eps = 0.1,
// mu = 0.05. No row has thickness 0.01: asking for it raises the lookup
// message.
constexpr const char* kExampleTable =
    "1\n4\n0, 0, 0, 0, 0\n0.05, 0, 0.1, 0, 0\n0.05, 0.02, 0.1, 0.05, 0\n0.12, 0.02, 0.1, 0.05, 0\n";

Session example() {
    Session s;
    EXPECT_FALSE(s.Form_Load(kExampleTable, "example.txt"));
    return s;
}

Session real() {
    Session s;
    EXPECT_FALSE(s.Form_Load(kRealTable));
    return s;
}

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

long circles(const RecordingSurface& s) { return std::ranges::count(s.primitives(), Primitive::Kind::circle, &Primitive::kind); }

TEST(SessionChain, WorkedExamplesShowTheirTexts) {
    // Flat plate from the real table, 11 points: no suction at 0 degrees,
    // so no critical Mach search.
    Session r = real();
    r.scroll(Input::np, 11);
    r.click(ChartId::profil);
    EXPECT_EQ(texts(r, {"Text_CpMin", "Text_Mcrit", "Text_CL"}), "0 0 0");
    // At 5 degrees the leading edge shows Cp = -99; the result is
    // bracketed and the box says so.
    r.scroll(Input::alpha, 5);
    EXPECT_EQ(texts(r, {"Text_CpMin"}), "-99");
    EXPECT_NE(r.tooltip("Text_Mcrit")->find("bracketing"), std::string::npos);
    const std::string mcrit = texts(r, {"Text_Mcrit"});
    const auto drawn = r.chart(ChartId::Mcrit).version();
    // Back to zero incidence: the minimum is not below -0.01, so the
    // critical Mach box and chart keep what they showed.
    r.scroll(Input::alpha, 0);
    EXPECT_EQ(texts(r, {"Text_CpMin", "Text_Mcrit"}), "0 " + mcrit);
    EXPECT_EQ(r.chart(ChartId::Mcrit).version(), drawn);

    Session w = example();
    w.scroll(Input::np, 11);
    w.scroll(Input::thickness, 5);
    EXPECT_EQ(texts(w, {"Text_CpMin"}), "-0.481");
    w.scroll(Input::alpha, 5);
    w.scroll(Input::xm, 25);
    EXPECT_EQ(texts(w, {"Text_CpMin", "Text_CL", "Text1"}), "-1.284 0.5974 -0.00235");
    w.scroll(Input::np, 51);
    w.scroll(Input::camber, 2);
    EXPECT_EQ(texts(w, {"Text_CpMin"}), "-1.928");
    w.scroll(Input::alpha, 0);
    EXPECT_EQ(texts(w, {"Text_CpMin", "Text_Mcrit"}), "-0.63 0.6811");
    // The Mach bar writes its number as text: exactly Value / 100.
    w.scroll(Input::mach, 45);
    EXPECT_EQ(texts(w, {"Text_Moo"}), "0.45");
    w.scroll(Input::mach, 0);
    EXPECT_EQ(texts(w, {"Text_Moo"}), "0");
}

TEST(SessionChain, EachHandlerRedrawsTheChartsOfItsChainAndNoOthers) {
    Session w = example();
    w.scroll(Input::thickness, 5);  // a profile with a suction peak: the search runs
    const struct {
        const char* what;
        std::function<void()> act;
        std::string charts;
    } cases[] = {
        {"thickness", [&] { w.scroll(Input::thickness, 12); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"camber", [&] { w.scroll(Input::camber, 2); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"points", [&] { w.scroll(Input::np, 31); }, "Mcrit profil pressure"},
        {"angle", [&] { w.scroll(Input::alpha, 3); }, "Mcrit pressure Picture_CL Picture_CM"},
        {"moment point", [&] { w.scroll(Input::xm, 25); }, "profil Picture_CM"},
        {"Mach", [&] { w.scroll(Input::mach, 50); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"lift click", [&] { w.click(ChartId::Picture_CL); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"Mcrit click", [&] { w.click(ChartId::Mcrit); }, ""},
        {"typed Mach", [&] { w.type_mach("0.3"); }, ""},
        {"About", [&] { w.Mn_About_Click(); }, ""},
        {"the same value again", [&] { EXPECT_FALSE(w.scroll(Input::alpha, 3)); }, ""},
    };
    for (const auto& c : cases) {
        const auto before = versions(w);
        c.act();
        EXPECT_EQ(changed(before, w), c.charts) << c.what;
    }
    EXPECT_EQ(w.about_requests(), 1u);
}

TEST(SessionChain, MomentPointPointCountAndChartClicksKeepWhatTheyDoNotRedraw) {
    Session w = example();
    w.scroll(Input::thickness, 5);
    w.scroll(Input::alpha, 4);
    const std::string cl = texts(w, {"Text_CL"});
    w.scroll(Input::xm, 25);
    EXPECT_EQ(texts(w, {"Text_CL", "Text_xM"}), cl + " 0.25");
    // The red ring is the one circle, and the last thing, on the profile.
    const Primitive& ring = w.chart(ChartId::profil).primitives().back();
    EXPECT_EQ(ring.kind, Primitive::Kind::circle);
    EXPECT_EQ(std::tie(ring.x1, ring.y1, ring.r, *ring.colour), std::make_tuple(0.25, 0.0, 0.01, kLiteralRed));
    EXPECT_EQ(circles(w.chart(ChartId::profil)), 1);
    // A chart click runs the full chain, which erases the ring and keeps the point.
    w.click(ChartId::Picture_CM);
    EXPECT_EQ(circles(w.chart(ChartId::profil)), 0);
    EXPECT_EQ(texts(w, {"Text_CL", "Text_xM"}), "0.4781 0.25");
    // The point count leaves the lift and moment values as they were.
    const std::string moments = texts(w, {"Text_CL", "Text1"});
    w.scroll(Input::np, 21);
    EXPECT_EQ(texts(w, {"Text_nP", "Text_CL", "Text1"}), "21 " + moments);
}

TEST(SessionChain, AlphaOrMomentPointFirstShowTheWholeDefaultPicture) {
    // Alpha first shows what a chart click and then the same move show.
    Session ref = example(), w = example();
    ref.click(ChartId::profil);
    ref.scroll(Input::alpha, 4);
    w.scroll(Input::alpha, 4);
    for (const char* box : kValueBoxNames) EXPECT_EQ(*w.text(box), *ref.text(box)) << box;
    for (const ChartId c : {ChartId::pressure, ChartId::Picture_CL, ChartId::Picture_CM})
        EXPECT_EQ(w.chart(c).primitives().size(), ref.chart(c).primitives().size());
    // xM first: the full chain, then the moment chain with its ring.
    Session x = example();
    x.scroll(Input::xm, 40);
    EXPECT_FALSE(x.chart(ChartId::Picture_CL).primitives().empty());
    EXPECT_EQ(circles(x.chart(ChartId::profil)), 1);
    // nP first computes no lift; a following xM move must not build the
    // moment curve from an empty lift curve.
    Session n = example(), r = example();
    n.scroll(Input::np, 41);
    EXPECT_TRUE(n.chart(ChartId::Picture_CL).primitives().empty());
    n.scroll(Input::xm, 40);
    r.scroll(Input::np, 41);
    r.click(ChartId::profil);
    r.scroll(Input::xm, 40);
    EXPECT_EQ(texts(n, {"Text1"}), texts(r, {"Text1"}));
    EXPECT_EQ(n.chart(ChartId::Picture_CM).primitives().size(), r.chart(ChartId::Picture_CM).primitives().size());
}

TEST(SessionChain, AMissingPairRaisesOneMessageAndTheChainKeepsTheLastGoodProfile) {
    Session w = example();
    w.scroll(Input::thickness, 5);
    w.scroll(Input::alpha, 3);
    const std::string results = texts(w, {"Text_CpMin", "Text_CL", "Text_Mcrit"});
    const std::size_t drawn = w.chart(ChartId::pressure).primitives().size();
    EXPECT_FALSE(w.has_messages());
    w.scroll(Input::thickness, 1);
    EXPECT_EQ(w.take_messages(), std::vector<std::string>{"bu profil veritabanında yok"});
    EXPECT_FALSE(w.has_messages());
    EXPECT_EQ(texts(w, {"Text_Thickness"}), "0.01");
    EXPECT_EQ(texts(w, {"Text_CpMin", "Text_CL", "Text_Mcrit"}), results);
    EXPECT_EQ(w.chart(ChartId::pressure).primitives().size(), drawn);
    // A new point count after the failed lookup keeps the last good
    // pressure: still the 51-point geometry, whose 50 intervals the
    // magenta run follows.
    w.scroll(Input::np, 101);
    EXPECT_EQ(w.take_messages().size(), 1u);
    w.scroll(Input::mach, 50);
    EXPECT_EQ(std::ranges::count(w.chart(ChartId::pressure).primitives(), std::optional{kMagenta}, &Primitive::colour), 50);
}

TEST(SessionMachBox, TypingRunsNothingAndTheNextChainReadsTheLeadingNumber) {
    Session w = example();
    w.scroll(Input::thickness, 5);
    w.type_mach("0.5 abc");
    EXPECT_EQ(texts(w, {"Text_Moo"}), "0.5 abc");
    EXPECT_TRUE(w.mach_look().tip.empty());  // nothing read it yet
    w.click(ChartId::pressure);
    EXPECT_TRUE(w.mach_look().noted);
    EXPECT_FALSE(w.mach_unusable());
    ASSERT_TRUE(w.drawn_mach(ChartId::pressure));
    EXPECT_EQ(w.drawn_mach(ChartId::pressure)->mach, 0.5);
    EXPECT_NE(w.chart_text(ChartId::pressure).find("at M∞ = 0.5"), std::string::npos);
    // A number the correction cannot use: red, and no corrected curves.
    w.type_mach("1.5");
    w.click(ChartId::pressure);
    EXPECT_TRUE(w.mach_unusable());
    EXPECT_EQ(w.mach_look().tip, kMachErrorTip);
    EXPECT_FALSE(w.drawn_mach(ChartId::Picture_CL));
    // Broken UTF-8 shows as replacement characters.
    w.type_mach("0.\xff");
    EXPECT_EQ(texts(w, {"Text_Moo"}), "0.\xEF\xBF\xBD");
}

TEST(SessionMenus, SonicLevelReferencesAndViewsRedrawWithoutAChain) {
    Session w = example();
    // Before any profile the flow field says so and stays closed.
    w.open_flow();
    EXPECT_FALSE(w.view_open(View::flow));
    ASSERT_EQ(w.take_messages().size(), 1u);
    w.scroll(Input::thickness, 12);
    w.scroll(Input::camber, 2);
    w.scroll(Input::alpha, 4);
    w.scroll(Input::mach, 60);
    const std::string boxes = texts(w, {"Text_CpMin", "Text_Mcrit", "Text_CL", "Text1"});
    auto before = versions(w);
    w.set_sonic_level(true);
    EXPECT_EQ(changed(before, w), "pressure");
    EXPECT_EQ(std::ranges::count(w.chart(ChartId::pressure).primitives(), std::optional{kSonicOrange}, &Primitive::colour) > 0, true);
    before = versions(w);
    w.set_sonic_level(true);  // already on: nothing
    EXPECT_EQ(changed(before, w), "");

    w.keep_reference(ChartId::Picture_CL);
    EXPECT_EQ(w.reference_note(ChartId::Picture_CL),
              "In grey, a reference kept with thickness 0.12, camber 0.02, nP 51, α 4°, xM/c 0, M 0.6.");
    w.scroll(Input::alpha, -2);
    EXPECT_TRUE(w.chart(ChartId::Picture_CL).has_reference());
    EXPECT_NE(w.probe_text(ChartId::Picture_CL, 0, -0.5).find("In grey: thickness 0.12"), std::string::npos);
    w.clear_reference(ChartId::Picture_CL);
    EXPECT_EQ(w.reference_note(ChartId::Picture_CL), "");

    // Open views follow every chain; closed, they are left alone.
    w.open_sweep(SweepInput::camber);
    w.open_flow();
    ASSERT_TRUE(w.view_open(View::sweep) && w.view_open(View::flow));
    EXPECT_EQ(w.sweep()->current, 2);
    before = versions(w);
    w.scroll(Input::alpha, 0);
    EXPECT_NE(w.view_chart(View::sweep).version(), before.at("sweep"));
    EXPECT_NE(w.view_chart(View::flow).version(), before.at("flow"));
    EXPECT_FALSE(w.view_captions(View::flow).empty());
    EXPECT_EQ(w.view_captions(View::sweep).back().text, "Mcrit");
    w.close_view(View::sweep);
    w.close_view(View::sweep);
    EXPECT_FALSE(w.view_open(View::sweep));
    EXPECT_TRUE(w.view_captions(View::sweep).empty());
    EXPECT_FALSE(w.chart_table("sweep"));
    EXPECT_TRUE(w.chart_table("flow"));
    EXPECT_FALSE(w.chart_table("Text_CL"));
    EXPECT_NE(boxes, texts(w, {"Text_CpMin", "Text_Mcrit", "Text_CL", "Text1"}));
}

TEST(SessionTexts, ChartsSayWhatTheyShowForScreenReaders) {
    Session w = real();
    EXPECT_EQ(w.chart_text(ChartId::Picture_CL), "Lift curve chart: nothing drawn yet.");
    w.scroll(Input::thickness, 12);
    w.scroll(Input::alpha, 4);
    EXPECT_EQ(w.chart_text(ChartId::Picture_CL), "Lift curve chart: CL = " + *w.text("Text_CL") + " at α = 4°.");
    EXPECT_EQ(w.chart_text(ChartId::Mcrit),
              "Critical Mach number chart: Mcr = " + *w.text("Text_Mcrit") + " by Prandtl-Glauert for CpMin = " +
                  *w.text("Text_CpMin") + ".");
    w.open_sweep(SweepInput::thickness);
    EXPECT_EQ(w.view_text(View::sweep).rfind("Critical Mach number chart against thickness t/c from 0 to 0.3", 0), 0u)
        << w.view_text(View::sweep);
}

}  // namespace
}  // namespace jmach

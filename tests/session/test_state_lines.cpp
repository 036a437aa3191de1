// The state as lines of the script language: written for a window after
// any mix of actions and read back by a fresh window to the same texts,
// charts and views; a text that is no such state runs nothing.

#include <gtest/gtest.h>

#include <filesystem>

#include "session/script_runner.h"
#include "session/state_lines.h"

namespace jmach {
namespace {

Session loaded() {
    Session s;
    EXPECT_FALSE(s.Form_Load(std::filesystem::path(JMACH_SOURCE_DIR) / "data" / "KATJO-D20G15.txt"));
    return s;
}

void run(Session& s, std::initializer_list<const char*> lines) {
    ScriptRunner runner(s, {}, nullptr);
    for (const char* line : lines) {
        std::string json;
        ASSERT_FALSE(runner.run_line(line, json)) << line;
    }
}

// Everything the window shows: its boxes, tooltips and charts with their
// references, and the views.
std::string shown(const Session& s) {
    std::string out;
    for (const char* box : kValueBoxNames) out += *s.text(box) + "|" + *(s.tooltip(box) ? s.tooltip(box) : s.text(box)) + "\n";
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const RecordingSurface& c = s.chart(static_cast<ChartId>(i));
        out += surface_json(c) + c.reference_inputs() + std::to_string(c.reference().size()) + "\n";
    }
    for (const char* view : kViewNames)
        if (const RecordingSurface* v = s.surface(view); s.chart_table(view)) out += surface_json(*v) + "\n";
    return out + (s.sonic_level() ? "sonic" : "");
}

TEST(StateLines, AFreshWindowOpensToTheWindowTheLinesDescribe) {
    const std::initializer_list<const char*> paths[] = {
        {"thickness 12", "camber 4", "np 101", "alpha 4", "xm 25", "mach 60"},
        {"thickness 12", "keep Picture_CL", "camber 2", "alpha 6", "keep pressure", "sonic on", "sweep camber"},
        {"thickness 8", "type-mach 0.5 abc", "click pressure", "alpha -3", "flow", "type-mach 0.3"},
        {"mach 40", "type-mach .7", "thickness 10", "keep Mcrit", "mach 55", "sweep alpha", "sonic on", "sonic off"},
    };
    for (const auto& path : paths) {
        Session s = loaded();
        run(s, path);
        const std::vector<std::string> lines = state_lines(s);
        std::string text;
        for (const std::string& l : lines) text += (text.empty() ? "" : "\n") + l;
        Session opened = loaded();
        const StateOpened result = open_state(opened, text);
        EXPECT_TRUE(result.opened) << text;
        EXPECT_EQ(shown(opened), shown(s)) << text;
        EXPECT_EQ(state_lines(opened), lines);
    }
}

TEST(StateLines, TheStartStateIsTheBareAddressAndTheTextIsEncodedForAnAddress) {
    Session s = loaded();
    EXPECT_TRUE(state_lines(s).empty());
    EXPECT_EQ(state_link(s, "https://example.org/jmach.html"), "https://example.org/jmach.html");
    run(s, {"thickness 12", "type-mach 0,5 é"});
    EXPECT_EQ(state_link(s, "jmach.html"), "jmach.html#state=thickness%2012%0Atype-mach%200%2C5%20%C3%A9");
    // What encodeURIComponent leaves as it is.
    EXPECT_EQ(percent_encoded("AZaz09-_.!~*'()#&=%/"), "AZaz09-_.!~*'()%23%26%3D%25%2F");
    // And read back, as an address carries it; a broken escape or bytes
    // that are no UTF-8 are no text.
    EXPECT_EQ(percent_decoded(percent_encoded("type-mach 0,5 é\nalpha 3")), "type-mach 0,5 é\nalpha 3");
    EXPECT_EQ(percent_decoded("a%2fb%2F+c"), "a/b/+c");
    for (const char* bad : {"%", "%2", "%zz", "a%4", "%FF", "%C3"}) EXPECT_FALSE(percent_decoded(bad)) << bad;
}

TEST(StateLines, ATextThatIsNoStateRunsNothing) {
    const std::string long_mach = "type-mach " + std::string(101, '5');
    std::string many;
    for (int i = 0; i <= 200; ++i) many += (i ? "\n" : "") + std::string("alpha 1");
    const std::string hostile[] = {
        "thickness 31", "thickness -2147483648", "thickness 012345", "thickness  12", "thickness 12 ", "alpha +1",
        "export pressure x.csv", "snapshot x.png", "about", "click pressure", "probe profil 0 0", "close flow",
        "sonic yes", "keep nothing", "sweep np", "flow now", "unkeep Mcrit", "thickness 12\n\nalpha 3",
        "thickness 12\r", "type-mach 0.5\x01", long_mach, many, "Thickness 12", "type-mach \xff",
        std::string(8001, 'a'),
    };
    for (const std::string& text : hostile) {
        Session s = loaded();
        const std::string before = shown(s);
        const StateOpened result = open_state(s, text);
        EXPECT_FALSE(result.opened) << text.substr(0, 60);
        EXPECT_EQ(result.notice, kNotAStateNotice);
        EXPECT_EQ(shown(s), before) << text.substr(0, 60);
    }
    // A profile the table lacks on the way is answered and told at the end.
    Session holes;
    ASSERT_FALSE(holes.Form_Load(std::filesystem::path(JMACH_SOURCE_DIR) / "tests" / "regression" / "holey-table.txt"));
    for (int t = 0; t <= 30; ++t) {
        const StateOpened result = open_state(holes, "thickness " + std::to_string(t) + "\ncamber 15");
        EXPECT_TRUE(result.opened);
        if (!result.notice.empty()) {
            EXPECT_EQ(result.notice, "bu profil veritabanında yok");
            return;
        }
    }
    ADD_FAILURE() << "the table with holes had no hole at camber 0.15";
}

}  // namespace
}  // namespace jmach

// The state as lines of the script language: written for a window after
// any mix of actions and read back by a fresh window to the same texts,
// charts and views; a text that is no such state runs nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "session/script_runner.h"
#include "session/state_lines.h"
#include "test_support.h"

namespace jmach {
namespace {

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

TEST(StateLines, AFreshWindowOpensToTheWindowTheStateFileDescribes) {
    const std::initializer_list<const char*> paths[] = {
        {"thickness 12", "camber 4", "np 101", "alpha 4", "xm 25", "mach 60"},
        {"thickness 12", "keep Picture_CL", "camber 2", "alpha 6", "keep pressure", "sonic on", "sweep camber"},
        {"thickness 8", "type-mach 0.5 abc", "click pressure", "alpha -3", "flow", "type-mach 0.3"},
        {"mach 40", "type-mach .7", "thickness 10", "keep Mcrit", "mach 55", "sweep alpha", "sonic on", "sonic off"},
        // Charts drawn with the bars back at their start, and a critical
        // Mach number held from the 12 % profile.
        {"thickness 12", "thickness 0"},
        {"alpha 6", "keep pressure", "alpha 0", "thickness 12", "thickness 0", "camber 2", "camber 0"},
        // The point count's chain leaves the lift and moment curves.
        {"np 21", "thickness 10", "np 51", "xm 40", "undo", "close flow"},
    };
    for (const auto& path : paths) {
        Session s = loaded();
        run(s, path);
        const std::string text = state_text(s);
        EXPECT_TRUE(text.starts_with("jmach-state 1\n")) << text;
        Session opened = loaded();
        opened.scroll(Input::camber, 3);  // what the window showed before goes
        const StateOpened result = open_state(opened, text, StateSource::file);
        EXPECT_TRUE(result.opened) << text << result.notice;
        EXPECT_EQ(shown(opened), shown(s)) << text;
        EXPECT_EQ(state_text(opened), text);
        EXPECT_EQ(state_in_link(state_link(s, "https://example.org/jmach.html#embed")), text);  // the link carries it
    }
    // A profile the table lacks on the way: the path as taken.
    for (int t = 0; t <= 30; ++t) {
        Session holes;
        ASSERT_FALSE(holes.Form_Load(std::filesystem::path(JMACH_SOURCE_DIR) / "tests" / "regression" / "holey-table.txt"));
        Session start = holes;
        holes.scroll(Input::alpha, 4);
        holes.scroll(Input::thickness, t);
        holes.scroll(Input::camber, 15);
        if (holes.take_messages().empty()) continue;
        const StateOpened result = open_state(start, state_text(holes), StateSource::file);
        EXPECT_EQ(result.notice, "bu profil veritabanında yok");
        EXPECT_EQ(shown(start), shown(holes)) << state_text(holes);
        return;
    }
    ADD_FAILURE() << "the table with holes had no hole at camber 0.15";
}

// Every regression script's window (its snapshots aside), over its table,
// saved and opened again.
TEST(StateLines, EveryRegressionScriptsWindowOpensAgain) {
    const std::filesystem::path root = JMACH_SOURCE_DIR;
    for (const char* name : {"readme-example", "screenshot", "random-real-table", "random-holey-table"}) {
        SCOPED_TRACE(name);
        const auto table = std::string(name) == "random-holey-table" ? root / "tests/regression/holey-table.txt"
                                                                     : root / "data/KATJO-D20G15.txt";
        Session s, opened;
        ASSERT_FALSE(s.Form_Load(table) || opened.Form_Load(table));
        ScriptRunner runner(s, {}, nullptr);
        std::ifstream script(root / "tests/regression" / (std::string(name) + ".script"));
        std::string json;
        for (std::string line; std::getline(script, line);)
            if (!line.starts_with("snapshot")) {
                ASSERT_FALSE(runner.run_line(line, json)) << line;
            }
        EXPECT_TRUE(open_state(opened, state_text(s), StateSource::file).opened) << state_text(s);
        EXPECT_EQ(shown(opened), shown(s));
    }
}

TEST(StateLines, LinksCarryTheHeaderAndOlderLinksStillOpen) {
    Session s = loaded();
    EXPECT_EQ(state_link(s, "https://example.org/jmach.html"), "https://example.org/jmach.html#state=jmach-state%201%0A");
    run(s, {"thickness 12", "type-mach 0,5 é"});
    EXPECT_EQ(state_link(s, "jmach.html"),
              "jmach.html#state=jmach-state%201%0Athickness%2012%0Atype-mach%200%2C5%20%C3%A9%0A");
    // A link written before the header: the lines alone.
    Session old = loaded();
    EXPECT_TRUE(open_state(old, *state_in_link("x.html#state=thickness%2012%0Atype-mach%200%2C5%20%C3%A9"),
                           StateSource::link).opened);
    EXPECT_EQ(shown(old), shown(s));
    EXPECT_EQ(state_in_link("https://example.org/jmach.html"), "");
    EXPECT_EQ(state_in_link("jmach.html#embed&state=a%26b&charts=1"), "a&b");
    EXPECT_FALSE(state_in_link("x.html#state=%zz"));
    // What encodeURIComponent leaves as it is.
    EXPECT_EQ(percent_encoded("AZaz09-_.!~*'()#&=%/"), "AZaz09-_.!~*'()%23%26%3D%25%2F");
    // And read back, as an address carries it; a broken escape or bytes
    // that are no UTF-8 are no text.
    EXPECT_EQ(percent_decoded(percent_encoded("type-mach 0,5 é\nalpha 3")), "type-mach 0,5 é\nalpha 3");
    EXPECT_EQ(percent_decoded("a%2fb%2F+c"), "a/b/+c");
    for (const char* bad : {"%", "%2", "%zz", "a%4", "%FF", "%C3"}) EXPECT_FALSE(percent_decoded(bad)) << bad;
}

TEST(StateLines, ATextThatIsNoStateRunsNothingAndSaysWhichLine) {
    const std::string long_mach = "type-mach " + std::string(101, '5');
    std::string many = "jmach-state 1\n";
    for (int i = 0; i < 200; ++i) many += "alpha 1\n";
    const std::pair<std::string, std::string> files[] = {
        {"thickness 12\n", "line 1: this is not a state of the window: its first line must be \"jmach-state 1\""},
        {"", "line 1: this is not a state of the window: its first line must be \"jmach-state 1\""},
        {"jmach-state 2\nthickness 12\n", "line 1: the state is of version 2, newer than this edition reads (version 1)"},
        {"jmach-state 1\n# a comment\n\nthickness 31\n", "line 4: thickness 31 is outside 0..30"},
        {"jmach-state 1\nexport pressure x.csv\n",
         "line 2: \"export pressure x.csv\" is not a line of a state: a state holds only the moves of the bars, the "
         "Mach text, clicks, references, the sonic level and the views, each written as the window writes it"},
        {"jmach-state 1\nsave x.jmach\n", ""},
        {many, "line 201: a state holds at most 200 lines"},
        {"jmach-state 1\n" + std::string(8000, '#'), "line 2: a state holds at most 8000 characters"},
        {"jmach-state 1\ntype-mach \xff\n", "line 2: not UTF-8 text"},
    };
    for (const auto& [text, why] : files) {
        Session s = loaded();
        run(s, {"thickness 8", "sweep camber"});
        const std::string before = shown(s);
        const StateOpened result = open_state(s, text, StateSource::file);
        EXPECT_FALSE(result.opened) << text.substr(0, 60);
        if (!why.empty()) {
            EXPECT_EQ(result.notice, why);
        }
        EXPECT_EQ(shown(s), before) << text.substr(0, 60);
    }
    // Links from before the header hold only the lines the window writes.
    std::string lines;
    for (int i = 0; i <= 200; ++i) lines += (i ? "\n" : "") + std::string("alpha 1");
    const std::string hostile[] = {
        "thickness 31", "thickness -2147483648", "thickness 012345", "thickness  12", "thickness 12 ", "alpha +1",
        "export pressure x.csv", "snapshot x.png", "about", "probe profil 0 0", "handout x.pdf", "undo",
        "sonic yes", "keep nothing", "sweep np", "flow now", "thickness 12\n\nalpha 3", "link",
        "thickness 12\r", "type-mach 0.5\x01", long_mach, lines, "Thickness 12", "type-mach \xff",
        std::string(8001, 'a'),
    };
    for (const std::string& text : hostile) {
        Session s = loaded();
        const std::string before = shown(s);
        const StateOpened result = open_state(s, text, StateSource::link);
        EXPECT_FALSE(result.opened) << text.substr(0, 60);
        EXPECT_TRUE(result.notice.starts_with("line ")) << result.notice;
        EXPECT_EQ(shown(s), before) << text.substr(0, 60);
    }
}

}  // namespace
}  // namespace jmach

// The controls' help against the window that is built: every scroll bar,
// value box and chart the window makes has a name and a description, no
// help names a control that is not there, and the ranges the texts state
// are those of the scroll bars.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "airfoil/surface_minimum.h"
#include "charts/control_help.h"
#include "compressible/mcrit.h"

namespace {

using jmach::control_help;

std::string window_layout() {
    std::ifstream in(std::string(JMACH_SOURCE_DIR) + "/app/form1_layout.cpp");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ControlHelp, EveryControlOfTheWindowHasHelpAndNoneIsMissing) {
    const std::string layout = window_layout();
    const std::regex made(R"re(make_(scroll|box|picture)\(\w+, "(\w+)")re");
    std::set<std::string> controls;
    for (auto m = std::sregex_iterator(layout.begin(), layout.end(), made); m != std::sregex_iterator(); ++m) {
        const std::string name = (*m)[2];
        controls.insert(name);
        const jmach::ControlHelp* help = control_help(name);
        ASSERT_NE(help, nullptr) << name;
        EXPECT_STRNE(help->name, "") << name;
        EXPECT_STRNE(help->description, "") << name;
    }
    EXPECT_EQ(controls.size(), 6u + 10u + 5u);
    for (const jmach::ControlHelp& help : jmach::control_helps())
        EXPECT_TRUE(controls.count(help.control)) << help.control << " is no control of the window";
    EXPECT_EQ(jmach::control_helps().size(), controls.size());

    // The results' boxes keep the texts their computations extend; the
    // lookup takes whole names only.
    EXPECT_STREQ(control_help("Text_CpMin")->description, jmach::kCpMinDescription);
    EXPECT_STREQ(control_help("Text_Mcrit")->description, jmach::kMcritDescription);
    for (const char* unknown : {"", "Text", "Text_CpMi", "Text_CpMinX", "mcrit"}) EXPECT_EQ(control_help(unknown), nullptr) << unknown;
}

// A value as the texts write it: whole numbers bare, others to 2 decimals.
std::string shown(double value) {
    if (value == std::floor(value)) return std::to_string(static_cast<int>(value));
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

TEST(ControlHelp, ScrollBarAndValueBoxStateTheScrollBarsRange) {
    const std::string layout = window_layout();
    // make_scroll(parent, "HScroll_X", left, top, width, min, max, small, large, value)
    const std::regex scroll(R"re(make_scroll\(\w+, "HScroll_(\w+)", (?:-?\d+, ){3}(-?\d+), (-?\d+),)re");
    int bars = 0;
    for (auto m = std::sregex_iterator(layout.begin(), layout.end(), scroll); m != std::sregex_iterator(); ++m, ++bars) {
        const std::string quantity = (*m)[1];
        const int min = std::stoi((*m)[2]), max = std::stoi((*m)[3]);
        // Positions are the value itself or hundredths of it.
        const std::string whole = shown(min) + " to " + shown(max);
        const std::string hundredths = shown(min / 100.0) + " to " + shown(max / 100.0);
        for (const std::string& control : {"HScroll_" + quantity, "Text_" + quantity}) {
            const jmach::ControlHelp* help = control_help(control);
            ASSERT_NE(help, nullptr) << control;
            const std::string text = help->description;
            EXPECT_TRUE(text.find(whole) != std::string::npos || text.find(hundredths) != std::string::npos)
                << control << ": " << text << " (scroll bar " << min << " to " << max << ")";
        }
    }
    EXPECT_EQ(bars, 6);
}

}  // namespace

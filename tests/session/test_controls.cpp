// The control table against itself and the texts it carries: every scroll
// bar, value box and chart is named and described, each caption it points
// to is there, and the ranges the help texts state are the scroll bars'.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "session/controls.h"

namespace jmach {
namespace {

TEST(Controls, EveryInputResultAndChartIsDescribedAndNamedOnce) {
    std::set<std::string> names;
    int bars = 0, boxes = 0, charts = 0;
    for (const Control& c : controls()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name << " twice";
        if (*c.parent) {
            const Control* parent = control(c.parent);
            ASSERT_NE(parent, nullptr) << c.name;
            EXPECT_TRUE(parent->kind == ControlKind::frame || parent->kind == ControlKind::picture) << c.name;
        }
        if (c.kind != ControlKind::scroll_bar && c.kind != ControlKind::value_box && c.kind != ControlKind::picture)
            continue;
        bars += c.kind == ControlKind::scroll_bar;
        boxes += c.kind == ControlKind::value_box;
        charts += c.kind == ControlKind::picture;
        EXPECT_STRNE(c.help_name, "") << c.name;
        EXPECT_STRNE(c.help, "") << c.name;
        if (c.kind != ControlKind::picture) {
            const Control* caption = control(c.label);
            ASSERT_NE(caption, nullptr) << c.name;
            EXPECT_EQ(caption->kind, ControlKind::label) << c.name;
        }
    }
    EXPECT_EQ(bars, 6);
    EXPECT_EQ(boxes, 10);
    EXPECT_EQ(charts, 5);
    for (const char* box : kValueBoxNames) EXPECT_EQ(control(box)->kind, ControlKind::value_box) << box;
    for (const char* chart : kChartNames) EXPECT_EQ(control(chart)->kind, ControlKind::picture) << chart;
    for (const char* unknown : {"", "Text", "Text_CpMi", "Text_CpMinX", "mcrit"}) EXPECT_EQ(control(unknown), nullptr);
}

// A value as the texts write it: whole numbers bare, others to 2 decimals.
std::string shown(double value) {
    if (value == std::floor(value)) return std::to_string(static_cast<int>(value));
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

TEST(Controls, ScrollBarAndValueBoxStateTheBarsRange) {
    for (std::size_t i = 0; i < kInputBars.size(); ++i) {
        const Control& bar = input_bar(static_cast<Input>(i));
        EXPECT_LE(bar.minimum, bar.value);
        EXPECT_LE(bar.value, bar.maximum);
        // Positions are the value itself or hundredths of it.
        const std::string whole = shown(bar.minimum) + " to " + shown(bar.maximum);
        const std::string hundredths = shown(bar.minimum / 100.0) + " to " + shown(bar.maximum / 100.0);
        const std::string quantity = std::string(bar.name).substr(8);  // after "HScroll_"
        for (const Control* c : {&bar, control("Text_" + quantity)}) {
            ASSERT_NE(c, nullptr) << quantity;
            const std::string text = c->help;
            EXPECT_TRUE(text.find(whole) != std::string::npos || text.find(hundredths) != std::string::npos)
                << c->name << ": " << text;
        }
    }
}

}  // namespace
}  // namespace jmach

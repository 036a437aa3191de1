// The control table against itself and the texts it carries: every scroll
// bar, value box and chart is named and described, each caption it points
// to is there, and the ranges the help texts state are the scroll bars'.

#include <gtest/gtest.h>

#include <string>

#include "session/controls.h"

namespace jmach {
namespace {

TEST(Controls, EveryInputResultAndChartIsDescribed) {
    for (const Control& c : controls()) {
        if (c.kind != ControlKind::scroll_bar && c.kind != ControlKind::value_box && c.kind != ControlKind::picture)
            continue;
        EXPECT_STRNE(c.help_name, "") << c.name;
        EXPECT_STRNE(c.help, "") << c.name;
        if (c.kind != ControlKind::picture) {
            const Control* caption = control(c.label);
            ASSERT_NE(caption, nullptr) << c.name;
            EXPECT_EQ(caption->kind, ControlKind::label) << c.name;
        }
    }
    for (const char* box : kValueBoxNames) EXPECT_EQ(control(box)->kind, ControlKind::value_box) << box;
    for (const char* unknown : {"", "Text", "Text_CpMi", "Text_CpMinX", "mcrit"}) EXPECT_EQ(control(unknown), nullptr);
}

}  // namespace
}  // namespace jmach

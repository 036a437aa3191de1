// Undo and redo: after any mix of actions, undos and redos the window is
// the window the remaining actions reach directly; an action that changes
// nothing is no step, a drag is one, and the oldest steps go first.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "session/script_runner.h"
#include "session/state_lines.h"
#include "test_support.h"

namespace jmach {
namespace {

const char* const kActions[] = {
    "thickness 12", "thickness 0", "thickness 20", "camber 4", "camber 0", "np 21", "np 101", "alpha 6",
    "alpha -8", "xm 50", "mach 60", "mach 0", "type-mach 0.5", "type-mach 0,7 x", "click profil",
    "click Picture_CM", "sonic on", "sonic off", "keep pressure", "keep Picture_CL", "unkeep pressure",
    "sweep thickness", "sweep alpha", "flow", "close sweep", "close flow", "undo", "undo", "redo",
};

TEST(History, AnyMixOfUndoAndRedoShowsTheWindowTheRemainingActionsReach) {
    std::mt19937 random(20261210);
    for (int run = 0; run < 12; ++run) {
        Session s = loaded();
        ScriptRunner runner(s, {}, nullptr);
        // The actions each state was reached by: undo takes the last step's
        // off, redo puts it back.
        std::vector<std::vector<std::string>> undone, redone;
        std::vector<std::string> path;
        for (int i = 0; i < 40; ++i) {
            const std::string line = kActions[std::uniform_int_distribution<std::size_t>(0, std::size(kActions) - 1)(random)];
            const std::size_t steps = runner.history().undo_steps();
            const bool could_undo = runner.history().can_undo(), could_redo = runner.history().can_redo();
            std::string json;
            ASSERT_FALSE(runner.run_line(line, json)) << line;
            if (line == "undo") {
                if (!could_undo) continue;
                redone.push_back(path);
                path = undone.back();
                undone.pop_back();
            } else if (line == "redo") {
                if (!could_redo) continue;
                undone.push_back(path);
                path = redone.back();
                redone.pop_back();
            } else {
                path.push_back(line);
                if (runner.history().undo_steps() > steps) {
                    undone.push_back(path);
                    undone.back().pop_back();
                    redone.clear();
                }
            }
        }
        Session direct = loaded();
        ScriptRunner replay(direct, {}, nullptr);
        std::string json;
        for (const std::string& line : path) ASSERT_FALSE(replay.run_line(line, json));
        EXPECT_TRUE(direct.same_window(s)) << ::testing::PrintToString(path);
        for (std::size_t c = 0; c < kChartNames.size(); ++c)
            EXPECT_EQ(surface_json(s.chart(static_cast<ChartId>(c))), surface_json(direct.chart(static_cast<ChartId>(c))));
    }
}

TEST(History, OnlyWhatChangesTheWindowIsAStepAndADragIsOne) {
    Session s = loaded();
    ScriptRunner runner(s, {}, nullptr);
    std::string json;
    const auto steps_after = [&](const char* line) {
        EXPECT_FALSE(runner.run_line(line, json)) << line;
        return runner.history().undo_steps();
    };
    // Nothing to change yet: a bar at its own value, the flow before any
    // profile, closing a closed view, an empty history's undo and redo.
    for (const char* nothing : {"thickness 0", "flow", "close sweep", "undo", "redo", "unkeep pressure", "link"})
        EXPECT_EQ(steps_after(nothing), 0u) << nothing;
    EXPECT_EQ(steps_after("thickness 12"), 1u);
    EXPECT_EQ(steps_after("click profil"), 1u);  // the same charts again
    EXPECT_EQ(steps_after("type-mach 0.6"), 2u);  // the box's text changed
    EXPECT_EQ(steps_after("click profil"), 3u);   // ... and now the charts
    EXPECT_EQ(steps_after("keep pressure"), 4u);
    EXPECT_EQ(steps_after("keep pressure"), 4u);  // the same reference again
    EXPECT_EQ(steps_after("alpha 4"), 5u);
    EXPECT_EQ(steps_after("keep pressure"), 6u);  // a new one, after the inputs moved

    History history;
    const Session before_drag = s;
    history.begin(s);
    for (int t = 13; t <= 18; ++t) history.step(s, [&] { s.scroll(Input::thickness, t); });
    EXPECT_FALSE(history.undo(s));  // not while the thumb is held
    EXPECT_TRUE(history.end(s));
    EXPECT_EQ(history.undo_steps(), 1u);
    ASSERT_TRUE(history.undo(s));
    EXPECT_TRUE(s.same_window(before_drag));
    EXPECT_FALSE(history.can_undo());
    ASSERT_TRUE(history.redo(s));
    EXPECT_EQ(*s.text("Text_Thickness"), "0.18");

    // The oldest steps go first.
    History short_history(3);
    for (int a = 1; a <= 5; ++a) short_history.step(s, [&] { s.scroll(Input::alpha, a); });
    while (short_history.undo(s)) {
    }
    EXPECT_EQ(*s.text("Text_AlfaD"), "2");
}

}  // namespace
}  // namespace jmach

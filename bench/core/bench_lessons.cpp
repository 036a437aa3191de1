// Lessons: an undo or a redo against the step it takes back (a thickness
// move at 101 points and Mach 0.5: the full chain with the critical Mach
// search), and opening a state of the most lines a state may have.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "airfoil/table.h"
#include "session/history.h"
#include "session/state_lines.h"

namespace {

using namespace jmach;

Session window() {
    Session s;
    s.Form_Load(std::filesystem::path(JMACH_SOURCE_DIR) / "data" / kTableFileName);
    for (const auto& [input, value] : {std::pair{Input::np, 101}, {Input::mach, 50}, {Input::camber, 2},
                                      {Input::alpha, 3}, {Input::thickness, 12}})
        s.scroll(input, value);
    return s;
}

// The step itself, kept for undo: 12 <-> 13 %.
void BM_ThicknessStep(benchmark::State& state) {
    Session s = window();
    History history;
    bool up = true;
    for (auto _ : state) {
        history.step(s, [&] { s.scroll(Input::thickness, up ? 13 : 12); });
        up = !up;
    }
}
BENCHMARK(BM_ThicknessStep)->Unit(benchmark::kMicrosecond);

// The same move without keeping it: what a step adds is the difference.
void BM_ThicknessMove(benchmark::State& state) {
    Session s = window();
    bool up = true;
    for (auto _ : state) {
        s.scroll(Input::thickness, up ? 13 : 12);
        up = !up;
    }
}
BENCHMARK(BM_ThicknessMove)->Unit(benchmark::kMicrosecond);

// Undo and redo of that step, in turn: each iteration is one of them.
void BM_UndoOrRedo(benchmark::State& state) {
    Session s = window();
    History history;
    history.step(s, [&] { s.scroll(Input::thickness, 13); });
    bool undo = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(undo ? history.undo(s) : history.redo(s));
        undo = !undo;
    }
}
BENCHMARK(BM_UndoOrRedo)->Unit(benchmark::kMicrosecond);

// A state of 200 lines: the header, then every bar moved in turn at 101
// points with the views open, references kept on the way.
void BM_OpenLongestState(benchmark::State& state) {
    std::string text = std::string(kStateHeader) + "\nnp 101\nmach 50\nsweep thickness\nflow\n";
    for (int line = 5; line < 200; ++line) {
        const int k = line % 4;
        text += k == 0 ? "thickness " + std::to_string(line % 20 + 1)
                : k == 1 ? "alpha " + std::to_string(line % 10)
                : k == 2 ? "camber " + std::to_string(line % 8)
                         : std::string(line % 8 == 3 ? "keep pressure" : "xm 25");
        text += "\n";
    }
    Session start;
    start.Form_Load(std::filesystem::path(JMACH_SOURCE_DIR) / "data" / kTableFileName);
    for (auto _ : state) {
        Session s = start;
        if (!open_state(s, text, StateSource::file).opened) state.SkipWithError("the state was refused");
    }
}
BENCHMARK(BM_OpenLongestState)->Unit(benchmark::kMillisecond);

}  // namespace

// The views beside the window: the flow field drawn afresh and painted at
// 800 x 400 logical pixels (a new angle of attack while it is open).

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/form1.h"
#include "app/picture_box.h"
#include "bench_window.h"

namespace {

void BM_FlowFieldRedraw(benchmark::State& state) {
    using jmach::Input;
    jmach::bench::Window window;
    if (!window.start(state, {{Input::np, 101}, {Input::thickness, 12}, {Input::camber, 4}, {Input::mach, 60}}))
        return;
    window.session.open_flow();
    window.form->refresh();
    QCoreApplication::processEvents();
    std::vector<double> ms;
    bool up = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        window.bar(Input::alpha)->setValue(up ? 6 : 5);  // the chain, then the flow field drawn afresh
        QCoreApplication::processEvents();                 // and painted
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        up = !up;
    }
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        state.counters["median_ms"] = ms[ms.size() / 2];
    }
}
BENCHMARK(BM_FlowFieldRedraw)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

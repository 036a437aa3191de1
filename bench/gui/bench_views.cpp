// The views beside the window: the flow field drawn afresh and painted at
// 800 x 400 logical pixels (a new angle of attack while it is open); and
// the window on paper, the handout.

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/form1.h"
#include "app/handout_page.h"
#include "app/picture_box.h"
#include "bench_window.h"
#include "session/state_lines.h"

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

// The one-page handout as PDF, written to memory: the texts, the five
// charts painted as vector graphics at 101 points and Mach 0.5, with a
// reference kept.
void BM_HandoutPdf(benchmark::State& state) {
    using jmach::Input;
    jmach::bench::Window window;
    if (!window.start(state, {{Input::np, 101}, {Input::mach, 50}, {Input::camber, 2}, {Input::alpha, 4},
                              {Input::thickness, 12}}))
        return;
    window.session.keep_reference(jmach::ChartId::pressure);
    window.form->refresh();
    const jmach::Handout handout = jmach::handout(window.session, jmach::kDefaultPageAddress, "2026-12-10");
    for (auto _ : state) benchmark::DoNotOptimize(jmach::handout_pdf(*window.form, handout).size());
}
BENCHMARK(BM_HandoutPdf)->Unit(benchmark::kMillisecond)->MinTime(1.0);

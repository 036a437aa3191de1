// One user event end to end: a key press on the thickness scroll bar runs
// the full recompute chain (profile, pressure, critical Mach search, lift
// and moment curves) at 101 points and Mach 0.5, then the event loop paints
// every changed surface and box into the window's backing store.
//
// Run from the build folder (the table is read from the working directory):
//   ./bench/jmach_gui_bench
// The per-event median is reported as the counter median_ms.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/form1.h"
#include "app/picture_box.h"
#include "bench_window.h"

// Under callgrind (--collect-atstart=no) only the timed events are counted,
// so that instructions per event can be compared on a busy machine; outside
// it the requests cost nothing.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define JMACH_COUNT_EVENT() CALLGRIND_TOGGLE_COLLECT
#else
#define JMACH_COUNT_EVENT()
#endif

namespace {

// Counts the paint events the charts receive.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// `reading`: with a reference kept on every chart and the sonic level on;
// at `alpha` degrees.
void key_press_full_chain(benchmark::State& state, bool reading, int alpha) {
    using jmach::Input;
    jmach::bench::Window window;
    if (!window.start(state, {{Input::np, 101}, {Input::mach, 50}, {Input::camber, 2}, {Input::alpha, alpha},
                              {Input::thickness, 12}}))
        return;
    jmach::Form1& form = *window.form;
    if (reading) {
        for (std::size_t i = 0; i < jmach::kChartNames.size(); ++i)
            window.session.keep_reference(static_cast<jmach::ChartId>(i));
        window.session.set_sonic_level(true);
        form.refresh();
    }
    QCoreApplication::processEvents();

    PaintCounter counter;
    std::vector<jmach::PictureBox*> charts;
    for (std::size_t i = 0; i < jmach::kChartNames.size(); ++i)
        charts.push_back(&form.chart(static_cast<jmach::ChartId>(i)));
    for (auto* chart : charts) chart->installEventFilter(&counter);

    std::vector<double> ms;
    bool up = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QKeyEvent key(QEvent::KeyPress, up ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
        JMACH_COUNT_EVENT();
        QApplication::sendEvent(form.findChild<QScrollBar*>(QStringLiteral("HScroll_Thickness")), &key);  // 12 <-> 13: full chain
        QCoreApplication::processEvents();                       // paint into the backing store
        JMACH_COUNT_EVENT();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        up = !up;
    }
    for (auto* chart : charts) chart->removeEventFilter(&counter);

    if (counter.paints < static_cast<int>(charts.size() * ms.size()))
        state.SkipWithError("not every chart was repainted after every event");
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
        // Every event counted under callgrind, over all runs of the benchmark.
        static double counted = 0;
        counted += static_cast<double>(ms.size());
        state.counters["counted_events"] = counted;
    }
}

void BM_ThicknessKeyFullChainRepaint(benchmark::State& state) { key_press_full_chain(state, false, 3); }
BENCHMARK(BM_ThicknessKeyFullChainRepaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same without (0) and with (1) every chart's reference painted beneath
// it and the sonic level over the pressure chart, at 3 degrees (the level
// alone) and at 6 (supersonic points marked on the suction peak).
void BM_KeyChainReading(benchmark::State& state) {
    key_press_full_chain(state, state.range(0) != 0, static_cast<int>(state.range(1)));
}
BENCHMARK(BM_KeyChainReading)->ArgsProduct({{0, 1}, {3, 6}})->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The probe: a pointer move over the pressure chart finds the nearest
// sample, writes its values and moves the tooltip; 0: the pointer moves a
// pixel to and fro over one sample (the text stays), 1: between two
// samples on the suction peak (a new text every move). The tooltip
// window's paint is not timed.
void BM_ProbeTooltipUpdate(benchmark::State& state) {
    using jmach::Input;
    jmach::bench::Window window;
    if (!window.start(state, {{Input::np, 101}, {Input::thickness, 12}, {Input::alpha, 5}, {Input::mach, 60}}))
        return;
    QCoreApplication::processEvents();
    jmach::PictureBox& box = window.form->chart(jmach::ChartId::pressure);
    const QPointF near(box.width() * 0.5, box.height() * 0.6);  // mid-chord, samples some 8 pixels apart
    const QPointF points[] = {state.range(0) ? QPointF(box.width() * 0.12, box.height() * 0.3) : near,
                              state.range(0) ? QPointF(box.width() * 0.14, box.height() * 0.31) : near + QPointF(1, 0)};
    std::vector<double> us;
    int k = 0;
    for (auto _ : state) {
        const QPointF at = points[k++ & 1];
        QMouseEvent move(QEvent::MouseMove, at, box.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        const auto start = std::chrono::steady_clock::now();
        JMACH_COUNT_EVENT();
        QApplication::sendEvent(&box, &move);
        JMACH_COUNT_EVENT();
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        QCoreApplication::processEvents();  // the tooltip's own repaint, not timed
        state.ResumeTiming();
    }
    if (!QToolTip::isVisible()) state.SkipWithError("no probe tooltip");
    if (!us.empty()) {
        std::sort(us.begin(), us.end());
        state.counters["median_us"] = us[us.size() / 2];
        state.counters["p90_us"] = us[us.size() * 9 / 10];
        static double counted = 0;  // every event counted under callgrind, over all runs
        counted += static_cast<double>(us.size());
        state.counters["counted_events"] = counted;
    }
}
BENCHMARK(BM_ProbeTooltipUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

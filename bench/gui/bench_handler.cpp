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
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/form1.h"
#include "charts/picture_box.h"

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

void BM_ThicknessKeyFullChainRepaint(benchmark::State& state) {
    jmach::Form1 form;
    form.set_message_hook([&](const QString& text) { state.SkipWithError(qPrintable(text)); });
    if (const auto error = form.Form_Load()) {
        state.SkipWithError(error->c_str());
        return;
    }
    form.show();
    form.findChild<QScrollBar*>(QStringLiteral("HScroll_nP"))->setValue(101);
    form.findChild<QScrollBar*>(QStringLiteral("HScroll_Moo"))->setValue(50);
    form.findChild<QScrollBar*>(QStringLiteral("HScroll_Camber"))->setValue(2);
    form.findChild<QScrollBar*>(QStringLiteral("HScroll_AlfaD"))->setValue(3);
    form.findChild<QScrollBar*>(QStringLiteral("HScroll_Thickness"))->setValue(12);
    QCoreApplication::processEvents();

    PaintCounter counter;
    std::vector<jmach::PictureBox*> charts;
    for (std::size_t i = 0; i < jmach::kChartNames.size(); ++i)
        charts.push_back(&form.chart(static_cast<jmach::Chart>(i)));
    for (auto* chart : charts) chart->installEventFilter(&counter);

    std::vector<double> ms;
    bool up = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QKeyEvent key(QEvent::KeyPress, up ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(form.findChild<QScrollBar*>(QStringLiteral("HScroll_Thickness")), &key);  // 12 <-> 13: full chain
        QCoreApplication::processEvents();                       // paint into the backing store
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
    }
}
BENCHMARK(BM_ThicknessKeyFullChainRepaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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

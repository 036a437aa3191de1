// Timings of the picture box painting the five charts of one full
// recompute (101 points, 5 degrees, M = 0.5) into images of their sizes in
// the window, at 100 % and at 200 % scaling.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <array>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "app/picture_box.h"
#include "charts/lift_chart.h"
#include "charts/mcrit_chart.h"
#include "charts/moment_chart.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"

namespace {

using namespace jmach;

struct Chart {
    RecordingSurface surface;
    QSize size;
    QColor foreground;
};

struct PaintSetup {
    std::array<Chart, 5> charts;

    PaintSetup() {
        ModelState s;
        set_constants(s);
        s.circle_eps = 0.1;
        s.circle_mu = 0.05;
        s.n_points = 101;
        compute_profile_geometry(s);
        Chart& profil = charts[0];
        Chart& pressure = charts[1];
        Chart& picture_cl = charts[2];
        Chart& picture_cm = charts[3];
        Chart& mcrit = charts[4];
        renkler(s);
        profil_ciz(s, profil.surface);
        const double cp_min = basınc_hesapla(s, 5);
        Mcrit_ciz(mcrit_curves(s, cp_min), mcrit.surface);
        mcrit_marker(mcrit.surface, mcrit_search(s, cp_min));
        const std::optional<double> beta = free_stream(s, 0.5);
        basınc_ciz(s, pressure.surface, beta);
        lift_curve(s);
        CL_Alfa_ciz(s, picture_cl.surface, beta);
        moment_curve(s, 25);
        CM_Alfa_ciz(s, picture_cm.surface, beta);
        profil.size = {320, 160};
        pressure.size = {320, 289};
        picture_cl.size = {213, 261};
        picture_cm.size = {217, 185};
        mcrit.size = {227, 195};
        profil.foreground = QColor(0, 0, 255);
        pressure.foreground = QColor(0, 255, 0);
        picture_cl.foreground = picture_cm.foreground = mcrit.foreground = QColor(0, 0, 0);
    }
};

void BM_PaintAllCharts(benchmark::State& state) {
    const PaintSetup setup;
    const qreal ratio = static_cast<qreal>(state.range(0)) / 100.0;
    std::array<QImage, 5> images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        images[i] = QImage(setup.charts[i].size * ratio, QImage::Format_ARGB32_Premultiplied);
        images[i].setDevicePixelRatio(ratio);
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < images.size(); ++i) {
            QPainter painter(&images[i]);
            paint_surface(painter, QRect(QPoint(0, 0), setup.charts[i].size), setup.charts[i].surface,
                          setup.charts[i].foreground);
        }
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(state.range(0)) + " %");
}
BENCHMARK(BM_PaintAllCharts)->Arg(100)->Arg(200)->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

// The Qt picture box on the offscreen platform: every chart painted from
// its retained drawing, checked pixel by pixel.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "charts/lift_chart.h"
#include "charts/mcrit_chart.h"
#include "charts/moment_chart.h"
#include "charts/pressure_view.h"
#include "charts/profile_view.h"
#include "compressible/coefficients.h"
#include "compressible/mcrit.h"
#include "test_window_support.h"

namespace jmach {
namespace {

// Pixel index of user coordinate v on an axis from a to b over n pixels.
int px(double v, double a, double b, int n) { return static_cast<int>(std::floor((v - a) / (b - a) * n)); }

// Each chart on a box of its size in the window, for the symmetric
// eps = 0.1 profile at 5 degrees and M = 0.5: the pale yellow background in
// two corners, and the end of one segment of a curve (the one at `at` along
// it, where the curves stand apart) within one pixel of a pixel of the
// curve's colour blended at most half with the background.
TEST(PictureBox, EveryChartPaintsItsBackgroundAndCurves) {
    testing::ensure_app();
    ModelState s;
    set_constants(s);
    s.circle_eps = 0.1;
    s.n_points = 51;
    compute_profile_geometry(s);
    PictureBox profil(nullptr, QColor(0, 0, 255)), pressure(nullptr, QColor(0, 255, 0));
    PictureBox lift(nullptr, Qt::black), moment(nullptr, Qt::black), mcrit(nullptr, Qt::black);
    renkler(s);
    profil_ciz(s, profil);
    const double cp_min = basınc_hesapla(s, 5);
    Mcrit_ciz(mcrit_curves(s, cp_min), mcrit);
    mcrit_marker(mcrit, mcrit_search(s, cp_min));
    const std::optional<double> beta = free_stream(s, 0.5);
    basınc_ciz(s, pressure, beta);
    lift_curve(s);
    CL_Alfa_ciz(s, lift, beta);
    moment_curve(s, 100);  // about the trailing edge the corrected curve stands clear
    CM_Alfa_ciz(s, moment, beta);
    const struct { PictureBox* box; QSize size; Colour colour; double at; } cases[] = {
        {&profil, {320, 160}, s.kirmizi, 0.5}, {&pressure, {320, 289}, kMagenta, 0.75},
        {&lift, {213, 261}, s.mavi, 0.9}, {&moment, {217, 185}, kMagenta, 0.9}, {&mcrit, {227, 195}, kLiteralGreen, 1}};
    for (const auto& c : cases) {
        c.box->resize(c.size);
        const QImage image = c.box->grab().toImage();
        EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 255, 192));
        EXPECT_EQ(image.pixelColor(c.size.width() - 3, c.size.height() - 3), QColor(255, 255, 192));
        const ScaleRect& sc = *c.box->scale();
        std::vector<Primitive> curve;
        for (const Primitive& p : c.box->primitives())
            if (p.colour == c.colour && p.kind == Primitive::Kind::line) curve.push_back(p);
        const Primitive& p = curve.at(static_cast<std::size_t>(c.at * (curve.size() - 1)));
        const QPoint end(px(p.x2, sc.x1, sc.x2, image.width()), px(p.y2, sc.y1, sc.y2, image.height()));
        int best = 256;  // the largest channel difference, at the nearest pixel
        for (int d = 0; d < 9; ++d) {
            const QRgb got = image.pixel(end + QPoint(d % 3 - 1, d / 3 - 1)), want = to_qcolor(c.colour).rgb();
            best = std::min(best, std::max({std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                                            std::abs(qBlue(got) - qBlue(want))}));
        }
        EXPECT_LE(best, 100) << std::hex << c.colour << std::dec << " at " << end.x() << "," << end.y();
    }
}

}  // namespace
}  // namespace jmach

// The Qt picture box on the offscreen platform: what it paints from the
// retained drawing, pixel by pixel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "charts/picture_box.h"
#include "charts/views.h"
#include "compressible/mcrit.h"

namespace jmach {
namespace {

// One application for the whole test program, whoever asks first.
void ensure_application() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "jmach_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

class PictureBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensure_application(); }
};

const QColor kBackground(255, 255, 192);

int channel_distance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// Device pixel of a user point on a surface painted into `image` (which
// may have a device pixel ratio).
QPoint device_pixel(const RecordingSurface& surface, const QImage& image, double x, double y) {
    const ScaleRect& s = *surface.scale();
    const double px = (x - s.x1) / (s.x2 - s.x1) * image.width();
    const double py = (y - s.y1) / (s.y2 - s.y1) * image.height();
    return QPoint(static_cast<int>(std::floor(px)), static_cast<int>(std::floor(py)));
}

// The colour nearest to `want` among the pixels within one pixel of `at`.
int best_match(const QImage& image, QPoint at, QColor want) {
    int best = 256;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p)) best = std::min(best, channel_distance(image.pixelColor(p), want));
        }
    return best;
}

// Lines of one colour whose midpoints lie inside the image.
std::vector<Primitive> visible_lines(const RecordingSurface& surface, const QImage& image, Colour colour) {
    std::vector<Primitive> out;
    const QRect inside = image.rect().adjusted(2, 2, -2, -2);
    for (const Primitive& p : surface.primitives())
        if (p.kind == Primitive::Kind::line && p.colour == colour &&
            inside.contains(device_pixel(surface, image, (p.x1 + p.x2) / 2, (p.y1 + p.y2) / 2)))
            out.push_back(p);
    return out;
}

// The pixels at the middle of a segment show its colour, blended at most
// half with the background by antialiasing. `at` picks the segment among
// the visible ones of that colour, as a fraction of their number.
void expect_curve_pixel(const RecordingSurface& surface, const QImage& image, Colour colour, double at = 0.5) {
    const std::vector<Primitive> lines = visible_lines(surface, image, colour);
    ASSERT_FALSE(lines.empty()) << std::hex << colour;
    const std::size_t index = std::min(lines.size() - 1, static_cast<std::size_t>(at * lines.size()));
    const Primitive& p = lines[index];
    const QPoint pixel = device_pixel(surface, image, (p.x1 + p.x2) / 2, (p.y1 + p.y2) / 2);
    EXPECT_LE(best_match(image, pixel, to_qcolor(colour)), 100)
        << std::hex << colour << std::dec << " at " << pixel.x() << "," << pixel.y();
}

// ---- the five charts on the widget ------------------------------------------

class ChartPixels : public PictureBoxTest {
protected:
    void SetUp() override {
        set_constants(s);
        s.circle_eps = 0.1;
        s.circle_mu = 0.05;
        s.n_points = 51;
        compute_profile_geometry(s);
    }

    // The corners stay free of drawing on every chart.
    static void expect_background_corners(const QImage& image) {
        for (QPoint corner : {QPoint(2, 2), QPoint(image.width() - 3, 2), QPoint(2, image.height() - 3),
                              QPoint(image.width() - 3, image.height() - 3)})
            EXPECT_EQ(image.pixelColor(corner), kBackground) << corner.x() << "," << corner.y();
    }

    ModelState s;
};

// Each chart on a widget of its size in the window, for a cambered profile
// at 5 degrees and M = 0.5.
TEST_F(ChartPixels, EveryChartPaintsItsBackgroundAndCurves) {
    PictureBox profil(nullptr, QColor(0, 0, 255));
    PictureBox pressure(nullptr, QColor(0, 255, 0));
    PictureBox lift(nullptr, Qt::black);
    PictureBox moment(nullptr, Qt::black);
    PictureBox mcrit(nullptr, Qt::black);
    profil.resize(320, 160);
    pressure.resize(320, 289);
    lift.resize(213, 261);
    moment.resize(217, 185);
    mcrit.resize(227, 195);

    profil_ciz(s, profil);
    const double cp_min = basınc_hesapla(s, 5);
    ASSERT_LT(cp_min, kMcritThreshold);
    Mcrit_iter(s, cp_min, mcrit);
    CL_Alfa_ciz(s, lift, "0.5");
    // About the trailing edge the moment is large enough for the corrected
    // curve to stand clear of the incompressible one.
    CM_Alfa_ciz(s, moment, 100, "0.5");
    const Colour red = s.kirmizi, blue = s.mavi, green = s.yesil, black = s.siyah;

    {
        SCOPED_TRACE("profil");
        const QImage image = profil.grab().toImage();
        ASSERT_EQ(image.size(), QSize(320, 160));
        expect_background_corners(image);
        for (Colour c : {red, blue, green, black}) expect_curve_pixel(profil, image, c);
    }
    {
        SCOPED_TRACE("pressure");
        // Incompressible first: on the lower surface the corrected curve
        // would lie over the red run.
        basınc_ciz(s, pressure, "0");
        QImage image = pressure.grab().toImage();
        ASSERT_EQ(image.size(), QSize(320, 289));
        expect_background_corners(image);
        for (Colour c : {red, blue, green, black}) expect_curve_pixel(pressure, image, c);
        basınc_ciz(s, pressure, "0.5");
        image = pressure.grab().toImage();
        expect_curve_pixel(pressure, image, kMagenta, 0.75);  // upper surface, above the blue run
    }
    for (PictureBox* box : {&lift, &moment}) {
        SCOPED_TRACE(box == &lift ? "Picture_CL" : "Picture_CM");
        const QImage image = box->grab().toImage();
        expect_background_corners(image);
        // Near 10 degrees the two curves stand apart.
        for (Colour c : {blue, kMagenta}) expect_curve_pixel(*box, image, c, 0.9);
        for (Colour c : {green, black}) expect_curve_pixel(*box, image, c);
    }
    {
        SCOPED_TRACE("Mcrit");
        const QImage image = mcrit.grab().toImage();
        expect_background_corners(image);
        // Where the curves end they are far apart.
        for (Colour c : {kLiteralRed, kLiteralBlue, kLiteralGreen, kMagenta}) expect_curve_pixel(mcrit, image, c, 1.0);
        // The axes use the box's foreground.
        EXPECT_LE(best_match(image, device_pixel(mcrit, image, 0.5, 0), Qt::black), 30);
        EXPECT_LE(best_match(image, device_pixel(mcrit, image, 0, 4), Qt::black), 30);
    }

    // The markers: a red ring round the current point of the lift curve.
    const QImage image = lift.grab().toImage();
    const QPoint centre = device_pixel(lift, image, 5, -s.cl_current);
    const int radius = static_cast<int>(std::lround(0.4 * 213 / 32.0));  // 2.66 px
    EXPECT_LE(best_match(image, centre + QPoint(0, -radius), QColor(255, 0, 0)), 100);
}

TEST_F(PictureBoxTest, LinesWithoutAColourTakeTheForeground) {
    PictureBox box(nullptr, QColor(0, 0, 255));
    box.resize(100, 100);
    box.Cls();
    box.Scale(0, 0, 100, 100);
    box.Line(10, 50.5f, 90, 50.5f, std::nullopt);
    const QImage image = box.grab().toImage();
    EXPECT_EQ(image.pixelColor(50, 50), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(50, 52), kBackground);
}

TEST_F(PictureBoxTest, ClsEmptiesTheBoxAndTheWidgetRepaintsFromTheList) {
    PictureBox box(nullptr, Qt::black);
    box.resize(60, 40);
    box.Scale(0, 0, 60, 40);
    box.Line(0, 20, 60, 20, rgb(255, 0, 0));
    EXPECT_EQ(box.grab().toImage().pixelColor(30, 20), QColor(255, 0, 0));
    box.Cls();
    EXPECT_EQ(box.grab().toImage().pixelColor(30, 20), kBackground);
    // Before any Scale there is nothing to map: background only.
    PictureBox fresh(nullptr, Qt::black);
    fresh.resize(30, 30);
    fresh.Line(0, 0, 30, 30, rgb(255, 0, 0));
    EXPECT_EQ(fresh.grab().toImage().pixelColor(15, 15), kBackground);
}

// ---- mapping, clipping, circles, scaling ------------------------------------

// Rows (or columns) of a line of pixels that differ from the background.
int painted_extent(const QImage& image, QPoint from, QPoint step, int count) {
    int n = 0;
    for (int i = 0; i < count; ++i)
        if (image.pixelColor(from + i * step) != kBackground) ++n;
    return n;
}

TEST_F(PictureBoxTest, CircleIsRoundWithItsRadiusInHorizontalUnits) {
    // The lift chart's scale: 32 units across 213 px, 6 units down 261 px.
    RecordingSurface surface;
    surface.Scale(-16, -4, 16, 2);
    surface.Circle(0, -1, 4, rgb(255, 0, 0));
    const QImage image = paint_image(surface, QSize(213, 261), Qt::black);
    const double radius = 4 * 213 / 32.0;  // 26.6 px
    const QPoint centre = device_pixel(surface, image, 0, -1);
    auto first_painted = [&](QPoint step) {
        for (int i = 0; i < 200; ++i)
            if (image.pixelColor(centre + i * step) != kBackground) return i;
        return -1;
    };
    for (QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
        EXPECT_NEAR(first_painted(step), radius, 2.0) << step.x() << "," << step.y();
    // Outline only: the inside stays background.
    EXPECT_EQ(image.pixelColor(centre), kBackground);
}

TEST_F(PictureBoxTest, DrawingIsClippedToTheTargetRectangle) {
    RecordingSurface surface;
    surface.Scale(0, 0, 1, 1);
    surface.Line(-5, 0.5f, 6, 0.5f, rgb(255, 0, 0));     // far beyond both sides
    surface.Line(0.5f, -1e7f, 0.5f, 1e7f, rgb(0, 0, 255));  // far beyond the rasteriser's range
    surface.Line(2, 2, 3, 3, rgb(0, 255, 0));              // wholly outside
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const QRect target(10, 20, 100, 40);
    {
        QPainter painter(&image);
        paint_surface(painter, target, surface, Qt::black);
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!target.contains(x, y)) {
                ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(image.pixelColor(12, 40), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(108, 40), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(60, 22), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(60, 58), QColor(0, 0, 255));
    EXPECT_EQ(painted_extent(image, QPoint(12, 20), QPoint(0, 1), 40), 1);  // one pixel wide
}

TEST_F(PictureBoxTest, GridLinesAreSharpAtHundredAndTwoHundredPercent) {
    ModelState s;
    set_constants(s);
    s.circle_eps = 0.1;
    s.circle_mu = 0.05;
    s.n_points = 51;
    compute_profile_geometry(s);
    RecordingSurface surface;
    profil_ciz(s, surface);
    for (qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage image = paint_image(surface, QSize(320, 160), QColor(0, 0, 255), ratio);
        ASSERT_EQ(image.width(), static_cast<int>(320 * ratio));
        // Down the column at x/c = 0.5: the chord line is exactly one
        // logical pixel of pure black, the grid lines of pure green; nothing
        // half-blended next to them.
        const int column = device_pixel(surface, image, 0.5, 0).x();
        int black = 0, green = 0, other = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(column, y);
            if (c == QColor(0, 0, 0)) ++black;
            else if (c == QColor(0, 255, 0)) ++green;
            else if (c != kBackground) ++other;
        }
        EXPECT_EQ(black, static_cast<int>(ratio));
        EXPECT_EQ(green, 5 * static_cast<int>(ratio));  // y/c = 0.3, 0.2, 0.1, -0.1, -0.2
        // The two runs of the outline cross the column too.
        EXPECT_LE(other, static_cast<int>(8 * ratio));
        // Curves are drawn at the device's resolution, not scaled up: the
        // outline is as thin in device pixels as the pen.
        const QPoint lower = device_pixel(surface, image, s.prof_x[14], -s.prof_y[14]);
        EXPECT_LE(best_match(image, lower, QColor(255, 0, 0)), 100);
    }
}

// ---- the widget -----------------------------------------------------------

TEST_F(PictureBoxTest, ChildLabelsShowAboveTheDrawing) {
    PictureBox box(nullptr, Qt::black);
    box.resize(100, 60);
    box.Scale(0, 0, 100, 60);
    for (int y = 0; y < 60; y += 2) box.Line(0, y + 0.5f, 100, y + 0.5f, rgb(0, 0, 255));
    auto* label = new QLabel(&box);
    label->setGeometry(10, 10, 30, 20);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 255));
    label->setPalette(pal);
    const QImage image = box.grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 20), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(60, 20), QColor(0, 0, 255));
}

TEST_F(PictureBoxTest, ClickIsAPressAndReleaseInsideTheBox) {
    PictureBox box(nullptr, Qt::black);
    box.resize(50, 50);
    int clicks = 0;
    QObject::connect(&box, &PictureBox::clicked, [&] { ++clicks; });
    auto send = [&](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, box.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
    };
    send(QEvent::MouseButtonPress, {10, 10});
    send(QEvent::MouseButtonRelease, {12, 11});
    EXPECT_EQ(clicks, 1);
    send(QEvent::MouseButtonPress, {10, 10});
    send(QEvent::MouseButtonRelease, {80, 10});  // released outside
    EXPECT_EQ(clicks, 1);
    send(QEvent::MouseButtonRelease, {10, 10});  // no press before
    EXPECT_EQ(clicks, 1);
}

class CountingBox : public PictureBox {
public:
    using PictureBox::PictureBox;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        PictureBox::paintEvent(event);
    }
};

TEST_F(PictureBoxTest, RepaintsWhenExposedAndWhenTheScreenChanges) {
    CountingBox box(nullptr, Qt::black);
    box.resize(40, 40);
    box.show();
    QApplication::processEvents();
    EXPECT_GT(box.paints, 0);  // exposed

    box.paints = 0;
    box.Scale(0, 0, 1, 1);
    box.Line(0, 0, 1, 1, rgb(255, 0, 0));
    QApplication::processEvents();
    EXPECT_GT(box.paints, 0);  // the drawing changed

    box.paints = 0;
    QEvent screen_change(QEvent::ScreenChangeInternal);
    QApplication::sendEvent(&box, &screen_change);
    QApplication::processEvents();
    EXPECT_GT(box.paints, 0);  // another scale factor: paint again
}

}  // namespace
}  // namespace jmach

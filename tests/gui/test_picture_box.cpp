// The Qt picture box on the offscreen platform: what it paints from the
// retained drawing, pixel by pixel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "charts/picture_box.h"
#include "charts/views.h"
#include "compressible/mcrit.h"

namespace jmach {
namespace {

const QColor kBackground(255, 255, 192);

class PictureBoxTest : public ::testing::Test {
protected:
    // One application for the whole test program, whoever asks first.
    static void SetUpTestSuite() {
        if (QApplication::instance()) return;
        static int argc = 1;
        static char name[] = "jmach_gui_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
};

// Device pixel of a user point of `surface` painted over all of `image`.
QPoint pixel_of(const RecordingSurface& surface, const QImage& image, double x, double y) {
    const ScaleRect& s = *surface.scale();
    return QPoint(static_cast<int>(std::floor((x - s.x1) / (s.x2 - s.x1) * image.width())),
                  static_cast<int>(std::floor((y - s.y1) / (s.y2 - s.y1) * image.height())));
}

// How far (largest channel difference) the pixel within one pixel of `at`
// that comes nearest to `want` is from it.
int distance_near(const QImage& image, QPoint at, QColor want) {
    int best = 256;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (!image.rect().contains(p)) continue;
            const QColor c = image.pixelColor(p);
            best = std::min(best, std::max({std::abs(c.red() - want.red()), std::abs(c.green() - want.green()),
                                            std::abs(c.blue() - want.blue())}));
        }
    return best;
}

// The middle of a segment of that colour shows it, blended at most half
// with the background. `at` picks the segment among those whose middle
// lies inside the image, as a fraction of their number.
void expect_curve_pixel(const RecordingSurface& surface, const QImage& image, Colour colour, double at = 0.5) {
    std::vector<QPoint> middles;
    for (const Primitive& p : surface.primitives()) {
        const QPoint m = pixel_of(surface, image, (p.x1 + p.x2) / 2, (p.y1 + p.y2) / 2);
        if (p.kind == Primitive::Kind::line && p.colour == colour && image.rect().adjusted(2, 2, -2, -2).contains(m))
            middles.push_back(m);
    }
    ASSERT_FALSE(middles.empty()) << std::hex << colour;
    const QPoint m = middles[std::min(middles.size() - 1, static_cast<std::size_t>(at * middles.size()))];
    EXPECT_LE(distance_near(image, m, to_qcolor(colour)), 100) << std::hex << colour << std::dec << " at " << m.x()
                                                                << "," << m.y();
}

void expect_background_corners(const QImage& image) {
    const int w = image.width(), h = image.height();
    for (QPoint corner : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3)})
        EXPECT_EQ(image.pixelColor(corner), kBackground);
}

// Each chart on a box of its size in the window, for a cambered profile at
// 5 degrees and M = 0.5.
TEST_F(PictureBoxTest, EveryChartPaintsItsBackgroundCurvesAndMarkers) {
    ModelState s;
    set_constants(s);
    s.circle_eps = 0.1;
    s.circle_mu = 0.05;
    s.n_points = 51;
    compute_profile_geometry(s);
    PictureBox profil(nullptr, QColor(0, 0, 255)), pressure(nullptr, QColor(0, 255, 0));
    PictureBox lift(nullptr, Qt::black), moment(nullptr, Qt::black), mcrit(nullptr, Qt::black);
    profil.resize(320, 160);
    pressure.resize(320, 289);
    lift.resize(213, 261);
    moment.resize(217, 185);
    mcrit.resize(227, 195);
    profil_ciz(s, profil);
    Mcrit_iter(s, basınc_hesapla(s, 5), mcrit);
    CL_Alfa_ciz(s, lift, "0.5");
    // About the trailing edge the corrected moment curve stands clear of
    // the incompressible one.
    CM_Alfa_ciz(s, moment, 100, "0.5");
    const Colour red = s.kirmizi, blue = s.mavi, green = s.yesil, black = s.siyah;

    QImage image = profil.grab().toImage();
    ASSERT_EQ(image.size(), QSize(320, 160));
    expect_background_corners(image);
    for (Colour c : {red, blue, green, black}) expect_curve_pixel(profil, image, c);

    // Incompressible first: on the lower surface the corrected run would
    // cover the red one.
    basınc_ciz(s, pressure, "0");
    image = pressure.grab().toImage();
    expect_background_corners(image);
    for (Colour c : {red, blue, green, black}) expect_curve_pixel(pressure, image, c);
    basınc_ciz(s, pressure, "0.5");
    expect_curve_pixel(pressure, pressure.grab().toImage(), kMagenta, 0.75);  // upper surface

    for (PictureBox* box : {&lift, &moment}) {
        image = box->grab().toImage();
        expect_background_corners(image);
        for (Colour c : {blue, kMagenta}) expect_curve_pixel(*box, image, c, 0.9);  // apart near 10 degrees
        for (Colour c : {green, black}) expect_curve_pixel(*box, image, c);
    }
    image = lift.grab().toImage();  // the red ring round the current point, radius 2.66 px
    EXPECT_LE(distance_near(image, pixel_of(lift, image, 5, -s.cl_current) - QPoint(0, 3), QColor(255, 0, 0)), 100);

    image = mcrit.grab().toImage();
    expect_background_corners(image);
    for (Colour c : {kLiteralRed, kLiteralBlue, kLiteralGreen, kMagenta})
        expect_curve_pixel(mcrit, image, c, 1.0);  // where the curves end they are apart
    EXPECT_LE(distance_near(image, pixel_of(mcrit, image, 0.5, 0), Qt::black), 30);  // axes in the foreground
    EXPECT_LE(distance_near(image, pixel_of(mcrit, image, 0, 4), Qt::black), 30);
}

TEST_F(PictureBoxTest, CircleIsRoundWithItsRadiusInHorizontalUnits) {
    // The lift chart's scale: 32 units across 213 px, 6 units down 261 px.
    RecordingSurface surface;
    surface.Scale(-16, -4, 16, 2);
    surface.Circle(0, -1, 4, rgb(255, 0, 0));
    const QImage image = paint_image(surface, QSize(213, 261), Qt::black);
    const QPoint centre = pixel_of(surface, image, 0, -1);
    EXPECT_EQ(image.pixelColor(centre), kBackground);  // an outline only
    for (QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        int i = 0;
        while (i < 200 && image.pixelColor(centre + i * step) == kBackground) ++i;
        EXPECT_NEAR(i, 4 * 213 / 32.0, 2.0) << step.x() << "," << step.y();
    }
}

TEST_F(PictureBoxTest, DrawingIsClippedToTheTargetAndUncolouredLinesTakeTheForeground) {
    RecordingSurface surface;
    surface.Scale(0, 0, 1, 1);
    surface.Line(-5, 0.5f, 6, 0.5f, std::nullopt);        // far beyond both sides
    surface.Line(0.5f, -1e7f, 0.5f, 1e7f, rgb(255, 0, 0));  // beyond the rasteriser's range
    surface.Line(2, 2, 3, 3, rgb(0, 255, 0));              // wholly outside
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const QRect target(10, 20, 100, 40);
    QPainter painter(&image);
    paint_surface(painter, target, surface, QColor(0, 0, 255));
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!target.contains(x, y)) {
                ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(image.pixelColor(11, 40), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(11, 39), kBackground);  // one pixel wide
    EXPECT_EQ(image.pixelColor(60, 21), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(60, 58), QColor(255, 0, 0));
}

TEST_F(PictureBoxTest, GridLinesAreWholePixelsAtHundredAndTwoHundredPercent) {
    ModelState s;
    set_constants(s);
    s.circle_eps = 0.1;
    s.circle_mu = 0.05;
    s.n_points = 51;
    compute_profile_geometry(s);
    RecordingSurface surface;
    profil_ciz(s, surface);
    for (int ratio : {1, 2}) {
        SCOPED_TRACE(ratio);
        const QImage image = paint_image(surface, QSize(320, 160), QColor(0, 0, 255), ratio);
        ASSERT_EQ(image.width(), 320 * ratio);
        // Down the column at x/c = 0.5: the chord line is one logical pixel
        // of pure black, five grid lines of pure green, nothing half-blended
        // beside them; only the two outline runs cross with antialiasing.
        const int column = pixel_of(surface, image, 0.5, 0).x();
        int black = 0, green = 0, other = 0;
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(column, y);
            black += c == QColor(0, 0, 0);
            green += c == QColor(0, 255, 0);
            other += c != QColor(0, 0, 0) && c != QColor(0, 255, 0) && c != kBackground;
        }
        EXPECT_EQ(black, ratio);
        EXPECT_EQ(green, 5 * ratio);
        EXPECT_LE(other, 8 * ratio);
    }
}

TEST_F(PictureBoxTest, ChildLabelsClicksAndRepaints) {
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
    CountingBox box(nullptr, Qt::black);
    box.resize(100, 60);
    box.Scale(0, 0, 100, 60);
    box.Line(0, 20.5f, 100, 20.5f, rgb(0, 0, 255));
    auto* label = new QLabel(&box);  // over the drawing
    label->setGeometry(10, 10, 30, 20);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::white);
    label->setPalette(pal);
    const QImage image = box.grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(60, 20), QColor(0, 0, 255));

    int clicks = 0;
    QObject::connect(&box, &PictureBox::clicked, [&] { ++clicks; });
    auto mouse = [&](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, box.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
    };
    mouse(QEvent::MouseButtonPress, {60, 40});
    mouse(QEvent::MouseButtonRelease, {61, 41});
    mouse(QEvent::MouseButtonPress, {60, 40});
    mouse(QEvent::MouseButtonRelease, {160, 40});  // released outside
    EXPECT_EQ(clicks, 1);

    box.show();
    QApplication::processEvents();
    EXPECT_GT(box.paints, 0);  // exposed
    for (int step = 0; step < 2; ++step) {
        box.paints = 0;
        if (step == 0) {
            box.Cls();  // the drawing changed
        } else {
            QEvent screen_change(QEvent::ScreenChangeInternal);  // another scale factor
            QApplication::sendEvent(&box, &screen_change);
        }
        QApplication::processEvents();
        EXPECT_GT(box.paints, 0) << step;
    }
}

}  // namespace
}  // namespace jmach

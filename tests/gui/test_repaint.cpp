// What the window repaints after each kind of action, and that the charts'
// painted layers (background, grid and unchanged curves kept from the last
// paint) give the very pixels of a plain paint of the whole drawing.

#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <map>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

// Counts the paint events each chart receives.
class PaintCounter : public QObject {
public:
    std::map<QString, int> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints[watched->objectName()];
        return QObject::eventFilter(watched, event);
    }
};

void click(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

TEST(Repaint, EachActionRepaintsExactlyTheChartsOfItsChainOnce) {
    Window w;
    w->show();
    scroll(w, "HScroll_Thickness")->setValue(5);  // a profile with a suction peak: the search runs
    QCoreApplication::processEvents();
    PaintCounter counter;
    for (const char* name : kChartNames) picture(w, name)->installEventFilter(&counter);
    const struct { const char* what; std::function<void()> act; std::string charts; } cases[] = {
        {"thickness", [&] { scroll(w, "HScroll_Thickness")->setValue(12); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"camber", [&] { scroll(w, "HScroll_Camber")->setValue(2); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"points", [&] { scroll(w, "HScroll_nP")->setValue(31); }, "Mcrit profil pressure"},
        {"angle", [&] { scroll(w, "HScroll_AlfaD")->setValue(3); }, "Mcrit pressure Picture_CL Picture_CM"},
        {"moment point", [&] { scroll(w, "HScroll_xM")->setValue(25); }, "profil Picture_CM"},
        {"Mach", [&] { scroll(w, "HScroll_Moo")->setValue(50); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"lift click", [&] { click(picture(w, "Picture_CL")); }, "Mcrit profil pressure Picture_CL Picture_CM"},
        {"Mcrit click", [&] { click(picture(w, "Mcrit")); }, ""},
        {"typed Mach", [&] { text_box(w, "Text_Moo")->setText(QStringLiteral("0.3")); }, ""},
        {"About", [&] { w->open_about(); }, ""},
    };
    for (const auto& c : cases) {
        counter.paints.clear();
        c.act();
        QCoreApplication::processEvents();
        std::string got;
        for (const char* name : kChartNames)
            if (const int n = counter.paints[QString::fromLatin1(name)]) got += (got.empty() ? "" : " ") + std::string(name) + (n > 1 ? "x" + std::to_string(n) : "");
        EXPECT_EQ(got, c.charts) << c.what;
    }
    if (w->about_window()) w->about_window()->close();
}

// The largest channel difference between two images of one size, outside
// the given rectangles.
int difference(const QImage& a, const QImage& b, const std::vector<QRect>& skip) {
    EXPECT_EQ(a.size(), b.size());
    int most = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            if (std::ranges::any_of(skip, [&](const QRect& r) { return r.contains(x, y); })) continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
            most = std::max(most, d);
        }
    return most;
}

TEST(Repaint, LayeredChartsPaintTheSamePixelsAsAPlainPaint) {
    Window w(std::nullopt);
    w->show();
    // A sequence after which every chart keeps part of its last drawing:
    // the lift and moment curves stay while the marker moves, and the
    // Prandtl-Glauert curves leave the charts at the top.
    for (const auto& [bar, value] : std::vector<std::pair<const char*, int>>{
             {"HScroll_nP", 101}, {"HScroll_Thickness", 12}, {"HScroll_Camber", 4}, {"HScroll_Moo", 85},
             {"HScroll_AlfaD", 7}, {"HScroll_AlfaD", 8}, {"HScroll_xM", 25}, {"HScroll_AlfaD", 9}}) {
        scroll(w, bar)->setValue(value);
        QCoreApplication::processEvents();
    }
    const QImage window = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
    for (const char* name : kChartNames) {
        PictureBox* box = picture(w, name);
        // A plain paint of the whole drawing straight into an image like the
        // window's backing store, at the chart's place there.
        const QRect at(box->mapTo(w.form.get(), QPoint(0, 0)), box->size());
        QImage backing(window.size(), window.format());
        QPainter painter(&backing);
        painter.translate(at.topLeft());
        paint_surface(painter, QRect(QPoint(0, 0), at.size()), *box, box->foreground());
        painter.end();
        const QImage plain = backing.copy(at).convertToFormat(QImage::Format_RGB32);
        std::vector<QRect> captions;
        for (const QWidget* label : box->findChildren<QWidget*>()) captions.push_back(label->geometry());
        // The chart as the window's backing store holds it, and as a grab of
        // the whole window paints it afresh (over a layer kept from the
        // paint before).
        const QImage shown = window.copy(at).convertToFormat(QImage::Format_RGB32);
        const QImage grabbed = w->grab().toImage().copy(at).convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(difference(shown, plain, captions), 1) << name;
        EXPECT_LE(difference(grabbed, plain, captions), 1) << name;
    }
}

}  // namespace
}  // namespace jmach::testing

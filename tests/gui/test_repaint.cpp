// What the window repaints after each kind of action, and that the charts'
// painted layers (background, grid and unchanged curves kept from the last
// paint) give the very pixels of a plain paint of the whole drawing.

#include <QGroupBox>
#include <QLabel>
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
        // The chart as the window's backing store holds it, and as a grab of
        // the whole window paints it afresh (over a layer kept from the
        // paint before), the captions left out.
        auto without_captions = [&](QImage image) {
            QPainter covered(&image);
            for (const QWidget* label : box->findChildren<QWidget*>()) covered.fillRect(label->geometry(), Qt::black);
            return image;
        };
        EXPECT_EQ(without_captions(window.copy(at).convertToFormat(QImage::Format_RGB32)), without_captions(plain)) << name;
        EXPECT_EQ(without_captions(w->grab().toImage().copy(at).convertToFormat(QImage::Format_RGB32)), without_captions(plain)) << name;
        // The plain paint itself: the pale yellow background in a corner,
        // and each line where the scale puts it, in its colour (most
        // midpoints: lines in other colours cross or cover some).
        EXPECT_EQ(plain.pixelColor(2, 2), to_qcolor(kSurfaceBackground)) << name;
        const ScaleRect& sc = *box->scale();
        int lines = 0, found = 0;
        for (const Primitive& p : box->primitives()) {
            if (p.kind != Primitive::Kind::line) continue;
            const QColor want = p.colour ? to_qcolor(*p.colour) : box->foreground();
            const QPoint mid(static_cast<int>((0.5 * (p.x1 + p.x2) - sc.x1) / (sc.x2 - sc.x1) * plain.width()),
                             static_cast<int>((0.5 * (p.y1 + p.y2) - sc.y1) / (sc.y2 - sc.y1) * plain.height()));
            if (!plain.rect().adjusted(1, 1, -1, -1).contains(mid)) continue;
            ++lines;
            for (int d = 0; d < 9; ++d) {
                const QColor got = plain.pixelColor(mid + QPoint(d % 3 - 1, d / 3 - 1));
                if (std::max({std::abs(got.red() - want.red()), std::abs(got.green() - want.green()),
                              std::abs(got.blue() - want.blue())}) <= 100) {
                    ++found;
                    break;
                }
            }
        }
        EXPECT_GE(found, lines * 3 / 4) << name << ": " << found << " of " << lines << " lines seen";
    }
}

TEST(Repaint, BoxesAndCaptionsCopiedFromPaintedImagesLookAsPaintedDirectly) {
    Window w;
    w->show();
    // Each box is seen twice at least, so that its panel comes from an
    // image; the Mach box in its note, error and focused looks as well.
    for (int value : {4, 12, 13}) {
        scroll(w, "HScroll_Thickness")->setValue(value);
        QCoreApplication::processEvents();
    }
    QLineEdit* mach = text_box(w, "Text_Moo");
    QStyle* own = mach->style();
    for (const char* text : {"0,7", "0,7", "abc", "abc", "0.5", "0.5"}) {
        mach->setText(QString::fromLatin1(text));
        if (std::string(text) == "0.5") mach->setFocus();
        QCoreApplication::processEvents();
        std::vector<std::pair<QRect, QImage>> copied;
        const QImage window = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
        const auto boxes = w->findChildren<QLineEdit*>();
        for (QLineEdit* box : boxes) {
            const QRect at(box->mapTo(w.form.get(), QPoint(0, 0)), box->size());
            copied.emplace_back(at, window.copy(at));
            box->setStyle(nullptr);  // the application's style, painting directly
        }
        QCoreApplication::processEvents();
        for (QLineEdit* box : boxes) box->repaint();
        const QImage direct = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
        for (const auto& [at, image] : copied) EXPECT_EQ(image, direct.copy(at)) << text << " at " << at.x() << "," << at.y();
        // Back to the window's own style for the next look.
        for (QLineEdit* box : boxes) box->setStyle(own);
    }
    // The captions in the frames and on the charts, against plain labels in
    // their places (a chart's on its own pale yellow).
    QCoreApplication::processEvents();
    const QImage window = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
    std::vector<std::pair<QRect, QImage>> copied;
    std::vector<QWidget*> holders;
    for (QGroupBox* frame : w->findChildren<QGroupBox*>()) holders.push_back(frame);
    for (const char* name : kChartNames) holders.push_back(picture(w, name));
    for (QWidget* holder : holders)
        for (QLabel* caption : holder->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            const QRect at(caption->mapTo(w.form.get(), QPoint(0, 0)), caption->size());
            copied.emplace_back(at, window.copy(at));
            auto* plain = new QLabel(caption->text(), holder);
            plain->setGeometry(caption->geometry());
            plain->setFont(caption->font());
            plain->setAlignment(caption->alignment());
            plain->setPalette(caption->palette());
            plain->setAutoFillBackground(qobject_cast<PictureBox*>(holder) != nullptr);
            plain->show();
            caption->hide();
        }
    ASSERT_GE(copied.size(), 35u);
    QCoreApplication::processEvents();
    const QImage direct = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
    for (const auto& [at, image] : copied) EXPECT_EQ(image, direct.copy(at)) << "caption at " << at.x() << "," << at.y();
}

}  // namespace
}  // namespace jmach::testing

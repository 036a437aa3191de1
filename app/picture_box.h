#pragma once
// The Qt picture box: a plot surface that keeps what was drawn as a
// retained list of primitives in user coordinates and paints it with
// QPainter whenever the widget is exposed or its device pixel ratio
// changes. It holds child labels and reports clicks.

#include <QColor>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSize>
#include <QWidget>

#include <functional>

#include "charts/recording_surface.h"

class QPainter;

namespace jmach {

// The pixel format of the device a raster painter writes to: an image
// painted ahead in that format and copied blends its edges to the very
// same values.
QImage::Format target_format(QPainter& painter);

// The device pixel ratio of a raster painter whose device transform puts
// logical pixels on whole device pixels (an integral scale and shift); 0
// for any other painter, vector devices included. Only there may a part
// of a drawing be painted ahead into an image and copied.
qreal whole_pixel_ratio(QPainter& painter);

// A chart colour value (red + 256 green + 65536 blue) as a QColor.
QColor to_qcolor(Colour c);

// A painter on an image set up as a painter on the widget would be: the
// widget's font, text colour, background and direction.
void begin_like_widget(QPainter& painter, const QWidget& widget);

// Draws a label's text where and as the label itself draws it.
void paint_label_text(QPainter& painter, const QLabel& label);

// Makes `image` a new image of `size` logical pixels at the device pixel
// ratio in `format`, unless it already is one. True when it is new and
// still to be painted.
bool renew_image(QImage& image, const QSize& size, qreal ratio, QImage::Format format);

// Paints the retained drawing of `surface` into `target` (logical pixels of
// the painter's device): the pale yellow background, then every primitive
// mapped linearly from the Scale rectangle onto `target`, clipped to it.
// Lines and circles use a cosmetic pen one logical pixel wide (whole device
// pixels), antialiased; lines along the pixel grid are placed on whole
// device pixels so that grids stay sharp at any scaling. A circle's radius
// is converted through the horizontal scale, so it is round on screen.
// Primitives without a colour take `foreground`.
void paint_surface(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                   const QColor& foreground);

// The drawing of `surface` painted into a new image of `size` logical
// pixels at the given device pixel ratio.
QImage paint_image(const RecordingSurface& surface, const QSize& size, const QColor& foreground,
                   qreal device_pixel_ratio = 1.0);

// A caption laid over a chart: a label in its place on its background
// colour, painted by the chart it lies on, over the curves, rather than as a
// widget of its own; a chart redraw then costs no repaint of each caption.
// On a raster device it is painted once into an image and copied from there.
// Like a label over a picture, it takes the clicks on it from the chart, and
// it is a label to assistive technology.
class ChartCaption : public QLabel {
    Q_OBJECT
public:
    ChartCaption(const QString& text, QWidget* chart);
    // Paints the caption at its place with a painter on its chart.
    void paint_on(QPainter& painter);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QImage image_;
};

// The probe's tooltip: a window of its own in the colours and font of
// tooltips, so that it follows the pointer without laying its text out
// again while the text stays (the toolkit's tooltip lays it out on every
// move). A new text is measured by the advances of its characters, kept
// per character, and laid out only when it is painted.
class ProbeTip : public QWidget {
public:
    ProbeTip();
    const QString& text() const { return text_; }
    void set_text(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QStringList lines_;
    QHash<char16_t, qreal> advances_;
};

class PictureBox : public QWidget, public RecordingSurface {
    Q_OBJECT
public:
    PictureBox(QWidget* parent, const QColor& foreground);
    const QColor& foreground() const { return foreground_; }

    // What the chart shows at a point in its user coordinates, shown in a
    // tooltip that follows the pointer over the chart; an empty text where
    // it shows nothing (the box's own tooltip then shows as usual).
    using ProbeText = std::function<QString(double x, double y)>;
    void set_probe(ProbeText probe);
    // A point of the widget in the user coordinates of the last Scale.
    std::optional<QPointF> user_point(const QPointF& at) const;
    // The tooltip window of the probe, shared by every chart; null before
    // the first probe shows.
    static class ProbeTip* probe_tip();

signals:
    // A left-button press and release on the box.
    void clicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changed() override;

private:
    bool layer_fits(qreal ratio) const;
    void paint_captions(QPainter& painter);
    bool show_probe(const QPointF& at, const QPoint& global);

    ProbeText probe_;
    bool probing_ = false;  // this box's probe tooltip is up
    QColor foreground_;
    bool pressed_ = false;
    bool update_pending_ = false;
    // The background and the first primitives of the drawing painted at
    // the device pixel ratio of the last paint, with the scale and the
    // primitives they show; and what the last paint showed in all.
    QImage layer_;
    ScaleRect layer_scale_;
    std::vector<Primitive> layer_items_;
    // Whether the layer holds the reference (over its grid), and which.
    bool layer_reference_ = false;
    unsigned layer_reference_serial_ = 0;
    std::vector<Primitive> last_items_;
};

}  // namespace jmach

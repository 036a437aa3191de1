#pragma once
// The Qt picture box: shows one of the session's retained drawings,
// painting its primitives with QPainter whenever the widget is exposed, and
// asks for a repaint only when the drawing's version moved. It holds the
// chart's caption labels and reports clicks.

#include <QColor>
#include <QLabel>
#include <QPointer>
#include <QStaticText>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "charts/recording_surface.h"

class QPainter;

namespace jmach {

// A chart colour value (red + 256 green + 65536 blue) as a QColor.
QColor to_qcolor(Colour c);

// Paints the retained drawing of `surface` into `target` (logical pixels of
// the painter's device): the pale yellow background, then every primitive
// mapped linearly from the Scale rectangle onto `target`, clipped to it,
// with a kept reference in grey between the grid and the curves. Lines and
// circles use a cosmetic pen one logical pixel wide (whole device pixels),
// antialiased; lines along the pixel grid are filled on whole device pixels
// so that grids stay sharp at any scaling. A circle's radius is converted
// through the horizontal scale, so it is round on screen. Primitives
// without a colour take `foreground`.
void paint_surface(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                   const QColor& foreground);

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(QWidget* parent, const QColor& foreground);
    const QColor& foreground() const { return foreground_; }

    // The drawing to show (it must outlive the box). A repaint is asked for
    // when it is another drawing or its version moved since last shown.
    void show_surface(const RecordingSurface& surface);
    const RecordingSurface* surface() const { return surface_; }

    // A caption laid over the chart: a label that takes the clicks on it,
    // as a label over a picture does, instead of the chart, and that the
    // chart paints over its drawing, in the label's font and colours. The
    // toolkit painting each label itself lays its text out for every
    // repaint of the chart; an opaque label would cut the chart's paint
    // region into pieces, through which every line is clipped at several
    // times the cost.
    void add_caption(QLabel* caption);

    // What the chart shows at a point in its user coordinates, shown in a
    // tooltip that follows the pointer over the chart; an empty text where
    // it shows nothing (the box's own tooltip then shows as usual).
    using ProbeText = std::function<QString(double x, double y)>;
    void set_probe(ProbeText probe);
    // A point of the widget in the user coordinates of the drawing's Scale.
    std::optional<QPointF> user_point(const QPointF& at) const;

signals:
    // A left-button press and release on the box.
    void clicked();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool show_probe(const QPointF& at, const QPoint& global);

    // The captions over the chart, each with its text laid out once: tick
    // numbers drawn on every repaint, their layout never changing.
    struct Caption {
        QPointer<QLabel> label;  // a caption deleted reads as null
        QStaticText text;
    };
    std::vector<Caption> captions_;
    const RecordingSurface* surface_ = nullptr;
    unsigned shown_version_ = 0;
    ProbeText probe_;
    bool probing_ = false;  // this box's probe tooltip is up
    QColor foreground_;
    bool pressed_ = false;
};

}  // namespace jmach

#pragma once
// The Qt picture box: a plot surface that keeps what was drawn as a
// retained list of primitives in user coordinates and paints it with
// QPainter whenever the widget is exposed. It holds child labels and
// reports clicks.

#include <QColor>
#include <QWidget>

#include "charts/recording_surface.h"

class QPainter;

namespace jmach {

QColor to_qcolor(Colour c);

// Paints the retained drawing of `surface` into `target` (widget pixels):
// background, then every primitive mapped from the Scale rectangle.
void paint_surface(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                   const QColor& foreground);

class PictureBox : public QWidget, public RecordingSurface {
    Q_OBJECT
public:
    PictureBox(QWidget* parent, const QColor& foreground);
    const QColor& foreground() const { return foreground_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changed() override;

private:
    QColor foreground_;
    bool pressed_ = false;
};

}  // namespace jmach

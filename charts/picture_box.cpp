#include "charts/picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace jmach {

QColor to_qcolor(Colour c) {
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

void paint_surface(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                   const QColor& foreground) {
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, to_qcolor(kSurfaceBackground));
    const auto& scale = surface.scale();
    if (scale && scale->x2 != scale->x1 && scale->y2 != scale->y1) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(Qt::NoBrush);
        const double sx = target.width() / (scale->x2 - scale->x1);
        const double sy = target.height() / (scale->y2 - scale->y1);
        auto map = [&](double x, double y) {
            return QPointF(target.left() + (x - scale->x1) * sx, target.top() + (y - scale->y1) * sy);
        };
        for (const Primitive& p : surface.primitives()) {
            QPen pen(p.colour ? to_qcolor(*p.colour) : foreground);
            pen.setCosmetic(true);
            pen.setWidthF(1.0);
            painter.setPen(pen);
            if (p.kind == Primitive::Kind::line) {
                painter.drawLine(map(p.x1, p.y1), map(p.x2, p.y2));
            } else {
                const double radius = std::abs(p.r * sx);  // units of the horizontal axis
                painter.drawEllipse(map(p.x1, p.y1), radius, radius);
            }
        }
    }
    painter.restore();
}

PictureBox::PictureBox(QWidget* parent, const QColor& foreground)
    : QWidget(parent), foreground_(foreground) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint_surface(painter, rect(), *this, foreground_);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool was_pressed = pressed_;
    pressed_ = false;
    if (was_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureBox::changed() { update(); }

}  // namespace jmach

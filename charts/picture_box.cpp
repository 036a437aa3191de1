#include "charts/picture_box.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QTransform>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace jmach {

namespace {

// Clips the segment a-b to `box` (Liang-Barsky). False when nothing of it
// lies inside. Keeps far-off end points (a Cp* curve thousands of units
// above the box) away from the rasteriser's fixed-point range.
bool clip_segment(QPointF& a, QPointF& b, const QRectF& box) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF start = a;
    a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

// Moves a coordinate (in device pixels) so that a line `width` device
// pixels wide centred on it covers whole pixels.
double on_pixel_grid(double c, int width) {
    return (width % 2 == 1) ? std::floor(c) + 0.5 : std::round(c);
}

}  // namespace

QColor to_qcolor(Colour c) {
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

void paint_surface(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                   const QColor& foreground) {
    painter.save();
    painter.setClipRect(target, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.fillRect(target, to_qcolor(kSurfaceBackground));
    const auto& scale = surface.scale();
    if (!scale || scale->x2 == scale->x1 || scale->y2 == scale->y1 || target.isEmpty()) {
        painter.restore();
        return;
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    const double sx = target.width() / (scale->x2 - scale->x1);
    const double sy = target.height() / (scale->y2 - scale->y1);
    auto map = [&](double x, double y) {
        return QPointF(target.left() + (x - scale->x1) * sx, target.top() + (y - scale->y1) * sy);
    };

    // Cosmetic pen widths count device pixels: one logical pixel is as many
    // whole device pixels as the device pixel ratio rounds to. Grid lines
    // are snapped to device pixels only under a plain scale-and-shift
    // device transform.
    const QTransform to_device = painter.deviceTransform();
    const bool axis_aligned = to_device.type() <= QTransform::TxScale && to_device.isInvertible();
    const QTransform from_device = axis_aligned ? to_device.inverted() : QTransform();
    const double ratio = axis_aligned ? std::abs(to_device.m11()) : 1.0;
    const int width = std::max(1, static_cast<int>(std::lround(ratio)));

    // Far outside the box nothing shows; keep a margin for the pen.
    const QRectF box = QRectF(target).adjusted(-4, -4, 4, 4);

    QPen pen;
    pen.setCosmetic(true);
    pen.setWidth(width);
    // Square ends overlap where the segments of a curve meet, so the curve
    // shows no notches at its joints. Each segment is stroked on its own:
    // a long polyline wider than one device pixel costs far more to fill.
    pen.setCapStyle(Qt::SquareCap);

    for (const Primitive& p : surface.primitives()) {
        const QColor colour = p.colour ? to_qcolor(*p.colour) : foreground;
        if (p.kind == Primitive::Kind::circle) {
            const QPointF centre = map(p.x1, p.y1);
            const double radius = std::abs(p.r * sx);  // units of the horizontal axis
            const QRectF bounds(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
            if (!bounds.intersects(box)) continue;
            pen.setColor(colour);
            painter.setPen(pen);
            painter.drawEllipse(centre, radius, radius);
            continue;
        }

        QPointF a = map(p.x1, p.y1), b = map(p.x2, p.y2);
        if (!clip_segment(a, b, box)) continue;
        if (axis_aligned && (a.x() == b.x() || a.y() == b.y())) {
            // A grid line: on whole device pixels, both ends included,
            // filled as the rectangle of device pixels it covers.
            const QPointF da = to_device.map(a), db = to_device.map(b);
            QRectF pixels;
            if (da.y() == db.y()) {
                const double y = on_pixel_grid(da.y(), width) - width / 2.0;
                const double lo = std::floor(std::min(da.x(), db.x()));
                const double hi = std::floor(std::max(da.x(), db.x())) + 1.0;
                pixels = QRectF(lo, y, hi - lo, width);
            } else {
                const double x = on_pixel_grid(da.x(), width) - width / 2.0;
                const double lo = std::floor(std::min(da.y(), db.y()));
                const double hi = std::floor(std::max(da.y(), db.y())) + 1.0;
                pixels = QRectF(x, lo, width, hi - lo);
            }
            painter.fillRect(from_device.mapRect(pixels), colour);
            continue;
        }
        pen.setColor(colour);
        painter.setPen(pen);
        painter.drawLine(a, b);
    }
    painter.restore();
}

QImage paint_image(const RecordingSurface& surface, const QSize& size, const QColor& foreground,
                   qreal device_pixel_ratio) {
    QImage image(size * device_pixel_ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(device_pixel_ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint_surface(painter, QRect(QPoint(0, 0), size), surface, foreground);
    painter.end();
    return image;
}

PictureBox::PictureBox(QWidget* parent, const QColor& foreground)
    : QWidget(parent), foreground_(foreground) {
    // Every paint fills the whole box; labels laid over it see the same
    // pale yellow through their own background.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, to_qcolor(kSurfaceBackground));
    setPalette(pal);
}

bool PictureBox::event(QEvent* event) {
    // Moving to a screen with another scale factor: paint again from the
    // retained list at the new resolution.
    switch (event->type()) {
    case QEvent::ScreenChangeInternal:
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange:
#endif
        update();
        break;
    default:
        break;
    }
    return QWidget::event(event);
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

#include "app/picture_box.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QStyle>
#include <QToolTip>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace jmach {

namespace {

// Clips the segment a-b to `box`: far-off end points (a Cp* curve
// thousands of units above the box) stay away from the rasteriser's
// fixed-point range.
bool clip_segment(QPointF& a, QPointF& b, const QRectF& box) {
    double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    if (!jmach::clip_segment(ax, ay, bx, by, box.left(), box.top(), box.right(), box.bottom())) return false;
    a = QPointF(ax, ay);
    b = QPointF(bx, by);
    return true;
}

// Moves a coordinate (in device pixels) so that a line `width` device
// pixels wide centred on it covers whole pixels.
double on_pixel_grid(double c, int width) { return (width % 2 == 1) ? std::floor(c) + 0.5 : std::round(c); }

bool has_drawable_scale(const RecordingSurface& surface) {
    const auto& scale = surface.scale();
    return scale && scale->x2 != scale->x1 && scale->y2 != scale->y1;
}

// Paints a surface's primitives, mapped from its Scale rectangle onto the
// target rectangle of a painter that is already clipped to it.
class PrimitivePainter {
public:
    PrimitivePainter(QPainter& painter, const QRect& target, const ScaleRect& scale, const QColor& foreground)
        : painter_(painter), target_(target), scale_(scale), foreground_(foreground) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setBrush(Qt::NoBrush);
        sx_ = target.width() / (scale.x2 - scale.x1);
        sy_ = target.height() / (scale.y2 - scale.y1);
        // Cosmetic pen widths count device pixels: one logical pixel is as
        // many whole device pixels as the device pixel ratio rounds to. Grid
        // lines are snapped to device pixels only under a plain
        // scale-and-shift device transform.
        to_device_ = painter.deviceTransform();
        axis_aligned_ = to_device_.type() <= QTransform::TxScale && to_device_.isInvertible();
        from_device_ = axis_aligned_ ? to_device_.inverted() : QTransform();
        const double ratio = axis_aligned_ ? std::abs(to_device_.m11()) : 1.0;
        width_ = std::max(1, static_cast<int>(std::lround(ratio)));
        // Where logical pixels are whole device pixels (an integral scale
        // and shift), a grid line's rectangle of device pixels is filled
        // as it is, without antialiasing: the same pixels, at a fraction of
        // the cost.
        auto whole = [](double v) { return v == std::floor(v); };
        whole_pixels_ = axis_aligned_ && whole(to_device_.m11()) && whole(to_device_.m22()) &&
                        whole(to_device_.dx()) && whole(to_device_.dy());
        // Far outside the box nothing shows; keep a margin for the pen.
        box_ = QRectF(target).adjusted(-4, -4, 4, 4);
    }
    PrimitivePainter(const PrimitivePainter&) = delete;
    PrimitivePainter& operator=(const PrimitivePainter&) = delete;
    ~PrimitivePainter() { flush(); }

    // The grid first, then the kept reference in grey, beneath the live
    // curves: its lines clipped to the box's inner rectangle (3 pixels in
    // from the edge), its rings after them; then the curves.
    void paint(const RecordingSurface& surface) {
        const std::vector<Primitive>& items = surface.primitives();
        const std::size_t grid = surface.has_reference() ? leading_grid(items) : items.size();
        for (std::size_t i = 0; i < grid; ++i) paint(items[i]);
        if (!surface.has_reference()) return;
        grey_ = true;
        const QRectF outer = box_;
        box_ = QRectF(target_).adjusted(3, 3, -3, -3);
        for (const Primitive& p : surface.reference())
            if (p.kind == Primitive::Kind::line) paint(p);
        box_ = outer;
        for (const Primitive& p : surface.reference())
            if (p.kind != Primitive::Kind::line) paint(p);
        grey_ = false;
        for (std::size_t i = grid; i < items.size(); ++i) paint(items[i]);
    }

private:
    // Chart colours are 24-bit: this value stands for the foreground.
    static constexpr Colour kForeground = 0xFFFFFFFFu;

    QColor colour(Colour key) const { return key == kForeground ? foreground_ : to_qcolor(key); }

    QPointF map(double x, double y) const {
        return QPointF(target_.left() + (x - scale_.x1) * sx_, target_.top() + (y - scale_.y1) * sy_);
    }

    // Segments of one colour in a row are stroked in one call. The pen of
    // each colour is made once per paint: changing a pen's colour costs
    // more than stroking a short segment.
    void use_pen(Colour key) {
        if (pen_key_ == key && !pens_.empty()) return;
        flush();
        pen_key_ = key;
        for (const auto& [k, pen] : pens_)
            if (k == key) {
                painter_.setPen(pen);
                return;
            }
        QPen pen(colour(key));
        pen.setCosmetic(true);
        pen.setWidth(width_);
        // Square ends overlap where the segments of a curve meet, so the
        // curve shows no notches at its joints. Each segment is stroked on
        // its own: a long polyline wider than one device pixel costs far
        // more to fill.
        pen.setCapStyle(Qt::SquareCap);
        pens_.emplace_back(key, pen);
        painter_.setPen(pen);
    }
    void flush() {
        if (lines_.empty()) return;
        antialias(true);
        painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
        lines_.clear();
    }

    void paint(const Primitive& p) {
        if (p.kind == Primitive::Kind::image) {
            paint_image(p);
            return;
        }
        const Colour key = grey_ ? kReferenceGrey : p.colour ? *p.colour : kForeground;
        if (p.kind == Primitive::Kind::circle) {
            const QPointF centre = map(p.x1, p.y1);
            const double radius = std::abs(p.r * sx_);  // units of the horizontal axis
            const QRectF bounds(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
            if (!bounds.intersects(box_)) return;
            use_pen(key);
            flush();
            antialias(true);
            painter_.drawEllipse(centre, radius, radius);
            return;
        }
        QPointF a = map(p.x1, p.y1), b = map(p.x2, p.y2);
        if (!clip_segment(a, b, box_)) return;
        if (axis_aligned_ && (a.x() == b.x() || a.y() == b.y())) {
            // A grid line: on whole device pixels, both ends included,
            // filled as the rectangle of device pixels it covers.
            flush();
            antialias(!whole_pixels_);
            const QPointF da = to_device_.map(a), db = to_device_.map(b);
            QRectF pixels;
            if (da.y() == db.y()) {
                const double y = on_pixel_grid(da.y(), width_) - width_ / 2.0;
                const double lo = std::floor(std::min(da.x(), db.x()));
                const double hi = std::floor(std::max(da.x(), db.x())) + 1.0;
                pixels = QRectF(lo, y, hi - lo, width_);
            } else {
                const double x = on_pixel_grid(da.x(), width_) - width_ / 2.0;
                const double lo = std::floor(std::min(da.y(), db.y()));
                const double hi = std::floor(std::max(da.y(), db.y())) + 1.0;
                pixels = QRectF(x, lo, width_, hi - lo);
            }
            painter_.fillRect(from_device_.mapRect(pixels), colour(key));
            return;
        }
        use_pen(key);
        lines_.emplace_back(a, b);
    }

    void antialias(bool on) {
        if (antialiased_ == on) return;
        painter_.setRenderHint(QPainter::Antialiasing, on);
        antialiased_ = on;
    }

    // A raster: one image pixel a cell, scaled onto its rectangle without
    // smoothing; cells without a colour left transparent. A reference
    // keeps no rasters.
    void paint_image(const Primitive& p) {
        if (grey_ || !p.raster) return;
        flush();
        const PlotSurface::Raster& r = *p.raster;
        QImage image(r.columns, r.rows, QImage::Format_ARGB32);
        for (int row = 0; row < r.rows; ++row) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int c = 0; c < r.columns; ++c) {
                const std::optional<Colour>& cell = r.cells[static_cast<std::size_t>(row) * r.columns + c];
                line[c] = cell ? to_qcolor(*cell).rgb() : qRgba(0, 0, 0, 0);
            }
        }
        const QPointF a = map(p.x1, p.y1), b = map(p.x2, p.y2);
        painter_.save();
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        // Rows run from the (x1, y1) corner: flip where that corner is not
        // the upper left.
        const bool flip_x = b.x() < a.x(), flip_y = b.y() < a.y();
        painter_.drawImage(QRectF(QPointF(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                                  QPointF(std::max(a.x(), b.x()), std::max(a.y(), b.y()))),
                           image.mirrored(flip_x, flip_y));
        painter_.restore();
    }

    QPainter& painter_;
    QRect target_;
    ScaleRect scale_;
    QColor foreground_;
    double sx_ = 1, sy_ = 1;
    QTransform to_device_, from_device_;
    bool axis_aligned_ = false;
    bool whole_pixels_ = false;
    bool antialiased_ = true;
    int width_ = 1;
    QRectF box_;
    bool grey_ = false;  // painting a reference
    std::vector<std::pair<Colour, QPen>> pens_;
    Colour pen_key_ = kForeground;
    std::vector<QLineF> lines_;
};

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
    if (has_drawable_scale(surface) && !target.isEmpty()) {
        PrimitivePainter lines(painter, target, *surface.scale(), foreground);
        lines.paint(surface);
    }
    painter.restore();
}

PictureBox::PictureBox(QWidget* parent, const QColor& foreground) : QWidget(parent), foreground_(foreground) {
    // Every paint fills the whole box; labels laid over it see the same
    // pale yellow through their own background.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, to_qcolor(kSurfaceBackground));
    setPalette(pal);
}

void PictureBox::show_surface(const RecordingSurface& surface) {
    if (surface_ == &surface && shown_version_ == surface.version()) return;
    surface_ = &surface;
    shown_version_ = surface.version();
    update();
}

void PictureBox::add_caption(QLabel* caption) {
    caption->installEventFilter(this);
    caption->setUpdatesEnabled(false);  // painted by the chart
    std::erase_if(captions_, [](const Caption& c) { return c.label.isNull(); });
    captions_.push_back({caption, QStaticText()});
    update();
}

bool PictureBox::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: return true;  // the caption's, not the chart's
    default: return QWidget::eventFilter(watched, event);
    }
}

bool PictureBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Over the drawing the probe takes the place of the box's tooltip.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (show_probe(help->pos(), help->globalPos())) return true;
    }
    return QWidget::event(event);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (surface_)
        paint_surface(painter, rect(), *surface_, foreground_);
    else
        painter.fillRect(rect(), to_qcolor(kSurfaceBackground));
    // The captions, each on its background, in the order they lie, at the
    // top left of the label's contents. Their texts are plain numbers and
    // symbols: drawn glyph by glyph, without shaping.
    for (Caption& c : captions_) {
        const QLabel* caption = c.label;
        if (!caption || !caption->isVisibleTo(this)) continue;
        const QRect at = caption->geometry();
        painter.setClipRect(at);
        painter.fillRect(at, caption->palette().color(QPalette::Window));
        QFont font = caption->font();
        font.setStyleStrategy(QFont::PreferNoShaping);
        painter.setFont(font);
        painter.setPen(caption->palette().color(QPalette::WindowText));
        if (c.text.text() != caption->text()) {
            c.text.setText(caption->text());
            c.text.setTextFormat(Qt::PlainText);
        }
        painter.drawStaticText(caption->contentsRect().translated(at.topLeft()).topLeft(), c.text);
    }
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

void PictureBox::set_probe(ProbeText probe) {
    probe_ = std::move(probe);
    setMouseTracking(static_cast<bool>(probe_));
}

std::optional<QPointF> PictureBox::user_point(const QPointF& at) const {
    if (!surface_ || !has_drawable_scale(*surface_) || width() <= 0 || height() <= 0) return std::nullopt;
    const ScaleRect& sc = *surface_->scale();
    return QPointF(sc.x1 + at.x() * (sc.x2 - sc.x1) / width(), sc.y1 + at.y() * (sc.y2 - sc.y1) / height());
}

bool PictureBox::show_probe(const QPointF& at, const QPoint& global) {
    const std::optional<QPointF> user = probe_ ? user_point(at) : std::nullopt;
    const QString text = user ? probe_(user->x(), user->y()) : QString();
    if (text.isEmpty()) {
        if (probing_) QToolTip::hideText();
        probing_ = false;
        return false;
    }
    // Plain text, one value a line, beside the pointer.
    QToolTip::showText(global, text, this);
    probing_ = true;
    return true;
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    show_probe(event->position(), event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void PictureBox::leaveEvent(QEvent* event) {
    if (probing_) QToolTip::hideText();
    probing_ = false;
    QWidget::leaveEvent(event);
}

}  // namespace jmach

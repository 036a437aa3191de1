#include "charts/picture_box.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QStyle>
#include <QPixmap>
#include <QToolTip>
#include <QTransform>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

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

QImage::Format target_format(QPainter& painter) {
    QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    if (device && device->devType() == QInternal::Image) return static_cast<QImage*>(device)->format();
    if (device && device->devType() == QInternal::Pixmap)
        return static_cast<QPixmap*>(device)->hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                : QImage::Format_RGB32;
    return QImage::Format_ARGB32_Premultiplied;
}

qreal whole_pixel_ratio(QPainter& painter) {
    if (!painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Raster) return 0;
    const QTransform t = painter.deviceTransform();
    const qreal ratio = t.m11();
    const bool whole = t.type() <= QTransform::TxScale && ratio == t.m22() && ratio >= 1 &&
                       ratio == std::floor(ratio) && t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy());
    return whole ? ratio : 0;
}

void begin_like_widget(QPainter& painter, const QWidget& widget) {
    painter.setFont(widget.font());
    painter.setPen(widget.palette().color(widget.foregroundRole()));
    painter.setBackground(widget.palette().brush(widget.backgroundRole()));
    painter.setLayoutDirection(widget.layoutDirection());
}

void paint_label_text(QPainter& painter, const QLabel& label) {
    label.style()->drawItemText(&painter, label.contentsRect(),
                                QStyle::visualAlignment(label.layoutDirection(), label.alignment()), label.palette(),
                                label.isEnabled(), label.text(), label.foregroundRole());
}

bool renew_image(QImage& image, const QSize& size, qreal ratio, QImage::Format format) {
    if (image.size() == size * ratio && image.devicePixelRatio() == ratio && image.format() == format) return false;
    image = QImage(size * ratio, format);
    image.setDevicePixelRatio(ratio);
    return true;
}

QColor to_qcolor(Colour c) {
    return QColor(static_cast<int>(c & 0xFFu), static_cast<int>((c >> 8) & 0xFFu),
                  static_cast<int>((c >> 16) & 0xFFu));
}

namespace {

// Paints a range of a surface's primitives, mapped from its Scale rectangle
// onto the target rectangle of a painter that is already clipped to it.
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
        whole_pixels_ = whole_pixel_ratio(painter) != 0;
        // Far outside the box nothing shows; keep a margin for the pen.
        box_ = QRectF(target).adjusted(-4, -4, 4, 4);
    }
    PrimitivePainter(const PrimitivePainter&) = delete;
    PrimitivePainter& operator=(const PrimitivePainter&) = delete;
    ~PrimitivePainter() { flush(); }

    void paint(const std::vector<Primitive>& items, std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) paint(items[i]);
    }

    // The primitives [first, last) of the surface, and where the leading
    // grid ends, when that falls within the range, the parts of its kept
    // reference `part` names, in grey: beneath the live curves, over the
    // grid. Its lines are clipped to the box's inner rectangle (3 pixels in
    // from the edge), so that they paint the same pixels wherever the box
    // lies and may be painted ahead into a layer; its rings come after them.
    enum class ReferencePart { none, lines, rings, all };
    void paint(const RecordingSurface& surface, std::size_t first, std::size_t last, ReferencePart part) {
        const std::vector<Primitive>& items = surface.primitives();
        const std::size_t grid = leading_grid(items);
        if (part == ReferencePart::none || !surface.has_reference() || grid < first || grid > last) {
            paint(items, first, last);
            return;
        }
        paint(items, first, grid);
        grey_ = true;
        const QRectF outer = box_;
        box_ = QRectF(target_).adjusted(3, 3, -3, -3);
        for (const Primitive& p : surface.reference())
            if (p.kind == Primitive::Kind::line && part != ReferencePart::rings) paint(p);
        box_ = outer;
        for (const Primitive& p : surface.reference())
            if (p.kind != Primitive::Kind::line && part != ReferencePart::lines) paint(p);
        grey_ = false;
        paint(items, grid, last);
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
    // Curves and rings are antialiased. Grid lines cover whole device
    // pixels; where logical pixels are whole device pixels too, they are
    // filled without antialiasing, which gives the same pixels at a third
    // of the cost.
    void antialias(bool on) {
        if (antialiased_ == on) return;
        painter_.setRenderHint(QPainter::Antialiasing, on);
        antialiased_ = on;
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
    int width_ = 1;
    QRectF box_;
    bool antialiased_ = true;
    bool grey_ = false;  // painting a reference
    std::vector<std::pair<Colour, QPen>> pens_;
    Colour pen_key_ = kForeground;
    std::vector<QLineF> lines_;
};

bool has_drawable_scale(const RecordingSurface& surface) {
    const auto& scale = surface.scale();
    return scale && scale->x2 != scale->x1 && scale->y2 != scale->y1;
}

// The background and primitives [0, last) of the surface, with the part of
// its reference that `part` names.
void paint_range(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                 const QColor& foreground, std::size_t last, PrimitivePainter::ReferencePart part) {
    painter.save();
    painter.setClipRect(target, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.fillRect(target, to_qcolor(kSurfaceBackground));
    if (has_drawable_scale(surface) && !target.isEmpty()) {
        PrimitivePainter lines(painter, target, *surface.scale(), foreground);
        lines.paint(surface, 0, last, part);
    }
    painter.restore();
}

// True when the primitive paints the same pixels wherever on the device the
// target sits: a grid line (filled as whole pixels), or a curve segment well
// inside the target, so that nothing clips it.
bool movable(const Primitive& p, const ScaleRect& scale, const QRect& target) {
    if (p.kind == Primitive::Kind::line && (p.x1 == p.x2 || p.y1 == p.y2)) return true;
    const double sx = target.width() / (scale.x2 - scale.x1);
    const double sy = target.height() / (scale.y2 - scale.y1);
    const QRectF inner = QRectF(target).adjusted(3, 3, -3, -3);
    auto inside = [&](double x, double y) {
        return inner.contains(target.left() + (x - scale.x1) * sx, target.top() + (y - scale.y1) * sy);
    };
    // A ring is filled as a path, whose edge depends on where it lies on
    // the device: it is always painted over the layer.
    if (p.kind != Primitive::Kind::line) return false;
    return inside(p.x1, p.y1) && inside(p.x2, p.y2);
}

bool same(const Primitive& a, const Primitive& b) {
    return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.r == b.r &&
           a.colour == b.colour && a.raster == b.raster;
}

}  // namespace

void paint_surface(QPainter& painter, const QRect& target, const RecordingSurface& surface,
                   const QColor& foreground) {
    paint_range(painter, target, surface, foreground, surface.primitives().size(), PrimitivePainter::ReferencePart::all);
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

ChartCaption::ChartCaption(const QString& text, QWidget* chart) : QLabel(text, chart) {
    // The chart paints the caption; the toolkit never does.
    setUpdatesEnabled(false);
}

void ChartCaption::paint_on(QPainter& painter) {
    const qreal ratio = whole_pixel_ratio(painter);
    painter.save();
    painter.translate(pos());
    if (ratio == 0) {
        // As a label paints itself: clipped to its rectangle.
        painter.setClipRect(rect(), painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        begin_like_widget(painter, *this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        paint_label_text(painter, *this);
    } else {
        if (renew_image(image_, size(), ratio, target_format(painter))) {
            image_.fill(palette().color(QPalette::Window));
            QPainter once(&image_);
            begin_like_widget(once, *this);
            paint_label_text(once, *this);
        }
        painter.drawImage(0, 0, image_);
    }
    painter.restore();
}

void ChartCaption::mousePressEvent(QMouseEvent* event) { event->accept(); }
void ChartCaption::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void ChartCaption::changeEvent(QEvent* event) {
    // A new font, palette or style: painted afresh, by the chart.
    image_ = QImage();
    if (parentWidget()) parentWidget()->update();
    QLabel::changeEvent(event);
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
    case QEvent::ToolTip: {
        // Over the drawing the probe takes the place of the box's tooltip.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (show_probe(help->pos(), help->globalPos())) return true;
        break;
    }
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

bool PictureBox::layer_fits(qreal ratio) const {
    if (layer_.isNull() || layer_.devicePixelRatio() != ratio || layer_.size() != size() * ratio ||
        layer_items_.size() > primitives().size())
        return false;
    const ScaleRect& a = layer_scale_;
    const ScaleRect& b = *scale();
    if (a.x1 != b.x1 || a.y1 != b.y1 || a.x2 != b.x2 || a.y2 != b.y2) return false;
    return std::equal(layer_items_.begin(), layer_items_.end(), primitives().begin(), same);
}

void PictureBox::paintEvent(QPaintEvent*) {
    update_pending_ = false;
    QPainter painter(this);
    // Most of a redraw repeats the last one: the background and the grid
    // always, the curves too when only the marker of the current angle
    // moved. What the last paint and this one share from the start is kept
    // as a layer of whole device pixels and only the rest is painted over
    // it. Where the widget does not sit on whole device pixels (a
    // fractional scale factor), and on vector devices (an SVG or PDF
    // export), everything is painted directly.
    const qreal ratio = whole_pixel_ratio(painter);
    const std::vector<Primitive>& items = primitives();
    if (ratio == 0 || !has_drawable_scale(*this)) {
        paint_surface(painter, rect(), *this, foreground_);
        last_items_ = items;
        paint_captions(painter);
        return;
    }
    // The layer takes what this paint shares with the last one, up to the
    // first primitive that a clip at the edge would rasterise differently
    // at another place on the device.
    const auto shared = std::mismatch(last_items_.begin(), last_items_.end(), items.begin(), items.end(), same);
    const std::size_t grid = leading_grid(items);
    std::size_t keep = grid;
    const std::size_t limit = static_cast<std::size_t>(shared.second - items.begin());
    while (keep < limit && movable(items[keep], *scale(), rect())) ++keep;
    // A reference lies between the grid and the curves: the layer holds no
    // more than the grid then, and the reference's lines over it (clipped
    // inside the box, they paint the same pixels anywhere; the reference
    // stays the same from redraw to redraw until it is kept again or
    // cleared). Its rings are painted over the layer.
    if (has_reference()) keep = std::min(keep, grid);
    const bool reference_in_layer = has_reference() && keep == grid;
    const QImage::Format format = target_format(painter);
    if (!layer_fits(ratio) || layer_.format() != format || layer_items_.size() < keep ||
        layer_reference_ != reference_in_layer || (reference_in_layer && layer_reference_serial_ != reference_serial()) ||
        (layer_reference_ && layer_items_.size() != keep) ||
        !std::all_of(layer_items_.begin(), layer_items_.end(),
                     [&](const Primitive& p) { return movable(p, *scale(), rect()); })) {
        QImage layer(size() * ratio, format);
        layer.setDevicePixelRatio(ratio);
        QPainter layer_painter(&layer);
        paint_range(layer_painter, rect(), *this, foreground_, keep,
                    reference_in_layer ? PrimitivePainter::ReferencePart::lines : PrimitivePainter::ReferencePart::none);
        layer_painter.end();
        layer_ = layer;
        layer_scale_ = *scale();
        layer_items_.assign(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(keep));
        layer_reference_ = reference_in_layer;
        layer_reference_serial_ = reference_serial();
    }
    painter.drawImage(0, 0, layer_);
    // A clip rectangle of the painter's own, though the paint region is
    // the same rectangle: with it the raster engine strokes antialiased
    // lines straight into the pixels instead of through its general span
    // clipper, at half the cost, with the same pixels.
    painter.setClipRect(rect());
    {
        PrimitivePainter rest(painter, rect(), *scale(), foreground_);
        rest.paint(*this, layer_items_.size(), items.size(),
                   layer_reference_ ? PrimitivePainter::ReferencePart::rings : PrimitivePainter::ReferencePart::all);
    }
    last_items_ = items;
    paint_captions(painter);
}

void PictureBox::paint_captions(QPainter& painter) {
    for (QObject* child : children())
        if (auto* caption = qobject_cast<ChartCaption*>(child); caption && caption->isVisibleTo(this))
            caption->paint_on(painter);
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
    if (!has_drawable_scale(*this) || width() <= 0 || height() <= 0) return std::nullopt;
    const ScaleRect& sc = *scale();
    return QPointF(sc.x1 + at.x() * (sc.x2 - sc.x1) / width(), sc.y1 + at.y() * (sc.y2 - sc.y1) / height());
}

namespace {

constexpr int kTipMargin = 4;  // pixels between the frame and the text

ProbeTip*& probe_window() {
    static ProbeTip* tip = nullptr;
    return tip;
}

}  // namespace

ProbeTip::ProbeTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("probe_tip"));
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProbeTip::set_text(const QString& text) {
    text_ = text;
    lines_ = text.split(QLatin1Char('\n'));
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (const QString& line : lines_) {
        qreal width = 0;
        for (const QChar c : line) {
            auto known = advances_.constFind(c.unicode());
            if (known == advances_.constEnd()) known = advances_.insert(c.unicode(), metrics.horizontalAdvance(c));
            width += *known;
        }
        widest = std::max(widest, width);
    }
    // A pixel or two for kerning and rounding, which the advances leave out.
    resize(static_cast<int>(std::ceil(widest)) + 2 * kTipMargin + 4,
           static_cast<int>(std::ceil(metrics.lineSpacing() * lines_.size())) + 2 * kTipMargin);
    update();
}

void ProbeTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetricsF metrics(font());
    for (int k = 0; k < lines_.size(); ++k)
        painter.drawText(QPointF(kTipMargin, kTipMargin + metrics.ascent() + k * metrics.lineSpacing()), lines_[k]);
}

ProbeTip* PictureBox::probe_tip() { return probe_window(); }

bool PictureBox::show_probe(const QPointF& at, const QPoint& global) {
    const std::optional<QPointF> user = probe_ ? user_point(at) : std::nullopt;
    const QString text = user ? probe_(user->x(), user->y()) : QString();
    if (text.isEmpty()) {
        if (probing_ && probe_window()) probe_window()->hide();
        probing_ = false;
        return false;
    }
    // Plain text, one value a line, below and right of the pointer.
    if (!probe_window()) probe_window() = new ProbeTip;
    ProbeTip& tip = *probe_window();
    if (tip.text() != text) tip.set_text(text);
    tip.move(global + QPoint(14, 18));
    if (!tip.isVisible()) tip.show();
    probing_ = true;
    return true;
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    show_probe(event->position(), event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void PictureBox::leaveEvent(QEvent* event) {
    if (probing_ && probe_window()) probe_window()->hide();
    probing_ = false;
    QWidget::leaveEvent(event);
}

void PictureBox::changed() {
    // One repaint for a whole redraw of the chart, however many primitives
    // it hands over.
    if (update_pending_) return;
    update_pending_ = true;
    update();
}

}  // namespace jmach

#include "charts/recording_surface.h"

#include <cmath>

namespace jmach {

void RecordingSurface::Cls() {
    items_.clear();
    changed();
}

void RecordingSurface::Scale(double x1, double y1, double x2, double y2) {
    scale_ = ScaleRect{x1, y1, x2, y2};
    changed();
}

void RecordingSurface::Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) {
    // A point that is not a finite number has no place on the surface; the
    // charts never hand one over, and a stray one is counted, not painted.
    if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2))) {
        ++rejected_;
        return;
    }
    Primitive p;
    p.kind = Primitive::Kind::line;
    p.x1 = x1;
    p.y1 = y1;
    p.x2 = x2;
    p.y2 = y2;
    p.colour = colour;
    items_.push_back(p);
    changed();
}

void RecordingSurface::Circle(double x, double y, double r, Colour colour) {
    if (!(std::isfinite(x) && std::isfinite(y) && std::isfinite(r))) {
        ++rejected_;
        return;
    }
    Primitive p;
    p.kind = Primitive::Kind::circle;
    p.x1 = x;
    p.y1 = y;
    p.r = r;
    p.colour = colour;
    items_.push_back(p);
    changed();
}

void RecordingSurface::Image(double x1, double y1, double x2, double y2, std::shared_ptr<const Raster> raster) {
    if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2)) || !raster ||
        raster->columns <= 0 || raster->rows <= 0 ||
        raster->cells.size() != static_cast<std::size_t>(raster->columns) * static_cast<std::size_t>(raster->rows)) {
        ++rejected_;
        return;
    }
    Primitive p;
    p.kind = Primitive::Kind::image;
    p.x1 = x1;
    p.y1 = y1;
    p.x2 = x2;
    p.y2 = y2;
    p.raster = std::move(raster);
    items_.push_back(p);
    changed();
}

void RecordingSurface::keep_reference(std::string inputs) {
    // The grid stays the live one's; what follows it is the drawing.
    reference_.assign(items_.begin() + static_cast<std::ptrdiff_t>(leading_grid(items_)), items_.end());
    reference_inputs_ = inputs.empty() ? std::string("-") : std::move(inputs);
    ++reference_serial_;
    changed();
}

void RecordingSurface::clear_reference() {
    if (!has_reference()) return;
    reference_.clear();
    reference_inputs_.clear();
    ++reference_serial_;
    changed();
}

std::size_t leading_grid(const std::vector<Primitive>& items) {
    std::size_t n = 0;
    while (n < items.size() && items[n].kind == Primitive::Kind::line &&
           (items[n].x1 == items[n].x2 || items[n].y1 == items[n].y2))
        ++n;
    return n;
}

}  // namespace jmach

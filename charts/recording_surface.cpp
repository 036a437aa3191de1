#include "charts/recording_surface.h"

#include <atomic>
#include <cmath>

namespace jmach {

bool Primitive::operator==(const Primitive& o) const {
    return kind == o.kind && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 && r == o.r && colour == o.colour &&
           (raster == o.raster || (raster && o.raster && raster->columns == o.raster->columns &&
                                   raster->rows == o.raster->rows && raster->cells == o.raster->cells));
}

void RecordingSurface::changed() {
    static std::atomic<unsigned> next{0};
    version_ = ++next;
}

std::vector<Primitive>& RecordingSurface::own_items() {
    if (items_.use_count() > 1) items_ = std::make_shared<std::vector<Primitive>>(*items_);
    return *items_;
}

bool RecordingSurface::same_drawing(const RecordingSurface& o) const {
    return scale_ == o.scale_ && reference_inputs_ == o.reference_inputs_ && (items_ == o.items_ || *items_ == *o.items_) &&
           (reference_ == o.reference_ || *reference_ == *o.reference_);
}

void RecordingSurface::Cls() {
    if (items_.use_count() > 1) {
        // An earlier state keeps the old list; the new drawing is about as long.
        auto fresh = std::make_shared<std::vector<Primitive>>();
        fresh->reserve(items_->size());
        items_ = std::move(fresh);
    } else {
        items_->clear();
    }
    changed();
}

void RecordingSurface::Scale(double x1, double y1, double x2, double y2) {
    scale_ = ScaleRect{x1, y1, x2, y2};
    changed();
}

void RecordingSurface::add(bool finite, Primitive p) {
    // A point that is not a finite number has no place on the surface; the
    // charts never hand one over, and a stray one is counted, not painted.
    if (!finite) {
        ++rejected_;
        return;
    }
    own_items().push_back(std::move(p));
    changed();
}

void RecordingSurface::Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) {
    add(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2),
        {Primitive::Kind::line, x1, y1, x2, y2, 0, colour, nullptr});
}

void RecordingSurface::Circle(double x, double y, double r, Colour colour) {
    add(std::isfinite(x) && std::isfinite(y) && std::isfinite(r), {Primitive::Kind::circle, x, y, 0, 0, r, colour, nullptr});
}

void RecordingSurface::Image(double x1, double y1, double x2, double y2, std::shared_ptr<const Raster> raster) {
    // A raster too must hold a cell for every place of its grid.
    const bool whole = raster && raster->columns > 0 && raster->rows > 0 &&
                       raster->cells.size() ==
                           static_cast<std::size_t>(raster->columns) * static_cast<std::size_t>(raster->rows);
    add(whole && std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2),
        {Primitive::Kind::image, x1, y1, x2, y2, 0, std::nullopt, std::move(raster)});
}

void RecordingSurface::keep_reference(std::string inputs) {
    // The grid stays the live one's; what follows it is the drawing.
    const std::vector<Primitive>& items = *items_;
    reference_ = std::make_shared<std::vector<Primitive>>(items.begin() + static_cast<std::ptrdiff_t>(leading_grid(items)),
                                                          items.end());
    reference_inputs_ = inputs.empty() ? std::string("-") : std::move(inputs);
    changed();
}

void RecordingSurface::clear_reference() {
    if (!has_reference()) return;
    reference_ = std::make_shared<std::vector<Primitive>>();
    reference_inputs_.clear();
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

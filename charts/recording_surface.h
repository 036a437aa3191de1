#pragma once
// A plot surface that keeps what was drawn since the last Cls as a list of
// primitives in user coordinates: the retained drawing that every front end
// paints (QPainter on the desktop, a canvas in the page) and tests read.

#include <memory>
#include <string>
#include <vector>

#include "charts/plot_surface.h"

namespace jmach {

struct ScaleRect {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const ScaleRect&) const = default;
};

struct Primitive {
    enum class Kind { line, circle, image };
    Kind kind = Kind::line;
    // Line: (x1, y1)-(x2, y2). Circle: centre (x1, y1), radius r. Image:
    // the raster filling (x1, y1)-(x2, y2).
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    std::optional<Colour> colour;  // empty: the surface's foreground colour
    std::shared_ptr<const PlotSurface::Raster> raster;  // images only, shared, never changed
    bool operator==(const Primitive& other) const;
};

class RecordingSurface : public PlotSurface {
public:
    void Cls() override;
    void Scale(double x1, double y1, double x2, double y2) override;
    void Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) override;
    void Circle(double x, double y, double r, Colour colour) override;
    void Image(double x1, double y1, double x2, double y2, std::shared_ptr<const Raster> raster) override;

    // The user coordinates as the last Scale set them; empty before any.
    const std::optional<ScaleRect>& scale() const { return scale_; }
    const std::vector<Primitive>& primitives() const { return *items_; }
    // Primitives refused since construction because a coordinate was not a
    // finite number (as a single-precision float for lines).
    std::size_t rejected() const { return rejected_; }

    // A reference: the curves drawn now, kept (in the same user
    // coordinates) to be painted in grey beneath every later drawing until
    // cleared, with a text naming the inputs they were drawn with. Keeping
    // again replaces it; Cls leaves it.
    void keep_reference(std::string inputs);
    void clear_reference();
    const std::vector<Primitive>& reference() const { return *reference_; }
    const std::string& reference_inputs() const { return reference_inputs_; }
    bool has_reference() const { return !reference_inputs_.empty(); }
    // Tells the changes of the drawing, its scale and its reference apart,
    // so that a painter repaints only a surface that changed: no two states
    // of any surface share a number, also after a copy was put back.
    unsigned version() const { return version_; }

    // Whether two surfaces show the same: scale, drawing and reference.
    bool same_drawing(const RecordingSurface& other) const;

    // Copies share their lists of primitives until one of them draws: a
    // window's earlier states cost little more than their numbers.
private:
    void changed();
    void add(bool finite, Primitive p);  // appends p, or counts it rejected
    std::vector<Primitive>& own_items();

    using List = std::shared_ptr<std::vector<Primitive>>;
    std::optional<ScaleRect> scale_;
    List items_ = std::make_shared<std::vector<Primitive>>();
    std::size_t rejected_ = 0;
    List reference_ = std::make_shared<std::vector<Primitive>>();
    std::string reference_inputs_;
    unsigned version_ = 0;
};

// How many primitives at the start of the list are lines along an axis:
// the grid and axes every chart draws first, the same on every redraw.
std::size_t leading_grid(const std::vector<Primitive>& items);

}  // namespace jmach

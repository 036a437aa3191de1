#pragma once
// The drawing surface every chart draws on: a picture area with a user
// coordinate system set by Scale, cleared by Cls, and its primitives:
// lines, circles and colour rasters.

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "core/palette.h"

namespace jmach {

// True when v survives the hand-over to a surface as a finite
// single-precision coordinate.
inline bool drawable(double v) {
    // Checked in double before the conversion: a double beyond the float
    // range has no float value.
    return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max();
}

class PlotSurface {
public:
    virtual ~PlotSurface() = default;
    // Erases the drawing.
    virtual void Cls() = 0;
    // (x1, y1) becomes the upper-left, (x2, y2) the lower-right corner of
    // the client area, mapped linearly. y1 > y2 makes y point up.
    virtual void Scale(double x1, double y1, double x2, double y2) = 0;
    // A solid segment between two points in user units, handed over in
    // single precision. Without a colour the surface's foreground is used.
    virtual void Line(float x1, float y1, float x2, float y2, std::optional<Colour> colour) = 0;
    // The outline of a true circle on screen; radius in units of the
    // horizontal axis.
    virtual void Circle(double x, double y, double r, Colour colour) = 0;
    // A colour raster of columns x rows cells filling the rectangle from
    // (x1, y1) to (x2, y2) in user units, row by row from the (x1, y1)
    // corner; cells without a colour show what lies beneath. Surfaces that
    // cannot show one draw nothing.
    struct Raster {
        int columns = 0, rows = 0;
        std::vector<std::optional<Colour>> cells;
    };
    virtual void Image(double x1, double y1, double x2, double y2, std::shared_ptr<const Raster> raster) {
        (void)x1, (void)y1, (void)x2, (void)y2, (void)raster;
    }
};

// Draws the segment between two points given in double precision; a
// segment with an end that has no finite single-precision value is left
// out rather than handed over.
inline void draw_segment(PlotSurface& surface, double x1, double y1, double x2, double y2,
                         std::optional<Colour> colour) {
    if (drawable(x1) && drawable(y1) && drawable(x2) && drawable(y2))
        surface.Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                     static_cast<float>(y2), colour);
}

// Clips the segment (ax, ay)-(bx, by) to the box left <= x <= right,
// low <= y <= high (Liang-Barsky); false when nothing of it lies inside.
// Keeps far-off end points (a curve towards infinity) away from painters,
// rasterisers and files.
inline bool clip_segment(double& ax, double& ay, double& bx, double& by, double left, double low, double right,
                         double high) {
    const double dx = bx - ax, dy = by - ay;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - left, right - ax, ay - low, high - ay};
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
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax = ax + t0 * dx;
    ay = ay + t0 * dy;
    return true;
}

// Draws a ring whose centre is drawable.
inline void draw_ring(PlotSurface& surface, double x, double y, double r, Colour colour) {
    if (drawable(x) && drawable(y)) surface.Circle(x, y, r, colour);
}

}  // namespace jmach

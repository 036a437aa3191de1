#include "charts/flow_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>

#include "airfoil/flow_field.h"
#include "compressible/sonic.h"

namespace jmach {

namespace {

// flow_table's rings: r/a = 100^(i/35), i = 0 .. 35, and its angles.
constexpr int kTableRings = 36;
constexpr double kTableOuterRing = 100.0;
constexpr int kTableAngles = 180;

// The circle-plane grid the streamlines and the sonic line are traced on:
// rings growing geometrically from the surface to beyond the field's
// corners, a circle angle every degree.
constexpr int kGridRings = 64;
constexpr int kGridAngles = 360;

// The colour map's cells: at most this many across and down, nearly square.
constexpr int kMaxColumns = 200;
constexpr int kMaxRows = 100;
// Rows of the colour bar's image.
constexpr int kBarRows = 64;
// Streamlines across the field's height in the free stream.
constexpr double kStreamlinesPerHeight = 18.0;

constexpr Colour kDeepBlue = rgb(33, 82, 196);
constexpr Colour kDeepRed = rgb(196, 30, 30);

bool by_mach(const std::optional<MachInUse>& mach) { return mach && mach->mach > 0 && mach->beta > 0; }

double corrected_cp(double cp, const std::optional<MachInUse>& mach) {
    return by_mach(mach) ? cp / mach->beta : cp;
}

// Calls visit(ring, theta, point) for every flow_table point, ring by ring.
template <typename Visit>
void for_each_table_point(const ModelState& s, Visit visit) {
    if (!has_profile(s)) return;
    const FlowField field(s);
    std::vector<FlowField::CirclePoint> surface(kTableAngles);
    std::vector<double> theta(kTableAngles);
    for (int k = 0; k < kTableAngles; ++k) {
        theta[k] = -k * 2.0 * std::numbers::pi / kTableAngles;
        surface[k] = field.surface_point(theta[k]);
    }
    for (const double ring : flow_table_rings())
        for (int k = 0; k < kTableAngles; ++k) visit(ring, theta[k], field.on_ring_at(ring, surface[k]));
}

// One channel of the blend of white towards `deep` by t in 0 .. 1.
int channel(Colour deep, int shift, double t) {
    const int d = static_cast<int>((deep >> shift) & 0xffu);
    return static_cast<int>(std::lround(255.0 + t * (d - 255.0)));
}
Colour towards(Colour deep, double t) {
    return rgb(channel(deep, 0, t), channel(deep, 8, t), channel(deep, 16, t));
}

// One ring of the circle-plane grid as drawn in the profile plane, with
// the values traced on it; its angles wrap around.
struct Ring {
    std::vector<double> x, y, psi, sonic;  // sonic: Cp/beta - Cp*, 0 on the sonic line
};

struct Rect {
    double x1, y1, x2, y2;  // left, bottom, right, top
};

// Draws the part of a segment inside the rectangle.
void clipped_segment(PlotSurface& surface, const Rect& r, double x1, double y1, double x2, double y2,
                     std::optional<Colour> colour) {
    if (clip_segment(x1, y1, x2, y2, r.x1, r.y1, r.x2, r.y2)) draw_segment(surface, x1, y1, x2, y2, colour);
}

// Traces the lines value = level over the band of grid cells between two
// neighbouring rings (marching squares), for every level of the form
// (k + offset) step that a cell spans (with `every` false, for the level
// offset step alone), handing each segment to emit(x1, y1, x2, y2). Cells
// wholly outside the rectangle are passed over.
template <typename Emit>
void trace(const Ring& inner, const Ring& outer, std::vector<double> Ring::*values, double step, double offset,
           bool every, const Rect& clip, Emit emit) {
    const int angles = static_cast<int>(inner.x.size());
    for (int k = 0; k < angles; ++k) {
        const int next = (k + 1) % angles;
        // Corners in turn round the cell.
        const Ring* ring[4] = {&inner, &inner, &outer, &outer};
        const int at[4] = {k, next, next, k};
        double v[4], x[4], y[4];
        for (int c = 0; c < 4; ++c) {
            v[c] = (ring[c]->*values)[at[c]];
            x[c] = ring[c]->x[at[c]];
            y[c] = ring[c]->y[at[c]];
        }
        if (std::max({x[0], x[1], x[2], x[3]}) < clip.x1 || std::min({x[0], x[1], x[2], x[3]}) > clip.x2 ||
            std::max({y[0], y[1], y[2], y[3]}) < clip.y1 || std::min({y[0], y[1], y[2], y[3]}) > clip.y2)
            continue;
        const double lo = std::min({v[0], v[1], v[2], v[3]}), hi = std::max({v[0], v[1], v[2], v[3]});
        double first = std::ceil(lo / step - offset), last = std::floor(hi / step - offset);
        if (!every) {
            if (first > 0 || last < 0) continue;
            first = last = 0;
        }
        for (double m = first; m <= last; ++m) {
            const double level = (m + offset) * step;
            bool above[4];
            for (int c = 0; c < 4; ++c) above[c] = v[c] > level;
            // The crossings on the edges corner c .. c + 1.
            double px[4] = {}, py[4] = {};
            int edges[4], count = 0;
            for (int c = 0; c < 4; ++c) {
                const int d = (c + 1) % 4;
                if (above[c] == above[d]) continue;
                const double f = (level - v[c]) / (v[d] - v[c]);
                px[c] = x[c] + f * (x[d] - x[c]);
                py[c] = y[c] + f * (y[d] - y[c]);
                edges[count++] = c;
            }
            auto join = [&](int e1, int e2) { emit(px[e1], py[e1], px[e2], py[e2]); };
            if (count == 2) {
                join(edges[0], edges[1]);
            } else if (count == 4) {
                // A saddle: the mean of the corners decides which opposite
                // corners the level's region joins.
                if ((0.25 * (v[0] + v[1] + v[2] + v[3]) > level) == above[0]) {
                    join(0, 1);  // cut off corner 1
                    join(2, 3);  // and corner 3
                } else {
                    join(3, 0);  // cut off corner 0
                    join(1, 2);  // and corner 2
                }
            }
        }
    }
}

}  // namespace

double field_local_mach(const ModelState& s, double cp, const std::optional<MachInUse>& mach) {
    if (!by_mach(mach)) return 0.0;
    const std::optional<double> m = local_mach(s, cp / mach->beta, mach->mach);
    if (!m || !std::isfinite(*m)) return kLocalMachCeiling;
    return std::min(*m, kLocalMachCeiling);
}

std::vector<double> flow_table_rings() {
    std::vector<double> rings(kTableRings);
    for (int i = 0; i < kTableRings; ++i)
        rings[i] = (i == 0) ? 1.0 : std::pow(kTableOuterRing, static_cast<double>(i) / (kTableRings - 1));
    return rings;
}

ChartTable flow_table(const ModelState& s, const std::optional<MachInUse>& mach) {
    ChartTable t{{"r/a [-]", "theta [rad]", "x/c [-]", "y/c [-]", "u/U [-]", "v/U [-]", "Cp [-]",
                  "Cp Prandtl-Glauert [-]", "M local [-]"},
                 {}};
    for_each_table_point(s, [&](double ring, double theta, const FlowPoint& p) {
        t.rows.push_back({ring, theta, p.x, p.y, p.u, p.v, p.cp, corrected_cp(p.cp, mach),
                          field_local_mach(s, p.cp, mach)});
    });
    return t;
}

FlowSummary flow_summary(const ModelState& s, const std::optional<MachInUse>& mach,
                         std::optional<double> surface_peak_cp) {
    FlowSummary out;
    if (!by_mach(mach)) return out;
    for_each_table_point(s, [&](double, double, const FlowPoint& p) {
        out.m_local_max = std::max(out.m_local_max, field_local_mach(s, p.cp, mach));
    });
    // The grid can step over a narrow suction peak; the surface's exact
    // minimum cannot.
    if (surface_peak_cp && std::isfinite(*surface_peak_cp))
        out.m_local_max = std::max(out.m_local_max, field_local_mach(s, *surface_peak_cp, mach));
    out.sonic = out.m_local_max > 1.0;
    return out;
}

FlowColourScale flow_colour_scale(const std::optional<MachInUse>& mach) {
    if (by_mach(mach)) return {true, 0.0, 1.0, 2.0, {0.0, 0.5, 1.0, 1.5, 2.0}};
    return {false, 1.0, 0.0, -3.0, {1.0, 0.0, -1.0, -2.0, -3.0}};
}

Colour flow_colour(const FlowColourScale& scale, double value) {
    if (!std::isfinite(value)) return rgb(255, 255, 255);
    const double d = value - scale.white;
    const double span_blue = scale.bottom - scale.white, span_red = scale.top - scale.white;
    // On the blue side when d has the sign of the way to `bottom`.
    if ((d > 0) == (span_blue > 0) && d != 0) return towards(kDeepBlue, std::min(d / span_blue, 1.0));
    return towards(kDeepRed, std::clamp(d / span_red, 0.0, 1.0));
}

double FlowFrame::bar_y(const FlowColourScale& scale, double value) const {
    const double f = std::clamp((value - scale.bottom) / (scale.top - scale.bottom), 0.0, 1.0);
    return bar_bottom + f * (bar_top - bar_bottom);
}

FlowFrame flow_frame(double aspect) {
    const double ratio = std::isfinite(aspect) ? std::clamp(aspect, 0.2, 20.0) : 2.0;
    FlowFrame f;
    f.field_x1 = -0.5;
    f.field_x2 = 1.5;
    f.bar_x1 = 1.56;
    f.bar_x2 = 1.62;
    f.tick_x2 = 1.65;
    f.x1 = f.field_x1;
    f.x2 = 1.8;  // room for the bar's values
    const double height = (f.x2 - f.x1) / ratio;
    f.y1 = 0.5 * height;
    f.y2 = -0.5 * height;
    f.bar_bottom = -0.35 * height;
    f.bar_top = 0.35 * height;
    return f;
}

void flow_ciz(const ModelState& s, const std::optional<MachInUse>& mach, PlotSurface& surface, double aspect) {
    const FlowFrame frame = flow_frame(aspect);
    surface.Cls();
    surface.Scale(frame.x1, frame.y1, frame.x2, frame.y2);
    if (!has_profile(s)) return;

    const FlowField field(s);
    const FlowColourScale scale = flow_colour_scale(mach);
    const Rect clip{frame.field_x1, frame.y2, frame.field_x2, frame.y1};
    const double width = clip.x2 - clip.x1, height = clip.y2 - clip.y1;

    // The colour map: one image of nearly square cells, empty inside the profile.
    const double cell = std::max(width / kMaxColumns, height / kMaxRows);
    auto raster = std::make_shared<PlotSurface::Raster>();
    raster->columns = std::clamp(static_cast<int>(std::ceil(width / cell - 1e-9)), 1, kMaxColumns);
    raster->rows = std::clamp(static_cast<int>(std::ceil(height / cell - 1e-9)), 1, kMaxRows);
    raster->cells.resize(static_cast<std::size_t>(raster->columns) * raster->rows);
    for (int j = 0; j < raster->rows; ++j) {
        const double y = clip.y2 - (j + 0.5) * height / raster->rows;
        for (int i = 0; i < raster->columns; ++i) {
            const double x = clip.x1 + (i + 0.5) * width / raster->columns;
            const std::optional<FlowPoint> p = field.at(x, y);
            if (!p) continue;
            const double value = scale.by_mach ? field_local_mach(s, p->cp, mach) : p->cp;
            raster->cells[static_cast<std::size_t>(j) * raster->columns + i] = flow_colour(scale, value);
        }
    }
    surface.Image(clip.x1, clip.y2, clip.x2, clip.y1, raster);

    // The circle-plane grid, out to beyond the field's farthest corner from
    // mid-chord (half a chord more is more than the offset of the centre).
    const double corner = std::sqrt(1.0 + 0.25 * height * height);
    const double outer = (std::max(corner, 0.5 * height) + 0.5) / field.radius_per_chord();
    const bool sonic = scale.by_mach;
    const double cp_star = sonic ? critical_cp(s, mach->mach) : 0.0;
    const double psi_step = height / kStreamlinesPerHeight;
    std::vector<FlowField::CirclePoint> on_surface(kGridAngles);
    for (int k = 0; k < kGridAngles; ++k) on_surface[k] = field.surface_point(-k * 2.0 * std::numbers::pi / kGridAngles);
    // Ring by ring, tracing each band as soon as both its rings are known;
    // the sonic line is kept to be drawn over the streamlines.
    const auto streamline = [&](double x1, double y1, double x2, double y2) {
        clipped_segment(surface, clip, x1, y1, x2, y2, s.siyah);
    };
    std::vector<std::array<double, 4>> sonic_line;
    const auto sonic_segment = [&](double x1, double y1, double x2, double y2) {
        sonic_line.push_back({x1, y1, x2, y2});
    };
    Ring inner, outer_ring;
    for (Ring* r : {&inner, &outer_ring})
        for (auto* v : {&r->x, &r->y, &r->psi, &r->sonic}) v->resize(kGridAngles);
    for (int i = 0; i < kGridRings; ++i) {
        const double ring = (i == 0) ? 1.0 : std::pow(outer, static_cast<double>(i) / (kGridRings - 1));
        for (int k = 0; k < kGridAngles; ++k) {
            const FlowPoint p = field.on_ring_at(ring, on_surface[k]);
            outer_ring.x[k] = p.x;
            outer_ring.y[k] = p.y;
            outer_ring.psi[k] = p.psi;
            if (sonic) outer_ring.sonic[k] = p.cp / mach->beta - cp_star;
        }
        if (i > 0) {
            // Streamlines half a step either side of the dividing
            // streamline psi = 0 (which is the surface), so that none runs
            // along the outline.
            trace(inner, outer_ring, &Ring::psi, psi_step, 0.5, true, clip, streamline);
            if (sonic) trace(inner, outer_ring, &Ring::sonic, 1.0, 0.0, false, clip, sonic_segment);
        }
        std::swap(inner, outer_ring);
    }
    for (const auto& [x1, y1, x2, y2] : sonic_line) clipped_segment(surface, clip, x1, y1, x2, y2, kSonicOrange);

    // The outline on top, coloured as in the profile view.
    const int last = static_cast<int>(std::clamp(s.n_intervals, 0.0, kPointCapacity - 2.0));
    const int join = first_run_end(s);
    for (int k = 1; k <= last; ++k)
        clipped_segment(surface, clip, s.prof_x[k], s.prof_y[k], s.prof_x[k + 1], s.prof_y[k + 1],
                        k < join ? s.kirmizi : s.mavi);

    // The colour bar, outlined, with its ticks; the sonic mark in orange
    // across the bar.
    auto bar = std::make_shared<PlotSurface::Raster>();
    bar->columns = 1;
    bar->rows = kBarRows;
    for (int j = 0; j < kBarRows; ++j)
        bar->cells.push_back(flow_colour(scale, scale.top + (j + 0.5) / kBarRows * (scale.bottom - scale.top)));
    surface.Image(frame.bar_x1, frame.bar_top, frame.bar_x2, frame.bar_bottom, bar);
    draw_segment(surface, frame.bar_x1, frame.bar_bottom, frame.bar_x2, frame.bar_bottom, s.siyah);
    draw_segment(surface, frame.bar_x2, frame.bar_bottom, frame.bar_x2, frame.bar_top, s.siyah);
    draw_segment(surface, frame.bar_x2, frame.bar_top, frame.bar_x1, frame.bar_top, s.siyah);
    draw_segment(surface, frame.bar_x1, frame.bar_top, frame.bar_x1, frame.bar_bottom, s.siyah);
    for (const double v : scale.ticks) {
        const double y = frame.bar_y(scale, v);
        const bool sonic_mark = scale.by_mach && v == scale.white;
        draw_segment(surface, sonic_mark ? frame.bar_x1 : frame.bar_x2, y, frame.tick_x2, y,
                     sonic_mark ? kSonicOrange : s.siyah);
    }
}

}  // namespace jmach

#include "charts/svg_writer.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/palette.h"

namespace jmach {

namespace {

// A coordinate with at most three decimals: a thousandth of a pixel.
std::string num(double v) {
    if (!std::isfinite(v)) return "0";
    const double rounded = std::nearbyint(v * 1000) / 1000;
    return number_text(rounded);
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

struct Box {
    double left, top, right, bottom;
};

class Writer {
public:
    Writer(const ScaleRect& sc, const SvgPicture& picture, std::string& out)
        : sc_(sc), sx_(picture.width / (sc.x2 - sc.x1)), sy_(picture.height / (sc.y2 - sc.y1)), out_(out),
          outer_{-4, -4, picture.width + 4.0, picture.height + 4.0} {}

    void draw(const Primitive& p, const std::string& colour) {
        const double ax = (p.x1 - sc_.x1) * sx_, ay = (p.y1 - sc_.y1) * sy_;
        if (p.kind == Primitive::Kind::image) {
            close();
            raster(p, ax, ay, (p.x2 - sc_.x1) * sx_, (p.y2 - sc_.y1) * sy_);
        } else if (p.kind == Primitive::Kind::circle) {
            const double r = std::fabs(p.r * sx_);
            if (ax + r < outer_.left || ax - r > outer_.right || ay + r < outer_.top || ay - r > outer_.bottom) return;
            stroke(colour, "<circle cx=\"" + num(ax) + "\" cy=\"" + num(ay) + "\" r=\"" + num(r) + "\"/>");
        } else {
            double x1 = ax, y1 = ay, x2 = (p.x2 - sc_.x1) * sx_, y2 = (p.y2 - sc_.y1) * sy_;
            if (!clip_segment(x1, y1, x2, y2, outer_.left, outer_.top, outer_.right, outer_.bottom)) return;
            if (x1 == x2 || y1 == y2) {
                // A grid line: the whole pixels it covers, sharp at any zoom.
                const double x = std::floor(std::min(x1, x2)), y = std::floor(std::min(y1, y2));
                const double w = x1 == x2 ? 1 : std::floor(std::max(x1, x2)) + 1 - x;
                const double h = y1 == y2 ? 1 : std::floor(std::max(y1, y2)) + 1 - y;
                close();
                out_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
                        "\" fill=\"" + colour + "\" stroke=\"none\"/>\n";
                return;
            }
            stroke(colour, "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
                               num(y2) + "\"/>");
        }
    }

    void close() {
        if (!group_.empty()) out_ += "</g>\n";
        group_.clear();
    }

private:
    // Consecutive strokes of one colour share a group.
    void stroke(const std::string& colour, const std::string& element) {
        if (group_ != colour) {
            close();
            out_ += "<g stroke=\"" + colour + "\">\n";
            group_ = colour;
        }
        out_ += element + "\n";
    }

    // A colour raster as runs of equal cells along each row, each a rectangle.
    void raster(const Primitive& p, double ax, double ay, double bx, double by) {
        const PlotSurface::Raster& r = *p.raster;
        const double cw = (bx - ax) / r.columns, ch = (by - ay) / r.rows;
        out_ += "<g stroke=\"none\" shape-rendering=\"crispEdges\">\n";
        for (int row = 0; row < r.rows; ++row) {
            for (int col = 0; col < r.columns;) {
                const auto& cell = r.cells[static_cast<std::size_t>(row) * r.columns + col];
                int end = col + 1;
                while (end < r.columns && r.cells[static_cast<std::size_t>(row) * r.columns + end] == cell) ++end;
                if (cell) {
                    const double x = ax + col * cw, y = ay + row * ch, w = (end - col) * cw;
                    out_ += "<rect x=\"" + num(std::min(x, x + w)) + "\" y=\"" + num(std::min(y, y + ch)) +
                            "\" width=\"" + num(std::fabs(w)) + "\" height=\"" + num(std::fabs(ch)) + "\" fill=\"" +
                            hex_colour(*cell) + "\"/>\n";
                }
                col = end;
            }
        }
        out_ += "</g>\n";
    }

    ScaleRect sc_;
    double sx_, sy_;
    std::string& out_;
    Box outer_;
    std::string group_;
};

}  // namespace

std::string svg_text(const RecordingSurface& surface, const SvgPicture& picture) {
    const std::string w = std::to_string(picture.width), h = std::to_string(picture.height);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg width=\"" + w +
                      "px\" height=\"" + h + "px\" viewBox=\"0 0 " + w + " " + h +
                      "\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\">\n<title>jmach: " +
                      escaped(picture.title) + "</title>\n<desc>Drawn by jmach</desc>\n<rect x=\"0\" y=\"0\" width=\"" +
                      w + "\" height=\"" + h + "\" fill=\"" + hex_colour(kSurfaceBackground) +
                      "\" stroke=\"none\"/>\n<g fill=\"none\" stroke-width=\"1\" stroke-linecap=\"square\">\n";
    const auto& sc = surface.scale();
    if (sc && sc->x2 != sc->x1 && sc->y2 != sc->y1 && picture.width > 0 && picture.height > 0) {
        Writer writer(*sc, picture, out);
        const auto& items = surface.primitives();
        // A kept reference lies in grey over the grid, beneath the curves.
        const std::size_t grid = surface.has_reference() ? leading_grid(items) : items.size() + 1;
        const std::string grey = hex_colour(kReferenceGrey), foreground = hex_colour(picture.foreground);
        for (std::size_t i = 0; i <= items.size(); ++i) {
            if (i == grid)
                for (const Primitive& p : surface.reference()) writer.draw(p, grey);
            if (i < items.size()) writer.draw(items[i], items[i].colour ? hex_colour(*items[i].colour) : foreground);
        }
        writer.close();
    }
    out += "</g>\n";
    static constexpr const char* kAnchor[] = {"start", "middle", "end"};
    static constexpr const char* kBaseline[] = {"hanging", "central", "text-after-edge"};
    for (const SvgCaption& c : picture.captions) {
        out += "<text x=\"" + num(c.x) + "\" y=\"" + num(c.y) + "\" text-anchor=\"" + kAnchor[c.horizontal % 3] +
               "\" dominant-baseline=\"" + kBaseline[c.vertical % 3] + "\" font-family=\"" + escaped(c.family) +
               "\" font-size=\"" + num(c.size) + "\"" + (c.italic ? " font-style=\"italic\"" : "") +
               (c.bold ? " font-weight=\"bold\"" : "") + " fill=\"#000000\" xml:space=\"preserve\">" +
               escaped(c.text) + "</text>\n";
    }
    return out + "</svg>\n";
}

}  // namespace jmach

#include "charts/mcrit_chart.h"

namespace jmach {

void Mcrit_ciz(const McritCurves& c, PlotSurface& surface) {
    surface.Cls();
    surface.Scale(-0.1, 5, 1.1, -0.5);
    surface.Line(0, 0, 1, 0, std::nullopt);
    surface.Line(0, 0, 0, 4.5f, std::nullopt);
    auto segment = [&](const std::array<double, McritCurves::kCapacity>& table, int k, Colour colour) {
        draw_segment(surface, c.mach[k], table[k], c.mach[k + 1], table[k + 1], colour);
    };
    for (int k = 1; k <= c.count - 1; ++k) {
        segment(c.cr, k, kLiteralRed);
        segment(c.pg, k, kLiteralBlue);
        segment(c.kt, k, kLiteralGreen);
        segment(c.la, k, kMagenta);
    }
}

void mcrit_marker(PlotSurface& surface, const McritResult& result) {
    draw_segment(surface, result.mcr, 0, result.mcr, 1.0 - result.cp_pg, kLiteralBlue);
}

}  // namespace jmach

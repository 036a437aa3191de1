// The critical Mach chart: where its sample runs stop, the table of the drawn samples, and chart numbers as text in any locale.
// (Every primitive of every chart is pinned by the regression recordings.)

#include <gtest/gtest.h>

#include <cmath>
#include <locale>

#include "charts/chart_data.h"
#include "charts/recording_surface.h"
#include "charts/svg_writer.h"
#include "compressible/mcrit.h"

namespace jmach {
namespace {

// Samples drawn: one before the stop index, or all 99 (the drawing itself
// is pinned by the regression recordings).
TEST(McritChart, StopIndexAndTable) {
    ModelState s;
    set_constants(s);  // the chart reads only cp0 and the gas constants
    const struct { double cp0; int drawn; } cases[] = {{-1.0, 73}, {-0.02, 99}, {-0.06, 97}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cp0);
        const McritCurves curves = mcrit_curves(s, c.cp0);
        ASSERT_EQ(curves.count, c.drawn);
        // The table holds the samples drawn: M, then Cp of each rule and Cp*.
        const ChartTable t = mcrit_table(s, c.cp0, curves.count);
        ASSERT_EQ(t.rows.size(), static_cast<std::size_t>(c.drawn));
        EXPECT_TRUE(t.rows.back()[0] == c.drawn / 100.0 && 1 - t.rows.back()[4] == curves.cr[c.drawn]);
    }
}

TEST(ChartData, TextFormsAreLocaleFreeShortestAndQuotedWhereNeeded) {
    struct Comma : std::numpunct<char> {  // a decimal comma changes nothing
        char do_decimal_point() const override { return ','; }
    };
    const std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
    const std::pair<double, const char*> cases[] = {
        {0.1, "0.1"}, {-4, "-4"}, {1e-5, "1e-05"}, {0.1 + 0.2, "0.30000000000000004"}, {NAN, ""}, {INFINITY, ""}};
    for (const auto& [v, text] : cases) EXPECT_EQ(shortest_text(v), text);
    const ChartTable table{{"a,b", "say \"hi\"", "plain"}, {{0.5, -2, NAN}}};
    EXPECT_EQ(csv_text(table), "\"a,b\",\"say \"\"hi\"\"\",plain\r\n0.5,-2,\r\n");
    EXPECT_EQ(tsv_text(table), "a,b\tsay \"hi\"\tplain\n0.5\t-2\t\n");
    std::locale::global(before);
    // Before there is a profile the tables hold their header only.
    const ModelState empty;
    EXPECT_EQ(csv_text(profile_table(empty)), "point,x/c [-],y/c [-]\r\n");
    EXPECT_TRUE(pressure_table(empty, MachInUse{0.5, 0.8}).rows.empty());
}

// A drawing as SVG in the chart's pixels: y up as Scale sets it, grid
// lines as whole-pixel rectangles, a kept reference in grey between the
// grid and the curves, a segment towards infinity cut at the edge, cells
// as runs, captions as escaped text.
TEST(SvgWriter, DrawsTheRecordingInItsPixels) {
    RecordingSurface s;
    s.Scale(0, 1, 1, 0);
    s.Line(0, 0.5f, 1, 0.5f, kLiteralGreen);
    s.Line(0, 0, 1, 1, std::nullopt);
    s.keep_reference("thickness 0.12");
    s.Cls();
    s.Line(0, 0.5f, 1, 0.5f, kLiteralGreen);
    s.Line(0, 0, 1e30f, 1, kLiteralRed);
    s.Circle(0.5, 0.5, 0.1, kMagenta);
    auto raster = std::make_shared<PlotSurface::Raster>();
    raster->columns = 4;
    raster->rows = 1;
    raster->cells = {kBlack, kBlack, std::nullopt, kLiteralBlue};
    s.Image(0, 1, 1, 0.5, raster);
    const std::string svg = svg_text(s, {100, 50, kLiteralBlue, "A & B", {{"<1>", 10, 5, 2, 1, 9}}});
    const auto at = [&](const std::string& part) {
        const std::size_t i = svg.find(part);
        EXPECT_NE(i, std::string::npos) << part << "\n" << svg;
        return i;
    };
    EXPECT_LT(at("<title>jmach: A &amp; B</title>"), at("<rect x=\"0\" y=\"25\" width=\"101\" height=\"1\" fill=\"#00ff00\""));
    EXPECT_LT(at("<rect x=\"0\" y=\"25\""), at("<g stroke=\"#bebebe\">\n<line x1=\"0\" y1=\"50\" x2=\"100\" y2=\"0\"/>"));
    // Cut 4 pixels beyond the edge, the far end's 1e30 then flat: a rectangle.
    EXPECT_LT(at("#bebebe"), at("<rect x=\"0\" y=\"50\" width=\"105\" height=\"1\" fill=\"#ff0000\""));
    at("<circle cx=\"50\" cy=\"25\" r=\"10\"/>");
    at("<rect x=\"0\" y=\"0\" width=\"50\" height=\"25\" fill=\"#000000\"/>");
    at("<rect x=\"75\" y=\"0\" width=\"25\" height=\"25\" fill=\"#0000ff\"/>");
    at(">&lt;1&gt;</text>");
}

}  // namespace
}  // namespace jmach

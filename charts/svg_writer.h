#pragma once
// A retained drawing as an SVG document, in the pixels of the chart on the
// desktop: the pale yellow surface, the primitives in drawing order (a
// kept reference in grey where the leading grid ends), then the captions.
// The page saves its charts' SVG files with it; the desktop paints the
// same drawing through QSvgGenerator.

#include <string>
#include <vector>

#include "charts/recording_surface.h"

namespace jmach {

// A text laid over the drawing: its anchor point in pixels from the
// upper-left corner, and where the text sits against it along each axis
// (0 start, 1 centre, 2 end: left/top, middle, right/bottom).
struct SvgCaption {
    std::string text;
    double x = 0, y = 0;
    int horizontal = 0, vertical = 0;
    double size = 9;  // font size, pixels
    bool italic = false, bold = false;
    std::string family = "Arial";
};

struct SvgPicture {
    int width = 0, height = 0;  // pixels
    Colour foreground = 0;      // of primitives without a colour of their own
    std::string title;
    std::vector<SvgCaption> captions;
};

std::string svg_text(const RecordingSurface& surface, const SvgPicture& picture);

}  // namespace jmach

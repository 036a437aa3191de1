#pragma once
// Every colour the program draws or paints with, defined once: the chart
// colours as RGB values (red + 256*green + 65536*blue), the pale yellow of
// the charts and the About card, and the colour set that renkler fills in
// the model state.

#include <cstdint>
#include <string>

namespace jmach {

// Drawing colour: red + 256*green + 65536*blue.
using Colour = std::uint32_t;

// RGB(r, g, b) = r + 256*g + 65536*b.
constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(r) + 256u * static_cast<Colour>(g) + 65536u * static_cast<Colour>(b);
}

inline constexpr Colour kLiteralRed = rgb(255, 0, 0);
inline constexpr Colour kLiteralGreen = rgb(0, 255, 0);
inline constexpr Colour kLiteralBlue = rgb(0, 0, 255);
inline constexpr Colour kMagenta = rgb(255, 0, 255);
inline constexpr Colour kBlack = rgb(0, 0, 0);
// The charts' background, their labels' and the About card's.
inline constexpr Colour kSurfaceBackground = rgb(255, 255, 192);
// The title lines of the About card.
inline constexpr Colour kDarkGreen = rgb(0, 128, 0);
// The Mach box's text while its value cannot be used.
inline constexpr Colour kErrorText = kLiteralRed;
// The Mach box's background while it notes that it read only the leading
// number of its text.
inline constexpr Colour kNoteBackground = rgb(255, 222, 160);
// The sonic level on the pressure chart and its marks; kept reference
// curves, beneath the live ones.
inline constexpr Colour kSonicOrange = rgb(255, 128, 0);
inline constexpr Colour kReferenceGrey = rgb(190, 190, 190);

// A colour's name as "#rrggbb", in lower case.
std::string hex_colour(Colour c);

struct ModelState;

// Sets the colour set siyah, kirmizi, yesil and mavi of the model state.
void renkler(ModelState& s);

}  // namespace jmach

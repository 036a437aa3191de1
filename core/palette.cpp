#include "core/palette.h"

#include "core/model_state.h"

namespace jmach {

void renkler(ModelState& s) {
    s.siyah = kBlack;
    s.kirmizi = kLiteralRed;
    s.yesil = kLiteralGreen;
    s.mavi = kLiteralBlue;
}

std::string hex_colour(Colour c) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "#";
    for (int i = 0; i < 3; ++i) {
        const unsigned byte = (c >> (8 * i)) & 0xFFu;
        out += kHex[byte >> 4];
        out += kHex[byte & 0xFu];
    }
    return out;
}

}  // namespace jmach

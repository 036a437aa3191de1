#include "core/palette.h"

#include "core/model_state.h"

namespace jmach {

void renkler(ModelState& s) {
    s.siyah = kBlack;
    s.kirmizi = kLiteralRed;
    s.yesil = kLiteralGreen;
    s.mavi = kLiteralBlue;
}

}  // namespace jmach

#include <algorithm>
#include <cmath>

#include "app/number_text.h"
#include "charts/views.h"

namespace jmach {

void renkler(ModelState& s) {
    s.siyah = rgb(0, 0, 0);
    s.kirmizi = rgb(255, 0, 0);
    s.yesil = rgb(0, 255, 0);
    s.mavi = rgb(0, 0, 255);
}

std::optional<double> mach_from_text(std::string_view mach_text) {
    const double m = parse_leading_number(mach_text);
    // sqrt(1 - M^2) must be a real, non-zero divisor.
    if (!std::isfinite(m) || !(std::fabs(m) < 1.0)) return std::nullopt;
    return m;
}

int first_run_end(const ModelState& s) {
    // The point arrays end at index 101, so at most 100 intervals.
    const int intervals = static_cast<int>(std::clamp(s.n_intervals, 0.0, kPointCapacity - 2.0));
    // Odd nP: an even number of intervals, the runs meet at the leading
    // edge, point half_intervals + 1. Even nP: the first run takes the
    // points 1 .. nP/2 and the second nP/2 .. nP, so the whole contour is
    // drawn and the runs still meet at a profile point.
    return intervals / 2 + 1;
}

}  // namespace jmach

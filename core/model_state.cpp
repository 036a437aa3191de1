#include "core/model_state.h"

#include <cmath>

namespace jmach {

void set_constants(ModelState& s) {
    s.pi_value = 4.0 * std::atan(1.0);
    s.zero_lift_angle = 0;
    s.gamma = 1.4;
    s.two_over_gamma = 2.0 / s.gamma;
    s.gamma_minus1_half = (s.gamma - 1.0) / 2.0;
    s.gamma_plus1_half = (s.gamma + 1.0) / 2.0;
    s.gamma_over_gamma_minus1 = s.gamma / (s.gamma - 1.0);
}

}  // namespace jmach

#include <gtest/gtest.h>

#include "app/model_state.h"

TEST(ModelState, GasConstantsFromGamma) {
    jmach::ModelState s;
    jmach::set_constants(s);
    EXPECT_NEAR(s.gamma_minus1_half, 0.2, 1e-15);
    EXPECT_NEAR(s.gamma_plus1_half, 1.2, 1e-15);
}

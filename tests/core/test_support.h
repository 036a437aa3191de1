#pragma once
// Shared by the Qt-free tests: the committed airfoil table, a profile of it
// with its pressure and curves computed, a Mach number in use, and a window
// that has loaded the table.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "airfoil/pressure.h"
#include "airfoil/profile.h"
#include "airfoil/table.h"
#include "charts/chart_data.h"
#include "compressible/coefficients.h"
#include "core/palette.h"
#include "session/session.h"

namespace jmach {

inline const std::filesystem::path kRealTable = std::filesystem::path(JMACH_SOURCE_DIR) / "data" / kTableFileName;

// The table's profile at these scroll positions, in its colours, with its
// pressure at alpha degrees, lift curve and quarter-chord moment curve;
// returns the sampled minimum of the pressure.
inline double table_profile(ModelState& s, int thickness, int camber, int n_points, int alpha) {
    set_constants(s);
    renkler(s);
    const auto error = load_airfoil_table(kRealTable, s);
    EXPECT_FALSE(error) << *error;
    EXPECT_EQ(profil_hesapla(s, thickness, camber, n_points), ProfileOutcome::computed);
    const double cp_min = basınc_hesapla(s, alpha);
    lift_curve(s);
    moment_curve(s, 25);
    return cp_min;
}

inline ModelState table_state(int thickness, int camber, int n_points, int alpha) {
    ModelState s;
    table_profile(s, thickness, camber, n_points, alpha);
    return s;
}

inline MachInUse at(double mach) { return {mach, std::sqrt(1.0 - mach * mach)}; }

inline Session loaded() {
    Session s;
    EXPECT_FALSE(s.Form_Load(kRealTable));
    return s;
}

}  // namespace jmach

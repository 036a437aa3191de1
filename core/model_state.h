#pragma once
// The one record that every computation and chart of the main window reads
// and writes. Every value is a double; members of whole-number kind only ever
// hold whole numbers. A member not yet assigned reads as 0.

#include <algorithm>
#include <array>

#include "core/palette.h"

namespace jmach {

inline constexpr int kTableCapacity = 501;  // table rows 1..500 used
inline constexpr int kPointCapacity = 102;  // profile points 1..101 used
inline constexpr int kCurveCapacity = 31;   // curve points 0..24 used

using TableColumn = std::array<double, kTableCapacity>;
using PointArray = std::array<double, kPointCapacity>;
using CurveArray = std::array<double, kCurveCapacity>;

struct ModelState {
    double thickness = 0;       // t/c
    double camber = 0;          // f/c
    double n_points = 0;        // nP, 11..101
    double circle_eps = 0;      // circle centre at (-eps, mu)
    double circle_mu = 0;
    double map_exponent = 0;    // always 2 once a profile exists
    double mach_beta = 0;       // sqrt(1 - M^2) of the Mach number in use
    double table_rows = 0;
    TableColumn table_eps{};
    TableColumn table_mu{};
    TableColumn table_thickness{};
    TableColumn table_camber{};
    double n_intervals = 0;     // nP - 1
    double half_intervals = 0;  // (nP - 1)/2, half-integer for even nP
    double alpha_deg = 0;       // whole degrees
    double pi_value = 0;
    double x_shift = 0;
    double circle_radius = 0;
    double centre_ratio = 0;
    double radius_sq = 0;
    double radius_per_chord = 0;
    double chord_len = 0;
    double zero_lift_angle = 0;
    double centre_angle = 0;
    PointArray theta{};
    PointArray map_deriv{};
    PointArray prof_x{};
    PointArray prof_y{};
    PointArray cp_surf{};
    // Drawing colours; 0 (black) until renkler first runs.
    Colour siyah = 0;
    Colour yesil = 0;
    Colour mavi = 0;
    Colour kirmizi = 0;
    CurveArray curve_alpha{};
    CurveArray curve_cl{};
    CurveArray curve_cm{};
    double cl_current = 0;
    double cm_current = 0;      // moment coefficient at alpha_deg about moment_ref_x
    double moment_ref_x = 0;
    double gamma = 0;
    double two_over_gamma = 0;
    double gamma_minus1_half = 0;
    double gamma_plus1_half = 0;
    double gamma_over_gamma_minus1 = 0;
};

// The constants of start-up: pi, the zero-lift angle reset and the gas
// constants derived from gamma = 1.4. Touches nothing else.
void set_constants(ModelState& s);

// True once a table lookup has succeeded and the profile geometry exists;
// the pressure, lift and moment computations need it (they divide by a^2
// and the chord).
inline bool has_profile(const ModelState& s) { return s.radius_sq > 0; }

// Points of the profile geometry in the record. After a failed table
// lookup n_points already holds the newly requested count while the
// geometry, and so the pressure, stays that of the last good profile.
inline int geometry_points(const ModelState& s) { return static_cast<int>(s.n_intervals) + 1; }

// Index of the last point of the first run (lower surface). Equals
// half_intervals + 1 for odd nP; for even nP it is nP/2, so both runs are
// whole and meet at a profile point.
inline int first_run_end(const ModelState& s) {
    // The point arrays end at index 101, so at most 100 intervals.
    const int intervals = static_cast<int>(std::clamp(s.n_intervals, 0.0, kPointCapacity - 2.0));
    // Odd nP: an even number of intervals, the runs meet at the leading
    // edge, point half_intervals + 1. Even nP: the first run takes the
    // points 1 .. nP/2 and the second nP/2 .. nP, so the whole contour is
    // drawn and the runs still meet at a profile point.
    return intervals / 2 + 1;
}

// True once the lift curve has been computed (its first angle is -12
// degrees); the moment curve is built from it.
inline bool has_lift_curve(const ModelState& s) { return s.curve_alpha[0] != 0; }

}  // namespace jmach

#pragma once
// The incompressible potential flow about the Joukowski profile away from
// its surface: the flow about the circle at the angle of attack with the
// Kutta circulation, carried to the profile plane by z = zeta + 1/zeta and
// the scaling to unit chord. On the circle it is the flow the surface
// pressure comes from.
//
// Circle-plane points are named by a ring and a circle angle. The ring
// r/a >= 1 is the distance from the circle centre in radii; the angle theta
// is that of the profile points (point j at theta = -(j-1) 2 pi/(nP-1)):
// the polar angle about the origin of the surface point zeta_s(theta). The
// point on ring r/a at angle theta is
//   zeta = c + (r/a) (zeta_s(theta) - c),   c the circle centre,
// so ring 1 holds the surface points themselves.
//
// Velocities are relative to the free stream (cos alpha, sin alpha),
// lengths in chords, the stream function in units of U c.

#include <optional>

#include "core/model_state.h"

namespace jmach {

// The largest speed the field reports, in free-stream units. Where the flow
// has no finite speed (the sharp nose of a zero-thickness profile at
// incidence) or a larger one, the velocity keeps its direction and takes
// this magnitude, so Cp stays at or above 1 - 100^2. It lies well above the
// speed at any surface point of the table's profiles (below 30 for the
// thinnest at 12 degrees), which the field therefore gives exactly.
inline constexpr double kFieldSpeedCeiling = 100.0;

// The flow at one point.
struct FlowPoint {
    double x = 0, y = 0;  // x/c, y/c in the profile plane
    double u = 0, v = 0;  // velocity / U
    double cp = 1;        // 1 - (u^2 + v^2)
    double psi = 0;       // stream function / (U c), 0 on the surface
};

// A circle-plane point as a ring and a circle angle in (-2 pi, 0].
struct RingPoint {
    double ring = 1;
    double theta = 0;
};

// The flow about the profile and angle of attack (alpha_deg) of a record;
// it copies what it needs, so the record may change afterwards. Before
// there is a profile (has_profile false) it is the flow about the flat
// plate, the circle of radius 1 about the origin.
class FlowField {
public:
    explicit FlowField(const ModelState& s);

    // The flow on ring r/a (clamped to 1 .. 1e6) at circle angle theta.
    // The velocity on ring 1 runs along the surface, and its Cp is that of
    // the surface pressure at the same angle, the trailing edge's finite
    // value included; only at the arc's nose, where the surface pressure
    // puts a stand-in, the two differ.
    FlowPoint on_ring(double ring, double theta) const;

    // The circle-plane point whose image is (x/c, y/c): the root of
    // zeta + 1/zeta = z outside the circle. Empty for points inside or on
    // the profile and for numbers that are not finite or whose squares are
    // not.
    std::optional<RingPoint> ring_point(double x, double y) const;
    // The flow at (x/c, y/c); empty where ring_point is.
    std::optional<FlowPoint> at(double x, double y) const;

    // The circulation Gamma/(U c), clockwise positive: the lift coefficient
    // is twice it (Kutta-Joukowski).
    double circulation() const;
    // The speed Gamma/(2 pi r U) the circulation alone induces at distance
    // r chords from the vortex: how much the far field may still differ
    // from the free stream at that distance, to leading order.
    double vortex_speed(double r) const;

    // The circle radius in chords: ring r/a lies about (r/a) times this
    // from the profile once r/a is large.
    double radius_per_chord() const { return a_ / chord_; }

    // The surface point zeta_s(theta) of the circle plane.
    struct CirclePoint {
        double re = 0, im = 0;
    };
    CirclePoint surface_point(double theta) const;
    // The flow at the point on ring r/a (not clamped, >= 1) whose surface
    // point is zs: for sweeps that reuse one surface point over many rings.
    FlowPoint on_ring_at(double ring, CirclePoint zs) const;

private:
    // The offset t = zeta - c of the circle-plane point whose image is
    // (x/c, y/c), when it lies outside the circle.
    bool exterior_offset(double x, double y, double& t_re, double& t_im) const;

    double eps_ = 0, mu_ = 0;        // circle centre (-eps, mu)
    double a_ = 1;                   // circle radius
    double chord_ = 4, x_shift_ = 0; // x/c = Re z / chord - x_shift, y/c = Im z / chord
    double cos_a_ = 1, sin_a_ = 0;   // angle of attack
    double stag_re_ = -1, stag_im_ = 0;  // the front stagnation point on the circle
    double kutta_ = 0;               // sin(alpha + beta)
};

}  // namespace jmach

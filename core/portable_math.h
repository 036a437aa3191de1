#pragma once
// The elementary functions the numerics use, written out here in plain
// double arithmetic so that every build gives the same digits: the
// desktop's C library and the browser edition's each round their own
// sin, cos, pow ... differently in the last bit, and the tables the two
// editions write must agree byte for byte. Every function is within a few
// units in the last place of the true value over the arguments the
// numerics meet (angles of a few turns, ratios near 1), and is exact at
// the points that matter: sin 0 = 0, cos 0 = 1, log 1 = 0, pow(x, 0) = 1,
// atan(1) = pi/4 as rounded. Only +, -, *, / and sqrt are used, which IEEE
// arithmetic rounds the same everywhere (with contraction into fused
// multiply-adds off, as the build sets it), besides operations that are
// exact on every build (fmod, frexp, ldexp, nearbyint, floor, fabs).

namespace jmach::portable {

double sin(double x);
double cos(double x);
double atan(double x);
// The angle of (x, y) in (-pi, pi], with the C library's signs at zeros.
double atan2(double y, double x);
double exp(double x);
double log(double x);
// x to the power y for x >= 0, and for x < 0 with a whole y.
double pow(double x, double y);
double hypot(double x, double y);

}  // namespace jmach::portable

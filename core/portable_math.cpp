#include "core/portable_math.h"

#include <cmath>
#include <limits>
#include <utility>

namespace jmach::portable {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kHalfPiLow = 6.123233995736766e-17;  // pi/2 - kHalfPi
constexpr double kQuarterPi = 0.7853981633974483;
constexpr double kTwoOverPi = 0.6366197723675814;
// pi/2 in three parts, the first two with 32 significant bits, so that a
// whole multiple k of them is exact for |k| < 2^21.
constexpr double kHalfPi1 = 1.5707963267341256;
constexpr double kHalfPi2 = 6.077100506303966e-11;
constexpr double kHalfPi3 = 2.0222662487959506e-21;
// ln 2 likewise, in two parts.
constexpr double kLn2High = 0.6931471806019545;
constexpr double kLn2Low = -4.2009150726810846e-11;
constexpr double kInvLn2 = 1.4426950408889634;
constexpr double kSqrtHalf = 0.7071067811865476;
constexpr double kTanEighthPi = 0.41421356237309503;  // tan(pi/8), below which atan needs no halving
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The coefficients of the series below, worked out by the compiler.
struct Series {
    double exp[15];   // 1/n!
    double atan[24];  // (-1)^k / (2k + 1)
    double log[14];   // 1 / (2k + 1)
};
constexpr Series make_series() {
    Series c{};
    double factorial = 1.0;  // exact up to 22!
    for (int n = 0; n < 15; ++n) {
        if (n > 0) factorial *= n;
        c.exp[n] = 1.0 / factorial;
    }
    for (int k = 0; k < 24; ++k) c.atan[k] = ((k % 2 == 0) ? 1.0 : -1.0) / (2 * k + 1);
    for (int k = 0; k < 14; ++k) c.log[k] = 1.0 / (2 * k + 1);
    return c;
}
constexpr Series kSeries = make_series();

// Beyond this the reduction by multiples of pi/2 is no longer exact; such
// arguments are first taken modulo the double nearest 2 pi (fmod is exact).
constexpr double kLargeAngle = 1.0e6;

// x = r + quadrant * pi/2 with |r| <= pi/4 (a little more after rounding).
struct Reduced {
    double r;
    int quadrant;
};

Reduced reduce(double x) {
    if (std::fabs(x) <= kQuarterPi) return {x, 0};
    if (std::fabs(x) > kLargeAngle) x = std::fmod(x, 2.0 * kPi);
    const double k = std::nearbyint(x * kTwoOverPi);
    const double r = ((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3;
    return {r, static_cast<int>(static_cast<long long>(k) & 3)};
}

// Taylor series of sin and cos on |r| <= pi/4 + a little: the first term
// left out is below 1e-19 there.
double sin_kernel(double r) {
    if (r == 0.0) return r;  // keeps the sign of a zero
    const double z = r * r;
    const double p = -1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 + z * (1.0 / 362880 + z * (-1.0 / 39916800 +
                     z * (1.0 / 6227020800 + z * (-1.0 / 1307674368000 + z * (1.0 / 355687428096000)))))));
    return r + r * z * p;
}

double cos_kernel(double r) {
    const double z = r * r;
    const double p = 1.0 / 24 + z * (-1.0 / 720 + z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600 +
                     z * (-1.0 / 87178291200 + z * (1.0 / 20922789888000 + z * (-1.0 / 6402373705728000)))))));
    return 1.0 - (0.5 * z - z * z * p);
}

// atan t for 0 <= t <= tan(pi/8): its Taylor series, the first term left
// out below 1e-18.
double atan_kernel(double t) {
    const double z = t * t;
    double p = 0.0;
    for (int k = 23; k >= 0; --k) p = p * z + kSeries.atan[k];
    return t * p;
}

bool is_whole(double y) { return std::isfinite(y) && std::floor(y) == y; }
bool is_odd_whole(double y) { return is_whole(y) && std::fabs(std::fmod(y, 2.0)) == 1.0; }

// x to a whole power n, |n| <= 1024, by repeated squaring: exact wherever
// the power is a double, as integer powers are expected to be.
double whole_power(double x, double n) {
    double result = 1.0, base = x;
    for (long long k = static_cast<long long>(std::fabs(n)); k > 0; k >>= 1) {
        if (k & 1) result *= base;
        base *= base;
    }
    return n < 0 ? 1.0 / result : result;
}

}  // namespace

double sin(double x) {
    if (!std::isfinite(x)) return kNaN;
    const Reduced a = reduce(x);
    switch (a.quadrant) {
    case 0: return sin_kernel(a.r);
    case 1: return cos_kernel(a.r);
    case 2: return -sin_kernel(a.r);
    default: return -cos_kernel(a.r);
    }
}

double cos(double x) {
    if (!std::isfinite(x)) return kNaN;
    const Reduced a = reduce(x);
    switch (a.quadrant) {
    case 0: return cos_kernel(a.r);
    case 1: return -sin_kernel(a.r);
    case 2: return -cos_kernel(a.r);
    default: return sin_kernel(a.r);
    }
}

double atan(double x) {
    if (std::isnan(x) || x == 0.0) return x;
    double a = std::fabs(x);
    double result;
    if (a == 1.0) {
        result = kQuarterPi;
    } else {
        const bool inverted = a > 1.0;
        if (inverted) a = 1.0 / a;  // atan a = pi/2 - atan(1/a); infinity gives pi/2
        // atan a = 2 atan(a / (1 + sqrt(1 + a^2))) brings a below tan(pi/8).
        result = a > kTanEighthPi ? 2.0 * atan_kernel(a / (1.0 + std::sqrt(1.0 + a * a))) : atan_kernel(a);
        if (inverted) result = (kHalfPi - result) + kHalfPiLow;
    }
    return std::signbit(x) ? -result : result;
}

double atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) return x + y;
    if (y == 0.0) return std::signbit(x) ? std::copysign(kPi, y) : y;
    if (x == 0.0) return std::copysign(kHalfPi, y);
    if (std::isinf(x)) {
        if (std::isinf(y)) return std::copysign(x > 0 ? kQuarterPi : 3.0 * kQuarterPi, y);
        return x > 0 ? std::copysign(0.0, y) : std::copysign(kPi, y);
    }
    if (std::isinf(y)) return std::copysign(kHalfPi, y);
    if (std::fabs(y) > std::fabs(x)) return std::copysign(kHalfPi, y) - atan(x / y);
    const double a = atan(y / x);
    if (x > 0) return a;
    return y > 0 ? a + kPi : a - kPi;
}

double exp(double x) {
    if (std::isnan(x)) return x;
    if (x > 709.782712893384) return kInf;  // beyond the largest double
    if (x < -745.1332191019412) return 0.0;  // below the smallest
    // x = k ln 2 + r, |r| <= ln 2 / 2, and e^r by its Taylor series (the
    // first term left out below 1e-18).
    const double k = std::nearbyint(x * kInvLn2);
    const double r = (x - k * kLn2High) - k * kLn2Low;
    double p = kSeries.exp[14];
    for (int n = 13; n >= 0; --n) p = p * r + kSeries.exp[n];
    return std::ldexp(p, static_cast<int>(k));
}

double log(double x) {
    if (std::isnan(x) || x == kInf) return x;
    if (x < 0.0) return kNaN;
    if (x == 0.0) return -kInf;
    // x = m 2^e with sqrt(1/2) <= m < sqrt(2); log m = 2 atanh s with
    // s = (m - 1)/(m + 1), |s| < 0.172, by its series.
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < kSqrtHalf) {
        m *= 2.0;
        --e;
    }
    const double f = m - 1.0;  // exact
    const double s = f / (2.0 + f);
    const double z = s * s;
    double p = 0.0;
    for (int k = 13; k >= 1; --k) p = p * z + kSeries.log[k];
    const double log_m = f - s * (f - 2.0 * z * p);  // 2s(1 + z p), written so that f carries the leading bits
    const double de = static_cast<double>(e);
    return de * kLn2High + (log_m + de * kLn2Low);
}

double pow(double x, double y) {
    if (y == 0.0 || x == 1.0) return 1.0;
    if (std::isnan(x) || std::isnan(y)) return x + y;
    if (std::isinf(y)) {
        const double a = std::fabs(x);
        if (a == 1.0) return 1.0;
        return (a > 1.0) == (y > 0) ? kInf : 0.0;
    }
    if (x == 0.0) {
        const bool odd = is_odd_whole(y);
        if (y > 0) return odd ? x : 0.0;
        return odd ? std::copysign(kInf, x) : kInf;
    }
    if (x < 0.0) {
        if (!is_whole(y)) return kNaN;
        const double r = pow(-x, y);
        return is_odd_whole(y) ? -r : r;
    }
    if (std::isinf(x)) return y > 0 ? kInf : 0.0;
    if (is_whole(y) && std::fabs(y) <= 1024.0) return whole_power(x, y);
    // The error of log x is multiplied by y here: within about 2 |y log x| + 2
    // units in the last place.
    return exp(y * log(x));
}

double hypot(double x, double y) {
    if (std::isinf(x) || std::isinf(y)) return kInf;
    if (std::isnan(x) || std::isnan(y)) return x + y;
    double a = std::fabs(x), b = std::fabs(y);
    if (a < b) std::swap(a, b);
    if (a == 0.0) return 0.0;
    const double r = b / a;
    return a * std::sqrt(1.0 + r * r);
}

}  // namespace jmach::portable

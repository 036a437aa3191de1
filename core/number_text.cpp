#include "core/number_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>

// Decimal texts are written by {fmt} and read by fast_float, the same code
// on every platform, so that the desktop and the browser show the same
// digits (the browser's C++ library converts no floating-point numbers).
#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include "core/utf8.h"

namespace jmach {

namespace {

// The nearest double to the decimal number text[0, size): no sign, at least
// one digit. A value beyond the double range may come back as an
// out-of-range error rather than as infinity or zero.
fast_float::from_chars_result read_decimal(const char* text, std::size_t size, double& value) {
    return fast_float::from_chars(text, text + size, value, fast_float::chars_format::general);
}

// Integers from 2^53 (2^24 in single precision) up are written out digit
// for digit.
constexpr double exact_integers(double) { return 9007199254740992.0; }
constexpr double exact_integers(float) { return 16777216.0; }

// The shortest significant digits that read back as a finite, non-zero v
// (no leading or trailing zeros) and how many of them stand before the
// point: 0.015 is {"15", -1}, 1500 is {"15", 4}.
struct ShortestDigits {
    std::string digits;
    long long before_point = 0;
};

// In the precision of T: a float's shortest digits are those that read
// back as the same float.
template <typename T>
ShortestDigits shortest_digits(T v) {
    std::string shortest = fmt::format("{}", std::fabs(v));
    int exponent = 0;
    if (const std::size_t e = shortest.find('e'); e != std::string::npos) {
        exponent = std::stoi(shortest.substr(e + 1));
        shortest.resize(e);
    }
    const std::size_t point = shortest.find('.');
    ShortestDigits d{shortest, static_cast<long long>(point == std::string::npos ? shortest.size() : point) + exponent};
    if (point != std::string::npos) d.digits.erase(point, 1);
    const std::size_t zeros = std::min(d.digits.find_first_not_of('0'), d.digits.size() - 1);
    d.digits.erase(0, zeros);
    d.before_point -= static_cast<long long>(zeros);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    return d;
}

}  // namespace

double round_half_even(double v, int decimals) {
    if (!std::isfinite(v)) return v;
    // Fixed-point text with `decimals` places is the correctly rounded
    // decimal of the exact binary value, exact ties going to even; reading
    // it back gives the nearest double.
    const std::string fixed = fmt::format("{:.{}f}", std::fabs(v), decimals);
    double r = 0;
    if (read_decimal(fixed.data(), fixed.size(), r).ec != std::errc{}) return v;
    if (r == 0) return 0.0;  // a rounded negative zero is plain zero
    return std::signbit(v) ? -r : r;
}

namespace {

// Finite, non-zero v with its shortest digits d as plain decimal text;
// the large integers written out digit for digit.
template <typename T>
std::string plain_text(T v, const ShortestDigits& d) {
    if (std::fabs(v) >= exact_integers(v)) return fmt::format("{:.0f}", static_cast<double>(v));
    const long long count = static_cast<long long>(d.digits.size());
    std::string out = std::signbit(v) ? "-" : "";
    if (d.before_point <= 0)
        out += "0." + std::string(static_cast<std::size_t>(-d.before_point), '0') + d.digits;
    else if (d.before_point >= count)
        out += d.digits + std::string(static_cast<std::size_t>(d.before_point - count), '0');
    else
        out += d.digits.substr(0, static_cast<std::size_t>(d.before_point)) + "." +
               d.digits.substr(static_cast<std::size_t>(d.before_point));
    return out;
}

}  // namespace

std::string number_text(double v) {
    if (!std::isfinite(v)) return {};
    if (v == 0) return "0";
    return plain_text(v, shortest_digits(v));
}

namespace {

template <typename T>
std::string shortest_in(T v) {
    if (!std::isfinite(v)) return {};
    if (v == 0) return std::signbit(v) ? "-0" : "0";
    const ShortestDigits d = shortest_digits(v);
    const std::string plain = plain_text(v, d);
    // The same digits as d.ddde+XX, taken when strictly shorter.
    const long long exponent = d.before_point - 1;
    std::string out = std::signbit(v) ? "-" : "";
    out += d.digits.substr(0, 1);
    if (d.digits.size() > 1) {
        out += '.';
        out.append(d.digits, 1);
    }
    out += fmt::format("e{}{:02d}", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return out.size() < plain.size() ? out : plain;
}

}  // namespace

std::string shortest_text(double v) { return shortest_in(v); }
std::string shortest_text(float v) { return shortest_in(v); }

std::optional<double> read_number_text(std::string_view text) {
    const std::size_t length = leading_number_length(text);
    if (length == 0 || length != text.size() || text[0] == '+') return std::nullopt;
    const bool minus = text[0] == '-';
    double value = 0;
    const auto read = read_decimal(text.data() + minus, text.size() - minus, value);
    if (read.ec != std::errc{} || read.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
    if (value == 0 && mantissa.find_first_of("123456789") != std::string_view::npos) return std::nullopt;
    return minus ? -value : value;
}

std::string rounded_text(double v, int decimals) {
    return number_text(round_half_even(v, decimals));
}

std::size_t leading_number_length(std::string_view text) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t n = text.size();
    std::size_t i = 0;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && digit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && digit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && digit(text[j])) {
            while (j < n && digit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

double parse_leading_number(std::string_view text) {
    const auto blank = is_blank;
    std::size_t i = 0;
    while (i < text.size() && blank(text[i])) ++i;
    const std::size_t length = leading_number_length(text.substr(i));
    if (length == 0) return 0;
    const std::size_t end = i + length;
    const bool negative = text[i] == '-';
    const std::size_t mantissa = (text[i] == '+' || text[i] == '-') ? i + 1 : i;
    double value = 0;
    const std::errc ec = read_decimal(text.data() + mantissa, end - mantissa, value).ec;
    if (ec == std::errc::result_out_of_range) {
        // The reader may leave the value alone here: tell overflow from
        // underflow by the decimal exponent of the first significant digit.
        // A number too small for a double reads as zero.
        long long exp10 = 0;
        bool seen_point = false, found = false;
        long long int_digits = 0, frac_zeros = 0;
        std::size_t k = mantissa;
        for (; k < end && text[k] != 'e' && text[k] != 'E'; ++k) {
            if (text[k] == '.') { seen_point = true; continue; }
            if (!found && text[k] == '0') { if (seen_point) ++frac_zeros; continue; }
            found = true;
            if (!seen_point) ++int_digits;
        }
        exp10 = int_digits > 0 ? int_digits - 1 : -(frac_zeros + 1);
        if (k < end) {
            ++k;
            bool eneg = false;
            if (text[k] == '+' || text[k] == '-') eneg = text[k++] == '-';
            long long e = 0;
            for (; k < end; ++k) e = std::min<long long>(e * 10 + (text[k] - '0'), 1000000000LL);
            exp10 += eneg ? -e : e;
        }
        value = exp10 > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::optional<double> mach_from_text(std::string_view mach_text) {
    const double m = parse_leading_number(mach_text);
    // sqrt(1 - M^2) must be a real, non-zero divisor.
    if (!std::isfinite(m) || !(std::fabs(m) < 1.0)) return std::nullopt;
    return m;
}

std::string mach_text_note(std::string_view mach_text) {
    std::size_t start = 0;
    while (start < mach_text.size() && is_blank(mach_text[start])) ++start;
    const std::size_t length = leading_number_length(mach_text.substr(start));
    std::string_view rest = mach_text.substr(start + length);
    while (!rest.empty() && is_blank(rest.front())) rest.remove_prefix(1);
    while (!rest.empty() && is_blank(rest.back())) rest.remove_suffix(1);
    if (rest.empty()) return {};
    constexpr const char* kPoint = " The decimal point is \".\".";
    if (length == 0) return std::string("Read as 0: the text does not start with a number.") + kPoint;
    // The value as read, in its shortest form ("0.5", "1e-320").
    const double value = parse_leading_number(mach_text);
    const std::string read = std::isfinite(value) ? shortest_text(value) : value < 0 ? "-inf" : "inf";
    return "Read as " + read + ": \"" + utf8_excerpt(rest, 20) + "\" after the number is ignored." + kPoint;
}

MachBoxLook mach_box_look(std::string_view mach_text) {
    MachBoxLook look{mach_from_text(mach_text), kMachErrorTip, false};
    if (look.mach) {
        look.tip = mach_text_note(mach_text);
        look.noted = !look.tip.empty();
    }
    return look;
}

}  // namespace jmach

#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "core/utf8.h"

namespace jmach {

double round_half_even(double v, int decimals) {
    if (!std::isfinite(v)) return v;
    // Fixed-point text with `decimals` places is the correctly rounded
    // decimal of the exact binary value, exact ties going to even; reading
    // it back gives the nearest double.
    std::array<char, 400> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v,
                                   std::chars_format::fixed, decimals);
    if (ec != std::errc{}) return v;
    double r = 0;
    std::from_chars(buf.data(), end, r);
    return r == 0 ? 0.0 : r;  // a rounded negative zero is plain zero
}

std::string number_text(double v) {
    if (!std::isfinite(v)) return {};
    if (v == 0) return "0";
    std::array<char, 400> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v,
                                   std::chars_format::fixed);
    if (ec != std::errc{}) return {};
    return std::string(buf.data(), end);
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
    auto [ptr, ec] = std::from_chars(text.data() + mantissa, text.data() + end, value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here: tell overflow from
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
    std::array<char, 64> buf{};
    const auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    const std::string read = ec == std::errc{} ? std::string(buf.data(), end) : std::string("?");
    return "Read as " + read + ": \"" + utf8_excerpt(rest, 20) + "\" after the number is ignored." + kPoint;
}

}  // namespace jmach

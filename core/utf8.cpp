#include "core/utf8.h"

namespace jmach {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// How many bytes at text[i] form the longest start of a well-formed
// sequence, and whether that start is the whole sequence.
struct Prefix {
    std::size_t length;
    bool complete;
};

Prefix well_formed_prefix(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return {1, true};
    std::size_t need = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        need = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 3;
        if (c == 0xE0) lo = 0xA0;  // no overlong forms
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        return {0, false};  // a byte that never starts a sequence
    }
    std::size_t n = 1;
    for (; n < need && i + n < text.size(); ++n) {
        const unsigned char b = byte(i + n);
        if (n == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) break;
    }
    return {n, n == need};
}

}  // namespace

std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const Prefix p = well_formed_prefix(text, i);
        if (p.complete) {
            out.append(text.substr(i, p.length));
        } else {
            out.append(kReplacement);
        }
        i += p.length > 0 ? p.length : 1;
    }
    return out;
}

std::string utf8_excerpt(std::string_view text, std::size_t max_chars) {
    const std::string valid = valid_utf8(text);
    std::size_t chars = 0, end = 0;
    while (end < valid.size() && chars < max_chars) {
        ++end;
        while (end < valid.size() && (static_cast<unsigned char>(valid[end]) & 0xC0) == 0x80) ++end;
        ++chars;
    }
    if (end == valid.size()) return valid;
    return valid.substr(0, end) + "...";
}

std::size_t utf8_length(std::string_view text) {
    std::size_t chars = 0;
    for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars;
}

}  // namespace jmach

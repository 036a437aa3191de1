#pragma once
// Text that goes out to a person or a JSON reader as well-formed UTF-8,
// whatever bytes it came from.

#include <cstddef>
#include <string>
#include <string_view>

namespace jmach {

// `text` with every ill-formed UTF-8 sequence replaced by U+FFFD, one for
// each maximal part of a sequence that could have begun well (as browsers
// decode). Overlong forms, surrogates and code points above U+10FFFF are
// ill-formed. Well-formed text comes back unchanged.
std::string valid_utf8(std::string_view text);

// The first `max_chars` characters of `text` (made well-formed first), with
// "..." added when anything was cut.
std::string utf8_excerpt(std::string_view text, std::size_t max_chars);

// The number of characters of well-formed UTF-8 `text` (its bytes that
// start a character).
std::size_t utf8_length(std::string_view text);

}  // namespace jmach

#pragma once
// Numbers as the value boxes show them, and the Mach box text read back.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace jmach {

// v rounded to `decimals` places; an exact tie goes to the even digit.
// The exact binary value of v is rounded, so 0.00015 (stored just below
// the tie) rounds down.
double round_half_even(double v, int decimals);

// Shortest decimal text that reads back as v, with a point, never in
// exponent form and never "-0" (0.12, -4, 0.00001). Non-finite values have
// no text: the result is empty.
std::string number_text(double v);

// Shortest text that reads back as v, as the standard library's plain
// to_chars writes it: plain digits, or d.ddde+XX where that is strictly
// shorter ("0.1", "-4", "1e-05", "1e+22", "-0"). Empty for a value that is
// not finite.
std::string shortest_text(double v);
// The same for a single-precision value: the shortest text that reads back
// as the same float.
std::string shortest_text(float v);

// number_text(round_half_even(v, decimals)).
std::string rounded_text(double v, int decimals);

// Length of the decimal number at the very start of `text` (no blanks
// skipped): optional sign, digits with an optional point (at least one
// digit), optional exponent with at least one digit. 0 when none.
std::size_t leading_number_length(std::string_view text);

// The number a text holds from its first character to its last: optional
// "-", digits with an optional point (at least one digit), optional
// exponent. Empty for anything else (a "+", a blank, "inf", hexadecimal),
// for a value beyond the doubles and for one that underflows to zero from
// non-zero digits.
std::optional<double> read_number_text(std::string_view text);

// The leading decimal number of a text: leading blanks skipped, optional
// sign, digits with "." as the decimal point, optional exponent. A text
// without a leading number reads as 0. A number too large for a double
// reads as +-infinity, so callers must check the result is finite.
double parse_leading_number(std::string_view text);

// The free-stream Mach number read from the Mach box text. Empty when the
// text reads as a value the compressibility correction cannot use: not
// finite, or 1 or more in magnitude. Text without a leading number is 0.
std::optional<double> mach_from_text(std::string_view mach_text);

// What the Mach box notes about its text when the text holds more than the
// leading number that mach_from_text reads (blanks around the number do not
// count): what was read, what was ignored, and that the decimal point is
// ".". Empty when there is nothing to note: the number alone, or a blank
// text. Well-formed UTF-8 and short, whatever the text.
std::string mach_text_note(std::string_view mach_text);

// The Mach box's tooltip while its text cannot be used.
inline constexpr const char* kMachErrorTip = "Mach number must be between 0 and 1";

// How the Mach box shows its text: the number it gives (empty while it
// cannot be used: red text with kMachErrorTip as the tooltip), and whether
// a usable text holds more than that number (a coloured background with
// mach_text_note as the tooltip).
struct MachBoxLook {
    std::optional<double> mach;
    std::string tip;
    bool noted = false;
};
MachBoxLook mach_box_look(std::string_view mach_text);

}  // namespace jmach

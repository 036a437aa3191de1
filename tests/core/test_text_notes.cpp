// Texts that go out to the user or a JSON reader: well-formed UTF-8 from
// any bytes, short excerpts, and the Mach box's note on a text that holds
// more than its leading number.

#include <gtest/gtest.h>

#include "core/number_text.h"
#include "core/utf8.h"

namespace jmach {
namespace {

using namespace std::string_literals;

TEST(TextNotes, IllFormedUtf8BecomesReplacementCharacters) {
    const std::string R = "\xEF\xBF\xBD";  // U+FFFD
    const std::pair<std::string, std::string> cases[] = {
        {"plain ascii", "plain ascii"},
        {"\xC3\xA7\xC4\xB1 \xE2\x82\xAC \xF0\x9F\x98\x80", "\xC3\xA7\xC4\xB1 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"a\xFF" "b", "a" + R + "b"},
        {"\xC0\xAF", R + R},                 // overlong '/'
        {"\xE0\x80\xAF", R + R + R},         // overlong, three bytes
        {"\xED\xA0\x80", R + R + R},         // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R}, // above U+10FFFF
        {"\xE2\x82", R},                     // cut short at the end: one for the whole start
        {"\xE2\x82x", R + "x"},
        {"\xF0\x9F\x98", R},
        {"\x80\x80", R + R},                 // stray continuation bytes
        {"nul\0byte"s, "nul\0byte"s},        // well-formed, if unusual
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(valid_utf8(in), out) << in;

    EXPECT_EQ(utf8_excerpt("short", 80), "short");
    EXPECT_EQ(utf8_excerpt(std::string(81, 'x'), 80), std::string(80, 'x') + "...");
    EXPECT_EQ(utf8_excerpt("\xC3\xA7\xC3\xA7\xC3\xA7", 2), "\xC3\xA7\xC3\xA7...");  // never cuts a character
    EXPECT_EQ(utf8_excerpt("\xFF\xFF", 1), R + "...");
}

TEST(TextNotes, TheMachNoteSaysWhatWasReadWhenTheTextHoldsMore) {
    const std::string point = " The decimal point is \".\".";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"  \t", ""}, {"0.5", ""}, {" -0.25 ", ""}, {"1e-3", ""}, {"2", ""},  // nothing more
        {"0,7", "Read as 0: \",7\" after the number is ignored." + point},
        {"0.5x", "Read as 0.5: \"x\" after the number is ignored." + point},
        {"0.5 x ", "Read as 0.5: \"x\" after the number is ignored." + point},
        {"1e-320z", "Read as 1e-320: \"z\" after the number is ignored." + point},
        {"1.5x", "Read as 1.5: \"x\" after the number is ignored." + point},  // unusable too: the box shows the error
        {"abc", "Read as 0: the text does not start with a number." + point},
        {"\xEF\xBC\x90.\xEF\xBC\x97", "Read as 0: the text does not start with a number." + point},
        {"0.3\xFF", "Read as 0.3: \"\xEF\xBF\xBD\" after the number is ignored." + point},
        {"0.3" + std::string(100000, 'q'), "Read as 0.3: \"" + std::string(20, 'q') + "...\" after the number is ignored." + point},
    };
    for (const auto& [text, note] : cases) {
        EXPECT_EQ(mach_text_note(text), note) << text.substr(0, 40);
        EXPECT_EQ(valid_utf8(mach_text_note(text)), mach_text_note(text));
    }
}

}  // namespace
}  // namespace jmach

// jmach-script's line handling without the window: the same lines however
// the bytes arrive, every line end, a byte-order mark, ill-formed UTF-8, the
// bound on a line, and every seed of the script fuzzer.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/script_contract.h"

namespace jmach {
namespace {

using namespace std::string_literals;
const std::string R = "\xEF\xBF\xBD";  // U+FFFD

TEST(ScriptLines, EveryLineEndAByteOrderMarkAndBrokenUtf8HoweverTheBytesArrive) {
    using L = std::vector<std::string>;
    const std::pair<std::string, L> cases[] = {
        {"", {}},
        {"a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
        {"\n\r\r\n\r", {"", "", "", ""}},
        {"\xEF\xBB\xBFthickness 5\r\n", {"thickness 5"}},
        {"\xEF\xBB", {R}},
        {"a\n\xEF\xBB\xBF" "b", {"a", "\xEF\xBB\xBF" "b"}},  // a mark later on is a character
        {"type-mach 0.5\xFF\xC0\xAF\xE2\x82\n", {"type-mach 0.5" + R + R + R + R}},
        {"nul \0 byte"s, {"nul \0 byte"s}}};
    for (const auto& [bytes, expected] : cases)
        for (const std::size_t piece : {1, 2, 3, 1 << 20}) {
            ScriptLineReader::Status last{};
            EXPECT_EQ(script_contract::lines_of(bytes, piece, last), expected) << bytes << ", pieces of " << piece;
            EXPECT_EQ(last, ScriptLineReader::Status::end);
        }
    ScriptLineReader::Status last{};
    EXPECT_EQ(script_contract::lines_of(std::string(kMaxScriptLine, 'x') + "\n" + std::string(kMaxScriptLine + 1, 'y'), 4096, last).size(), 2);
    EXPECT_EQ(last, ScriptLineReader::Status::too_long);
}

// Every seed of the script fuzzer, and every input it once failed on, keeps
// the line handling's promises whichever way its bytes arrive.
TEST(ScriptLines, EveryFuzzSeedKeepsThePromises) {
    int seeds = 0;
    for (const char* folder : {"fuzz_corpus_script", "fuzz_regressions_script"}) {
        const std::filesystem::path dir = std::filesystem::path(JMACH_SOURCE_DIR) / "tests" / folder;
        if (!std::filesystem::is_directory(dir)) continue;  // no reproducers kept yet
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes(std::istreambuf_iterator<char>(in), {});
            for (const std::size_t piece : {1, 7, 64, 1 << 20})
                EXPECT_EQ(script_contract::check(bytes, piece), "") << entry.path().filename();
            ++seeds;
        }
    }
    EXPECT_GE(seeds, 10);
}

}  // namespace
}  // namespace jmach

// The companion tool's line handling without the window: lines split at
// LF, CRLF and CR however the bytes arrive, a byte-order mark skipped,
// ill-formed UTF-8 made well-formed, a bound on a line, the parse of each
// action with short quotes of a bad line, and write errors caught.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <variant>

#include "fuzz/script_contract.h"
#include "script/script_io.h"
#include "script/script_parse.h"

namespace jmach {
namespace {

using namespace std::string_literals;
const std::string R = "\xEF\xBF\xBD";  // U+FFFD

// A source giving `bytes` in pieces of `piece` bytes, then failing with
// `error` (0: a clean end).
ScriptSource pieces(std::string bytes, std::size_t piece, int error = 0) {
    return [bytes, piece, error, at = std::size_t{0}](char* buf, std::size_t size) mutable -> std::ptrdiff_t {
        if (at == bytes.size()) {
            if (error == 0) return 0;
            errno = error;
            return -1;
        }
        const std::size_t n = std::min({piece, size, bytes.size() - at});
        std::memcpy(buf, bytes.data() + at, n);
        at += n;
        return static_cast<std::ptrdiff_t>(n);
    };
}

std::vector<std::string> all_lines(ScriptLineReader& reader, ScriptLineReader::Status& last) {
    std::vector<std::string> lines;
    std::string line;
    while ((last = reader.next(line)) == ScriptLineReader::Status::line) lines.push_back(line);
    return lines;
}

TEST(ScriptLines, EveryLineEndAByteOrderMarkAndBrokenUtf8HoweverTheBytesArrive) {
    using L = std::vector<std::string>;
    const std::pair<std::string, L> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
        {"\r\n\r\n\r\r\n", {"", "", "", ""}},
        {"\n\r", {"", ""}},
        {"\xEF\xBB\xBFthickness 5\r\n", {"thickness 5"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB", {R}},
        {"\xEF\xBBx\n", {R + "x"}},
        {"a\n\xEF\xBB\xBF" "b", {"a", "\xEF\xBB\xBF" "b"}},  // a mark later on is a character of the line
        {"type-mach 0.5\xFF\xFE\n", {"type-mach 0.5" + R + R}},
        {"nul \0 byte"s, {"nul \0 byte"s}},
    };
    for (const auto& [bytes, expected] : cases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{1} << 20}) {
            SCOPED_TRACE("\"" + bytes + "\" in pieces of " + std::to_string(piece));
            ScriptLineReader reader(pieces(bytes, piece));
            ScriptLineReader::Status last{};
            EXPECT_EQ(all_lines(reader, last), expected);
            EXPECT_EQ(last, ScriptLineReader::Status::end);
            EXPECT_EQ(reader.line_number(), static_cast<long long>(expected.size()));
        }
    }
}

TEST(ScriptLines, ALineBeyondTheBoundAndAReadErrorStopTheScript) {
    std::string line;
    ScriptLineReader exact(pieces(std::string(kMaxScriptLine, 'x') + "\nnext", 4096));
    EXPECT_EQ(exact.next(line), ScriptLineReader::Status::line);
    EXPECT_EQ(line.size(), kMaxScriptLine);
    EXPECT_EQ(exact.next(line), ScriptLineReader::Status::line);
    EXPECT_EQ(line, "next");

    ScriptLineReader longer(pieces("ok\n" + std::string(kMaxScriptLine + 1, 'y'), 4096));
    EXPECT_EQ(longer.next(line), ScriptLineReader::Status::line);
    EXPECT_EQ(longer.next(line), ScriptLineReader::Status::too_long);
    EXPECT_EQ(longer.line_number(), 2);

    ScriptLineReader failing(pieces("a\nb", 1, EIO));
    ScriptLineReader::Status last{};
    EXPECT_EQ(all_lines(failing, last), std::vector<std::string>{"a"});
    EXPECT_EQ(last, ScriptLineReader::Status::read_error);
    EXPECT_EQ(failing.read_errno(), EIO);
}

TEST(ScriptParse, ActionsAndTheMessagesOfBadLines) {
    const InputRanges ranges = {{{0, 30}, {0, 15}, {11, 101}, {-10, 10}, {0, 100}, {0, 90}}};
    using K = ScriptAction::Kind;
    struct Case {
        std::string line;
        K kind;
        int index, value;
        std::string text;  // type-mach / snapshot text, or the message of a bad line
    };
    const std::string x81(81, 'x');
    const Case cases[] = {
        {"", K::skip, 0, 0, ""},
        {"  # a comment", K::skip, 0, 0, ""},
        {"\tthickness 12 \r", K::set_input, 0, 12, ""},
        {"alpha -10", K::set_input, 3, -10, ""},
        {"mach\t90", K::set_input, 5, 90, ""},
        {"type-mach  0,7 ", K::type_mach, 0, 0, " 0,7"},
        {"type-mach", K::type_mach, 0, 0, ""},
        {"click Picture_CM", K::click, 4, 0, ""},
        {"about", K::about, 0, 0, ""},
        {"snapshot  out put.png ", K::snapshot, 0, 0, "out put.png"},
        {"np 102", K::skip, 0, 0, "np 102 is outside 11..101"},
        {"np 12.5", K::skip, 0, 0, "np needs a whole number, not \"12.5\""},
        {"np", K::skip, 0, 0, "np needs a whole number, not \"\""},
        {"np 99999999999", K::skip, 0, 0, "np needs a whole number, not \"99999999999\""},
        {"click Mcrit2", K::skip, 0, 0, "click needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, not \"Mcrit2\""},
        {"about now", K::skip, 0, 0, "about takes nothing after it"},
        {"snapshot ", K::skip, 0, 0, "snapshot needs a file name"},
        {"Thickness 5", K::skip, 0, 0, "unknown action \"Thickness\""},
        {x81 + " 1", K::skip, 0, 0, "unknown action \"" + std::string(80, 'x') + "...\""},
        {"np " + x81, K::skip, 0, 0, "np needs a whole number, not \"" + std::string(80, 'x') + "...\""},
        {"\x1b[31mred", K::skip, 0, 0, "unknown action \"\\x1B[31mred\""},  // no escape sequence reaches a terminal
        {"\xFFx", K::skip, 0, 0, "unknown action \"" + R + "x\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = parse_script_line(c.line, ranges);
        if (const auto* message = std::get_if<std::string>(&parsed)) {
            EXPECT_EQ(*message, c.text);
            continue;
        }
        const ScriptAction& a = std::get<ScriptAction>(parsed);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.kind == K::set_input ? a.input : a.kind == K::click ? a.chart : 0, c.index);
        EXPECT_EQ(a.value, c.value);
        EXPECT_EQ(a.text, c.text);
    }
}

TEST(ScriptOutput, JsonStringsAreValidAndWriteErrorsAreCaught) {
    EXPECT_EQ(json_string("a\"b\\c\n\r\t\x01\x7F"), "\"a\\\"b\\\\c\\n\\r\\t\\u0001\x7F\"");
    EXPECT_EQ(json_string("0.5\xFF\xC3\xA7"), "\"0.5" + R + "\xC3\xA7\"");
    EXPECT_EQ(json_string("nul\0"s), "\"nul\\u0000\"");

    const int full = ::open("/dev/full", O_WRONLY);
    if (full >= 0) {
        LineWriter out(full);
        EXPECT_FALSE(out.write_line("{}"));
        EXPECT_EQ(out.error(), std::string("cannot write standard output (") + std::strerror(ENOSPC) + ")");
        EXPECT_FALSE(out.write_line("{}"));  // and it stays failed
        ::close(full);
    }
    int pipe_fds[2];
    ASSERT_EQ(::pipe(pipe_fds), 0);
    LineWriter good(pipe_fds[1]), closed(pipe_fds[1], true);
    EXPECT_TRUE(good.write_line("{\"a\":1}"));
    char got[16] = {};
    EXPECT_EQ(::read(pipe_fds[0], got, sizeof got), 8);
    EXPECT_STREQ(got, "{\"a\":1}\n");
    EXPECT_FALSE(closed.write_line("{}"));
    EXPECT_NE(closed.error().find(std::strerror(EBADF)), std::string::npos);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
}

// Every seed of the script fuzzer, and every input it once failed on,
// keeps the line handling's promises whichever way its bytes arrive.
TEST(ScriptLines, EveryFuzzSeedKeepsThePromises) {
    int seeds = 0;
    for (const char* folder : {"fuzz_corpus_script", "fuzz_regressions_script"}) {
        const std::filesystem::path dir = std::filesystem::path(JMACH_SOURCE_DIR) / "tests" / folder;
        if (!std::filesystem::is_directory(dir)) continue;  // no reproducers kept yet
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            SCOPED_TRACE(entry.path().filename().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes(std::istreambuf_iterator<char>(in), {});
            for (const std::size_t piece : {1, 2, 3, 7, 64, 1 << 20}) EXPECT_EQ(script_contract::check(bytes, piece), "");
            ++seeds;
        }
    }
    EXPECT_GE(seeds, 10);
}

}  // namespace
}  // namespace jmach

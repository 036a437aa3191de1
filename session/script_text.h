#pragma once
// The texts of the script language, without any platform: script lines
// split from a stream of bytes, the JSON strings of the report lines, and
// short quotes of a bad line, always well-formed UTF-8.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jmach {

// Longest script line, in bytes; no action needs more than a fraction.
inline constexpr std::size_t kMaxScriptLine = std::size_t{1} << 20;
// Longest piece of a bad line that a message quotes, in characters.
inline constexpr std::size_t kMaxQuotedChars = 80;

// Where script bytes come from: fills `buf` with up to `size` bytes and
// returns how many; 0 at the end, -1 on a read error (errno tells which).
using ScriptSource = std::function<std::ptrdiff_t(char* buf, std::size_t size)>;

// A source reading the bytes of a text held in memory; the text must
// outlive the source.
ScriptSource text_source(std::string_view text);

// Splits a script into lines: a byte-order mark at the start is skipped;
// LF, CRLF and a lone CR each end a line; every ill-formed UTF-8 sequence
// becomes U+FFFD. Memory stays within kMaxScriptLine whatever the input.
class ScriptLineReader {
public:
    explicit ScriptLineReader(ScriptSource source) : source_(std::move(source)) {}

    enum class Status {
        line,        // `line` holds the next line, without its line end
        end,         // no more lines
        too_long,    // the next line is longer than kMaxScriptLine; `line` holds its start
        read_error,  // the source failed (read_errno() tells why)
    };
    Status next(std::string& line);

    // Number of the line last returned (1 for the first).
    long long line_number() const { return line_number_; }
    int read_errno() const { return read_errno_; }

private:
    int peek();  // the next byte, -1 at the end or on an error
    bool fill(std::size_t want);

    ScriptSource source_;
    std::vector<char> chunk_;  // what one read brings
    std::string buffer_;
    std::size_t pos_ = 0;
    bool started_ = false;
    bool at_end_ = false;
    bool after_cr_ = false;
    int read_errno_ = 0;
    long long line_number_ = 0;
};

// The JSON text of one string, quotes included, ill-formed UTF-8 written as
// U+FFFD: always a valid JSON string.
std::string json_string(std::string_view text);

// A piece of a bad line as a message quotes it: at most kMaxQuotedChars
// characters ("..." added when cut), well-formed UTF-8, control characters
// written as \xHH, so that it prints safely on a terminal.
std::string quote_excerpt(std::string_view text);

}  // namespace jmach

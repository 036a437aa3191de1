#pragma once
// The companion tool's streams, without Qt: script lines read from a file
// descriptor, JSON lines written to standard output with every write error
// caught, and the standard descriptors guarded at start. Also the texts the
// tool echoes: JSON strings and short quotes of a bad line, always
// well-formed UTF-8.

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

// A source reading the file descriptor `fd` as the bytes come (a pipe or a
// terminal gives each line as soon as it is there).
ScriptSource fd_source(int fd);

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

// Opens a script file for reading. The descriptor, or -1 with the message
// why not in `error` (missing, unreadable, a directory).
int open_script(const char* path, std::string& error);

// Writes whole lines to a descriptor. After the first failed write every
// later write fails too and error() says why.
class LineWriter {
public:
    // `closed` when the descriptor was found closed at start (and /dev/null
    // put in its place): every write then fails as it would have.
    explicit LineWriter(int fd, bool closed = false);
    bool write_line(std::string_view line);  // the line and "\n"
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

private:
    int fd_;
    bool closed_at_start_ = false;
    std::string error_;
};

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so
// that no file opened later takes its place (and standard input then reads
// as empty). Returns the closed ones as bits: 1 standard input, 2 standard
// output, 4 standard error.
int guard_standard_descriptors();

// The JSON text of one string, quotes included, ill-formed UTF-8 written as
// U+FFFD: always a valid JSON string.
std::string json_string(std::string_view text);

// A piece of a bad line as a message quotes it: at most kMaxQuotedChars
// characters ("..." added when cut), well-formed UTF-8, control characters
// written as \xHH, so that it prints safely on a terminal.
std::string quote_excerpt(std::string_view text);

}  // namespace jmach

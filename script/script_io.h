#pragma once
// The companion tool's streams: script lines read from a file descriptor,
// JSON lines written to standard output with every write error caught, and
// the standard descriptors guarded at start.

#include <string>
#include <string_view>

#include "session/script_text.h"

namespace jmach {

// A source reading the file descriptor `fd` as the bytes come (a pipe or a
// terminal gives each line as soon as it is there).
ScriptSource fd_source(int fd);

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

}  // namespace jmach

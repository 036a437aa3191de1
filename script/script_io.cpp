#include "script/script_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/utf8.h"

namespace jmach {

ScriptSource fd_source(int fd) {
    return [fd](char* buf, std::size_t size) -> std::ptrdiff_t {
        for (;;) {
            const ssize_t got = ::read(fd, buf, size);
            if (got >= 0 || errno != EINTR) return got;
        }
    };
}

bool ScriptLineReader::fill(std::size_t want) {
    while (buffer_.size() - pos_ < want && !at_end_) {
        if (pos_ > 0) {  // keep only the unread bytes
            buffer_.erase(0, pos_);
            pos_ = 0;
        }
        chunk_.resize(65536);
        const std::ptrdiff_t got = source_(chunk_.data(), chunk_.size());
        if (got < 0) read_errno_ = errno ? errno : EIO;
        if (got <= 0) at_end_ = true;
        else buffer_.append(chunk_.data(), static_cast<std::size_t>(got));
    }
    return buffer_.size() - pos_ >= want;
}

int ScriptLineReader::peek() {
    if (pos_ == buffer_.size() && !fill(1)) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

ScriptLineReader::Status ScriptLineReader::next(std::string& line) {
    line.clear();
    if (!started_) {
        started_ = true;
        // A byte-order mark, as some editors write at the start of a text
        // file, is not part of the first line. Only a first byte 0xEF makes
        // the reader wait for two more.
        if (peek() == 0xEF && fill(3) && buffer_.compare(pos_, 3, "\xEF\xBB\xBF") == 0) pos_ += 3;
    }
    // A line feed right after a carriage return ends nothing: CRLF is one end.
    if (after_cr_ && peek() == '\n') ++pos_;
    after_cr_ = false;
    if (read_errno_ != 0) return Status::read_error;
    if (peek() < 0) return read_errno_ != 0 ? Status::read_error : Status::end;
    ++line_number_;
    std::string raw;
    for (int c = peek(); c >= 0 && c != '\n' && c != '\r'; c = peek()) {
        if (raw.size() == kMaxScriptLine) {
            line = valid_utf8(raw);
            return Status::too_long;
        }
        raw += static_cast<char>(c);
        ++pos_;
    }
    if (read_errno_ != 0) return Status::read_error;
    if (const int c = peek(); c >= 0) {
        ++pos_;
        after_cr_ = c == '\r';
    }
    line = valid_utf8(raw);
    return Status::line;
}

int open_script(const char* path, std::string& error) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + quote_excerpt(path) + " (" + std::strerror(errno) + ")";
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = quote_excerpt(path) + " is a directory, not a script";
        return -1;
    }
    return fd;
}

LineWriter::LineWriter(int fd, bool closed) : fd_(fd), closed_at_start_(closed) {}

bool LineWriter::write_line(std::string_view line) {
    if (failed()) return false;
    if (closed_at_start_) {
        error_ = std::string("cannot write standard output (") + std::strerror(EBADF) + ": it was closed)";
        return false;
    }
    std::string text(line);
    text += '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = std::string("cannot write standard output (") + std::strerror(n < 0 ? errno : EIO) + ")";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int guard_standard_descriptors() {
    int closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        closed |= 1 << fd;
        // The lowest free descriptor is this one: 0..fd-1 are open by now.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    return closed;
}

std::string json_string(std::string_view text) {
    const std::string valid = valid_utf8(text);
    std::string out = "\"";
    for (const char ch : valid) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    static const char* digits = "0123456789abcdef";
                    out += "\\u00";
                    out += digits[c >> 4];
                    out += digits[c & 0xF];
                } else {
                    out += ch;  // UTF-8 passes through
                }
        }
    }
    return out + "\"";
}

std::string quote_excerpt(std::string_view text) {
    const std::string excerpt = utf8_excerpt(text, kMaxQuotedChars);
    std::string out;
    for (const char ch : excerpt) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
            out += hex;
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace jmach

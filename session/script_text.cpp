#include "session/script_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/utf8.h"

namespace jmach {

ScriptSource text_source(std::string_view text) {
    return [text, at = std::size_t{0}](char* buf, std::size_t size) mutable -> std::ptrdiff_t {
        const std::size_t n = std::min(size, text.size() - at);
        std::memcpy(buf, text.data() + at, n);
        at += n;
        return static_cast<std::ptrdiff_t>(n);
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

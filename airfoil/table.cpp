#include "airfoil/table.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <system_error>

#include "core/number_text.h"

namespace jmach {

namespace {

// Longest piece of an offending item quoted in a message, and of a file or
// directory name.
constexpr std::size_t kMaxQuoted = 40;
constexpr std::size_t kMaxName = 1024;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_separator(char c) { return c == ',' || is_blank(c); }

// Bytes of a well-formed UTF-8 sequence starting at text[i], 0 if none.
std::size_t utf8_length(std::string_view text, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = b(i);
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > text.size()) return 0;
    if (b(i + 1) < lo || b(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < len; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
    return len;
}

// An item as a message shows it: at most kMaxQuoted bytes, control bytes and
// broken UTF-8 written as \xHH, so that any file content prints safely.
std::string printable(std::string_view item, std::size_t limit = kMaxQuoted) {
    std::string out;
    std::size_t i = 0;
    while (i < item.size() && i < limit) {
        const auto c = static_cast<unsigned char>(item[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += item[i++];
            continue;
        }
        if (const std::size_t len = c >= 0x80 ? utf8_length(item, i) : 0; len > 0) {
            out.append(item.substr(i, len));
            i += len;
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
        out += hex;
        ++i;
    }
    if (i < item.size()) out += "...";
    return out;
}

// A decimal number and nothing else: optional sign, digits with an optional
// point (at least one digit), optional exponent.
bool is_decimal_number(std::string_view t) { return !t.empty() && leading_number_length(t) == t.size(); }

// The spellings of infinity and not-a-number, so that they are reported as
// values that are not finite rather than as words.
bool is_non_finite_word(std::string_view t) {
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) t.remove_prefix(1);
    if (t.size() > 8) return false;
    std::string lower(t);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower == "inf" || lower == "infinity" || lower == "nan";
}


// Where the reader's bytes come from: fills `buf` with up to `size` bytes and
// returns how many; 0 at the end, -1 on a read error (errno tells which).
using ByteSource = std::function<std::ptrdiff_t(char* buf, std::size_t size)>;

// Reads the values of the table one after another from a byte source, a
// buffer at a time. Commas, blanks, tabs and line breaks separate values; a
// comma closes the value before it, so two commas with only blanks between
// them leave an empty field. Reading stops at a byte budget: the table part
// may take kTableMaxBytes, the look past its last row kTableLookahead.
class ValueReader {
public:
    ValueReader(ByteSource source, std::string_view file_name) : source_(std::move(source)), file_(file_name) {
        // A byte-order mark, as some editors write at the start of a text
        // file, is not part of the first value.
        if (fill(3) >= 3 && std::string_view(buf_.data() + pos_, 3) == "\xEF\xBB\xBF") pos_ += 3, consumed_ += 3;
    }

    enum class Status { value, end, error };

    // The next value into `v`; at the end of the text `end`; on a bad item
    // `error` with the message in error().
    Status next(double& v) {
        skip_blanks();
        if (const int c = peek(); c < 0) return stopped() ? fail_stopped() : Status::end;
        item_line_ = line_;
        if (peek() == ',') return fail("an empty field (a comma with no value before it)");
        if (peek() == '"') return fail("quoted text " + quoted_item() + " is not a number");
        item_.clear();
        bool cut = false;
        // An item longer than any value is refused without reading it all.
        for (int c = peek(); c >= 0 && !is_separator(static_cast<char>(c)); c = peek()) {
            if (item_.size() == kTableMaxValueChars) {
                cut = true;
                break;
            }
            item_ += static_cast<char>(c);
            advance();
        }
        if (stopped()) return fail_stopped();
        const std::string_view item = item_;
        if (is_non_finite_word(item)) return fail("'" + printable(item) + "' is not a finite number");
        if (cut && is_decimal_number(item))
            return fail("'" + printable(item) + "' is too long for a value (more than " +
                        std::to_string(kTableMaxValueChars) + " characters)");
        if (cut || !is_decimal_number(item)) return fail("'" + printable(item) + "' is not a number");
        v = parse_leading_number(item);  // locale-independent; too large reads as infinity
        if (!std::isfinite(v))
            return fail("'" + printable(item) + "' is not a finite number (too large for a double)");
        // The separator after the value: blanks, at most one comma.
        skip_blanks();
        if (peek() == ',') advance();
        return Status::value;
    }

    // After the last row: looks at most kTableLookahead bytes further for a
    // value. Returns its start as a message shows it, or empty when the
    // file holds nothing but separators there.
    std::string look_past_end() {
        limit_ = consumed_ + kTableLookahead;
        for (int c = peek(); c >= 0 && (is_blank(static_cast<char>(c)) || c == ','); c = peek()) {
            if (is_blank(static_cast<char>(c))) skip_blanks();
            else advance();
        }
        if (peek() < 0) return {};
        item_line_ = line_;
        std::string item;
        for (int c = peek(); c >= 0 && !is_separator(static_cast<char>(c)) && item.size() <= kMaxQuoted; c = peek()) {
            item += static_cast<char>(c);
            advance();
        }
        return "'" + printable(item) + "'";
    }

    // Line and text of the last item read.
    long long item_line() const { return item_line_; }
    std::string_view item() const { return item_; }
    const std::string& error() const { return error_; }

    // "<file>, line N: <what>".
    std::string message(long long line, const std::string& what) const {
        return "airfoil table \"" + printable(file_, kMaxName) + "\", line " + std::to_string(line) + ": " + what;
    }
    std::string message(const std::string& what) const { return table_message(file_, what); }

private:
    // The next byte, or -1 at the end of the file, on a read error or at the
    // byte budget.
    int peek() {
        if (consumed_ >= limit_) {
            if (fill(1) > 0) over_budget_ = true;  // the file goes on
            return -1;
        }
        if (pos_ == end_ && fill(1) == 0) return -1;
        return static_cast<unsigned char>(buf_[pos_]);
    }

    void advance() {
        const char c = buf_[pos_++];
        ++consumed_;
        // LF, CRLF and a lone CR each end a line.
        if (c == '\r' || (c == '\n' && !after_cr_)) ++line_;
        after_cr_ = c == '\r';
    }

    // Buffers at least `want` bytes when the source has them; returns how
    // many are buffered.
    std::size_t fill(std::size_t want) {
        if (pos_ > 0 && pos_ == end_) pos_ = end_ = 0;
        while (end_ - pos_ < want && !at_end_) {
            if (end_ == buf_.size()) {  // keep the unread bytes, make room behind them
                std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
                end_ -= pos_;
                pos_ = 0;
            }
            const std::ptrdiff_t got = source_(buf_.data() + end_, buf_.size() - end_);
            if (got < 0) read_errno_ = errno ? errno : EIO;
            if (got <= 0) at_end_ = true;
            else end_ += static_cast<std::size_t>(got);
        }
        return end_ - pos_;
    }

    void skip_blanks() {
        for (int c = peek(); c >= 0 && is_blank(static_cast<char>(c)); c = peek()) advance();
    }

    // Reading stopped before the end of the file: a read error or the
    // byte budget of the table.
    bool stopped() const { return read_errno_ != 0 || over_budget_; }

    Status fail_stopped() {
        if (read_errno_ != 0) error_ = message(std::string("cannot be read (") + std::strerror(read_errno_) + ")");
        else
            error_ = message("more than " + std::to_string(kTableMaxBytes >> 20) +
                             " MiB before the end of the last row (line " + std::to_string(line_) +
                             "); a table of " + std::to_string(kTableMaxRows) + " rows is far smaller");
        return Status::error;
    }

    // A quoted item runs to its closing quote (blanks and commas included)
    // or, without one, to the end of its line; enough of it is kept to
    // quote it.
    std::string quoted_item() {
        std::string quoted(1, '"');
        advance();
        for (int c = peek(); c >= 0 && c != '\n' && c != '\r'; c = peek()) {
            if (quoted.size() <= kMaxQuoted) quoted += static_cast<char>(c);
            advance();
            if (c == '"') break;
        }
        return "'" + printable(quoted) + "'";
    }

    Status fail(const std::string& what) {
        error_ = message(item_line_, what);
        return Status::error;
    }

    ByteSource source_;
    std::string_view file_;
    std::array<char, 1 << 16> buf_;  // filled before it is read
    std::size_t pos_ = 0, end_ = 0;
    bool at_end_ = false;
    bool over_budget_ = false;
    int read_errno_ = 0;
    long long consumed_ = 0;
    long long limit_ = kTableMaxBytes;
    bool after_cr_ = false;
    std::string item_;
    long long line_ = 1;
    long long item_line_ = 1;
    std::string error_;
};

// The table as read, before it replaces the model state's.
struct Table {
    double rows = 0;
    TableColumn thickness{}, camber{}, eps{}, mu{};
};

// Why a row's circle cannot make a profile, or empty when it can. The
// circle through zeta = 1 must enclose the map's second critical point
// zeta = -1, which needs eps >= 0; the bound keeps every computation of the
// profile, its pressure, lift and moment finite.
std::string eps_fault(double eps) {
    const std::string bound = number_text(kTableMaxOffset);
    if (eps < 0) return "is negative; the circle must enclose zeta = -1: 0 <= eps <= " + bound;
    if (eps > kTableMaxOffset) return "is above " + bound + "; a Joukowski circle here needs 0 <= eps <= " + bound;
    return {};
}

std::string mu_fault(double mu) {
    const std::string bound = number_text(kTableMaxOffset);
    if (std::fabs(mu) > kTableMaxOffset) return "is outside -" + bound + " .. " + bound;
    return {};
}

std::optional<std::string> read_airfoil_table(ByteSource source, std::string_view file_name, ModelState& s,
                                              std::string* warning) {
    if (warning) warning->clear();
    ValueReader reader(std::move(source), file_name);
    long long values_read = 0;
    long long values_needed = 2;
    std::string count_item;  // the row count as written, once read

    // One value, or the message for a bad item or an early end.
    auto read = [&](double& out) -> std::optional<std::string> {
        switch (reader.next(out)) {
            case ValueReader::Status::value:
                ++values_read;
                return std::nullopt;
            case ValueReader::Status::error:
                return reader.error();
            case ValueReader::Status::end:
                break;
        }
        std::string what = "the file ends after " + std::to_string(values_read) + " value" +
                           (values_read == 1 ? "" : "s");
        if (values_read > 0) what += " (the last on line " + std::to_string(reader.item_line()) + ")";
        if (values_read < 2) return reader.message(what + ", before the row count (the second value)");
        return reader.message(what + ", but the row count " + count_item + " announces " +
                              std::to_string(values_needed) + " (2 + 5 per row)");
    };

    auto table = std::make_unique<Table>();
    double v = 0;
    if (auto err = read(v)) return err;  // the first value is not used
    if (auto err = read(v)) return err;
    count_item = "'" + printable(reader.item()) + "'";
    const long long count_line = reader.item_line();
    if (v < 0) return reader.message(count_line, "the row count " + count_item + " is negative");
    if (v != std::floor(v))
        return reader.message(count_line, "the row count " + count_item + " is not a whole number");
    if (v > kTableMaxRows)
        return reader.message(count_line, "the row count " + count_item + " is above the limit of " +
                                              std::to_string(kTableMaxRows) + " rows");
    table->rows = v == 0 ? 0.0 : v;  // a row count written as -0 is 0
    const int rows = static_cast<int>(table->rows);
    values_needed = 2 + 5LL * rows;
    for (int i = 1; i <= rows; ++i) {
        if (auto err = read(table->thickness[i])) return err;
        if (auto err = read(table->camber[i])) return err;
        if (auto err = read(table->eps[i])) return err;
        if (const std::string fault = eps_fault(table->eps[i]); !fault.empty())
            return reader.message(reader.item_line(), "eps (column 3) '" + printable(reader.item()) + "' " + fault);
        if (auto err = read(table->mu[i])) return err;
        if (const std::string fault = mu_fault(table->mu[i]); !fault.empty())
            return reader.message(reader.item_line(), "mu (column 4) '" + printable(reader.item()) + "' " + fault);
        if (auto err = read(v)) return err;  // the fifth value is not used
    }
    // Whatever follows the last row is not read as the table; a glance past
    // it tells whether the row count, the columns or the decimal point are
    // likely wrong.
    const long long last_line = reader.item_line();
    if (const std::string more = reader.look_past_end(); !more.empty() && warning) {
        *warning = reader.message("warning: the row count is " + std::to_string(rows) +
                                  ", but values follow " + (rows == 0 ? "it" : "the last row") + " (line " +
                                  std::to_string(last_line) +
                                  "): from line " + std::to_string(reader.item_line()) + " on (" + more +
                                  ") they were ignored; check the row count, five values a row and \".\" as "
                                  "the decimal point");
    }

    // Only rows 1..N are written, as the sequential read writes them; row 0
    // and the rows above N keep what they held.
    s.table_rows = table->rows;
    for (int i = 1; i <= rows; ++i) {
        s.table_thickness[i] = table->thickness[i];
        s.table_camber[i] = table->camber[i];
        s.table_eps[i] = table->eps[i];
        s.table_mu[i] = table->mu[i];
    }
    return std::nullopt;
}

}  // namespace

std::string printable_name(std::string_view name) { return printable(name, kMaxName); }

std::string table_message(std::string_view file, const std::string& what) {
    return "airfoil table \"" + printable_name(file) + "\": " + what;
}

std::optional<std::string> parse_airfoil_table(std::string_view text, std::string_view file_name,
                                               ModelState& s, std::string* warning) {
    return read_airfoil_table(
        [text](char* buf, std::size_t size) mutable -> std::ptrdiff_t {
            const std::size_t n = std::min(size, text.size());
            std::memcpy(buf, text.data(), n);
            text.remove_prefix(n);
            return static_cast<std::ptrdiff_t>(n);
        },
        file_name, s, warning);
}

std::optional<std::string> load_airfoil_table(const std::filesystem::path& path, ModelState& s,
                                              std::string* warning) {
    if (warning) warning->clear();
    const std::string name = path.string();
    const std::string prefix = table_message(name, "");
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        std::string where;
        if (path.is_relative()) {
            std::error_code cwd_ec;
            const auto cwd = std::filesystem::current_path(cwd_ec);
            where = " in the working directory" + (cwd_ec ? std::string() : " " + printable(cwd.string(), kMaxName));
        }
        return prefix + "no such file" + where;
    }
    if (ec) return prefix + "cannot be read (" + ec.message() + ")";
    if (status.type() == std::filesystem::file_type::directory) return prefix + "is a directory, not a file";
    if (status.type() != std::filesystem::file_type::regular)
        return prefix + "is not a regular file";

    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return prefix + "cannot be opened (" + std::strerror(errno) + ")";
    return read_airfoil_table(
        [f = file.get()](char* buf, std::size_t size) -> std::ptrdiff_t {
            const std::size_t got = std::fread(buf, 1, size, f);
            if (got == 0 && std::ferror(f)) return -1;
            return static_cast<std::ptrdiff_t>(got);
        },
        name, s, warning);
}

bool table_lookup(ModelState& s) {
    // table_rows never exceeds the capacity once loaded; guard anyway, the
    // columns end at index 500.
    const double rows = std::fmin(s.table_rows, static_cast<double>(kTableMaxRows));
    for (int i = 1; i <= rows; ++i) {
        if (s.table_thickness[i] == s.thickness && s.table_camber[i] == s.camber) {
            s.circle_eps = s.table_eps[i];
            s.circle_mu = s.table_mu[i];
            return true;
        }
    }
    return false;
}

}  // namespace jmach

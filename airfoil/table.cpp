#include "airfoil/table.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
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


// Reads the values of the table one after another. Commas, blanks, tabs and
// line breaks separate values; a comma closes the value before it, so two
// commas with only blanks between them leave an empty field.
class ValueReader {
public:
    ValueReader(std::string_view text, std::string_view file_name) : text_(text), file_(file_name) {
        // A byte-order mark, as some editors write at the start of a text
        // file, is not part of the first value.
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }

    enum class Status { value, end, error };

    // The next value into `v`; at the end of the text `end`; on a bad item
    // `error` with the message in error().
    Status next(double& v) {
        skip_blanks();
        if (pos_ >= text_.size()) return Status::end;
        item_line_ = line_;
        if (text_[pos_] == ',')
            return fail("an empty field (a comma with no value before it)");
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !is_separator(text_[pos_])) ++pos_;
        const std::string_view item = text_.substr(start, pos_ - start);
        item_ = item;
        if (item.front() == '"') return fail("quoted text " + quoted_item(start) + " is not a number");
        if (is_non_finite_word(item)) return fail("'" + printable(item) + "' is not a finite number");
        if (!is_decimal_number(item)) return fail("'" + printable(item) + "' is not a number");
        v = parse_leading_number(item);  // locale-independent; too large reads as infinity
        if (!std::isfinite(v))
            return fail("'" + printable(item) + "' is not a finite number (too large for a double)");
        // The separator after the value: blanks, at most one comma.
        skip_blanks();
        if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
        return Status::value;
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
    void skip_blanks() {
        while (pos_ < text_.size() && is_blank(text_[pos_])) {
            // LF, CRLF and a lone CR each end a line.
            if (text_[pos_] == '\n' || (text_[pos_] == '\r' && (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n')))
                ++line_;
            ++pos_;
        }
    }

    // A quoted item runs to its closing quote (blanks and commas included)
    // or, without one, to the end of its line.
    std::string quoted_item(std::size_t start) const {
        std::size_t end = start + 1;
        while (end < text_.size() && text_[end] != '"' && text_[end] != '\n' && text_[end] != '\r') ++end;
        if (end < text_.size() && text_[end] == '"') ++end;
        return "'" + printable(text_.substr(start, end - start)) + "'";
    }

    Status fail(const std::string& what) {
        error_ = message(item_line_, what);
        return Status::error;
    }

    std::string_view text_;
    std::string_view file_;
    std::string_view item_;
    std::size_t pos_ = 0;
    long long line_ = 1;
    long long item_line_ = 1;
    std::string error_;
};

// The table as read, before it replaces the model state's.
struct Table {
    double rows = 0;
    TableColumn thickness{}, camber{}, eps{}, mu{};
};

}  // namespace

std::string printable_name(std::string_view name) { return printable(name, kMaxName); }

std::string table_message(std::string_view file, const std::string& what) {
    return "airfoil table \"" + printable_name(file) + "\": " + what;
}

std::optional<std::string> parse_airfoil_table(std::string_view text, std::string_view file_name,
                                               ModelState& s) {
    ValueReader reader(text, file_name);
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
        if (auto err = read(table->mu[i])) return err;
        if (auto err = read(v)) return err;  // the fifth value is not used
    }
    // Whatever follows the last row is not read.

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

std::optional<std::string> load_airfoil_table(const std::filesystem::path& path, ModelState& s) {
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
    std::string text;
    char buf[65536];
    for (;;) {
        const std::size_t got = std::fread(buf, 1, sizeof buf, file.get());
        text.append(buf, got);
        if (got < sizeof buf) break;
    }
    if (std::ferror(file.get())) return prefix + "cannot be read (" + std::strerror(errno) + ")";
    return parse_airfoil_table(text, name, s);
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

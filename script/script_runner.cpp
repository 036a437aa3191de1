#include "script/script_runner.h"

#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>
#include <QPixmap>

#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>

#include "app/chart_export.h"
#include "app/form1.h"
#include "charts/picture_box.h"

namespace jmach {

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

template <typename T>
std::string json_number(T v) {
    if (!std::isfinite(v)) return "null";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::string json_colour(const std::optional<Colour>& c) {
    return c ? "\"" + to_qcolor(*c).name().toStdString() + "\"" : "null";  // "#rrggbb"
}

struct ScrollAction {
    const char* word;
    Input input;
};

constexpr ScrollAction kScrollActions[] = {
    {"thickness", Input::thickness}, {"camber", Input::camber}, {"np", Input::np},
    {"alpha", Input::alpha},         {"xm", Input::xm},         {"mach", Input::mach},
};

// A press and release at the middle of the widget, as a mouse click.
void click(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

}  // namespace

std::string json_string(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
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

std::string surface_json(const RecordingSurface& surface) {
    std::string out = "[";
    bool first = true;
    auto item = [&](const std::string& text) {
        if (!first) out += ",";
        first = false;
        out += text;
    };
    if (const auto& sc = surface.scale()) {
        item("{\"op\":\"scale\",\"x1\":" + json_number(sc->x1) + ",\"y1\":" + json_number(sc->y1) +
             ",\"x2\":" + json_number(sc->x2) + ",\"y2\":" + json_number(sc->y2) + "}");
    }
    for (const Primitive& p : surface.primitives()) {
        if (p.kind == Primitive::Kind::line) {
            // Lines are handed over in single precision: show them so.
            item("{\"op\":\"line\",\"x1\":" + json_number(static_cast<float>(p.x1)) +
                 ",\"y1\":" + json_number(static_cast<float>(p.y1)) +
                 ",\"x2\":" + json_number(static_cast<float>(p.x2)) +
                 ",\"y2\":" + json_number(static_cast<float>(p.y2)) + ",\"color\":" + json_colour(p.colour) +
                 "}");
        } else {
            item("{\"op\":\"circle\",\"x\":" + json_number(p.x1) + ",\"y\":" + json_number(p.y1) +
                 ",\"r\":" + json_number(p.r) + ",\"color\":" + json_colour(p.colour) + "}");
        }
    }
    return out + "]";
}

ScriptRunner::ScriptRunner(Form1& form, ScriptOptions options) : form_(form), options_(options) {
    form_.set_message_hook([this](const QString& text) { messages_.push_back(text.toStdString()); });
}

ScriptRunner::~ScriptRunner() { form_.set_message_hook(nullptr); }

int ScriptRunner::run(std::istream& in, std::ostream& out, std::ostream& err) {
    std::string line;
    std::string json;
    for (int number = 1; std::getline(in, line); ++number) {
        if (auto error = run_line(line, json)) {
            err << "line " << number << ": " << *error << '\n';
            return 1;
        }
        if (!json.empty()) out << json << '\n' << std::flush;
    }
    return 0;
}

std::optional<std::string> ScriptRunner::run_line(std::string_view line, std::string& json) {
    json.clear();
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view content = trim(line);
    if (content.empty() || content.front() == '#') return std::nullopt;
    messages_.clear();
    if (auto error = perform(content)) return error;
    // Let the window catch up (paint, show the About window) before the
    // next action.
    QCoreApplication::processEvents();
    json = report(content);
    return std::nullopt;
}

std::optional<std::string> ScriptRunner::perform(std::string_view line) {
    const std::size_t space = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, space);
    // The rest of the line after the one blank that ends the action word.
    const std::string_view raw_rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    const std::string_view rest = trim(raw_rest);

    for (const ScrollAction& action : kScrollActions) {
        if (word != action.word) continue;
        const Form1::Range range = form_.input_range(action.input);
        int value = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (rest.empty() || ec != std::errc() || end != rest.data() + rest.size())
            return std::string(word) + " needs a whole number, not \"" + std::string(rest) + "\"";
        if (value < range.minimum || value > range.maximum)
            return std::string(word) + " " + std::to_string(value) + " is outside " +
                   std::to_string(range.minimum) + ".." + std::to_string(range.maximum);
        form_.set_input(action.input, value);
        return std::nullopt;
    }
    if (word == "type-mach") {
        form_.type_mach(QString::fromUtf8(raw_rest.data(), static_cast<qsizetype>(raw_rest.size())));
        return std::nullopt;
    }
    if (word == "click") {
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            if (rest == kChartNames[i]) {
                click(&form_.chart(static_cast<Chart>(i)));
                return std::nullopt;
            }
        }
        return "click needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, not \"" +
               std::string(rest) + "\"";
    }
    if (word == "about") {
        if (!rest.empty()) return std::string("about takes nothing after it");
        form_.open_about();
        return std::nullopt;
    }
    if (word == "snapshot") {
        if (rest.empty()) return std::string("snapshot needs a file name");
        const QString file = QString::fromUtf8(rest.data(), static_cast<qsizetype>(rest.size()));
        const std::optional<ExportFormat> format = export_format(file);
        if (!format || *format == ExportFormat::csv)
            return "snapshot " + std::string(rest) + ": the suffix must be .png, .svg or .pdf";
        std::optional<QString> reason;
        if (*format == ExportFormat::png) {
            // The window as the screen shows it, at its own resolution.
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            form_.grab().save(&buffer, "PNG");
            reason = write_whole_file(file, bytes);
        } else {
            reason = write_widget_image(form_, file, *format, form_.windowTitle(), 1.0);
        }
        if (reason) return "cannot write the snapshot " + std::string(rest) + ": " + reason->toStdString();
        return std::nullopt;
    }
    if (word == "export") {
        // export CHART FILE: the file name is the rest of the line.
        const std::size_t gap = rest.find_first_of(" \t");
        const std::string_view name = rest.substr(0, gap);
        const std::string_view file = gap == std::string_view::npos ? std::string_view() : trim(rest.substr(gap));
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            if (name != kChartNames[i]) continue;
            if (file.empty()) return "export " + std::string(name) + " needs a file name";
            const auto error = form_.export_chart(static_cast<Chart>(i),
                                                  QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
            if (error) return error->toStdString();
            return std::nullopt;
        }
        return "export needs one of Mcrit, profil, pressure, Picture_CL, Picture_CM, not \"" + std::string(name) +
               "\"";
    }
    return "unknown action \"" + std::string(word) + "\"";
}

std::string ScriptRunner::report(std::string_view line) const {
    std::string out = "{\"action\":" + json_string(line);
    for (const char* name : kValueBoxNames) {
        out += ",\"";
        out += name;
        out += "\":" + json_string(form_.value_text(name).toStdString());
    }
    out += ",\"message\":";
    if (messages_.empty()) {
        out += "null";
    } else {
        std::string joined;
        for (const std::string& m : messages_) joined += (joined.empty() ? "" : "\n") + m;
        out += json_string(joined);
    }
    // What the sampling hides: the exact minimum of the continuous surface
    // (null also where the suction is unbounded) and the critical Mach
    // number by the two other rules.
    const auto& exact = form_.exact_minimum();
    const auto& machs = form_.critical_machs();
    out += ",\"cp_min_exact\":" + (exact ? json_number(exact->cp) : "null");
    out += ",\"x_cp_min_exact\":" + (exact ? json_number(exact->x) : "null");
    out += ",\"mcrit_kt\":" + (machs ? json_number(machs->kt) : "null");
    out += ",\"mcrit_la\":" + (machs ? json_number(machs->la) : "null");
    if (options_.charts) {
        out += ",\"charts\":{";
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            if (i > 0) out += ",";
            out += "\"";
            out += kChartNames[i];
            out += "\":" + surface_json(form_.chart(static_cast<Chart>(i)));
        }
        out += "}";
    }
    return out + "}";
}

}  // namespace jmach

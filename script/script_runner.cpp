#include "script/script_runner.h"

#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>
#include <QPixmap>

#include <charconv>
#include <cmath>
#include <cstring>
#include <variant>

#include "app/chart_export.h"
#include "app/form1.h"
#include "charts/picture_box.h"
#include "core/utf8.h"

namespace jmach {

namespace {

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

// The parser's words and names follow the window's order of inputs and charts.
static_assert(static_cast<int>(Input::mach) == kScriptInputWords.size() - 1 &&
              static_cast<int>(Chart::Picture_CM) == kScriptChartNames.size() - 1);
constexpr bool same_chart_names() {
    for (std::size_t i = 0; i < kChartNames.size(); ++i)
        if (std::string_view(kChartNames[i]) != kScriptChartNames[i]) return false;
    return kChartNames.size() == kScriptChartNames.size();
}
static_assert(same_chart_names());

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

int ScriptRunner::run(ScriptLineReader& in, LineWriter& out, std::string_view script_name, std::string& error) {
    std::string line;
    std::string json;
    for (;;) {
        const ScriptLineReader::Status status = in.next(line);
        const std::string where = std::string(script_name) + ": line " + std::to_string(in.line_number()) + ": ";
        if (status == ScriptLineReader::Status::end) return 0;
        if (status == ScriptLineReader::Status::read_error) {
            error = std::string(script_name) + ": cannot read (" + std::strerror(in.read_errno()) + ")";
            return 2;
        }
        if (status == ScriptLineReader::Status::too_long) {
            error = where + "longer than " + std::to_string(kMaxScriptLine) + " bytes: \"" + quote_excerpt(line) + "\"";
            return 1;
        }
        if (auto bad = run_line(line, json)) {
            error = where + *bad;
            return 1;
        }
        if (!json.empty() && !out.write_line(json)) {
            error = out.error();
            return 1;
        }
    }
}

std::optional<std::string> ScriptRunner::run_line(std::string_view line, std::string& json) {
    json.clear();
    InputRanges ranges;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const Form1::Range r = form_.input_range(static_cast<Input>(i));
        ranges[i] = {r.minimum, r.maximum};
    }
    auto parsed = parse_script_line(valid_utf8(line), ranges);
    if (const auto* bad = std::get_if<std::string>(&parsed)) return *bad;
    const ScriptAction& action = std::get<ScriptAction>(parsed);
    if (action.kind == ScriptAction::Kind::skip) return std::nullopt;
    messages_.clear();
    if (auto error = perform(action)) return error;
    // Let the window catch up (paint, show the About window) before the
    // next action.
    QCoreApplication::processEvents();
    json = report(action.content);
    return std::nullopt;
}

std::optional<std::string> ScriptRunner::perform(const ScriptAction& action) {
    const auto text = QString::fromStdString(action.text);
    switch (action.kind) {
        case ScriptAction::Kind::skip:
            break;
        case ScriptAction::Kind::set_input:
            form_.set_input(static_cast<Input>(action.input), action.value);
            break;
        case ScriptAction::Kind::type_mach:
            form_.type_mach(text);
            break;
        case ScriptAction::Kind::click:
            click(&form_.chart(static_cast<Chart>(action.chart)));
            break;
        case ScriptAction::Kind::about:
            form_.open_about();
            break;
        case ScriptAction::Kind::snapshot: {
            const std::optional<ExportFormat> format = export_format(text);
            if (!format || *format == ExportFormat::csv)
                return "snapshot \"" + quote_excerpt(action.text) + "\": the suffix must be .png, .svg or .pdf";
            std::optional<QString> reason;
            if (*format == ExportFormat::png) {
                // The window as the screen shows it, at its own resolution.
                QByteArray bytes;
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                form_.grab().save(&buffer, "PNG");
                reason = write_whole_file(text, bytes);
            } else {
                reason = write_widget_image(form_, text, *format, form_.windowTitle(), 1.0);
            }
            if (reason)
                return "cannot write the snapshot \"" + quote_excerpt(action.text) + "\": " + reason->toStdString();
            break;
        }
        case ScriptAction::Kind::export_chart:
            if (const auto error = form_.export_chart(static_cast<Chart>(action.chart), text))
                return error->toStdString();
            break;
    }
    return std::nullopt;
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
    const QString note = form_.value_tip("Text_Moo");
    out += ",\"Text_Moo_note\":" + (note.isEmpty() ? std::string("null") : json_string(note.toStdString()));
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

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

// "#rrggbb" in lower case, as a colour's name.
std::string json_colour(const std::optional<Colour>& c) {
    if (!c) return "null";
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"#rrggbb\"";
    for (int i = 0; i < 3; ++i) {
        const unsigned byte = (*c >> (8 * i)) & 0xFFu;
        out[2 + 2 * i] = kHex[byte >> 4];
        out[3 + 2 * i] = kHex[byte & 0xFu];
    }
    return out;
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
static_assert(kScriptViewNames.size() == kViewNames.size() && kScriptSweepInputs.size() == kSweepInputNames.size());

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

namespace {

// Primitives as JSON objects, each followed by a comma, appended in place:
// a chart's line holds hundreds of them.
void append_primitives(std::string& out, const std::vector<Primitive>& items) {
    auto number = [&](const char* key, auto v) {
        out += key;
        out += json_number(v);
    };
    for (const Primitive& p : items) {
        if (p.kind == Primitive::Kind::line) {
            // Lines are handed over in single precision: show them so.
            number("{\"op\":\"line\",\"x1\":", static_cast<float>(p.x1));
            number(",\"y1\":", static_cast<float>(p.y1));
            number(",\"x2\":", static_cast<float>(p.x2));
            number(",\"y2\":", static_cast<float>(p.y2));
        } else {
            number("{\"op\":\"circle\",\"x\":", p.x1);
            number(",\"y\":", p.y1);
            number(",\"r\":", p.r);
        }
        out += ",\"color\":";
        out += json_colour(p.colour);
        out += "},";
    }
}

std::string primitives_json(const std::vector<Primitive>& items) {
    std::string out = "[";
    out.reserve(96 * (items.size() + 1));
    append_primitives(out, items);
    if (out.back() == ',') out.pop_back();
    return out + "]";
}

}  // namespace

std::string surface_json(const RecordingSurface& surface) {
    std::string out = "[";
    out.reserve(96 * (surface.primitives().size() + 1));
    if (const auto& sc = surface.scale()) {
        out += "{\"op\":\"scale\",\"x1\":" + json_number(sc->x1) + ",\"y1\":" + json_number(sc->y1) +
               ",\"x2\":" + json_number(sc->x2) + ",\"y2\":" + json_number(sc->y2) + "},";
    }
    append_primitives(out, surface.primitives());
    if (out.back() == ',') out.pop_back();
    return out + "]";
}

ScriptRunner::ScriptRunner(Form1& form, ScriptOptions options) : form_(form), options_(options) {
    form_.set_message_hook([this](const QString& text) { messages_.push_back(text.toStdString()); });
    hold_paint();
}

ScriptRunner::~ScriptRunner() {
    form_.set_message_hook(nullptr);
    if (!options_.paint_every_action) {
        form_.set_watched(true);
        form_.setUpdatesEnabled(true);
        if (QWidget* about = form_.about_window()) about->setUpdatesEnabled(true);
        for (View v : {View::sweep, View::flow})
            if (QWidget* window = form_.view_window(v)) window->setUpdatesEnabled(true);
    }
}

void ScriptRunner::hold_paint() {
    if (options_.paint_every_action) return;
    // A widget whose updates are off drops every repaint it is asked for;
    // the charts still record what they are given.
    form_.set_watched(false);
    form_.setUpdatesEnabled(false);
    if (QWidget* about = form_.about_window()) about->setUpdatesEnabled(false);
    for (View v : {View::sweep, View::flow})
        if (QWidget* window = form_.view_window(v)) window->setUpdatesEnabled(false);
}

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
    // Let the window catch up (show the About window; paint, when it
    // paints every action) before the next action.
    QCoreApplication::processEvents();
    json = report(action);
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
            hold_paint();  // the About window, once it exists
            break;
        case ScriptAction::Kind::snapshot:
        case ScriptAction::Kind::export_chart:
            return write_pixels(action);
        case ScriptAction::Kind::probe:
            break;  // read when the line is reported
        case ScriptAction::Kind::sonic:
            form_.set_sonic_level(action.on);
            break;
        case ScriptAction::Kind::keep:
            form_.keep_reference(static_cast<Chart>(action.chart));
            break;
        case ScriptAction::Kind::unkeep:
            form_.clear_reference(static_cast<Chart>(action.chart));
            break;
        case ScriptAction::Kind::sweep:
            form_.open_sweep(static_cast<SweepInput>(action.input));
            hold_paint();  // the view's window, once it exists
            break;
        case ScriptAction::Kind::flow:
            form_.open_flow();
            hold_paint();
            break;
        case ScriptAction::Kind::close_view:
            form_.close_view(static_cast<View>(action.view));
            break;
        case ScriptAction::Kind::export_view:
            return write_pixels(action);
    }
    return std::nullopt;
}

std::optional<std::string> ScriptRunner::write_pixels(const ScriptAction& action) {
    const auto text = QString::fromStdString(action.text);
    const std::optional<ExportFormat> format = export_format(text);
    // An image is painted from what the charts hold now: the window takes
    // repaints again for as long as it is rendered.
    // A view's window is rendered the same way.
    QWidget* view = action.kind == ScriptAction::Kind::export_view ? form_.view_window(static_cast<View>(action.view)) : nullptr;
    if (!options_.paint_every_action && format != ExportFormat::csv) {
        form_.bring_up_to_date();
        form_.setUpdatesEnabled(true);
        if (view) view->setUpdatesEnabled(true);
    }
    std::optional<std::string> error;
    if (action.kind == ScriptAction::Kind::snapshot) {
        if (!format || *format == ExportFormat::csv) {
            error = "snapshot \"" + quote_excerpt(action.text) + "\": the suffix must be .png, .svg or .pdf";
        } else {
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
                error = "cannot write the snapshot \"" + quote_excerpt(action.text) + "\": " + reason->toStdString();
        }
    } else if (action.kind == ScriptAction::Kind::export_view) {
        if (const auto reason = form_.export_view(static_cast<View>(action.view), text)) error = reason->toStdString();
    } else if (const auto reason = form_.export_chart(static_cast<Chart>(action.chart), text)) {
        error = reason->toStdString();
    }
    hold_paint();
    return error;
}

std::string ScriptRunner::report(const ScriptAction& action) const {
    std::string out = "{\"action\":" + json_string(action.content);
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
    out += ",\"supersonic\":" + form_.supersonic_json();
    if (action.kind == ScriptAction::Kind::probe) {
        const std::optional<Probe> probe = form_.probe(static_cast<Chart>(action.chart), action.x, action.y);
        out += ",\"probe\":" + (probe ? probe_json(*probe) : std::string("null"));
    }
    if (const auto& sweep = form_.sweep(); sweep && form_.view_open(View::sweep)) out += ",\"sweep\":" + sweep_json(*sweep);
    if (form_.view_open(View::flow)) out += ",\"flow\":" + form_.flow_json();
    if (options_.charts) {
        out += ",\"charts\":{";
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            if (i > 0) out += ",";
            out += "\"";
            out += kChartNames[i];
            out += "\":";
            out += surface_json(form_.chart(static_cast<Chart>(i)));
        }
        out += "}";
        // The kept references, by chart, as their primitives.
        bool any = false;
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            const PictureBox& box = form_.chart(static_cast<Chart>(i));
            if (!box.has_reference()) continue;
            out += any ? ",\"" : ",\"reference\":{\"";
            any = true;
            out += kChartNames[i];
            out += "\":" + primitives_json(box.reference());
        }
        if (any) out += "}";
    }
    return out + "}";
}

}  // namespace jmach

#include "session/script_runner.h"

#include <cmath>
#include <cstring>

#include "core/palette.h"
#include "core/utf8.h"
#include "session/state_lines.h"

namespace jmach {

namespace {

template <typename T>
std::string json_number(T v) {
    return std::isfinite(v) ? shortest_text(v) : "null";
}

// "#rrggbb" in lower case, as a colour's name.
std::string json_colour(const std::optional<Colour>& c) {
    return c ? "\"" + hex_colour(*c) + "\"" : "null";
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


std::optional<FileFormat> file_format(std::string_view file) {
    const std::string suffix = file_suffix(file);
    if (suffix == "csv") return FileFormat::csv;
    if (suffix == "png") return FileFormat::png;
    if (suffix == "svg") return FileFormat::svg;
    if (suffix == "pdf") return FileFormat::pdf;
    return std::nullopt;
}

std::string cannot_write(std::string_view file, std::string_view reason) {
    return "Cannot write " + std::string(file) + ": " + std::string(reason);
}

ScriptRunner::ScriptRunner(Session& session, ScriptOptions options, ScriptFiles* files)
    : session_(session), options_(options), files_(files) {}

int ScriptRunner::run(ScriptLineReader& in, const LineOutput& out, std::string_view script_name, std::string& error) {
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
        if (json.empty()) continue;
        if (auto failed = out(json)) {
            error = *failed;
            return 1;
        }
    }
}

std::optional<std::string> ScriptRunner::run_line(std::string_view line, std::string& json) {
    json.clear();
    auto parsed = parse_script_line(valid_utf8(line));
    if (const auto* bad = std::get_if<std::string>(&parsed)) return *bad;
    const ScriptAction& action = std::get<ScriptAction>(parsed);
    if (action.kind == ScriptAction::Kind::skip) return std::nullopt;
    if (auto error = perform(action)) return error;
    json = report(action);
    return std::nullopt;
}

std::optional<std::string> ScriptRunner::perform(const ScriptAction& action) {
    // Every message box the action raises is answered with OK; the line
    // reports its text.
    messages_.clear();
    std::optional<std::string> error;
    // Taking the window back or forward is itself no step.
    if (action.kind == ScriptAction::Kind::undo)
        history_.undo(session_);
    else if (action.kind == ScriptAction::Kind::redo)
        history_.redo(session_);
    else if (options_.history)
        history_.step(session_, [&] { error = act(action); });
    else
        error = act(action);
    messages_ = session_.take_messages();
    return error;
}

std::optional<std::string> ScriptRunner::act(const ScriptAction& action) {
    std::optional<std::string> error;
    switch (action.kind) {
    case ScriptAction::Kind::skip:
    case ScriptAction::Kind::link: break;
    case ScriptAction::Kind::set_input: session_.scroll(static_cast<Input>(action.input), action.value); break;
    case ScriptAction::Kind::type_mach: session_.type_mach(action.text); break;
    case ScriptAction::Kind::click: session_.click(static_cast<ChartId>(action.chart)); break;
    case ScriptAction::Kind::about: session_.Mn_About_Click(); break;
    case ScriptAction::Kind::snapshot:
    case ScriptAction::Kind::export_chart:
    case ScriptAction::Kind::export_view: error = save(action); break;
    case ScriptAction::Kind::probe: break;  // read when the line is reported
    case ScriptAction::Kind::sonic: session_.set_sonic_level(action.on); break;
    case ScriptAction::Kind::keep: session_.keep_reference(static_cast<ChartId>(action.chart)); break;
    case ScriptAction::Kind::unkeep: session_.clear_reference(static_cast<ChartId>(action.chart)); break;
    case ScriptAction::Kind::sweep: session_.open_sweep(static_cast<SweepInput>(action.input)); break;
    case ScriptAction::Kind::flow: session_.open_flow(); break;
    case ScriptAction::Kind::close_view: session_.close_view(static_cast<View>(action.view)); break;
    case ScriptAction::Kind::undo:
    case ScriptAction::Kind::redo: break;  // not steps: see perform
    case ScriptAction::Kind::save_state:
        if (!files_) return cannot_write(action.text, "this edition writes no files");
        error = files_->write_file(action.text, state_text(session_));
        break;
    case ScriptAction::Kind::handout: error = save(action); break;
    }
    return error;
}

std::optional<std::string> ScriptRunner::open(const std::string& where, std::string& json) {
    json.clear();
    messages_.clear();
    StateOpened opened;
    history_.step(session_, [&] { opened = open_state_at(session_, where); });
    if (!opened.opened) return opened.notice;
    messages_ = session_.take_messages();
    if (!opened.notice.empty()) messages_.push_back(opened.notice);
    ScriptAction action;
    action.content = "open";
    json = report(action);
    return std::nullopt;
}

std::optional<std::string> ScriptRunner::save(const ScriptAction& action) {
    const std::string& file = action.text;
    const std::optional<FileFormat> format = file_format(file);
    ImageRequest request;
    request.file = file;
    if (action.kind == ScriptAction::Kind::handout) {
        request.of = ImageRequest::Of::handout;
    } else if (action.kind == ScriptAction::Kind::snapshot) {
        if (!format || *format == FileFormat::csv)
            return "snapshot \"" + quote_excerpt(file) + "\": the suffix must be .png, .svg or .pdf";
        request.of = ImageRequest::Of::window;
    } else if (action.kind == ScriptAction::Kind::export_view) {
        request.of = ImageRequest::Of::view;
        request.view = static_cast<View>(action.view);
        if (!session_.view_open(request.view))
            return std::string("export ") + kViewNames[static_cast<std::size_t>(action.view)] + ": its window is not open";
    } else {
        request.of = ImageRequest::Of::chart;
        request.chart = static_cast<ChartId>(action.chart);
    }
    if (!format) return file + ": the suffix must be .csv, .png, .svg or .pdf";
    request.format = *format;
    if (!files_) return cannot_write(file, "this edition writes no files");
    if (*format != FileFormat::csv) return files_->write_image(session_, request);
    const char* name = request.of == ImageRequest::Of::view ? kViewNames[static_cast<std::size_t>(request.view)]
                                                            : kChartNames[static_cast<std::size_t>(request.chart)];
    return files_->write_file(file, csv_text(*session_.chart_table(name)));
}

std::string ScriptRunner::report(const ScriptAction& action) const {
    std::string out = "{\"action\":" + json_string(action.content);
    for (const char* name : kValueBoxNames) {
        out += ",\"";
        out += name;
        out += "\":" + json_string(*session_.text(name));
    }
    out += ",\"message\":";
    if (messages_.empty()) {
        out += "null";
    } else {
        std::string joined;
        for (const std::string& m : messages_) joined += (joined.empty() ? "" : "\n") + m;
        out += json_string(joined);
    }
    const std::string& note = session_.mach_look().tip;
    out += ",\"Text_Moo_note\":" + (note.empty() ? std::string("null") : json_string(note));
    // What the sampling hides: the exact minimum of the continuous surface
    // (null also where the suction is unbounded) and the critical Mach
    // number by the two other rules.
    const auto& exact = session_.exact_minimum();
    const auto& machs = session_.critical_machs();
    out += ",\"cp_min_exact\":" + (exact ? json_number(exact->cp) : "null");
    out += ",\"x_cp_min_exact\":" + (exact ? json_number(exact->x) : "null");
    out += ",\"mcrit_kt\":" + (machs ? json_number(machs->kt) : "null");
    out += ",\"mcrit_la\":" + (machs ? json_number(machs->la) : "null");
    out += std::string(",\"mcrit_held\":") + (session_.mcrit_held() ? "true" : "false");
    out += ",\"supersonic\":" + session_.supersonic_json();
    if (action.kind == ScriptAction::Kind::link) out += ",\"link\":" + json_string(state_link(session_, options_.page));
    if (action.kind == ScriptAction::Kind::probe) {
        const std::optional<Probe> probe = session_.probe(static_cast<ChartId>(action.chart), action.x, action.y);
        out += ",\"probe\":" + (probe ? probe_json(*probe) : std::string("null"));
    }
    if (const auto& sweep = session_.sweep()) out += ",\"sweep\":" + sweep_json(*sweep);
    if (session_.view_open(View::flow)) out += ",\"flow\":" + session_.flow_json();
    if (options_.charts) {
        out += ",\"charts\":{";
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            if (i > 0) out += ",";
            out += "\"";
            out += kChartNames[i];
            out += "\":";
            out += surface_json(session_.chart(static_cast<ChartId>(i)));
        }
        out += "}";
        // The kept references, by chart, as their primitives.
        bool any = false;
        for (std::size_t i = 0; i < kChartNames.size(); ++i) {
            const RecordingSurface& chart = session_.chart(static_cast<ChartId>(i));
            if (!chart.has_reference()) continue;
            out += any ? ",\"" : ",\"reference\":{\"";
            any = true;
            out += kChartNames[i];
            out += "\":" + primitives_json(chart.reference());
        }
        if (any) out += "}";
    }
    return out + "}";
}

}  // namespace jmach

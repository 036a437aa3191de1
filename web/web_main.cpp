// The browser edition's entry points: the page forwards every event to the
// window (jmach::Session) through these and shows what it holds; each of the
// user's actions that changes the window is a step of its History, for
// Undo and Redo. Strings go in as UTF-8 and come back as pointers into
// memory owned here, valid until the next call that returns one.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "airfoil/table.h"
#include "charts/svg_writer.h"
#include "session/handout.h"
#include "session/history.h"
#include "session/script_runner.h"
#include "session/state_lines.h"

// The airfoil table, embedded at build time.
extern const char kAirfoilTable[];
extern const unsigned long kAirfoilTableSize;

// The page's own ways of writing a file: a download, and a chart or the
// window painted on a canvas as PNG.
EM_JS(void, page_download, (const char* file, const char* bytes, int size, const char* type), {
    window.jmachPage.download(UTF8ToString(file), HEAPU8.slice(bytes, bytes + size), UTF8ToString(type));
});
EM_JS(int, page_png, (const char* name, const char* file), {
    return window.jmachPage.savePng(UTF8ToString(name), UTF8ToString(file)) ? 1 : 0;
});

namespace {

using namespace jmach;

Session& session() {
    static Session instance;
    return instance;
}

// The user's steps, for Undo and Redo.
History& history() {
    static History instance;
    return instance;
}

// Runs a user's action on the window as one step: recorded only when it
// changes what the window shows.
template <class Action>
void step(Action&& action) {
    history().step(session(), action);
}

// A state file as the page saves it.
constexpr const char* kStateFile = "lesson.jmach";
constexpr const char* kStateType = "application/x-jmach-state";

std::string returned_text;
std::vector<double> returned_numbers;

const char* hand_back(std::string text) {
    returned_text = std::move(text);
    return returned_text.c_str();
}

std::string json(std::string_view text) { return json_string(text); }
std::string json(const char* text) { return json_string(text); }
std::string json(bool v) { return v ? "true" : "false"; }

int index_of(std::string_view name, const auto& names) {
    for (std::size_t i = 0; i < std::size(names); ++i)
        if (name == names[i]) return static_cast<int>(i);
    return -1;
}

// The chart or view `name` at its size in desktop pixels, with its
// foreground colour and the captions laid over it.
std::optional<SvgPicture> picture(std::string_view name) {
    SvgPicture out;
    if (const int view = index_of(name, kViewNames); view >= 0) {
        const View v = static_cast<View>(view);
        const ViewInfo& info = view_info(v);
        const auto& sc = session().view_chart(v).scale();
        out.width = info.width;
        out.height = info.height;
        out.title = info.title;
        if (!sc) return out;
        for (const ViewCaption& c : session().view_captions(v)) {
            out.captions.push_back({c.text, (c.x - sc->x1) / (sc->x2 - sc->x1) * info.width,
                                    (c.y - sc->y1) / (sc->y2 - sc->y1) * info.height, static_cast<int>(c.horizontal),
                                    static_cast<int>(c.vertical), c.title ? 10.0 : 9.0, false, c.title});
        }
        return out;
    }
    const Control* chart = control(name);
    if (!chart || chart->kind != ControlKind::picture) return std::nullopt;
    out.width = chart->width / kTwipsPerPixel;
    out.height = chart->height / kTwipsPerPixel;
    out.foreground = chart->foreground;
    out.title = kChartTitles[static_cast<std::size_t>(index_of(name, kChartNames))];
    for (const Control& c : controls()) {
        if (c.kind != ControlKind::chart_label || name != c.parent) continue;
        const bool arial = c.font == FontKind::tick || c.font == FontKind::title;
        out.captions.push_back({c.caption, static_cast<double>(c.left) / kTwipsPerPixel,
                                static_cast<double>(c.top) / kTwipsPerPixel, 0, 0, c.font == FontKind::tick ? 9.0 : 11.0,
                                arial, false, arial ? "Arial" : "DejaVu Sans"});
    }
    return out;
}

const char* mime(FileFormat format) {
    switch (format) {
    case FileFormat::csv: return "text/csv";
    case FileFormat::svg: return "image/svg+xml";
    case FileFormat::png: return "image/png";
    case FileFormat::pdf: break;
    }
    return "application/pdf";
}

void download(const std::string& file, std::string_view bytes, const char* type) {
    const std::string base = file.substr(file.find_last_of('/') == std::string::npos ? 0 : file.find_last_of('/') + 1);
    page_download(base.c_str(), bytes.data(), static_cast<int>(bytes.size()), type);
}

// A script's files, as downloads.
class PageFiles : public ScriptFiles {
public:
    // A chart's numbers, or the state (save FILE.jmach).
    std::optional<std::string> write_file(const std::string& file, std::string_view bytes) override {
        download(file, bytes, file.ends_with(kStateSuffix) ? kStateType : mime(FileFormat::csv));
        return std::nullopt;
    }
    std::optional<std::string> write_image(const Session&, const ImageRequest& request) override {
        if (request.of == ImageRequest::Of::handout)
            return request.file + ": the browser writes no handout file: File, Handout shows it for the browser to print";
        if (request.format == FileFormat::pdf) return request.file + ": a PDF document is not available in the browser";
        const char* name = request.of == ImageRequest::Of::view ? kViewNames[static_cast<std::size_t>(request.view)]
                           : request.of == ImageRequest::Of::chart
                               ? kChartNames[static_cast<std::size_t>(request.chart)]
                               : "window";
        if (request.format == FileFormat::png) {
            if (page_png(name, request.file.c_str())) return std::nullopt;
            return cannot_write(request.file, "the browser could not paint the image");
        }
        if (request.of == ImageRequest::Of::window)
            return request.file + ": an image of the window is saved as PNG in the browser";
        download(request.file, svg_text(*session().surface(name), *picture(name)), mime(FileFormat::svg));
        return std::nullopt;
    }
};

// A drawing as the page paints it: [length, has scale, x1, y1, x2, y2,
// where the leading grid ends, primitives drawn, has reference], then
// each primitive (the drawing's, then the reference's) as kind (0 line,
// 1 circle, 2 image), x1, y1, x2, y2, r, colour (-1: the foreground); an
// image has its columns and rows in r and colour, then a colour a cell
// (-1: none).
void pack(std::vector<double>& out, const std::vector<Primitive>& items) {
    for (const Primitive& p : items) {
        const bool image = p.kind == Primitive::Kind::image;
        out.insert(out.end(), {static_cast<double>(p.kind), p.x1, p.y1, p.x2, p.y2,
                               image ? p.raster->columns : p.r,
                               image ? p.raster->rows : p.colour ? static_cast<double>(*p.colour) : -1.0});
        if (image)
            for (const auto& cell : p.raster->cells) out.push_back(cell ? static_cast<double>(*cell) : -1.0);
    }
}

std::string tooltips_json() {
    std::string out = "{";
    for (const char* name : kValueBoxNames) {
        const std::string* tip = session().tooltip(name);
        if (!tip) continue;
        out += (out.size() > 1 ? ",\"" : "\"") + std::string(name) + "\":" + json(*tip);
    }
    return out + "}";
}

// A state file the page read, until it is opened.
std::string file_bytes;

}  // namespace

extern "C" {

// Start-up; "" or the reader's message when the table cannot be loaded.
EMSCRIPTEN_KEEPALIVE const char* jm_start() {
    const auto error = session().Form_Load(std::string_view(kAirfoilTable, kAirfoilTableSize), kTableFileName);
    return hand_back(error.value_or(""));
}

// The control table as JSON, for the page to build its elements from.
EMSCRIPTEN_KEEPALIVE const char* jm_controls() { return hand_back(controls_json()); }

// After a start-up that loaded the table: "" or the reader's warning.
EMSCRIPTEN_KEEPALIVE const char* jm_table_warning() { return hand_back(session().table_warning()); }

// ---- What the user does; each returns 0 for a name the window lacks ----

EMSCRIPTEN_KEEPALIVE int jm_scroll(const char* bar, int value) {
    const int input = index_of(bar, kInputBars);
    if (input < 0) return 0;
    const Control& c = input_bar(static_cast<Input>(input));
    if (value < c.minimum || value > c.maximum) return 0;
    step([&] { session().scroll(static_cast<Input>(input), value); });
    return 1;
}

EMSCRIPTEN_KEEPALIVE int jm_click(const char* chart) {
    const int i = index_of(chart, kChartNames);
    if (i >= 0) step([&] { session().click(static_cast<ChartId>(i)); });
    return i >= 0;
}

// Typing runs nothing; the page makes a run of typing one step (below).
EMSCRIPTEN_KEEPALIVE void jm_type_mach(const char* text) { step([&] { session().type_mach(text); }); }
EMSCRIPTEN_KEEPALIVE void jm_about() { session().Mn_About_Click(); }
EMSCRIPTEN_KEEPALIVE void jm_sonic(int on) { step([&] { session().set_sonic_level(on != 0); }); }

// Keep as reference (1) or Clear reference (0) on a chart.
EMSCRIPTEN_KEEPALIVE int jm_keep(const char* chart, int keep) {
    const int i = index_of(chart, kChartNames);
    if (i < 0) return 0;
    step([&] {
        if (keep) session().keep_reference(static_cast<ChartId>(i));
        else session().clear_reference(static_cast<ChartId>(i));
    });
    return 1;
}

// Opens the critical Mach view on "thickness", "camber" or "alpha" (or
// switches the open one); opens the flow view.
EMSCRIPTEN_KEEPALIVE int jm_sweep(const char* input) {
    const int i = index_of(input, kSweepInputNames);
    if (i >= 0) step([&] { session().open_sweep(static_cast<SweepInput>(i)); });
    return i >= 0;
}

EMSCRIPTEN_KEEPALIVE void jm_flow() { step([&] { session().open_flow(); }); }

EMSCRIPTEN_KEEPALIVE int jm_close(const char* view) {
    const int i = index_of(view, kViewNames);
    if (i >= 0) step([&] { session().close_view(static_cast<View>(i)); });
    return i >= 0;
}

// Several actions as one step, from begin to end: a drag of a scroll bar's
// thumb, a run of typing in the Mach box. jm_end_step returns whether the
// step was recorded.
EMSCRIPTEN_KEEPALIVE void jm_begin_step() { history().begin(session()); }
EMSCRIPTEN_KEEPALIVE int jm_end_step() { return history().end(session()); }

// Edit, Undo and Redo; 0 when there is nothing to take the window to.
EMSCRIPTEN_KEEPALIVE int jm_undo() { return history().undo(session()); }
EMSCRIPTEN_KEEPALIVE int jm_redo() { return history().redo(session()); }

// ---- What the window shows ----

// Everything but the drawings, as one JSON object: "texts" and "tips" of
// the value boxes (a tip only where the window's tooltip tells a state),
// the scroll bars' values ("bars"), "mach" (the Mach box's look: "unusable", "noted"), "messages" raised
// since the last call (each to be answered with OK), "about" (how often
// About was chosen), "sonic", "versions" of every chart and view (a
// drawing to paint again when its count moved), "charts" (each chart's
// text for screen readers and its reference note), "views" (each view's
// "open", "text" and "legend"), the swept "sweep_input", and "can_undo"
// and "can_redo".
EMSCRIPTEN_KEEPALIVE const char* jm_shown() {
    Session& s = session();
    std::string out = "{\"texts\":{";
    for (std::size_t i = 0; i < kValueBoxNames.size(); ++i)
        out += (i ? ",\"" : "\"") + std::string(kValueBoxNames[i]) + "\":" + json(*s.text(kValueBoxNames[i]));
    out += "},\"bars\":{";
    for (std::size_t i = 0; i < kInputBars.size(); ++i)
        out += (i ? ",\"" : "\"") + std::string(kInputBars[i]) + "\":" + std::to_string(s.bar(static_cast<Input>(i)));
    out += "},\"tips\":" + tooltips_json() + ",\"mach\":{\"unusable\":" + json(s.mach_unusable()) +
           ",\"noted\":" + json(s.mach_look().noted) + "},\"messages\":[";
    const std::vector<std::string> messages = s.take_messages();
    for (std::size_t i = 0; i < messages.size(); ++i) out += (i ? "," : "") + json(messages[i]);
    out += "],\"about\":" + std::to_string(s.about_requests()) + ",\"sonic\":" + json(s.sonic_level()) +
           ",\"versions\":{";
    for (std::size_t i = 0; i < kChartNames.size(); ++i)
        out += (i ? ",\"" : "\"") + std::string(kChartNames[i]) + "\":" +
               std::to_string(s.chart(static_cast<ChartId>(i)).version());
    for (std::size_t i = 0; i < kViewNames.size(); ++i)
        out += ",\"" + std::string(kViewNames[i]) + "\":" + std::to_string(s.view_chart(static_cast<View>(i)).version());
    out += "},\"charts\":{";
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const ChartId id = static_cast<ChartId>(i);
        out += (i ? ",\"" : "\"") + std::string(kChartNames[i]) + "\":{\"text\":" + json(s.chart_text(id)) +
               ",\"note\":" + json(s.reference_note(id)) + "}";
    }
    out += "},\"views\":{";
    for (std::size_t i = 0; i < kViewNames.size(); ++i) {
        const View v = static_cast<View>(i);
        const bool open = s.view_open(v);
        out += (i ? ",\"" : "\"") + std::string(kViewNames[i]) + "\":{\"open\":" + json(open) +
               ",\"text\":" + json(open ? s.view_text(v) : std::string()) + ",\"legend\":" + json(s.view_legend(v)) +
               "}";
    }
    out += "},\"sweep_input\":" + json(kSweepInputNames[static_cast<std::size_t>(s.sweep_input())]) +
           ",\"can_undo\":" + json(history().can_undo()) + ",\"can_redo\":" + json(history().can_redo()) + "}";
    return hand_back(out);
}

// The drawing of a chart or view, packed as pack() lays it out.
EMSCRIPTEN_KEEPALIVE const double* jm_drawing(const char* name) {
    returned_numbers.assign(9, 0);
    const RecordingSurface* surface = session().surface(name);
    if (surface && surface->scale()) {
        const ScaleRect& sc = *surface->scale();
        const auto& items = surface->primitives();
        returned_numbers[1] = 1;
        returned_numbers[2] = sc.x1;
        returned_numbers[3] = sc.y1;
        returned_numbers[4] = sc.x2;
        returned_numbers[5] = sc.y2;
        returned_numbers[6] = static_cast<double>(leading_grid(items));
        returned_numbers[7] = static_cast<double>(items.size());
        returned_numbers[8] = surface->has_reference();
        pack(returned_numbers, items);
        pack(returned_numbers, surface->reference());
    }
    returned_numbers[0] = static_cast<double>(returned_numbers.size());
    return returned_numbers.data();
}

// The captions laid over a chart or view, in its desktop pixels, as JSON:
// [{"text", "x", "y", "h", "v" (0 start, 1 centre, 2 end), "size",
// "italic", "bold", "family"}].
EMSCRIPTEN_KEEPALIVE const char* jm_captions(const char* name) {
    const auto p = picture(name);
    std::string out = "[";
    if (p) {
        for (const SvgCaption& c : p->captions) {
            out += (out.size() > 1 ? ",{" : "{") + std::string("\"text\":") + json(c.text) +
                   ",\"x\":" + std::to_string(c.x) + ",\"y\":" + std::to_string(c.y) +
                   ",\"h\":" + std::to_string(c.horizontal) + ",\"v\":" + std::to_string(c.vertical) +
                   ",\"size\":" + std::to_string(c.size) + ",\"italic\":" + json(c.italic) +
                   ",\"bold\":" + json(c.bold) + ",\"family\":" + json(c.family) + "}";
        }
    }
    return hand_back(out + "]");
}

// The tooltip of what a chart shows at (x, y) of its user coordinates; ""
// where it shows nothing.
EMSCRIPTEN_KEEPALIVE const char* jm_probe_text(const char* chart, double x, double y) {
    const int i = index_of(chart, kChartNames);
    return hand_back(i >= 0 ? session().probe_text(static_cast<ChartId>(i), x, y) : std::string());
}

// ---- Files, the clipboard and the link ----

// The numbers behind a chart or view as "csv" (Save data) or "tsv" (Copy
// data); "" for a closed view.
EMSCRIPTEN_KEEPALIVE const char* jm_table(const char* name, const char* kind) {
    const auto table = session().chart_table(name);
    if (!table) return hand_back(std::string());
    return hand_back(std::strcmp(kind, "csv") == 0 ? csv_text(*table) : tsv_text(*table));
}

// The chart or view as an SVG document; "" for an unknown name.
EMSCRIPTEN_KEEPALIVE const char* jm_svg(const char* name) {
    const RecordingSurface* surface = session().surface(name);
    const auto p = picture(name);
    return hand_back(surface && p ? svg_text(*surface, *p) : std::string());
}

// The page's address `base` with the state as #state=.
EMSCRIPTEN_KEEPALIVE const char* jm_link(const char* base) { return hand_back(state_link(session(), base)); }

// At start-up: opens the state of the address's fragment (#state=LINES,
// as it stands in the address) and returns the notice to show, "" for
// none. A link that is no state runs nothing and leaves the window at its
// start, with a notice that says why.
EMSCRIPTEN_KEEPALIVE const char* jm_open_state(const char* fragment) {
    const std::string_view part(fragment);
    const auto text = state_in_link(part.starts_with('#') ? std::string(part) : "#" + std::string(part));
    if (!text) return hand_back(not_a_state_notice(kLinkNotEncoded));
    if (text->empty()) return hand_back(std::string());
    const StateOpened opened = open_state(session(), *text, StateSource::link);
    return hand_back(opened.opened ? opened.notice : not_a_state_notice(opened.notice));
}

// File, Save: the state file, downloaded.
EMSCRIPTEN_KEEPALIVE void jm_save_state() {
    const std::string text = state_text(session());
    page_download(kStateFile, text.data(), static_cast<int>(text.size()), kStateType);
}

// File, Open (or a file dropped on the page): room for the file's first
// `size` bytes, then jm_open_file opens them as one step and returns the
// message to show, "" for none: why the file cannot be opened (the
// window stays as it was), or the notice of a state opened (a profile
// the table lacks on the way). `unread`: why the browser could not read
// the file, "" when it could.
EMSCRIPTEN_KEEPALIVE char* jm_file_buffer(int size) {
    file_bytes.assign(static_cast<std::size_t>(std::max(size, 0)), '\0');
    return file_bytes.data();
}

EMSCRIPTEN_KEEPALIVE const char* jm_open_file(const char* name, const char* unread) {
    StateOpened opened{false, unread};
    if (opened.notice.empty()) step([&] { opened = open_state(session(), file_bytes, StateSource::file); });
    file_bytes.clear();
    return hand_back(opened.opened ? opened.notice : cannot_open_state(name, opened.notice));
}

// File, Handout: its contents as handout_json, with today's date as the
// browser writes it (ISO 8601) and the page's address for the link.
EMSCRIPTEN_KEEPALIVE const char* jm_handout(const char* date, const char* base) {
    return hand_back(handout_json(handout(session(), base, date)));
}

// Runs a #script= value (percent-encoded) as jmach-script runs a script,
// with every chart's drawing on each line when `charts`; returns "done"
// or the message of the line that stopped it. jm_script_output gives the
// JSON lines.
static std::string script_output;

EMSCRIPTEN_KEEPALIVE const char* jm_script(const char* encoded, int charts) {
    script_output.clear();
    const auto text = percent_decoded(encoded);
    if (!text) return hand_back("The script in the address is not percent-encoded text: nothing ran.");
    PageFiles files;
    ScriptRunner runner(session(), {charts != 0}, &files);
    ScriptLineReader lines(text_source(*text));
    std::string error;
    const int status = runner.run(
        lines,
        [&](std::string_view line) -> std::optional<std::string> {
            script_output.append(line);
            script_output += '\n';
            return std::nullopt;
        },
        "script", error);
    return hand_back(status == 0 ? "done" : error);
}

EMSCRIPTEN_KEEPALIVE const char* jm_script_output() { return script_output.c_str(); }

}  // extern "C"

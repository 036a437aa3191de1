#pragma once
// Shared by the window and script tests: the application object on the
// offscreen platform, small table files in a temporary folder, and a main
// window whose message boxes are captured instead of shown.

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "charts/picture_box.h"

namespace jmach::testing {

// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another. Never destroyed: Qt objects of other
// tests may outlive any scope we could give it.
inline void ensure_app() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "jmach_gui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Rows of a table: thickness, camber, eps, mu.
struct Row {
    double thickness, camber, eps, mu;
};

// Writes a table file with these rows (fifth column 0).
inline void write_table(const std::string& path, const std::vector<Row>& rows) {
    std::ofstream out(path);
    out << "1\n" << rows.size() << "\n";
    out.precision(17);
    for (const Row& r : rows) out << r.thickness << ", " << r.camber << ", " << r.eps << ", " << r.mu << ", 0\n";
}

// The circles of the worked examples, under keys of our own choosing:
// (0, 0) the flat plate, (0.05, 0) the symmetric eps = 0.1 profile and
// (0.05, 0.02) the cambered eps = 0.1, mu = 0.05 profile. No row has
// thickness 0.01, so asking for it raises the lookup message.
inline std::vector<Row> example_rows() {
    return {{0, 0, 0, 0}, {0.05, 0, 0.1, 0}, {0.05, 0.02, 0.1, 0.05}, {0.12, 0.02, 0.1, 0.05}};
}

// A loaded main window over a table of our own, its messages captured.
class Window {
public:
    explicit Window(const std::vector<Row>& rows = example_rows()) {
        ensure_app();
        EXPECT_TRUE(dir_.isValid());
        const std::string table = dir_.filePath(QStringLiteral("table.txt")).toStdString();
        write_table(table, rows);
        form_ = std::make_unique<Form1>();
        form_->set_message_hook([this](const QString& text) { messages.push_back(text.toStdString()); });
        const auto error = form_->Form_Load(table);
        EXPECT_FALSE(error.has_value()) << *error;
    }
    Form1& operator*() { return *form_; }
    Form1* operator->() { return form_.get(); }

    std::string text(const QLineEdit* box) const { return box->text().toStdString(); }
    // Moves a bar as the user would: one value change, one Change.
    void set(QScrollBar* bar, int value) { bar->setValue(value); }

    std::vector<std::string> messages;

private:
    QTemporaryDir dir_;
    std::unique_ptr<Form1> form_;
};

// What a surface shows: its scale and every primitive since the last Cls.
struct Drawing {
    std::optional<ScaleRect> scale;
    std::vector<Primitive> items;
};

inline Drawing drawing(const RecordingSurface& s) { return {s.scale(), s.primitives()}; }

inline bool same_primitive(const Primitive& a, const Primitive& b) {
    return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
           a.r == b.r && a.colour == b.colour;
}

inline bool same(const Drawing& a, const Drawing& b) {
    const bool same_scale = a.scale.has_value() == b.scale.has_value() &&
                            (!a.scale || (a.scale->x1 == b.scale->x1 && a.scale->y1 == b.scale->y1 &&
                                          a.scale->x2 == b.scale->x2 && a.scale->y2 == b.scale->y2));
    if (!same_scale || a.items.size() != b.items.size()) return false;
    for (std::size_t i = 0; i < a.items.size(); ++i)
        if (!same_primitive(a.items[i], b.items[i])) return false;
    return true;
}

// A mark that only survives while nobody clears the surface.
inline void plant_sentinel(PlotSurface& s) { s.Line(-7.5f, -7.5f, 7.5f, 7.5f, rgb(1, 2, 3)); }

inline bool has_sentinel(const RecordingSurface& s) {
    for (const Primitive& p : s.primitives())
        if (p.kind == Primitive::Kind::line && p.colour == rgb(1, 2, 3) && p.x1 == -7.5) return true;
    return false;
}

inline int circles(const RecordingSurface& s) {
    int n = 0;
    for (const Primitive& p : s.primitives()) n += p.kind == Primitive::Kind::circle;
    return n;
}

}  // namespace jmach::testing

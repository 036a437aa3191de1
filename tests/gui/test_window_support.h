#pragma once
// Shared by the window, script and soak tests: the application object on the
// offscreen platform, small table files, and a main window whose message
// boxes are captured instead of shown.

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "app/form1.h"
#include "app/platform_notices.h"
#include "script/script_runner.h"
#include "charts/picture_box.h"

namespace jmach::testing {

// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another, without the platform's notices.
inline void ensure_app() {
    if (QApplication::instance()) return;
    quiet_platform_notices();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "jmach_gui_tests", *argv[] = {name, nullptr};
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

// The circles of the worked examples under keys of our own: (0, 0) the flat
// plate, (0.05, 0) eps = 0.1, mu = 0 and (0.05, 0.02) eps = 0.1, mu = 0.05.
// No row has thickness 0.01, so asking for it raises the lookup message.
inline std::vector<Row> example_rows() {
    return {{0, 0, 0, 0}, {0.05, 0, 0.1, 0}, {0.05, 0.02, 0.1, 0.05}, {0.12, 0.02, 0.1, 0.05}};
}

// A loaded main window, its messages captured; without rows it loads the
// real table from the working directory (the build folder).
struct Window {
    explicit Window(std::optional<std::vector<Row>> rows = example_rows()) {
        ensure_app();
        form = std::make_unique<Form1>();
        form->set_message_hook([this](const QString& text) { messages.push_back(text.toStdString()); });
        const std::string table = dir.filePath(QStringLiteral("table.txt")).toStdString();
        if (rows) write_table(table, *rows);
        const auto error = rows ? form->Form_Load(table) : form->Form_Load();
        EXPECT_FALSE(error.has_value()) << *error;
    }
    Form1* operator->() { return form.get(); }
    operator Form1&() { return *form; }

    QTemporaryDir dir;
    std::unique_ptr<Form1> form;
    std::vector<std::string> messages;
};

// The window's controls, found by the names the user knows them by.
template <class Control>
Control* control(Form1& f, const char* name) {
    auto* found = f.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
inline QLineEdit* text_box(Form1& f, const char* name) { return control<QLineEdit>(f, name); }
inline QScrollBar* scroll(Form1& f, const char* name) { return control<QScrollBar>(f, name); }
inline PictureBox* picture(Form1& f, const char* name) { return control<PictureBox>(f, name); }

// A program run in `dir` with `input` on its standard input; `setup` may
// change its environment or what its child process does first. The exit
// code is -2 after a crash, -1 when it was still running after `seconds`
// (a window program then has opened its window) and was ended.
struct ProgramRun {
    int exit_code = -1;
    QByteArray out, err;
};
inline ProgramRun run_program(const QString& program, const QStringList& args, const QString& dir, const QByteArray& input = {},
                       const std::function<void(QProcess&)>& setup = {}, int seconds = 60) {
    QProcess p;
    p.setWorkingDirectory(dir);
    if (setup) setup(p);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(seconds * 1000)) return p.kill(), p.waitForFinished(), ProgramRun{};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(), p.readAllStandardError()};
}

// How many circles a surface shows.
inline long circles(const RecordingSurface& s) {
    return std::ranges::count(s.primitives(), Primitive::Kind::circle, &Primitive::kind);
}

}  // namespace jmach::testing

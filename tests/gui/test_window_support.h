#pragma once
// Shared by the window and program tests: the application object on the
// offscreen platform, small table files, a window over a session whose
// message boxes are captured instead of shown, and programs run to the end.

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/form1.h"
#include "app/picture_box.h"
#include "app/platform_notices.h"

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

// Writes a table file of circles under keys of our own: (0, 0) the flat
// plate, (0.05, 0) eps = 0.1, mu = 0 and (0.05, 0.02) eps = 0.1, mu = 0.05.
// No row has thickness 0.01, so asking for it raises the lookup message.
inline void write_example_table(const std::string& path) {
    std::ofstream(path) << "1\n4\n0, 0, 0, 0, 0\n0.05, 0, 0.1, 0, 0\n0.05, 0.02, 0.1, 0.05, 0\n0.12, 0.02, 0.1, 0.05, 0\n";
}

// The first `bytes` of a file (empty when it cannot be read), and a file
// written whole, its folders made first.
inline QByteArray read_file(const QString& file, qint64 bytes = 1 << 22) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}
inline void put(const std::filesystem::path& file, const std::string& contents) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

// A loaded session and the window over it, its messages captured.
struct Window {
    Window() {
        ensure_app();
        const std::string table = dir.filePath(QStringLiteral("table.txt")).toStdString();
        write_example_table(table);
        const auto error = session.Form_Load(std::filesystem::path(table));
        EXPECT_FALSE(error.has_value()) << *error;
        form = std::make_unique<Form1>(session);
        form->set_message_hook([this](const QString& text) { messages.push_back(text.toStdString()); });
    }
    Form1* operator->() { return form.get(); }

    // The window's controls, found by the names the user knows them by.
    template <class Control>
    Control* find(const char* name) const {
        auto* found = form->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    QScrollBar* bar(const char* name) const { return find<QScrollBar>(name); }

    QTemporaryDir dir;
    Session session;
    std::unique_ptr<Form1> form;
    std::vector<std::string> messages;
};

// A program run in `dir` with `input` on its standard input; `setup` may
// change its environment or what its child process does first. The exit
// code is -2 after a crash, -1 when it was still running after `seconds`
// (a window program then has opened its window) and was ended.
struct ProgramRun {
    int exit_code = -1;
    QByteArray out, err;
};
inline ProgramRun run_program(const QString& program, const QStringList& args, const QString& dir,
                              const QByteArray& input = {}, const std::function<void(QProcess&)>& setup = {},
                              int seconds = 60) {
    QProcess p;
    p.setWorkingDirectory(dir);
    if (setup) setup(p);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(seconds * 1000)) return p.kill(), p.waitForFinished(), ProgramRun{};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

}  // namespace jmach::testing

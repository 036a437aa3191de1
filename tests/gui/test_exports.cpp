// Charts out of the window: the right-click menu's copies, saves and
// prints, and jmach-script's image lines, painted by the window in the
// image part only when a script has one.

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPrinter>

#include "charts/chart_data.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

TEST(ChartMenu, CopySaveAndPrintEveryChart) {
    Window w;
    w.bar("HScroll_Thickness")->setValue(5);
    w.bar("HScroll_Moo")->setValue(40);
    QString chosen;
    w->set_file_dialog_hook([&](const QString&, const QString&, const QString&) { return chosen; });
    w->set_print_hook([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(chosen);
        return true;
    });
    const QDir dir(w.dir.path());
    for (std::size_t i = 0; i < kChartNames.size(); ++i) {
        const auto chart = static_cast<ChartId>(i);
        SCOPED_TRACE(kChartNames[i]);
        const std::string csv = csv_text(*w.session.chart_table(kChartNames[i]));
        auto command = [&](const char* name, const QString& file) {
            chosen = file.isEmpty() ? file : dir.filePath(file);
            w->chart_menu(chart)->findChild<QAction*>(QString::fromLatin1(name))->trigger();
        };
        command("save_data", QStringLiteral("data"));  // the suffix of the chosen type is added
        EXPECT_EQ(read_file(dir.filePath(QStringLiteral("data.csv")), 1 << 20).toStdString(), csv);
        command("save_image", QStringLiteral("chart.png"));
        EXPECT_EQ(QImage(dir.filePath(QStringLiteral("chart.png"))).size(), w->chart(chart).size() * 2);
        command("print", QStringLiteral("printed.pdf"));
        EXPECT_EQ(read_file(dir.filePath(QStringLiteral("printed.pdf")), 5), QByteArray("%PDF-"));
        command("copy_data", {});
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), tsv_text(*w.session.chart_table(kChartNames[i])));
        command("save_image", {});  // cancelled: nothing to say
    }
    EXPECT_TRUE(w.messages.empty());
    // The wrong kind of file: said, and nothing written.
    chosen = dir.filePath(QStringLiteral("chart.csv"));
    w->chart_menu(ChartId::profil)->findChild<QAction*>(QStringLiteral("save_image"))->trigger();
    EXPECT_EQ(w.messages, std::vector<std::string>{chosen.toStdString() + ": an image is saved as .png, .svg or .pdf"});
    EXPECT_FALSE(QFile::exists(chosen));
}

ProgramRun run_script(const QTemporaryDir& dir, const QByteArray& script, const QString& platform = {}) {
    write_example_table(dir.filePath(QStringLiteral("KATJO-D20G15.txt")).toStdString());
    return run_program(QStringLiteral(JMACH_SCRIPT_TOOL), {}, dir.path(), script, [&](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!platform.isEmpty()) env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        p.setProcessEnvironment(env);
    });
}

TEST(ScriptImages, EveryImageLineWritesItsFileAndAFailureSaysWhy) {
    ensure_app();
    QTemporaryDir dir;
    const ProgramRun run = run_script(dir,
                                      "thickness 5\nmach 50\nsnapshot w.png\nsnapshot w.svg\nsnapshot w.pdf\n"
                                      "export pressure p.png\nexport Picture_CL l.pdf\nexport profil p.csv\n"
                                      "sweep camber\nexport sweep s.svg\nflow\nexport flow f.png\nhandout h.pdf\nclose flow\n"
                                      "export flow g.png\n");
    EXPECT_EQ(run.exit_code, 1) << run.err.toStdString();
    // Qt may say something of its own first.
    EXPECT_TRUE(run.err.endsWith("\njmach-script: stdin: line 15: export flow: its window is not open\n") ||
                run.err.startsWith("jmach-script: stdin: line 15: export flow: its window is not open\n"))
        << run.err.toStdString();
    const QDir out(dir.path());
    EXPECT_EQ(QImage(out.filePath(QStringLiteral("w.png"))).size(), QSize(792, 508));  // the window, menu bar and all
    EXPECT_EQ(QImage(out.filePath(QStringLiteral("p.png"))).size(), QSize(640, 578));  // a chart at twice its size
    EXPECT_EQ(QImage(out.filePath(QStringLiteral("f.png"))).size(), QSize(1600, 800));
    EXPECT_TRUE(read_file(out.filePath(QStringLiteral("w.svg")), 64).contains("<?xml"));
    for (const char* pdf : {"w.pdf", "l.pdf", "h.pdf"}) EXPECT_EQ(read_file(out.filePath(QString::fromLatin1(pdf)), 5), "%PDF-");

    const ProgramRun failed = run_script(dir, "snapshot missing/w.png\n");
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_TRUE(failed.err.contains("jmach-script: stdin: line 1: cannot write the snapshot \"missing/w.png\": "))
        << failed.err.toStdString();
}

// Without an image line the tool never starts a GUI application: a
// platform that does not exist stops nothing.
TEST(ScriptImages, AScriptWithoutImagesNeedsNoWindowSystem) {
    ensure_app();
    QTemporaryDir dir;
    const ProgramRun run = run_script(dir, "thickness 5\nexport pressure p.csv\nabout\n", QStringLiteral("no-such-platform"));
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), 3);
}

}  // namespace
}  // namespace jmach::testing

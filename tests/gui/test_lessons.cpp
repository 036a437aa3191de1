// Lessons in the desktop window: the Edit menu's undo and redo, state
// files and links through the File menu, and the one-page handout as a PDF
// of texts and vector charts.

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QRegularExpression>

#include "session/state_lines.h"
#include "test_window_support.h"

namespace jmach::testing {
namespace {

QAction* action(Window& w, const char* name) { return w.find<QAction>(name); }

TEST(Lessons, UndoAndRedoTakeStepsBackAndForthAndGreyTheirItems) {
    Window w;
    QAction* undo = action(w, "Mn_Undo");
    QAction* redo = action(w, "Mn_Redo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());

    w.bar("HScroll_Thickness")->setValue(5);
    // A drag of the thumb over several values is one step.
    QScrollBar* camber = w.bar("HScroll_Camber");
    camber->setSliderDown(true);
    for (int v = 1; v <= 2; ++v) camber->setValue(v);
    camber->setSliderDown(false);
    // A run of typing is one step.
    QLineEdit* mach = w.box("Text_Moo");
    mach->setText(QString());
    for (const QString& text : {QStringLiteral("0"), QStringLiteral("0."), QStringLiteral("0.3")})
        emit mach->textEdited(text);
    emit mach->editingFinished();
    EXPECT_EQ(w->history().undo_steps(), 3u);

    undo->trigger();
    EXPECT_EQ(mach->text(), QStringLiteral("0"));
    undo->trigger();
    EXPECT_EQ(w.box("Text_Camber")->text(), QStringLiteral("0"));
    EXPECT_EQ(camber->value(), 0);
    EXPECT_TRUE(redo->isEnabled());
    undo->trigger();
    EXPECT_EQ(w.bar("HScroll_Thickness")->value(), 0);
    EXPECT_FALSE(undo->isEnabled());
    redo->trigger();
    redo->trigger();
    EXPECT_EQ(w.box("Text_Camber")->text(), QStringLiteral("0.02"));
    EXPECT_EQ(w.box("Text_Thickness")->text(), QStringLiteral("0.05"));
}

TEST(Lessons, StateFilesAndLinksOpenTheSameWindowAndABadOneChangesNothing) {
    Window a;
    a.bar("HScroll_Thickness")->setValue(5);
    a.bar("HScroll_Camber")->setValue(2);
    a->chart_menu(ChartId::pressure)->findChild<QAction*>(QStringLiteral("keep_reference"))->trigger();
    a.bar("HScroll_AlfaD")->setValue(3);
    QString chosen;
    const auto hook = [&](const QString&, const QString&, const QString&) { return chosen; };
    a->set_file_dialog_hook(hook);
    chosen = a.dir.filePath(QStringLiteral("lesson"));  // the suffix of the type is added
    action(a, "Mn_Save")->trigger();
    const QByteArray saved = read_file(chosen + QStringLiteral(".jmach"));
    EXPECT_TRUE(saved.startsWith("jmach-state 1\nthickness 5\ncamber 2\nkeep pressure\nalpha 3\n")) << saved.data();
    action(a, "Mn_Link")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), a->state_link());
    EXPECT_TRUE(a->state_link().startsWith(QStringLiteral("https://jmach.org/jmach.html#state=jmach-state%201%0A")));

    Window b;
    b->set_file_dialog_hook(hook);
    chosen += QStringLiteral(".jmach");
    action(b, "Mn_Open")->trigger();
    EXPECT_EQ(b.session.same_window(a.session), true);
    EXPECT_EQ(b->state_link(), a->state_link());
    // One step: undo goes back to what the window showed before.
    action(b, "Mn_Undo")->trigger();
    EXPECT_EQ(b.box("Text_Thickness")->text(), QStringLiteral("0"));
    Window c;
    EXPECT_FALSE(c->open_state(a->state_link()));
    EXPECT_TRUE(c.session.same_window(a.session));

    // Refused, with its line and why; the window stays.
    c->set_file_dialog_hook(hook);
    put((chosen = c.dir.filePath(QStringLiteral("bad.jmach"))).toStdString(), "jmach-state 1\n# set by hand\nthickness 99\n");
    action(c, "Mn_Open")->trigger();
    ASSERT_EQ(c.messages.size(), 1u);
    EXPECT_EQ(c.messages[0], "Cannot open " + chosen.toStdString() +
                                 ": line 3: thickness 99 is outside 0..30. The window stays as it was.");
    EXPECT_TRUE(c.session.same_window(a.session));
    EXPECT_TRUE(c->open_state(c.dir.filePath(QStringLiteral("missing.jmach"))).has_value());
    // A file that cannot be written says so and leaves nothing behind.
    chosen = c.dir.filePath(QStringLiteral("no/such/folder/lesson.jmach"));
    action(c, "Mn_Save")->trigger();
    ASSERT_EQ(c.messages.size(), 2u);
    EXPECT_TRUE(c.messages[1].starts_with("Cannot write ")) << c.messages[1];
    EXPECT_TRUE(c.session.same_window(a.session));
}

TEST(Lessons, TheHandoutIsOneA4PageOfTheTextsAndFiveVectorCharts) {
    Window w;
    w.bar("HScroll_Thickness")->setValue(5);
    w.bar("HScroll_Camber")->setValue(2);
    w.bar("HScroll_AlfaD")->setValue(4);
    w.bar("HScroll_Moo")->setValue(50);
    const QString file = w.dir.filePath(QStringLiteral("handout.pdf"));
    ASSERT_FALSE(w->save_handout(file));
    const QByteArray pdf = read_file(file);
    EXPECT_EQ(pdf.count("/Type /Page\n"), 1);
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 595")) << "A4 portrait";
    EXPECT_FALSE(pdf.contains("/Subtype /Image")) << "the charts are vector graphics";
    // The page's drawing: its content stream, inflated, holds the charts'
    // lines and their five backgrounds.
    const qsizetype start = pdf.indexOf("stream\n", pdf.indexOf("/Filter /FlateDecode")) + 7;
    const QByteArray packed = pdf.mid(start, pdf.indexOf("endstream", start) - start);
    QByteArray sized(4, '\0');
    sized[1] = 0x40;  // room for 4 MiB
    const QByteArray page = qUncompress(sized + packed);
    EXPECT_GT(page.count(" l\n"), 300);
    EXPECT_GE(page.count(" re\n"), 5);

    const ProgramRun text = run_program(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}, w.dir.path());
    ASSERT_EQ(text.exit_code, 0) << "pdftotext (poppler-utils)";
    const QString words = QString::fromUtf8(text.out).replace(QLatin1Char('\n'), QLatin1Char(' '));
    for (const char* expected : {"Relative thickness", "0.05", "Critical Mach number, Kármán–Tsien", "Laitone",
                                 "Surface pressure", "Moment curve", "jmach-state 1", "alpha 4", "https://jmach.org/"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(words.contains(QRegularExpression(QStringLiteral("20\\d\\d-\\d\\d-\\d\\d"))));
    // Printed: the same one page, on the printer's paper.
    const QString printed = w.dir.filePath(QStringLiteral("printed.pdf"));
    w->set_print_hook([&](QPrinter& printer) { return printer.setOutputFileName(printed), true; });
    action(w, "Mn_PrintHandout")->trigger();
    EXPECT_EQ(read_file(printed).count("/Type /Page\n"), 1);
    EXPECT_FALSE(read_file(printed).contains("/Subtype /Image"));
}

}  // namespace
}  // namespace jmach::testing

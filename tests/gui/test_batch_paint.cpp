// The script tool's window paints nothing that nobody sees: between images
// it takes no paint at all, and every image it writes is the one a window
// that painted after every action writes.

#include <QFile>

#include "test_window_support.h"

namespace jmach::testing {
namespace {

// Counts the paint events that reach the widgets of one top-level window.
class PaintCounter : public QObject {
public:
    PaintCounter() {
        ensure_app();
        QApplication::instance()->installEventFilter(this);
    }
    ~PaintCounter() override { QApplication::instance()->removeEventFilter(this); }
    long on(const QWidget* top) const {
        long n = 0;
        for (const QWidget* w : painted_)
            if (w->window() == top) ++n;
        return n;
    }
    void reset() { painted_.clear(); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType()) painted_.push_back(static_cast<QWidget*>(object));
        return false;
    }

private:
    std::vector<const QWidget*> painted_;
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Batch {
    explicit Batch(bool paint_every_action) : runner(*w.form, ScriptOptions{false, paint_every_action}) {
        w->show();
        QCoreApplication::processEvents();
    }
    std::vector<std::string> run(const std::vector<std::string>& lines) {
        std::vector<std::string> out;
        std::string json;
        for (const std::string& line : lines) {
            const std::string resolved = line.find("FILE:") == std::string::npos
                                             ? line
                                             : line.substr(0, line.find("FILE:")) +
                                                   w.dir.filePath(QString::fromStdString(line.substr(line.find("FILE:") + 5)))
                                                       .toStdString();
            if (auto error = runner.run_line(resolved, json)) ADD_FAILURE() << *error;
            // The line as written, not the window's own folder.
            const std::string folder = w.dir.path().toStdString() + "/";
            for (std::size_t at; (at = json.find(folder)) != std::string::npos;) json.replace(at, folder.size(), "FILE:");
            out.push_back(json);
        }
        return out;
    }
    QByteArray file(const char* name) const { return contents(w.dir.filePath(QString::fromLatin1(name))); }

    Window w{std::nullopt};  // the real table
    ScriptRunner runner;
};

const char* const kImages[] = {"a.png", "a.svg", "p.png", "p.svg", "m.png", "c.svg", "b.png", "b.svg", "q.png"};

TEST(BatchPaint, ImagesAfterUnpaintedActionsAreThoseOfAWindowThatPaintedEveryAction) {
    PaintCounter paints;
    Batch painted(true), unpainted(false);
    paints.reset();
    // Moves of every kind, the Mach box's note and error looks, a message
    // box and the About window, with images written between them.
    const std::vector<std::string> first = {"thickness 12", "camber 4", "np 51", "alpha 5", "mach 50",
                                            "xm 25", "about", "click pressure", "alpha -3"};
    const std::vector<std::string> images = {"snapshot FILE:a.png", "snapshot FILE:a.svg", "export pressure FILE:p.png",
                                             "export pressure FILE:p.svg", "export Mcrit FILE:m.png",
                                             "export Picture_CL FILE:c.svg"};
    const std::vector<std::string> second = {"type-mach 0.70x", "np 11", "alpha 10", "type-mach abc", "click Picture_CM",
                                             "thickness 0", "camber 15", "mach 85", "export profil FILE:x.csv"};
    const std::vector<std::string> last = {"snapshot FILE:b.png", "snapshot FILE:b.svg", "export pressure FILE:q.png"};
    for (const auto* lines : {&first, &images, &second, &last}) {
        EXPECT_EQ(painted.run(*lines), unpainted.run(*lines));
        if (lines == &first || lines == &second) {
            // Between images the batch window and its About window take no paint.
            EXPECT_EQ(paints.on(unpainted.w.form.get()), 0);
            if (QWidget* about = unpainted.w->about_window()) {
                EXPECT_EQ(paints.on(about), 0);
            }
            EXPECT_GT(paints.on(painted.w.form.get()), static_cast<long>(lines->size()));
        }
        paints.reset();
    }
    for (const char* name : kImages) {
        EXPECT_FALSE(painted.file(name).isEmpty()) << name;
        EXPECT_EQ(painted.file(name), unpainted.file(name)) << name;
    }
    EXPECT_EQ(painted.file("x.csv"), unpainted.file("x.csv"));
}

TEST(BatchPaint, AWindowWatchedAgainShowsTheLastValuesAndExplanations) {
    Batch painted(true);
    auto unpainted = std::make_unique<Batch>(false);
    const std::vector<std::string> lines = {"thickness 5", "camber 2", "np 21", "alpha 7", "mach 60", "xm 40"};
    painted.run(lines);
    unpainted->run(lines);
    Form1& held = *unpainted->w.form;
    // Read through the window, the held values are the current ones...
    for (const char* name : kValueBoxNames) {
        EXPECT_EQ(held.value_text(name), painted.w->value_text(name)) << name;
        EXPECT_EQ(held.value_tip(name), painted.w->value_tip(name)) << name;
    }
    // ...and once the runner is gone, the boxes themselves hold them.
    auto* form = unpainted->w.form.release();
    unpainted.reset();
    for (const char* name : kValueBoxNames) {
        EXPECT_EQ(text_box(*form, name)->text(), text_box(painted.w, name)->text()) << name;
        EXPECT_EQ(text_box(*form, name)->toolTip(), text_box(painted.w, name)->toolTip()) << name;
        EXPECT_EQ(text_box(*form, name)->accessibleDescription(), text_box(painted.w, name)->accessibleDescription()) << name;
    }
    EXPECT_TRUE(form->updatesEnabled());
    delete form;
}

}  // namespace
}  // namespace jmach::testing

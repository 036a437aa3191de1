#pragma once
// The main window as a view of the session: its widgets are built from the
// control table, every user event is handed to the session, and afterwards
// the window shows what the session holds (value boxes, tooltips, charts,
// views, messages, the About window).

#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "session/history.h"
#include "session/session.h"

class QAction;
class QLineEdit;
class QMenu;
class QPrinter;
class QScrollBar;

namespace jmach {

class FormAbout;
class PictureBox;
class ViewWindow;

// The commands of each chart's context menu, in menu order, by object name.
inline constexpr std::array<const char*, 5> kChartCommands = {"copy_image", "copy_data", "save_image",
                                                               "save_data", "print"};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The session must outlive the window; it is shown as it is now.
    explicit Form1(Session& session, QWidget* parent = nullptr);
    ~Form1() override;

    Session& session() const { return session_; }

    // Shows what the session holds now: the boxes and their tooltips, the
    // Mach box's look, the charts and views whose drawings changed, the
    // messages raised (each answered with OK) and About when it was asked
    // for. Every forwarded event ends here.
    void refresh();

    // Every message box of the window goes through here. Without a hook it
    // is a modal box with one OK button and the application's title; with
    // one, the hook receives the text instead (the tests and the image
    // part answer it that way).
    using MessageHook = std::function<void(const QString& text)>;
    void set_message_hook(MessageHook hook) { message_hook_ = std::move(hook); }
    void show_message(const QString& text, bool error = false);

    // The save dialogs and the print dialog go through here. Without a
    // hook they are Qt's dialogs; with one, the file hook returns the
    // chosen file (empty: cancelled) and the print hook sets the printer
    // up and returns whether to print.
    using FileDialogHook = std::function<QString(const QString& caption, const QString& start, const QString& filters)>;
    using PrintHook = std::function<bool(QPrinter& printer)>;
    void set_file_dialog_hook(FileDialogHook hook) { file_hook_ = std::move(hook); }
    void set_print_hook(PrintHook hook) { print_hook_ = std::move(hook); }
    // The file to save to, asked in the folder of the last save; a name
    // without a suffix takes the chosen type's. Empty: cancelled.
    QString ask_save_file(const QString& caption, const QString& name, const QString& filters);
    // As above, and a file not of the kind asked for (`fits` false) is
    // refused with "FILE: `wrong_kind`" and reads as cancelled.
    QString ask_save_file(const QString& caption, const QString& name, const QString& filters,
                          const std::function<bool(const QString&)>& fits, const QString& wrong_kind);
    bool setup_printer(QPrinter& printer, const QString& title);

    PictureBox& chart(ChartId which) const { return *charts_[static_cast<std::size_t>(which)]; }
    QMenu* chart_menu(ChartId which) const { return chart_menus_[static_cast<std::size_t>(which)]; }
    // A view's window, made when the view first opens; null before.
    ViewWindow* view_window(View view) const;
    // The About window once it has been created, else null.
    QWidget* about_window() const;

    // A chart as a file, by the file's suffix: .csv its numbers, .png,
    // .svg or .pdf its image with captions. Returns the message to show
    // when nothing was written.
    std::optional<QString> export_chart(ChartId which, const QString& file);
    void copy_chart_image(ChartId which);
    void copy_chart_data(ChartId which);
    void save_chart_image(ChartId which);
    void save_chart_data(ChartId which);
    void print_chart(ChartId which);

    // ---- Lessons: the File and Edit menus (form1_lesson.cpp) ----

    // Every step the user took, to take back and again.
    const History& history() const { return history_; }
    void undo();
    void redo();
    // Opens a state file or a link as one step; the message to show when
    // it is refused (which line and why), the window then as it was.
    std::optional<QString> open_state(const QString& file_or_link);
    // The state as a .jmach file, the link "Copy link" writes, and the
    // one-page handout as PDF; each write says why it failed and leaves
    // no partial file.
    std::optional<QString> save_state(const QString& file);
    QString state_link() const;
    std::optional<QString> save_handout(const QString& file);
    void open_state_dialog();
    void save_state_dialog();
    void copy_link();
    void save_handout_dialog();
    void print_handout_dialog();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_widgets();  // form1_layout.cpp
    void build_chart_menus();
    void build_lesson_menus();  // form1_lesson.cpp
    void show_history();
    // A run of typing in the Mach box is one step, ended by the next action.
    void finish_typing();
    void connect_events();
    void show_boxes();
    void show_charts();
    void show_views();
    // Hands an event to the session, then shows its outcome.
    template <class Event>
    void forward(Event&& event) {
        finish_typing();
        history_.step(session_, event);
        refresh();
    }

    Session& session_;
    History history_;
    bool typing_ = false;
    MessageHook message_hook_;
    FileDialogHook file_hook_;
    PrintHook print_hook_;
    QString last_folder_;  // where the last file was saved, while the program runs
    unsigned about_shown_ = 0;
    std::unique_ptr<FormAbout> about_;
    std::array<std::unique_ptr<ViewWindow>, 2> views_;

    QAction* Mn_About = nullptr;
    QAction* undo_action_ = nullptr;
    QAction* redo_action_ = nullptr;
    std::array<QScrollBar*, 6> bars_{};                     // by Input
    std::array<QLineEdit*, kValueBoxNames.size()> boxes_{};  // kValueBoxNames order
    std::array<PictureBox*, 5> charts_{};                   // by ChartId
    std::array<QString, 5> chart_tips_;  // each chart's description and use
    // What the widgets show now, as the session gave it: the box texts, the
    // results' explanations and the Mach box's note, the reference notes.
    std::array<std::string, kValueBoxNames.size()> shown_texts_, shown_tips_;
    std::array<std::string, 5> shown_notes_;
    std::array<QMenu*, 5> chart_menus_{};
    std::array<QAction*, 5> clear_reference_actions_{};
    QAction* sonic_action_ = nullptr;
};

}  // namespace jmach

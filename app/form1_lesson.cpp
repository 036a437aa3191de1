// The main window's File and Edit menus: a lesson's state as a file or a
// link, the one-page handout, and undo and redo of the window's steps.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QPrinter>
#include <QStandardPaths>

#include "app/chart_export.h"
#include "app/command_line.h"
#include "app/form1.h"
#include "app/handout_page.h"
#include "session/handout.h"
#include "session/state_lines.h"

namespace jmach {

namespace {

const QString kStateFilters = QStringLiteral("jmach state (*.jmach)");

QAction* item(QMenu* menu, const char* name, const QString& text, const QString& tip,
              const QList<QKeySequence>& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    return action;
}

Handout todays_handout(const Session& session) {
    return handout(session, page_address(), QDate::currentDate().toString(Qt::ISODate).toStdString());
}

}  // namespace

void Form1::build_lesson_menus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("Mn_File"));
    connect(item(file, "Mn_Open", QStringLiteral("&Open…"), QStringLiteral("Open a state saved as a .jmach file"),
                 {QKeySequence::Open}),
            &QAction::triggered, this, &Form1::open_state_dialog);
    connect(item(file, "Mn_Save", QStringLiteral("&Save…"),
                 QStringLiteral("Save the state (inputs, references, views) as a .jmach file"), {QKeySequence::Save}),
            &QAction::triggered, this, &Form1::save_state_dialog);
    connect(item(file, "Mn_Link", QStringLiteral("Copy &link"),
                 QStringLiteral("Copy a link that opens this state in the browser edition")),
            &QAction::triggered, this, &Form1::copy_link);
    file->addSeparator();
    connect(item(file, "Mn_SaveHandout", QStringLiteral("Save &handout…"),
                 QStringLiteral("Save one A4 page of the inputs, results and charts as PDF")),
            &QAction::triggered, this, &Form1::save_handout_dialog);
    connect(item(file, "Mn_PrintHandout", QStringLiteral("&Print handout…"),
                 QStringLiteral("Print one A4 page of the inputs, results and charts"), {QKeySequence::Print}),
            &QAction::triggered, this, &Form1::print_handout_dialog);
    file->addSeparator();
    connect(item(file, "Mn_Quit", QStringLiteral("&Quit"), QStringLiteral("Close the window"), {QKeySequence::Quit}),
            &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Mn_Edit"));
    undo_action_ = item(edit, "Mn_Undo", QStringLiteral("&Undo"), QStringLiteral("Take the last step back"),
                        {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo_action_ = item(edit, "Mn_Redo", QStringLiteral("&Redo"), QStringLiteral("Take the step undone again"),
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undo_action_, &QAction::triggered, this, &Form1::undo);
    connect(redo_action_, &QAction::triggered, this, &Form1::redo);
}

void Form1::finish_typing() {
    if (!typing_) return;
    typing_ = false;
    history_.end(session_);
}

void Form1::show_history() {
    undo_action_->setEnabled(typing_ || history_.can_undo());
    redo_action_->setEnabled(!typing_ && history_.can_redo());
}

void Form1::undo() {
    finish_typing();
    history_.undo(session_);
    refresh();
}

void Form1::redo() {
    finish_typing();
    history_.redo(session_);
    refresh();
}

std::optional<QString> Form1::open_state(const QString& where) {
    StateOpened opened;
    forward([&] { opened = jmach::open_state_at(session_, where.toStdString()); });
    const QString name = is_link(where.toStdString()) ? QStringLiteral("the link") : QDir::toNativeSeparators(where);
    if (!opened.opened) return QString::fromStdString(cannot_open_state(name.toStdString(), opened.notice));
    // A profile the table lacks on the way was answered; it is told once.
    if (!opened.notice.empty()) show_message(QString::fromStdString(opened.notice));
    return std::nullopt;
}

std::optional<QString> Form1::save_state(const QString& file) {
    return write_whole_file(file, QByteArray::fromStdString(state_text(session_)));
}

QString Form1::state_link() const { return QString::fromStdString(jmach::state_link(session_, page_address())); }

std::optional<QString> Form1::save_handout(const QString& file) {
    return write_whole_file(file, handout_pdf(*this, todays_handout(session_)));
}

void Form1::open_state_dialog() {
    if (last_folder_.isEmpty()) last_folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString filters = kStateFilters + QStringLiteral(";;All files (*)");
    const QString file = file_hook_ ? file_hook_(QStringLiteral("Open state"), last_folder_, filters)
                                    : QFileDialog::getOpenFileName(this, QStringLiteral("Open state"), last_folder_, filters);
    if (file.isEmpty()) return;
    last_folder_ = QFileInfo(file).absolutePath();
    if (const auto refused = open_state(file)) show_message(*refused, true);
}

void Form1::save_state_dialog() {
    const auto is_state_file = [](const QString& f) { return QFileInfo(f).suffix().toLower() == QLatin1String("jmach"); };
    const QString file = ask_save_file(QStringLiteral("Save state"), QStringLiteral("lesson.jmach"), kStateFilters,
                                       is_state_file, QStringLiteral("a state is saved as .jmach"));
    if (file.isEmpty()) return;
    if (const auto reason = save_state(file)) show_message(cannot_write_message(file, *reason), true);
}

void Form1::copy_link() { QGuiApplication::clipboard()->setText(state_link()); }

void Form1::save_handout_dialog() {
    const auto is_pdf = [](const QString& f) { return export_format(f) == ExportFormat::pdf; };
    const QString file = ask_save_file(QStringLiteral("Save handout"), QStringLiteral("handout.pdf"),
                                       QStringLiteral("PDF document (*.pdf)"), is_pdf,
                                       QStringLiteral("the handout is saved as .pdf"));
    if (file.isEmpty()) return;
    if (const auto reason = save_handout(file)) show_message(cannot_write_message(file, *reason), true);
}

void Form1::print_handout_dialog() {
    QPrinter printer(QPrinter::HighResolution);
    if (!setup_printer(printer, QStringLiteral("Handout"))) return;
    if (const auto error = print_handout(*this, todays_handout(session_), printer)) show_message(*error, true);
}

}  // namespace jmach

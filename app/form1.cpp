#include "app/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>

#include "app/form_about.h"
#include "app/picture_box.h"
#include "app/rich_tip.h"
#include "app/view_window.h"

namespace jmach {

QString rich_tip(const QString& plain) {
    QString html = QStringLiteral("<p>") + plain.toHtmlEscaped() + QStringLiteral("</p>");
    html.replace(QStringLiteral("\n\n"), QStringLiteral("</p><p>"));
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return html;
}

Form1::Form1(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    build_lesson_menus();
    build_widgets();
    build_chart_menus();
    connect_events();
    about_shown_ = session_.about_requests();
    refresh();
}

Form1::~Form1() = default;

void Form1::connect_events() {
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        connect(bars_[i], &QScrollBar::valueChanged, this,
                [this, input = static_cast<Input>(i)](int value) { forward([&] { session_.scroll(input, value); }); });
        // A drag of the thumb, from press to release, is one step.
        connect(bars_[i], &QScrollBar::sliderPressed, this, [this] {
            finish_typing();
            history_.begin(session_);
        });
        connect(bars_[i], &QScrollBar::sliderReleased, this, [this] {
            history_.end(session_);
            show_history();
        });
    }
    for (std::size_t i = 0; i < charts_.size(); ++i)
        connect(charts_[i], &PictureBox::clicked, this,
                [this, chart = static_cast<ChartId>(i)] { forward([&] { session_.click(chart); }); });
    // Typing runs nothing: the next chain reads the box.
    connect(boxes_[5], &QLineEdit::textEdited, this,
            [this](const QString& text) {
                if (!typing_) history_.begin(session_);
                typing_ = true;
                session_.type_mach(text.toStdString());
                shown_texts_[5] = *session_.text(kValueBoxNames[5]);
            });
    connect(boxes_[5], &QLineEdit::editingFinished, this, [this] {
        finish_typing();
        show_history();
    });
    connect(Mn_About, &QAction::triggered, this, [this] { forward([&] { session_.Mn_About_Click(); }); });
}

void Form1::refresh() {
    show_history();
    show_boxes();
    show_charts();
    show_views();
    if (session_.about_requests() != about_shown_) {
        about_shown_ = session_.about_requests();
        if (!about_) about_ = std::make_unique<FormAbout>();
        about_->show();
        about_->raise();
        about_->activateWindow();
    }
    for (const std::string& message : session_.take_messages()) show_message(QString::fromStdString(message));
}

void Form1::show_boxes() {
    for (std::size_t i = 0; i < bars_.size(); ++i)
        if (const int value = session_.bar(static_cast<Input>(i)); bars_[i]->value() != value) {
            const QSignalBlocker quiet(bars_[i]);
            bars_[i]->setValue(value);
        }
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        QLineEdit* box = boxes_[i];
        if (const std::string& text = *session_.text(kValueBoxNames[i]); text != shown_texts_[i]) {
            shown_texts_[i] = text;
            box->setText(QString::fromStdString(text));
            // A value too long for its box shows its leading digits.
            if (box->isReadOnly()) box->setCursorPosition(0);
        }
        // A result's explanation of the last value, in place of its meaning.
        const std::string* tip = session_.tooltip(kValueBoxNames[i]);
        if (!tip || tip->empty() || !box->isReadOnly() || *tip == shown_tips_[i]) continue;
        shown_tips_[i] = *tip;
        const QString plain = QString::fromStdString(*tip);
        box->setAccessibleDescription(plain);
        box->setToolTip(rich_tip(plain));
    }
    // The Mach box: red text while the number cannot be used; a coloured
    // background with a note while the text holds more than the number
    // read from it.
    QLineEdit* mach = boxes_[5];
    const MachBoxLook& look = session_.mach_look();
    if (look.tip != shown_tips_[5]) {
        shown_tips_[5] = look.tip;
        const QPalette plain = QApplication::palette(mach);
        QPalette palette = mach->palette();
        palette.setColor(QPalette::Text, look.mach ? plain.color(QPalette::Text) : to_qcolor(kErrorText));
        palette.setColor(QPalette::Base, look.noted ? to_qcolor(kNoteBackground) : plain.color(QPalette::Base));
        mach->setPalette(palette);
        mach->setToolTip(QString::fromStdString(look.tip));
    }
}

void Form1::show_charts() {
    for (std::size_t i = 0; i < charts_.size(); ++i) {
        const auto which = static_cast<ChartId>(i);
        PictureBox& box = *charts_[i];
        box.show_surface(session_.chart(which));
        // The chart's meaning, with the inputs of its reference.
        if (std::string note = session_.reference_note(which); note != shown_notes_[i]) {
            shown_notes_[i] = std::move(note);
            const QString text = shown_notes_[i].empty()
                                     ? chart_tips_[i]
                                     : chart_tips_[i] + QStringLiteral("\n\n") + QString::fromStdString(shown_notes_[i]);
            box.setAccessibleDescription(text);
            box.setToolTip(rich_tip(text));
        }
        clear_reference_actions_[i]->setEnabled(session_.chart(which).has_reference());
    }
    if (sonic_action_->isChecked() != session_.sonic_level()) {
        const QSignalBlocker quiet(sonic_action_);
        sonic_action_->setChecked(session_.sonic_level());
    }
}

void Form1::show_views() {
    for (const View view : {View::sweep, View::flow}) {
        auto& window = views_[static_cast<std::size_t>(view)];
        if (!session_.view_open(view)) {
            if (window && window->isVisible()) window->hide();
            continue;
        }
        if (!window) window = std::make_unique<ViewWindow>(*this, view);
        window->show_view();
        if (!window->isVisible()) window->show();
    }
}

ViewWindow* Form1::view_window(View view) const { return views_[static_cast<std::size_t>(view)].get(); }

QWidget* Form1::about_window() const { return about_.get(); }

void Form1::show_message(const QString& text, bool error) {
    if (message_hook_) {
        message_hook_(text);
        return;
    }
    // The modal box takes the mouse: a scroll bar whose arrow or page area
    // is still held would never see the button's release and would go on
    // stepping, one more message a step. Let go of it first.
    for (QScrollBar* bar : bars_) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), bar->mapToGlobal(QPointF(-1, -1)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
    }
    QMessageBox box(error ? QMessageBox::Warning : QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    text, QMessageBox::Ok, this);
    box.exec();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (about_) about_->close();
    for (auto& window : views_)
        if (window) window->hide();
    QMainWindow::closeEvent(event);
}

}  // namespace jmach

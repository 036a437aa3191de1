// The main window's widgets, built from the control table: every frame,
// caption, value box, scroll bar and chart at its place, with what each
// means for tooltips and screen readers. Places are given in twips; 15
// twips make one device-independent pixel.

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>

#include <cmath>
#include <map>
#include <string_view>

#include "app/form1.h"
#include "app/rich_tip.h"
#include "app/picture_box.h"

namespace jmach {

namespace {

// A value box that paints every pixel of its rectangle: first what its
// frame shows beneath it (where its rounded corners leave it; the frame's
// inside is of one colour, read from the frame when the box is first
// painted or the style or palette changed), then the box. Qt then need not
// paint the frame again whenever the value changes.
class ValueBox : public QLineEdit {
public:
    ValueBox(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!beneath_.isValid()) {
            const qreal ratio = devicePixelRatioF();
            QImage pixel(QSize(1, 1) * std::ceil(ratio), QImage::Format_ARGB32_Premultiplied);
            pixel.setDevicePixelRatio(ratio);
            pixel.fill(Qt::transparent);
            parentWidget()->render(&pixel, QPoint(), QRegion(QRect(geometry().center(), QSize(1, 1))),
                                   QWidget::DrawWindowBackground);
            beneath_ = pixel.pixelColor(0, 0);
        }
        {
            QPainter painter(this);
            painter.fillRect(rect(), beneath_);
        }
        QLineEdit::paintEvent(event);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) beneath_ = QColor();
        QLineEdit::changeEvent(event);
    }

private:
    QColor beneath_;
};

int px(int twips) { return static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel))); }

QRect place(const Control& c) { return QRect(px(c.left), px(c.top), px(c.width), px(c.height)); }

// Pixel sizes of the fonts: 8.25 pt and 6.75 pt at 96 dpi.
constexpr int kDialogPixels = 11;
constexpr int kTickPixels = 9;

QFont dialog_font() {
    QFont font = QApplication::font();
    font.setPixelSize(kDialogPixels);
    return font;
}

// The value boxes: one pixel smaller and slightly narrowed, so that a
// five-decimal moment coefficient such as -0.12345 fits its box whole;
// numbers, drawn glyph by glyph without shaping.
QFont value_font() {
    QFont font = QApplication::font();
    font.setPixelSize(kDialogPixels - 1);
    font.setStretch(90);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The frames' captions are drawn glyph by glyph: a frame repaints its
// caption whenever a value in it changes, and its letters need no shaping.
QFont frame_font() {
    QFont font = dialog_font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The charts' tick numbers and axis titles: Arial, italic.
QFont chart_font(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setItalic(true);
    font.setPixelSize(pixels);
    return font;
}

QFont caption_font(FontKind kind) {
    switch (kind) {
    case FontKind::tick: return chart_font(kTickPixels);
    case FontKind::title: return chart_font(kDialogPixels);
    case FontKind::dialog:
    case FontKind::greek:
    case FontKind::alpha: break;  // the Greek letters are in the dialog font, upright
    }
    return dialog_font();
}

QString utf8(const char* s) { return QString::fromUtf8(s); }

// The control's name and description, with what using it on this window
// means after the description.
void describe(QWidget* widget, const Control& c, bool tooltip = true, const char* use = "") {
    const QString description = utf8(c.help) + QLatin1String(use);
    widget->setAccessibleName(utf8(c.help_name));
    widget->setAccessibleDescription(description);
    if (tooltip) widget->setToolTip(rich_tip(description));
}

}  // namespace

void Form1::build_widgets() {
    setFont(dialog_font());

    Mn_About = menuBar()->addAction(QStringLiteral("About"));
    Mn_About->setObjectName(QStringLiteral("Mn_About"));
    menuBar()->setAccessibleName(QStringLiteral("Menu bar"));
    menuBar()->setAccessibleDescription(
        QStringLiteral("File opens and saves a state, copies its link and makes the handout; Edit undoes and redoes "
                       "steps; About shows who made the program."));
    Mn_About->setToolTip(QStringLiteral("Show the About window"));
    Mn_About->setStatusTip(Mn_About->toolTip());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(kClientWidth), px(kClientHeight));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    std::map<std::string_view, QWidget*> containers{{"", client}};
    std::vector<QWidget*> tab_chain;
    for (const Control& c : controls()) {
        QWidget* parent = containers.at(c.parent);
        QWidget* widget = nullptr;
        switch (c.kind) {
        case ControlKind::frame:
            widget = containers[c.name] = new QGroupBox(utf8(c.caption), parent);
            widget->setFont(frame_font());
            break;
        case ControlKind::label:
        case ControlKind::chart_label: {
            auto* label = new QLabel(utf8(c.caption), parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (c.kind == ControlKind::label) {
                // Shaped, unlike the frame's caption: "Mcr-PG" is kerned.
                QFont shaped = dialog_font();
                shaped.setStyleStrategy(QFont::PreferDefault);
                label->setFont(shaped);
            }
            if (c.kind == ControlKind::chart_label) {
                // Over a chart: on its background, in black, hiding the
                // curves beneath it.
                label->setFont(caption_font(c.font));
                QPalette palette = label->palette();
                palette.setColor(QPalette::Window, to_qcolor(kSurfaceBackground));
                palette.setColor(QPalette::WindowText, Qt::black);
                label->setPalette(palette);
                static_cast<PictureBox*>(parent)->add_caption(label);
            }
            widget = label;
            break;
        }
        case ControlKind::value_box: {
            QLineEdit* box = new ValueBox(utf8(c.caption), parent);
            box->setReadOnly(!c.typed);
            QFont font = value_font();
            // What the user types may hold any letters: shaped.
            if (c.typed) font.setStyleStrategy(QFont::PreferDefault);
            box->setFont(font);
            // The shown values take focus by click only, so that Tab walks
            // the inputs: the scroll bars and the Mach box.
            if (!c.typed) box->setFocusPolicy(Qt::ClickFocus);
            if (c.typed) tab_chain.push_back(box);
            // The Mach box's tooltip tells its state (an unusable typed
            // value), so its meaning goes to screen readers only.
            describe(box, c, !c.typed);
            const std::size_t i = static_cast<std::size_t>(
                std::find(kValueBoxNames.begin(), kValueBoxNames.end(), std::string_view(c.name)) - kValueBoxNames.begin());
            boxes_.at(i) = box;
            widget = box;
            break;
        }
        case ControlKind::scroll_bar: {
            auto* bar = new QScrollBar(Qt::Horizontal, parent);
            bar->setRange(c.minimum, c.maximum);
            bar->setSingleStep(c.small_change);
            bar->setPageStep(c.large_change);
            bar->setValue(c.value);
            // valueChanged then comes once per arrow, page click or key, and
            // once when a dragged thumb is released, never while it moves.
            bar->setTracking(false);
            // Qt's scroll bars invert the keys and the wheel for scrolling
            // content; as an input the Right key and the wheel turned up
            // raise the value.
            bar->setInvertedControls(false);
            bar->setFocusPolicy(Qt::StrongFocus);
            describe(bar, c);
            tab_chain.push_back(bar);
            const std::size_t i = static_cast<std::size_t>(
                std::find(kInputBars.begin(), kInputBars.end(), std::string_view(c.name)) - kInputBars.begin());
            bars_.at(i) = bar;
            widget = bar;
            break;
        }
        case ControlKind::picture: {
            auto* box = new PictureBox(parent, c.foreground ? to_qcolor(c.foreground) : QColor(Qt::black));
            // The chart: what it shows, then how it is used here.
            const char* use = c.clickable ? " Click to recompute; right-click to copy, save or print the chart."
                                          : " Right-click to copy, save or print the chart.";
            describe(box, c, true, use);
            const std::size_t i = static_cast<std::size_t>(
                std::find(kChartNames.begin(), kChartNames.end(), std::string_view(c.name)) - kChartNames.begin());
            charts_.at(i) = box;
            chart_tips_.at(i) = box->accessibleDescription();
            widget = containers[c.name] = box;
            break;
        }
        }
        widget->setObjectName(QString::fromLatin1(c.name));
        widget->setGeometry(place(c));
    }
    // Typing moves from the inputs in window order to the Mach box.
    for (std::size_t i = 1; i < tab_chain.size(); ++i) setTabOrder(tab_chain[i - 1], tab_chain[i]);
}

}  // namespace jmach

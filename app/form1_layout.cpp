// The main window's layout: every frame, caption, value box, scroll bar
// and chart at its place. Positions and sizes are given in twips, as the
// window was first drawn; 15 twips make one device-independent pixel.

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "charts/picture_box.h"

namespace jmach {

namespace {

// The layout is given in twips; 15 twips make one device-independent pixel.
int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

// Pixel sizes of the fonts: 8.25 pt and 6.75 pt at 96 dpi.
constexpr int kDialogPixels = 11;
constexpr int kTickPixels = 9;

QFont dialog_font() {
    QFont font = QApplication::font();
    font.setPixelSize(kDialogPixels);
    return font;
}

// The value boxes: one pixel smaller and slightly narrowed, so that a
// five-decimal moment coefficient such as -0.12345 fits its box whole.
QFont value_font() {
    QFont font = QApplication::font();
    font.setPixelSize(kDialogPixels - 1);
    font.setStretch(90);
    return font;
}

QFont chart_font(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setItalic(true);
    font.setPixelSize(pixels);
    return font;
}

// A widget whose look never changes by itself: on a raster device it is
// painted once into an image of the target's format and copied from there
// until its size, resolution, font, palette or style changes; elsewhere
// (a printer, an SVG) it paints as the toolkit would, over its background.
template <class Base>
class PaintedOnce : public Base {
public:
    using Base::Base;

protected:
    virtual void paint_once(QPainter& painter) = 0;
    // What the widget is painted over: its window colour, or (when false)
    // what its parent shows beneath it.
    virtual bool over_window_colour() const { return true; }

    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        const qreal ratio = whole_pixel_ratio(painter);
        // Over what the parent shows, the image takes a render of the
        // parent as well: that is done from the second paint on, so that
        // start-up does not pay it for captions that never repaint.
        const bool first_over_parent = !over_window_colour() && !std::exchange(painted_, true);
        if (ratio == 0 || first_over_parent) {
            if (over_window_colour()) painter.fillRect(this->rect(), this->palette().color(QPalette::Window));
            painter.end();
            Base::paintEvent(event);
            return;
        }
        if (renew_image(image_, this->size(), ratio, target_format(painter))) {
            if (over_window_colour())
                image_.fill(this->palette().color(QPalette::Window));
            else
                this->parentWidget()->render(&image_, QPoint(), QRegion(this->geometry()), QWidget::DrawWindowBackground);
            QPainter once(&image_);
            begin_like_widget(once, *this);
            paint_once(once);
        }
        painter.drawImage(0, 0, image_);
    }

    void changeEvent(QEvent* event) override {
        image_ = QImage();
        Base::changeEvent(event);
    }

private:
    QImage image_;
    bool painted_ = false;
};

// A caption inside a frame. It is painted once over what the frame shows
// beneath it and copied from there: some captions reach a pixel into the
// value box beside them and repaint with it on every change.
class FrameLabel : public PaintedOnce<QLabel> {
public:
    using PaintedOnce<QLabel>::PaintedOnce;

protected:
    bool over_window_colour() const override { return false; }
    void paint_once(QPainter& painter) override { paint_label_text(painter, *this); }
};

QLabel* make_label(QWidget* parent, const char* name, const QString& caption, int left, int top,
                   int width, int height = 255) {
    auto* label = new FrameLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(px(left), px(top), px(width), px(height));
    return label;
}

QLabel* make_chart_label(QWidget* surface, const char* name, const QString& caption, int left,
                         int top, const QFont& font, int width = 375, int height = 255) {
    auto* label = new ChartCaption(caption, surface);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(px(left), px(top), px(width), px(height));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, to_qcolor(kSurfaceBackground));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

// The style of the value boxes: the application's style, except that a
// box's panel (its frame and base) is painted once per box, size, state and
// palette into an image over what its frame shows beneath it, and copied
// from there. A value box repaints whenever its number changes; the rounded
// frame costs more to stroke than the number to draw. Elsewhere than on
// whole device pixels the panel is painted as the style paints it.
class ValueBoxStyle : public QProxyStyle {
public:
    ValueBoxStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        const QWidget* parent = widget ? widget->parentWidget() : nullptr;
        const qreal ratio = frame && element == PE_PanelLineEdit && parent && frame->rect == widget->rect()
                                ? whole_pixel_ratio(*painter)
                                : 0;
        if (ratio == 0) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const Panel key{widget,
                        widget->geometry(),
                        parent->size(),
                        parent->palette().cacheKey(),
                        frame->state,
                        frame->palette.cacheKey(),
                        frame->lineWidth,
                        frame->features,
                        ratio,
                        target_format(*painter),
                        QImage()};
        auto found = std::find_if(panels_.begin(), panels_.end(), [&](const Panel& p) { return p.same(key); });
        if (found == panels_.end()) {
            // A panel is painted ahead only once it is seen a second time:
            // most boxes never change, and start-up stays as it was.
            if (panels_.size() >= kMostPanels) panels_.clear();
            panels_.push_back(key);
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        if (found->image.isNull()) {
            // What the frame paints under the box, then the panel over it:
            // the pixels a direct paint gives.
            QImage image(key.geometry.size() * ratio, key.format);
            image.setDevicePixelRatio(ratio);
            const_cast<QWidget*>(parent)->render(&image, QPoint(), QRegion(key.geometry),
                                                 QWidget::DrawWindowBackground);
            QStyleOptionFrame at_origin = *frame;
            at_origin.rect.moveTo(0, 0);
            QPainter once(&image);
            begin_like_widget(once, *widget);
            QProxyStyle::drawPrimitive(element, &at_origin, &once, widget);
            once.end();
            found->image = image;
        }
        painter->drawImage(frame->rect.topLeft(), found->image);
    }

private:
    struct Panel {
        const QWidget* box;
        QRect geometry;
        QSize parent_size;
        qint64 parent_palette;
        State state;
        qint64 palette;
        int line_width;
        QStyleOptionFrame::FrameFeatures features;
        qreal ratio;
        QImage::Format format;
        QImage image;
        bool same(const Panel& o) const {
            return box == o.box && geometry == o.geometry && parent_size == o.parent_size &&
                   parent_palette == o.parent_palette && state == o.state && palette == o.palette &&
                   line_width == o.line_width && features == o.features && ratio == o.ratio && format == o.format;
        }
    };
    static constexpr std::size_t kMostPanels = 64;
    mutable std::vector<Panel> panels_;
};

QStyle* value_box_style() {
    static ValueBoxStyle* style = new ValueBoxStyle;
    return style;
}

QLineEdit* make_box(QWidget* parent, const char* name, int left, int top, int width,
                    const QString& text, bool editable = false) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(px(left), px(top), px(width), px(285));
    box->setReadOnly(!editable);
    box->setFont(value_font());
    box->setStyle(value_box_style());
    // The shown values take focus by click only, so that Tab walks the
    // inputs: the scroll bars and the Mach box.
    if (!editable) box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QScrollBar* make_scroll(QWidget* parent, const char* name, int left, int top, int width, int min,
                        int max, int small_change, int large_change, int value) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(px(left), px(top), px(width), px(255));
    bar->setRange(min, max);
    bar->setSingleStep(small_change);
    bar->setPageStep(large_change);
    bar->setValue(value);
    // valueChanged then comes once per arrow, page click or key, and once
    // when a dragged thumb is released, never while it moves.
    bar->setTracking(false);
    // Qt's scroll bars invert the keys and the wheel for scrolling content;
    // as an input the Right key and the wheel turned up raise the value.
    bar->setInvertedControls(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

PictureBox* make_picture(QWidget* parent, const char* name, int left, int top, int width,
                         int height, const QColor& foreground = Qt::black) {
    auto* box = new PictureBox(parent, foreground);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(px(left), px(top), px(width), px(height));
    return box;
}

// A group box that paints the window's background under itself, so that a
// value box changing inside it repaints from the frame down, not from the
// main window; on a raster device it copies an image of itself painted
// once.
class FrameBox : public PaintedOnce<QGroupBox> {
public:
    FrameBox(const QString& caption, QWidget* parent) : PaintedOnce<QGroupBox>(caption, parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paint_once(QPainter& painter) override {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
    }
};

QGroupBox* make_frame(QWidget* parent, const char* name, const QString& caption, int left, int top,
                      int width, int height) {
    auto* frame = new FrameBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(px(left), px(top), px(width), px(height));
    return frame;
}

}  // namespace

void Form1::build_layout() {
    setFont(dialog_font());

    Mn_About = menuBar()->addAction(QStringLiteral("About"));
    Mn_About->setObjectName(QStringLiteral("Mn_About"));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(11880), px(7350));
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Inputs of geometry and flow.
    Frame1 = make_frame(client, "Frame1", QString(), 120, 240, 3375, 2055);
    const QFont greek = dialog_font();
    make_label(Frame1, "Label2", QStringLiteral("δ"), 240, 240, 375)->setFont(greek);
    Text_Thickness = make_box(Frame1, "Text_Thickness", 720, 240, 495, QStringLiteral("0"));
    HScroll_Thickness = make_scroll(Frame1, "HScroll_Thickness", 1200, 240, 1335, 0, 30, 1, 1, 0);
    make_label(Frame1, "Label3", QStringLiteral("γ"), 240, 600, 255)->setFont(greek);
    Text_Camber = make_box(Frame1, "Text_Camber", 720, 600, 495, QStringLiteral("0"));
    HScroll_Camber = make_scroll(Frame1, "HScroll_Camber", 1200, 600, 1335, 0, 15, 1, 1, 0);
    make_label(Frame1, "Label5", QStringLiteral("nP"), 240, 960, 255);
    Text_nP = make_box(Frame1, "Text_nP", 720, 960, 495, QStringLiteral("51"));
    HScroll_nP = make_scroll(Frame1, "HScroll_nP", 1200, 960, 1335, 11, 101, 2, 10, 51);
    make_label(Frame1, "Label4", QStringLiteral("α"), 240, 1320, 255, 375)->setFont(greek);
    Text_AlfaD = make_box(Frame1, "Text_AlfaD", 720, 1320, 495, QStringLiteral("0"));
    HScroll_AlfaD = make_scroll(Frame1, "HScroll_AlfaD", 1200, 1320, 1335, -10, 10, 1, 1, 0);
    make_label(Frame1, "Label7", QStringLiteral("xM/c"), 120, 1680, 495);
    Text_xM = make_box(Frame1, "Text_xM", 720, 1680, 495, QStringLiteral("0"));
    HScroll_xM = make_scroll(Frame1, "HScroll_xM", 1200, 1680, 1335, 0, 100, 1, 5, 0);

    // Mach number and the compressibility results.
    Frame3 = make_frame(client, "Frame3", QStringLiteral("Sıkıştırılabilme etkisi"), 120, 2400, 3375, 975);
    make_label(Frame3, "Label36", QStringLiteral("Moo"), 240, 240, 495);
    Text_Moo = make_box(Frame3, "Text_Moo", 720, 240, 615, QStringLiteral("0"), true);
    HScroll_Moo = make_scroll(Frame3, "HScroll_Moo", 240, 600, 1095, 0, 90, 1, 1, 0);
    make_label(Frame3, "Label38", QStringLiteral("CpMin"), 1800, 240, 735);
    Text_CpMin = make_box(Frame3, "Text_CpMin", 2520, 240, 615, QStringLiteral("0"));
    make_label(Frame3, "Label37", QStringLiteral("Mcr-PG"), 1800, 600, 615);
    Text_Mcrit = make_box(Frame3, "Text_Mcrit", 2520, 600, 615, QStringLiteral("0"));

    // Lift and moment coefficients.
    Frame2 = make_frame(client, "Frame2", QString(), 120, 3480, 3375, 615);
    make_label(Frame2, "Label1", QStringLiteral("CL ="), 240, 240, 495);
    Text_CL = make_box(Frame2, "Text_CL", 720, 240, 735, QStringLiteral("0"));
    make_label(Frame2, "Label6", QStringLiteral("CM ="), 1800, 240, 495);
    Text1 = make_box(Frame2, "Text1", 2280, 240, 735, QStringLiteral("0"));

    // The charts.
    Mcrit = make_picture(client, "Mcrit", 120, 4200, 3400, 2925);
    profil = make_picture(client, "profil", 3600, 240, 4800, 2400, QColor(0, 0, 255));
    pressure = make_picture(client, "pressure", 3600, 2760, 4800, 4335, QColor(0, 255, 0));
    Picture_CL = make_picture(client, "Picture_CL", 8520, 240, 3200, 3915);
    Picture_CM = make_picture(client, "Picture_CM", 8520, 4320, 3255, 2775);

    const QFont tick = chart_font(kTickPixels);
    const QFont title = chart_font(kDialogPixels);
    QFont alpha = dialog_font();  // the Greek letter in the regular face
    alpha.setItalic(false);

    make_chart_label(profil, "Label10", QStringLiteral("  0.2"), 0, 480, tick);
    make_chart_label(profil, "Label9", QStringLiteral("  y/c"), 0, 1080, title);
    make_chart_label(profil, "Label11", QStringLiteral(" -0.2"), 0, 2040, tick);
    make_chart_label(profil, "Label8", QStringLiteral("x/c"), 2160, 2116, title);
    make_chart_label(profil, "Label12", QStringLiteral("1.0"), 4200, 2160, tick);

    make_chart_label(pressure, "Label26", QStringLiteral("5.0"), 120, 240, tick, 255);
    make_chart_label(pressure, "Label19", QStringLiteral("1-Cp"), 0, 840, title, 495, 375);
    make_chart_label(pressure, "Label25", QStringLiteral("3.0"), 120, 1680, tick, 255);
    make_chart_label(pressure, "Label24", QStringLiteral("2.0"), 120, 2400, tick, 255);
    make_chart_label(pressure, "Label20", QStringLiteral("1.0"), 120, 3120, tick, 255);
    make_chart_label(pressure, "Label21", QStringLiteral("0.0"), 120, 3840, tick, 255);
    make_chart_label(pressure, "Label23", QStringLiteral("x/c"), 2280, 3960, title);
    make_chart_label(pressure, "Label22", QStringLiteral("1.0"), 4200, 3960, tick);

    make_chart_label(Picture_CL, "Label30", QStringLiteral("  3.0"), 0, 600, tick);
    make_chart_label(Picture_CL, "Label27", QStringLiteral(" CL"), 0, 1200, title);
    make_chart_label(Picture_CL, "Label29", QStringLiteral("  1.0"), 0, 1833, tick);
    make_chart_label(Picture_CL, "Label28", QStringLiteral("  0.0"), 0, 2473, tick);
    make_chart_label(Picture_CL, "Label31", QStringLiteral(" -1.0"), 0, 3120, tick);
    make_chart_label(Picture_CL, "Label14", QStringLiteral(" -8"), 720, 3635, tick);
    make_chart_label(Picture_CL, "Label13", QStringLiteral("α"), 1560, 3600, alpha, 255);
    make_chart_label(Picture_CL, "Label15", QStringLiteral("8"), 2322, 3636, tick, 135);

    make_chart_label(Picture_CM, "Label32", QStringLiteral(" CM"), 0, 360, title);
    make_chart_label(Picture_CM, "Label35", QStringLiteral("  1.0"), 0, 800, tick);
    make_chart_label(Picture_CM, "Label33", QStringLiteral("  0.0"), 0, 1420, tick);
    make_chart_label(Picture_CM, "Label34", QStringLiteral(" -1.0"), 0, 2020, tick);
    make_chart_label(Picture_CM, "Label17", QStringLiteral(" -8"), 720, 2520, tick);
    make_chart_label(Picture_CM, "Label18", QStringLiteral("α"), 1560, 2480, alpha, 255);
    make_chart_label(Picture_CM, "Label16", QStringLiteral("8"), 2370, 2520, tick, 135);

    // Typing moves from the Mach box through the inputs in window order.
    setTabOrder(HScroll_Thickness, HScroll_Camber);
    setTabOrder(HScroll_Camber, HScroll_nP);
    setTabOrder(HScroll_nP, HScroll_AlfaD);
    setTabOrder(HScroll_AlfaD, HScroll_xM);
    setTabOrder(HScroll_xM, Text_Moo);
    setTabOrder(Text_Moo, HScroll_Moo);
}

}  // namespace jmach

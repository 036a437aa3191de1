#include "app/form_about.h"

#include <QLabel>
#include <QPalette>

#include "app/picture_box.h"

namespace jmach {

namespace {

constexpr int kWidth = 240;   // 3600 twips
constexpr int kHeight = 136;  // 2040 twips
const QColor kCard = to_qcolor(kSurfaceBackground);
const QColor kTitle = to_qcolor(kDarkGreen);

// One line of the card, centred across the window at the given top.
QLabel* card_line(QWidget* parent, const char* name, int top, const QString& text, int pixel_size,
                  const QColor* colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(0, top, kWidth, 17);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(pixel_size);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kCard);
    if (colour) palette.setColor(QPalette::WindowText, *colour);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    return label;
}

}  // namespace

FormAbout::FormAbout() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("Form_About"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kWidth, kHeight);
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kCard);
    setPalette(palette);
    setAutoFillBackground(true);

    // The three title lines in 9.75 pt, the rest in 8.25 pt (13 and 11 px).
    card_line(this, "Label2", 8, QStringLiteral("Program for Calculating"), 13, &kTitle);
    card_line(this, "Label3", 24, QStringLiteral("Critical Mach numbers for"), 13, &kTitle);
    card_line(this, "Label1", 40, QStringLiteral("Tarvelle"), 13, &kTitle);
    card_line(this, "Label4", 64, QStringLiteral("Joukowski airfoils in subsonic flow"), 11, nullptr);
    card_line(this, "Label8", 80, QStringLiteral("April 2006"), 11, nullptr);
    card_line(this, "Label5", 96, QStringLiteral("Pressure, lift, moment and Mcrit"), 11, nullptr);
    card_line(this, "Label6", 112, QStringLiteral("A teaching tool for aerodynamics"), 11, nullptr);
}

}  // namespace jmach

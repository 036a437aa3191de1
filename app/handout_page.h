#pragma once
// The one-page handout on paper: an A4 portrait page with the title, the
// inputs and results in two columns, the window's five charts as vector
// graphics under their titles, the notes, the state and its link, and the
// date; as a PDF file or on a printer.

#include <QByteArray>
#include <QString>

#include <optional>

#include "session/handout.h"

class QPrinter;

namespace jmach {

class Form1;

// The handout's PDF document, the charts taken from the window.
QByteArray handout_pdf(Form1& form, const Handout& handout);
// The handout printed on one page; the reason when the printer refuses.
std::optional<QString> print_handout(Form1& form, const Handout& handout, QPrinter& printer);

}  // namespace jmach

#pragma once
// Tooltips of the window as rich text, so that Qt wraps their lines.

#include <QString>

namespace jmach {

// A plain text as a tooltip: paragraphs at blank lines, line breaks kept,
// the text escaped.
QString rich_tip(const QString& plain);

}  // namespace jmach

#pragma once
// The About window: what the program is, on a pale yellow card. It has no
// code of its own and is closed with its close box.

#include <QWidget>

namespace jmach {

class FormAbout : public QWidget {
public:
    FormAbout();
};

}  // namespace jmach

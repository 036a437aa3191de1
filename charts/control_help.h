#pragma once
// What every control of the main window means: its accessible name (the
// quantity) and its description (meaning, unit and range). The desktop
// window and the browser page both name and describe their controls with
// these texts. A chart's description tells what it shows; how to use it
// differs between the window and the page, so each adds that itself.

#include <span>
#include <string_view>

namespace jmach {

struct ControlHelp {
    const char* control;      // the control's name: HScroll_Thickness, Text_CL, profil, ...
    const char* name;         // accessible name: the quantity
    const char* description;  // meaning, unit and range
};

// Every described control: the six scroll bars, the ten value boxes and the
// five charts, in window order.
std::span<const ControlHelp> control_helps();

// The help of one control by its name, or nullptr for an unknown control.
const ControlHelp* control_help(std::string_view control);

}  // namespace jmach

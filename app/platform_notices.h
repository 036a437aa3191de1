#pragma once
// Qt's offscreen platform draws windows into memory and says so, on
// standard error, each time a window is raised or laid out: "This plugin
// does not support raise()" and "... propagateSizeHints()". For a window
// nobody sees those notices mean nothing, and the companion tool prints
// one at every "about".

namespace jmach {

// Installs a message handler that drops exactly those two notices and
// hands every other message to the handler that was installed before.
// Installing it again while it is installed changes nothing.
void quiet_platform_notices();

}  // namespace jmach

// The end of every successful run: start T.exe with the launch token and
// destroy the main window, which ends the launcher.
#pragma once

#include "launcher/main_window.h"
#include "text/text.h"

namespace launcher {

// Nine upper-case hexadecimal digits derived from a key compiled in, the
// same on every launch; empty when the digest cannot be computed.
text::Text LaunchToken();

// Starts RunDirectory\T.exe with the token as its whole parameter text (the
// result is not consulted) and destroys `window`. Callable from the GUI
// thread and from the worker thread.
void LaunchMainProgram(MainWindow& window);

}  // namespace launcher

// UpdateWorker: brings every file listed in 超级列表框1 up to date, then
// starts the main program. It runs on a thread of its own and changes the
// window only through its controls' own messages.
#pragma once

#include "launcher/main_window.h"

namespace launcher {

// Per row, in list order: ends the programs running from the row's file,
// downloads the file if it is missing, verifies its MD5 digest and downloads
// it once more when it differs, with the row's status texts in column 4 and
// the overall progress in 进度条2. A download is put in place only when its
// digest is the listed one, and nothing is ever written outside the run
// directory. Ends with LaunchMainProgram. Never throws: out of memory, it
// stops where it is and leaves the window open.
void UpdateWorker(MainWindow& window) noexcept;

}  // namespace launcher

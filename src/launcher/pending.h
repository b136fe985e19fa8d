// Operations that land with other branches, called here with their final
// signatures; each does nothing until its branch is merged.
#pragma once

namespace launcher {
class MainWindow;
inline void UpdateWorker(MainWindow&) {}
}  // namespace launcher

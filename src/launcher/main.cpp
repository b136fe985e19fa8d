// Program start: the launcher's folder becomes the current directory, the
// main window is created hidden, the start-up sequence runs, and the message
// loop runs until the window is destroyed.
#include <windows.h>

#include "launcher/main_window.h"
#include "launcher/program_location.h"
#include "launcher/startup_sequence.h"
#include "win/wide.h"

#ifndef LAUNCHER_MANIFEST_ADDRESS
#error "LAUNCHER_MANIFEST_ADDRESS must name the update manifest"
#endif

namespace {

int RunLauncher() {
  const launcher::ProgramLocation location = launcher::CurrentProgramLocation();
  SetCurrentDirectoryW(win::Widen(location.runDirectory).c_str());

  // Never freed: a detached update worker may still hold the window while
  // the process ends.
  auto* window = new launcher::MainWindow({.runDirectory = location.runDirectory});
  if (!window->Create()) return 1;
  launcher::StartupSequence(
      *window, launcher::ProgramStartupConfig(LAUNCHER_MANIFEST_ADDRESS, location.executableName));

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return RunLauncher();
  } catch (...) {
    return 1;
  }
}

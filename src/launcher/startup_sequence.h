// StartupSequence: everything the launcher does before it either starts the
// main program or shows its window for an update. It runs on the GUI thread
// right after MainWindow is created.
#pragma once

#include <functional>
#include <string_view>

#include "launcher/main_window.h"
#include "text/text.h"

namespace launcher {

inline constexpr std::string_view kSingleInstanceEventName = "mnsrpdg524877d^%AXIVEZ&*^*$%%#^%$";

struct StartupConfig {
  // http://<update host>/marlowtrade/marlow2.t
  text::Text manifestAddress;
  // The launcher's bare file name; the shortcut is named after it.
  text::Text executableName;
  // The steps that reach beyond the window. ProgramStartupConfig fills in the
  // real ones; tests put recorders in their place, since the real guard ends
  // the process it finds a second instance in.
  std::function<void()> singleInstanceGuard;
  std::function<void(std::string_view shortcutName, std::string_view targetPath)> createDesktopShortcut;
  std::function<void(MainWindow&)> launchMainProgram;
  std::function<void(MainWindow&)> startUpdateWorker;
};

// The real program: the guard on the launcher's event, the desktop shortcut,
// LaunchMainProgram, and UpdateWorker on a detached thread.
StartupConfig ProgramStartupConfig(text::Text manifestAddress, text::Text executableName);

// Hides the window, refuses a run directory containing "Temp", guards the
// single instance, keeps the desktop shortcut, fetches and reads the
// manifest, lists every missing or outdated file in 超级列表框1, and then
// launches T.exe, asks whether to update, or shows the window and starts the
// worker. Ends by destroying the window on every path but the update.
// Manifest entries whose name would reach outside the run directory are
// skipped.
void StartupSequence(MainWindow& window, const StartupConfig& config);

// Starts UpdateWorker on a thread of its own that nobody waits for.
void StartUpdateWorker(MainWindow& window);

}  // namespace launcher

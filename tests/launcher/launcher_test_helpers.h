// Helpers shared by the launcher's tests: where the helper programs live,
// copying them into run folders, waiting for files, and reading the command
// line the T.exe stand-in recorded.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "win/wide.h"

namespace launcher_test {

// What LaunchToken must give: the upper-case digits 3 to 11 of the MD5 of
// "KPLUmwrtezq?=905%~+mnbvxc" (a4 81cb971d8 ...).
inline constexpr std::string_view kExpectedToken = "81CB971D8";

// Copies a program the build puts beside the test executable (fake_t.exe,
// launcher_e2e.exe) to `toPath`.
inline bool CopyProgram(std::string_view fromName, const std::string& toPath) {
  const std::wstring from = win::Widen(test_support::BesideTestExecutable(std::string(fromName)));
  return CopyFileW(from.c_str(), win::Widen(toPath).c_str(), FALSE) != FALSE;
}

// Lets the calling thread's windows work while waiting. The limit only keeps
// a broken run from hanging; nothing is timed.
inline bool PumpMessagesUntil(const std::function<bool()>& done,
                              std::chrono::seconds limit = std::chrono::seconds(60)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// The file's content once it exists (the stand-in writes it in one move).
inline std::optional<std::string> WaitForFile(const std::string& path,
                                              std::chrono::seconds limit = std::chrono::seconds(60)) {
  const std::wstring widePath = win::Widen(path);
  const bool present = test_support::WaitUntil(
      [&] { return GetFileAttributesW(widePath.c_str()) != INVALID_FILE_ATTRIBUTES; },
      static_cast<DWORD>(std::chrono::milliseconds(limit).count()));
  if (!present) return std::nullopt;
  return test_support::ReadWholeFile(path);
}

// The parameter text of a recorded command line: what follows the program
// name (quoted or not) and the blanks after it.
inline std::string ParametersOf(std::string_view commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const size_t closing = commandLine.find('"', 1);
    i = closing == std::string_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
  return std::string(commandLine.substr(i));
}

}  // namespace launcher_test

// Helpers shared by the launcher's tests: waiting for files, reading the
// command line the T.exe stand-in recorded, and writing manifests.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "win/wide.h"

namespace launcher_test {

// What LaunchToken must give: the upper-case digits 3 to 11 of the MD5 of
// "KPLUmwrtezq?=905%~+mnbvxc" (a4 81cb971d8 ...).
inline constexpr std::string_view kExpectedToken = "81CB971D8";

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

// Runs `work` on a thread of its own, as the update worker runs, while this
// thread handles its windows' messages; false when the work did not end
// within the limit (it is waited for all the same).
inline bool RunBesideTheGuiThread(const std::function<void()>& work) {
  std::atomic<bool> done = false;
  std::thread worker([&] {
    work();
    done = true;
  });
  const bool ended = PumpMessagesUntil([&] { return done.load(); });
  worker.join();
  return ended;
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

// One entry of an update manifest.
struct ManifestEntry {
  std::string urlname, urlmd5, url;
};

// `value` as a JSON string.
inline std::string JsonString(std::string_view value) {
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The manifest the server sends: {"url": [{"urlname": ..., "urlmd5": ..., "url": ...}, ...]}.
inline std::string Manifest(const std::vector<ManifestEntry>& entries) {
  std::string json = "{\"url\": [";
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i) json += ", ";
    json += "{\"urlname\": " + JsonString(entries[i].urlname) + ", \"urlmd5\": " +
            JsonString(entries[i].urlmd5) + ", \"url\": " + JsonString(entries[i].url) + "}";
  }
  return json + "]}";
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

// The parameters T.exe was started with in `folder`, or a text saying it
// never started.
inline std::string RecordedParameters(const test_support::TempFolder& folder) {
  const auto recorded = WaitForFile(folder.Join("command_line.txt"));
  return recorded ? ParametersOf(*recorded) : "<T.exe did not start>";
}

}  // namespace launcher_test

// Driving other processes the way a user would: start a program, find the
// message box it shows, read it, press one of its buttons, and wait for the
// program to end. Texts are code-page-936, like every text of the launcher.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "win/unique.h"

namespace test_support {

struct StartedProgram {
  win::UniqueHandle process;
  DWORD processId = 0;
  explicit operator bool() const { return static_cast<bool>(process); }
};

// Starts `exePath` with `arguments` (appended after the quoted path); an
// empty result when the program cannot be started.
StartedProgram StartProgram(const std::string& exePath, const std::string& arguments = {});

// Whether the program has not ended yet.
bool IsRunning(const StartedProgram& program);

// The programs a test starts, ended (exit code 1) once the test is over,
// whatever it did to them. References to them stay valid.
class ProgramsForTest {
 public:
  ProgramsForTest() = default;
  ~ProgramsForTest();
  ProgramsForTest(const ProgramsForTest&) = delete;
  ProgramsForTest& operator=(const ProgramsForTest&) = delete;

  // Starts one as StartProgram does.
  const StartedProgram& Start(const std::string& exePath, const std::string& arguments = {});
  size_t size() const { return m_programs.size(); }

 private:
  std::deque<StartedProgram> m_programs;
};

// The exit code once the process has ended, or nothing after `timeoutMs`.
std::optional<DWORD> WaitForExit(HANDLE process, DWORD timeoutMs);

// Polls `condition` (every 20 ms) until it holds or `timeoutMs` pass.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The first top-level window of `processId` of the window class
// `className` (visible ones only with `visibleOnly`); null when none.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly);

// A visible dialog box (class #32770, as message boxes are) of `processId`,
// waited for up to `timeoutMs`; null when none appeared.
HWND WaitForDialog(DWORD processId, DWORD timeoutMs);

std::string WindowTitle(HWND window);
// The message text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND dialog);
// Presses the button `buttonId` (IDOK, IDYES ...) of `dialog`; false when the
// dialog has no such button or does not answer.
bool ClickButton(HWND dialog, int buttonId);

// The full path of a file beside the running test executable.
std::string BesideTestExecutable(const std::string& fileName);
// Copies the program `fileName` from beside the running test executable
// (where the build puts the helper programs) to `toPath`.
bool CopyProgram(const std::string& fileName, const std::string& toPath);

}  // namespace test_support

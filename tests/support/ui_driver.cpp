#include "support/ui_driver.h"

#include <vector>

#include "win/wide.h"

namespace test_support {

StartedProgram StartProgram(const std::string& exePath, const std::string& arguments) {
  std::wstring commandLine = L"\"" + win::Widen(exePath) + L"\"";
  if (!arguments.empty()) commandLine += L" " + win::Widen(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  StartedProgram program;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return program;
  }
  win::UniqueHandle thread(started.hThread);
  program.process.reset(started.hProcess);
  program.processId = started.dwProcessId;
  return program;
}

bool IsRunning(const StartedProgram& program) {
  return WaitForSingleObject(program.process.get(), 0) == WAIT_TIMEOUT;
}

ProgramsForTest::~ProgramsForTest() {
  for (StartedProgram& program : m_programs) {
    TerminateProcess(program.process.get(), 1);
    WaitForSingleObject(program.process.get(), 15000);
  }
}

const StartedProgram& ProgramsForTest::Start(const std::string& exePath,
                                             const std::string& arguments) {
  m_programs.push_back(StartProgram(exePath, arguments));
  return m_programs.back();
}

std::optional<DWORD> WaitForExit(HANDLE process, DWORD timeoutMs) {
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process, &exitCode)) return std::nullopt;
  return exitCode;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId) return TRUE;
  if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  if (search.className && lstrcmpiW(name, search.className) != 0) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool visibleOnly) {
  WindowSearch search{processId, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD processId, DWORD timeoutMs) {
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindProcessWindow(processId, L"#32770", true)) != nullptr; },
            timeoutMs);
  return dialog;
}

std::string WindowTitle(HWND window) {
  std::vector<wchar_t> title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1);
  GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
  return win::Narrow(title.data());
}

std::string MessageBoxText(HWND dialog) {
  wchar_t message[4096] = {};
  GetDlgItemTextW(dialog, 0xFFFF, message, 4096);
  return win::Narrow(message);
}

bool ClickButton(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  if (!button) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

std::string BesideTestExecutable(const std::string& fileName) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  folder.resize(folder.find_last_of(L'\\') + 1);
  return win::Narrow(folder) + fileName;
}

bool CopyProgram(const std::string& fileName, const std::string& toPath) {
  return CopyFileW(win::Widen(BesideTestExecutable(fileName)).c_str(), win::Widen(toPath).c_str(),
                   FALSE) != FALSE;
}

}  // namespace test_support

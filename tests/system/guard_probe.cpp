// Runs the single-instance guard with options from its command line, then,
// having passed it, keeps a window until it is ended (or two minutes pass).
//
//   --event=NAME        event name (may be empty)
//   --message=TEXT      box text; absent means the default text
//   --style=N           box style
//   --no-message        showMessage off
//   --no-activate       activateRunning off
//   --window=minimised  a visible, minimised window (the default)
//   --window=hidden     a window that is never shown
//   --ready=PATH        file written once the guard has passed and the window exists
//   --duplicate=PATH    file written by onDuplicate
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "system/single_instance.h"
#include "win/unique.h"
#include "win/wide.h"

namespace {

struct ProbeArguments {
  sys::SingleInstanceOptions guard;
  bool hiddenWindow = false;
  std::wstring readyFile;
  std::wstring duplicateFile;
};

bool Take(const std::wstring& argument, const wchar_t* prefix, std::wstring& value) {
  const std::wstring start = prefix;
  if (argument.compare(0, start.size(), start) != 0) return false;
  value = argument.substr(start.size());
  return true;
}

ProbeArguments ParseArguments() {
  ProbeArguments parsed;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int index = 1; index < count; ++index) {
    const std::wstring argument = arguments[index];
    std::wstring value;
    if (Take(argument, L"--event=", value)) {
      parsed.guard.eventName = win::Narrow(value);
    } else if (Take(argument, L"--message=", value)) {
      parsed.guard.message = win::Narrow(value);
    } else if (Take(argument, L"--style=", value)) {
      parsed.guard.messageStyle = static_cast<unsigned>(std::wcstoul(value.c_str(), nullptr, 0));
    } else if (argument == L"--no-message") {
      parsed.guard.showMessage = false;
    } else if (argument == L"--no-activate") {
      parsed.guard.activateRunning = false;
    } else if (Take(argument, L"--window=", value)) {
      parsed.hiddenWindow = value == L"hidden";
    } else if (Take(argument, L"--ready=", value)) {
      parsed.readyFile = value;
    } else if (Take(argument, L"--duplicate=", value)) {
      parsed.duplicateFile = value;
    }
  }
  LocalFree(arguments);
  return parsed;
}

void TouchFile(const std::wstring& path) {
  win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  ProbeArguments arguments = ParseArguments();
  if (!arguments.duplicateFile.empty()) {
    arguments.guard.onDuplicate = [file = arguments.duplicateFile] { TouchFile(file); };
  }
  sys::SingleInstanceGuard(arguments.guard);

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ProbeWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"GuardProbeWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"guard probe", WS_OVERLAPPEDWINDOW,
                                100, 100, 300, 200, nullptr, nullptr, windowClass.hInstance,
                                nullptr);
  if (!arguments.hiddenWindow) ShowWindow(window, SW_SHOWMINIMIZED);
  if (!arguments.readyFile.empty()) TouchFile(arguments.readyFile);

  SetTimer(window, 1, 2 * 60 * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

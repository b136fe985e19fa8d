#include "system/window_activation.h"

#include "system/process.h"

namespace sys {
namespace {

void HandlePendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

HWND FindProcessMainWindow(std::string_view exeName) {
  // The calling instance may come first in the process list; its own window
  // is never the one to bring forward.
  const DWORD processId = FindOtherProcessByName(exeName, GetCurrentProcessId());
  if (processId == 0) return nullptr;
  return FindTopLevelWindow(processId, 100, true);
}

HWND FindTopLevelWindow(DWORD processId, DWORD timeoutMs, bool visibleOnly) {
  const DWORD start = GetTickCount();
  HWND window = nullptr;
  while (GetTickCount() - start < timeoutMs) {
    window = FindWindowExW(nullptr, window, nullptr, nullptr);
    if (!window) return nullptr;
    if (visibleOnly && !IsWindowVisible(window)) continue;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && !GetParent(window)) return window;
    HandlePendingMessages();
  }
  return nullptr;
}

void SetWindowTopmost(HWND window, bool topmost) {
  SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void ActivateWindow(HWND window) {
  const DWORD windowThread = GetWindowThreadProcessId(window, nullptr);
  const DWORD callingThread = GetCurrentThreadId();
  AttachThreadInput(windowThread, callingThread, TRUE);
  SetActiveWindow(window);
  AttachThreadInput(windowThread, callingThread, FALSE);
}

}  // namespace sys

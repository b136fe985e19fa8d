// Finding another process's top-level window and bringing it forward.
#pragma once

#include <windows.h>

#include <string_view>

namespace sys {

// The first visible, parentless top-level window of the first process other
// than the calling one whose executable is named `exeName` (case ignored),
// searched for at most about 100 ms; null when there is none.
HWND FindProcessMainWindow(std::string_view exeName);

// One pass over the top-level windows in the system's order: the first one
// of `processId` without a parent (and visible, with `visibleOnly`), or
// null once the list ends or `timeoutMs` have passed. The calling thread's
// pending messages are handled after each visible window looked at.
HWND FindTopLevelWindow(DWORD processId, DWORD timeoutMs, bool visibleOnly);

// Shows the window where it is, at its size, in or out of the topmost band.
void SetWindowTopmost(HWND window, bool topmost);

// Makes `window` the active window of its thread, borrowing that thread's
// input state for the moment of the call.
void ActivateWindow(HWND window);

}  // namespace sys

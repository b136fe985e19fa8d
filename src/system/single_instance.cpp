#include "system/single_instance.h"

#include <windows.h>

#include <string>
#include <utility>

#include "system/file_name.h"
#include "system/md5.h"
#include "system/message_box.h"
#include "system/wide_text.h"
#include "system/window_activation.h"
#include "win/unique.h"
#include "win/wide.h"

namespace sys {
namespace {

// The bare file name of the running executable, with its extension.
text::Text OwnExecutableName() { return FileTitle(ExecutablePath(), /*keepExtension=*/true); }

// Opens the event of a running instance, or creates the marker of this one.
// True when another instance holds it already, which includes one that
// created it between the two calls.
bool AnotherInstanceRuns(const text::Text& eventName) {
  const std::wstring name = win::Widen(eventName);
  win::UniqueHandle running(OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str()));
  if (running) return true;
  win::UniqueHandle created(CreateEventW(nullptr, FALSE, FALSE, name.c_str()));
  if (created && GetLastError() == ERROR_ALREADY_EXISTS) return true;
  // Kept open for the life of the process: the marker of this instance.
  static win::UniqueHandle marker;
  marker = std::move(created);
  return false;
}

void BringForward(HWND window) {
  if (!window) return;
  if (!IsWindowVisible(window)) SetWindowTopmost(window, false);
  if (IsIconic(window)) OpenIcon(window);
  ActivateWindow(window);
}

}  // namespace

text::Text FallbackEventName() { return Md5Text("egbbg，nhwi，qy"); }

void SingleInstanceGuard(const SingleInstanceOptions& options) {
  const text::Text eventName = options.eventName.empty() ? FallbackEventName() : options.eventName;
  if (!AnotherInstanceRuns(eventName)) return;

  if (options.onDuplicate) options.onDuplicate();
  if (options.showMessage) {
    ShowMessage(options.message.value_or(text::Text(kDefaultDuplicateMessage)),
                kDuplicateMessageTitle, options.messageStyle.value_or(0));
  }
  if (options.activateRunning) BringForward(FindProcessMainWindow(OwnExecutableName()));
  ExitProcess(0);
}

}  // namespace sys

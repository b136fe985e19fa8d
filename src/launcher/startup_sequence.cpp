#include "launcher/startup_sequence.h"

#include <windows.h>

#include <string>
#include <thread>
#include <utility>

#include "json/json_document.h"
#include "launcher/launch_main_program.h"
#include "launcher/program_location.h"
#include "launcher/update_name.h"
#include "launcher/update_worker.h"
#include "launcher/window_controls.h"
#include "net/http_request.h"
#include "system/md5.h"
#include "system/message_box.h"
#include "system/shortcut.h"
#include "system/single_instance.h"
#include "system/wide_text.h"

namespace launcher {
namespace {

constexpr std::string_view kForbiddenDirectoryText = "Temp";
constexpr std::string_view kTempMessage = "请解压出来再运行软件，不要直接在压缩包内打开！";
constexpr std::string_view kManifestMessage =
    "您的计算机不符合我们软件的协议，请重装系统再运行此软件！\r\n\r\n或者您可以重新启动软件再试一下。";
constexpr std::string_view kManifestTitle = "错误";
constexpr std::string_view kUpdateQuestion =
    "当前软件有新版本需要更新，是否进行更新。\r\n\r\n如果更新的话会关闭所有已执行的软件！";
constexpr std::string_view kUpdateTitle = "是否更新";
constexpr std::string_view kDuplicateMessage = "禁止重复运行此程序";

text::Text EntryQuery(std::int32_t k, std::string_view member) {
  return "url['" + text::FormatInt(k) + "']." + text::Text(member);
}

// Keeps the window responsive between entries; a WM_QUIT is put back for
// the message loop.
void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void ListOutdatedFiles(MainWindow& window, json::JsonDocument& document) {
  const HWND list = window.controls().超级列表框1;
  const std::int32_t count = document.GetCount("url");
  for (std::int32_t k = 0; k < count; ++k) {
    const text::Text urlmd5 = document.GetText(EntryQuery(k, "urlmd5"));
    const text::Text urlname = document.GetText(EntryQuery(k, "urlname"));
    const text::Text path = window.RunDirectory() + "\\" + urlname;
    // The worker writes to this path: a name from the server that reaches
    // elsewhere never becomes a row. The empty name names the run directory
    // itself, never matches a file and so stays a harmless row.
    const bool safe = urlname.empty() || IsWritableUpdateName(window.RunDirectory(), urlname);
    if (safe && !sys::FileMatchesMd5(path, urlmd5)) {
      const text::Text url = document.GetText(EntryQuery(k, "url"));
      const std::int32_t number = ListRowCount(list) + 1;
      AppendListRow(list, {text::FormatInt(number), urlname, urlmd5, url, ""});
    }
    ProcessPendingMessages();
  }
}

void ShowWindowAndUpdate(MainWindow& window, const StartupConfig& config) {
  window.Show();
  config.startUpdateWorker(window);
}

}  // namespace

void StartupSequence(MainWindow& window, const StartupConfig& config) {
  json::JsonDocument document;
  window.Hide();

  if (text::Find(window.RunDirectory(), kForbiddenDirectoryText) != -1) {
    sys::ShowMessage(kTempMessage);
    window.Destroy();
    return;
  }

  config.singleInstanceGuard();
  config.createDesktopShortcut(ShortcutNameOf(config.executableName),
                               window.RunDirectory() + "\\" + config.executableName);

  const text::Text manifest = text::BytesToText(net::HttpRequest(config.manifestAddress));
  if (manifest.empty()) {
    sys::ShowMessage(kManifestMessage, kManifestTitle, MB_OK);
    window.Destroy();
    return;
  }
  document.Parse(manifest);
  ListOutdatedFiles(window, document);

  if (ListRowCount(window.controls().超级列表框1) == 0) {
    config.launchMainProgram(window);
    return;
  }
  if (!sys::FileIsPresent(window.RunDirectory() + "\\T.exe")) {
    ShowWindowAndUpdate(window, config);
    return;
  }
  if (sys::ShowMessage(kUpdateQuestion, kUpdateTitle, MB_YESNO) == sys::MessageAnswer::Yes) {
    ShowWindowAndUpdate(window, config);
  } else {
    config.launchMainProgram(window);
  }
}

void StartUpdateWorker(MainWindow& window) {
  try {
    std::thread([&window] { UpdateWorker(window); }).detach();
  } catch (...) {
    // No thread could be started: the window stays open without an update.
  }
}

StartupConfig ProgramStartupConfig(text::Text manifestAddress, text::Text executableName) {
  return {
      .manifestAddress = std::move(manifestAddress),
      .executableName = std::move(executableName),
      .singleInstanceGuard =
          [] {
            sys::SingleInstanceOptions options;
            options.eventName = text::Text(kSingleInstanceEventName);
            options.showMessage = true;
            options.message = text::Text(kDuplicateMessage);
            options.activateRunning = true;
            sys::SingleInstanceGuard(options);
          },
      .createDesktopShortcut =
          [](std::string_view shortcutName, std::string_view targetPath) {
            sys::CreateDesktopShortcut(shortcutName, targetPath);
          },
      .launchMainProgram = LaunchMainProgram,
      .startUpdateWorker = StartUpdateWorker,
  };
}

}  // namespace launcher

#include "system/shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "system/file_name.h"
#include "win/com.h"
#include "win/dispatch.h"
#include "win/wide.h"

namespace sys {
namespace {

constexpr std::string_view kShortcutExtension = ".lnk";
constexpr std::string_view kFolderIcon = "SHELL32.dll,4";

text::Text ShortcutFilePath(const text::Text& desktop, std::string_view shortcutName) {
  text::Text name(shortcutName);
  if (text::Contains(name, "\\")) name = FileTitle(name, false);
  text::Text path = desktop + name;
  if (!text::Contains(name, kShortcutExtension, true)) path += kShortcutExtension;
  return path;
}

// Every part of `targetPath` but the last, each followed by a backslash;
// empty when the path has no folder part.
text::Text WorkingDirectoryOf(std::string_view targetPath) {
  const std::vector<text::Text> parts = text::Split(targetPath, "\\");
  if (parts.size() < 2) return {};
  text::Text folder;
  for (size_t index = 0; index + 1 < parts.size(); ++index) folder += parts[index] + "\\";
  return folder;
}

win::Variant TextArgument(std::string_view value) { return win::Variant(win::Widen(value)); }

void WriteProperties(const win::Dispatch& shortcut, std::string_view targetPath,
                     const text::Text& workingDirectory, const ShortcutOptions& options) {
  if (FAILED(shortcut.Put(L"TargetPath", TextArgument(targetPath)))) return;
  const text::Text icon = options.iconLocation.value_or(
      FileExtension(targetPath).empty() ? text::Text(kFolderIcon)
                                        : text::Text(targetPath) + ",0");
  // The shell object decides what it keeps of each of these; a refused
  // write must not keep the others from being made.
  shortcut.Put(L"WorkingDirectory", TextArgument(workingDirectory));
  shortcut.Put(L"IconLocation", TextArgument(icon));
  shortcut.Put(L"WindowStyle", win::Variant(options.windowStyle.value_or(0)));
  shortcut.Put(L"Description", TextArgument(options.description.value_or("")));
  shortcut.Put(L"Arguments", TextArgument(options.arguments.value_or("")));
  shortcut.Put(L"Hotkey", TextArgument(options.hotkey.value_or("")));
  shortcut.Call(L"Save");
}

}  // namespace

text::Text SpecialFolderPath() {
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
  text::Text path = win::Narrow(folder);
  if (path.empty()) return {};
  if (!EndsWithBackslash(path)) path += '\\';
  return path;
}

bool CreateDesktopShortcut(std::string_view shortcutName, std::string_view targetPath,
                           const ShortcutOptions& options) {
  // Without a desktop folder the path would be relative to the current
  // directory: no shortcut, and no file deleted there.
  const text::Text desktop = SpecialFolderPath();
  if (desktop.empty()) return false;
  const text::Text shortcutPath = ShortcutFilePath(desktop, shortcutName);
  DeleteFileW(win::Widen(shortcutPath).c_str());

  const text::Text workingDirectory = WorkingDirectoryOf(targetPath);
  if (workingDirectory.empty()) return false;

  win::ComScope com;
  const win::Dispatch shell = win::Dispatch::CreateFromTypeLibrary(L"wshom.ocx", L"WshShell");
  if (!shell) return false;
  win::InvokeResult created = shell.Call(L"CreateShortcut", {TextArgument(shortcutPath)});
  const win::Dispatch shortcut(created.ok() ? created.value.ToDispatch() : nullptr);
  if (!shortcut) return false;
  WriteProperties(shortcut, targetPath, workingDirectory, options);
  return true;
}

}  // namespace sys

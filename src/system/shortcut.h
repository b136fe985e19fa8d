// A shortcut on the current user's desktop, written through the shell's
// scripting object WshShell (type library "wshom.ocx").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/text.h"

namespace sys {

struct ShortcutOptions {
  // Command-line arguments; empty when absent.
  std::optional<text::Text> arguments;
  // Icon file and index as "file,index"; when absent, the target's own first
  // icon, or the shell's folder icon "SHELL32.dll,4" for a target without
  // an extension.
  std::optional<text::Text> iconLocation;
  // SW_* number the shortcut starts the target with; 0 when absent.
  std::optional<std::int32_t> windowStyle;
  // Comment; empty when absent.
  std::optional<text::Text> description;
  // Hot key such as "CTRL+ALT+F"; empty when absent.
  std::optional<text::Text> hotkey;
};

// Writes <desktop>\<shortcutName>[.lnk] anew, deleting any old file of that
// name first. A name holding a backslash is reduced to its file title; ".lnk"
// is appended unless the name contains it in any case. The working
// directory is the folder of `targetPath` with a trailing backslash.
// True once the shell handed out a shortcut object, whatever the later
// writes and the save did; false when `targetPath` has no folder part, the
// desktop folder is unknown or the shell object is not available.
bool CreateDesktopShortcut(std::string_view shortcutName, std::string_view targetPath,
                           const ShortcutOptions& options = {});

// The current user's desktop folder with a trailing backslash; empty when
// the shell does not know it.
text::Text SpecialFolderPath();

}  // namespace sys

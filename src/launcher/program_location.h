// Where the running launcher lives: its folder and its own file name, as
// code-page-936 texts.
#pragma once

#include <string_view>

#include "text/text.h"

namespace launcher {

struct ProgramLocation {
  text::Text runDirectory;    // no trailing backslash
  text::Text executableName;  // bare file name, e.g. "launcher.exe"
};

// The parts of a full path before and after its last backslash (a trail
// byte 0x5C of a double-byte character is no backslash).
ProgramLocation SplitExecutablePath(std::string_view fullPath);

// The running executable's location (GetModuleFileNameW, any path length).
ProgramLocation CurrentProgramLocation();

// The desktop shortcut's name: every ".exe" removed, case-sensitively, so
// "App.EXE" stays as it is.
text::Text ShortcutNameOf(std::string_view executableName);

}  // namespace launcher

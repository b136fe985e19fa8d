#include "launcher/program_location.h"

#include "system/wide_text.h"

namespace launcher {

ProgramLocation SplitExecutablePath(std::string_view fullPath) {
  const std::int64_t lastBackslash = text::FindLast(fullPath, "\\");
  if (lastBackslash < 0) return {.runDirectory = {}, .executableName = text::Text(fullPath)};
  const auto split = static_cast<size_t>(lastBackslash - 1);
  return {.runDirectory = text::Text(fullPath.substr(0, split)),
          .executableName = text::Text(fullPath.substr(split + 1))};
}

ProgramLocation CurrentProgramLocation() { return SplitExecutablePath(sys::ExecutablePath()); }

text::Text ShortcutNameOf(std::string_view executableName) {
  return text::ReplaceAll(executableName, ".exe", "");
}

}  // namespace launcher

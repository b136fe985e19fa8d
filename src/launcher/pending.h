// Operations that land with other branches, called here with their final
// signatures; each does nothing until its branch is merged.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace launcher { class MainWindow; }

namespace sys {
inline text::Text Md5Text(std::string_view) { return {}; }
inline text::Text Md5TextOfFile(std::string_view) { return {}; }
inline void SingleInstanceGuard(std::string_view, bool, std::string_view, bool) {}
inline bool CreateDesktopShortcut(std::string_view, std::string_view) { return false; }
}  // namespace sys

namespace json {
class JsonDocument {
 public:
  bool Parse(std::string_view) { return false; }
  std::int32_t GetCount(std::string_view) { return 0; }
  text::Text GetText(std::string_view) { return {}; }
};
}  // namespace json

namespace launcher {
inline void UpdateWorker(MainWindow&) {}
}  // namespace launcher

#include "system/wide_text.h"

#include <windows.h>

#include <cstring>
#include <optional>

#include "win/unique.h"
#include "win/wide.h"

namespace sys {
namespace {

// What a FindFirstFile search on `path` finds first; nothing when it finds
// nothing.
std::optional<WIN32_FIND_DATAW> FirstMatch(std::string_view path) {
  const std::wstring widePath = win::Widen(path);
  if (widePath.empty()) return std::nullopt;
  WIN32_FIND_DATAW found{};
  const win::UniqueFind search(FindFirstFileW(widePath.c_str(), &found));
  if (!search) return std::nullopt;
  return found;
}

}  // namespace

text::ByteString TextToWide(std::string_view source) {
  const std::wstring wide = win::Widen(source);
  if (wide.empty()) return {};
  text::ByteString bytes((wide.size() + 1) * sizeof(wchar_t), '\0');
  std::memcpy(bytes.data(), wide.data(), wide.size() * sizeof(wchar_t));
  return bytes;
}

text::Text WideToText(std::string_view wideBytes) {
  std::wstring wide(wideBytes.size() / 2, L'\0');
  for (size_t unit = 0; unit < wide.size(); ++unit) {
    wide[unit] = static_cast<wchar_t>(static_cast<unsigned char>(wideBytes[2 * unit]) |
                                      static_cast<unsigned char>(wideBytes[2 * unit + 1]) << 8);
  }
  return win::Narrow(wide);
}

bool EntryIsPresent(std::string_view path) { return FirstMatch(path).has_value(); }

text::Text ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return win::Narrow(path);
    }
    // Truncated: try a larger buffer, up to the longest path Windows has.
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

bool FileIsPresent(std::string_view path) {
  const std::optional<WIN32_FIND_DATAW> found = FirstMatch(path);
  return found && (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace sys

#include "win/full_path.h"

#include <windows.h>

namespace win {

std::wstring FullPathName(const std::wstring& path) {
  if (path.empty()) return {};
  std::wstring full(MAX_PATH, L'\0');
  // A second try gets the size the first one asked for; a third covers a
  // current directory changed in between.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
  return {};
}

}  // namespace win

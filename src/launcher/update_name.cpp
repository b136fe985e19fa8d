#include "launcher/update_name.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "text/text.h"
#include "win/full_path.h"
#include "win/wide.h"

namespace launcher {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The second byte of a code page 936 character; anything else after a lead
// byte is no character at all, and the system would read the bytes apart.
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

bool IsForbiddenSingleByte(unsigned char c) {
  if (c < 0x20) return true;
  switch (c) {
    case ':': case '*': case '?': case '"': case '<': case '>': case '|': return true;
    default: return false;
  }
}

// Components split at single-byte separators; false when a character is
// forbidden or a lead byte has no trail byte.
bool SplitComponents(std::string_view name, std::vector<std::string_view>& components) {
  size_t start = 0;
  for (size_t i = 0; i < name.size();) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (text::IsLeadByte(byte)) {
      if (i + 1 >= name.size() || !IsTrailByte(static_cast<unsigned char>(name[i + 1]))) return false;
      i += 2;
      continue;
    }
    if (IsForbiddenSingleByte(byte)) return false;
    if (IsSeparator(name[i])) {
      components.push_back(name.substr(start, i - start));
      start = i + 1;
    }
    ++i;
  }
  components.push_back(name.substr(start));
  return true;
}

bool IsReservedDeviceName(std::string_view component) {
  // The device is named by the part before the first dot, trailing spaces
  // ignored: "nul.txt" and "COM1 .log" open devices too.
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL",
                                                             "CONIN$", "CONOUT$"};
  for (std::string_view reserved : kNames) {
    if (text::EqualsIgnoringAsciiCase(base, reserved)) return true;
  }
  if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
    const std::string_view prefix = base.substr(0, 3);
    return text::EqualsIgnoringAsciiCase(prefix, "COM") || text::EqualsIgnoringAsciiCase(prefix, "LPT");
  }
  return false;
}

bool IsOrdinaryComponent(std::string_view component) {
  if (component.empty()) return false;
  const char last = component.back();
  // Trail bytes start at 0x40, so a last byte that is a dot or a space is one.
  if (last == '.' || last == ' ') return false;
  return !IsReservedDeviceName(component);
}

std::wstring FullPath(std::string_view path) { return win::FullPathName(win::Widen(path)); }

}  // namespace

bool IsSafeUpdateName(std::string_view name) {
  std::vector<std::string_view> components;
  if (!SplitComponents(name, components)) return false;
  for (std::string_view component : components) {
    if (!IsOrdinaryComponent(component)) return false;
  }
  return true;
}

bool PathLiesUnder(std::string_view directory, std::string_view path) {
  std::wstring base = FullPath(directory);
  const std::wstring full = FullPath(path);
  if (base.empty() || full.empty()) return false;
  if (base.back() != L'\\') base.push_back(L'\\');
  if (full.size() <= base.size()) return false;
  return CompareStringOrdinal(full.data(), static_cast<int>(base.size()), base.data(),
                              static_cast<int>(base.size()), TRUE) == CSTR_EQUAL;
}

bool IsWritableUpdateName(std::string_view runDirectory, std::string_view name) {
  return IsSafeUpdateName(name) &&
         PathLiesUnder(runDirectory, text::Text(runDirectory) + "\\" + text::Text(name));
}

}  // namespace launcher

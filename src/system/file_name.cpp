#include "system/file_name.h"

namespace sys {
namespace {

// Calls `visit(index)` with the index of every character start.
template <typename Visit>
void ForEachCharacter(std::string_view path, Visit&& visit) {
  for (size_t index = 0; index < path.size();) {
    visit(index);
    const bool doubleByte =
        text::IsLeadByte(static_cast<unsigned char>(path[index])) && index + 1 < path.size();
    index += doubleByte ? 2 : 1;
  }
}

bool IsSlash(char c) { return c == '\\' || c == '/'; }

std::string_view LastComponent(std::string_view path) {
  size_t start = 0;
  ForEachCharacter(path, [&](size_t index) {
    const char c = path[index];
    if ((IsSlash(c) || c == ':') && index + 1 < path.size() && !IsSlash(path[index + 1])) {
      start = index + 1;
    }
  });
  return path.substr(start);
}

}  // namespace

bool EndsWithBackslash(std::string_view path) {
  return !path.empty() && text::FindLast(path, "\\") == static_cast<std::int64_t>(path.size());
}

text::Text FileTitle(std::string_view path, bool keepExtension) {
  std::string_view component = LastComponent(path);
  if (EndsWithBackslash(component)) return {};
  if (!keepExtension) component.remove_suffix(FileExtension(component).size());
  return text::Text(component);
}

text::Text FileExtension(std::string_view path) {
  size_t dot = std::string_view::npos;
  ForEachCharacter(path, [&](size_t index) {
    const char c = path[index];
    if (c == '\\' || c == ' ') {
      dot = std::string_view::npos;
    } else if (c == '.') {
      dot = index;
    }
  });
  return dot == std::string_view::npos ? text::Text() : text::Text(path.substr(dot));
}

}  // namespace sys

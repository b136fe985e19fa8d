// INTERIM: see interim_helpers.h.
#include "net/interim_helpers.h"

#include <algorithm>

namespace net {
namespace {
text::Text CapitalizeFirst(std::string_view s) {
  text::Text out(s);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}
text::Text CookieName(std::string_view item) {
  const auto at = text::Find(item, "=");
  return text::Trim(at < 0 ? item : item.substr(0, static_cast<size_t>(at - 1)));
}
}  // namespace

text::Text NormalizeHeaderNames(std::string_view headers) {
  text::Text out;
  for (const auto& line : text::Split(headers, "\r\n")) {
    const auto colon = text::Find(line, ":");
    if (colon < 0) continue;
    const std::string_view name(line.data(), static_cast<size_t>(colon - 1));
    text::Text rewritten;
    const auto pieces = text::Split(name, "-");
    for (size_t i = 0; i < pieces.size(); ++i) rewritten += (i ? "-" : "") + CapitalizeFirst(pieces[i]);
    if (!name.empty() && name.back() == '-') rewritten += "-";
    out += rewritten + line.substr(static_cast<size_t>(colon - 1)) + "\r\n";
  }
  if (!out.empty()) out.resize(out.size() - 2);
  return out;
}

text::Text HeaderName(std::string_view line) {
  const auto colon = text::Find(line, ":");
  return colon < 0 ? text::Text() : text::Trim(line.substr(0, static_cast<size_t>(colon - 1)));
}

text::Text HeaderValue(std::string_view line) {
  const auto colon = text::Find(line, ":");
  return colon < 0 ? text::Text() : text::Trim(line.substr(static_cast<size_t>(colon)));
}

text::Text ExtractResponseCookies(const std::vector<text::Text>& lines) {
  text::Text result;
  for (const auto& line : lines) {
    if (!text::StartsWith(line, "set-cookie:", true)) continue;
    const auto semicolon = text::Find(line, ";", {.from = 12});
    if (semicolon < 0) continue;
    if (!result.empty()) result += "; ";
    result += text::Trim(std::string_view(line).substr(11, static_cast<size_t>(semicolon - 12)));
  }
  return result;
}

text::Text MergeCookies(text::Text& oldCookies, std::string_view newCookies) {
  oldCookies = text::Trim(oldCookies);
  if (!oldCookies.empty() && oldCookies.back() == ';') oldCookies += " ";
  text::Text fresh = text::Trim(newCookies);
  if (!fresh.empty() && fresh.back() == ';') fresh += " ";
  auto items = text::Split(fresh, "; ");
  for (const auto& item : text::Split(oldCookies, "; ")) {
    const auto name = CookieName(item);
    if (std::none_of(items.begin(), items.end(), [&](const auto& i) { return CookieName(i) == name; }))
      items.push_back(item);
  }
  std::vector<text::Text> seen;
  oldCookies.clear();
  for (const auto& item : items) {
    if (item.size() >= 8 ? item.substr(item.size() - 8) == "=deleted" : item == "=deleted") continue;
    if (std::find(seen.begin(), seen.end(), item) != seen.end()) continue;
    seen.push_back(item);
    oldCookies += item + "; ";
  }
  if (!oldCookies.empty()) oldCookies.resize(oldCookies.size() - 2);
  return oldCookies;
}
}  // namespace net

namespace text {
Text Base64Encode(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  Text out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
    out += {kDigits[v >> 18], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], kDigits[v & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {kDigits[v >> 18], kDigits[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += {kDigits[v >> 18], kDigits[(v >> 12) & 63], kDigits[(v >> 6) & 63], '='};
  }
  return out;
}
}  // namespace text

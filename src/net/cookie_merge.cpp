#include "net/cookie_merge.h"

#include <utility>

namespace net {
namespace {

using text::Text;

constexpr std::string_view kSeparator = "; ";
constexpr std::string_view kDeleted = "=deleted";

// Trimmed, with a space after a final ";" so that splitting at "; " leaves
// no stray semicolon on the last item.
Text PrepareForSplit(std::string_view cookies) {
  Text prepared = text::Trim(cookies);
  if (!prepared.empty() && prepared.back() == ';') prepared += ' ';
  return prepared;
}

bool IsDeletion(std::string_view item) {
  return item.size() >= kDeleted.size() && item.substr(item.size() - kDeleted.size()) == kDeleted;
}

// Drops the last `count` bytes; a shorter text becomes empty.
void DropTail(Text& items, std::size_t count) {
  items.resize(items.size() > count ? items.size() - count : 0);
}

}  // namespace

Text MergeCookies(Text& oldCookies, std::string_view newCookies) {
  oldCookies = PrepareForSplit(oldCookies);
  std::vector<Text> items = text::Split(PrepareForSplit(newCookies), kSeparator);
  // Items appended here count too, so an old name repeated is kept once.
  for (const Text& old : text::Split(oldCookies, kSeparator)) {
    if (!HasCookieNamed(items, CookieName(old))) items.push_back(old);
  }
  oldCookies.clear();
  for (const Text& item : items) {
    if (!IsDeletion(item)) oldCookies.append(item).append(kSeparator);
  }
  DropTail(oldCookies, kSeparator.size());
  oldCookies = RemoveDuplicateItems(oldCookies, kSeparator);
  return oldCookies;
}

Text CookieName(std::string_view item) {
  const std::int64_t equals = text::Find(item, "=");
  return text::Trim(equals == -1 ? item : item.substr(0, static_cast<std::size_t>(equals - 1)));
}

bool HasCookieNamed(const std::vector<Text>& items, std::string_view name) {
  for (const Text& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

Text RemoveDuplicateItems(std::string_view source, std::string_view delimiter) {
  std::vector<Text> seen;
  Text result;
  for (Text& item : text::Split(source, delimiter)) {
    if (FindItem(seen, item) != -1) continue;
    result.append(item).append(delimiter);
    seen.push_back(std::move(item));
  }
  DropTail(result, delimiter.size());
  return result;
}

std::int64_t FindItem(const std::vector<Text>& items, std::string_view item) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == item) return static_cast<std::int64_t>(i) + 1;
  }
  return -1;
}

}  // namespace net

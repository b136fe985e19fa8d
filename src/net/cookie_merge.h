// Keeping a cookie list text ("a=1; b=2") current across requests.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace net {

// Merges the cookies a response set into the ones the caller sent: new
// items first in the server's order, then the old items whose names the
// server did not mention; items ending in "=deleted" and exact repeats are
// dropped. The result is also stored into `oldCookies`.
text::Text MergeCookies(text::Text& oldCookies, std::string_view newCookies);

// The trimmed text before the first "=", or the whole item trimmed.
text::Text CookieName(std::string_view item);

// Whether some item's CookieName equals `name` exactly (case included).
bool HasCookieNamed(const std::vector<text::Text>& items, std::string_view name);

// `source` split at `delimiter` and joined again with only the first of each
// set of byte-for-byte equal items.
text::Text RemoveDuplicateItems(std::string_view source, std::string_view delimiter);

// 1-based position of the first item equal to `item`, or -1.
std::int64_t FindItem(const std::vector<text::Text>& items, std::string_view item);

}  // namespace net

// INTERIM: stand-ins for the request text, cookie and Base64 helpers until
// they land on main; removed then.
#pragma once

#include <string_view>
#include <vector>

#include "text/text.h"

namespace net {
text::Text NormalizeHeaderNames(std::string_view headers);
text::Text HeaderName(std::string_view line);
text::Text HeaderValue(std::string_view line);
text::Text ExtractResponseCookies(const std::vector<text::Text>& lines);
text::Text MergeCookies(text::Text& oldCookies, std::string_view newCookies);
}  // namespace net

namespace text {
Text Base64Encode(std::string_view bytes);
}  // namespace text

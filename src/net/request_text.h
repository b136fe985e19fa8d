// Header, credential and cookie texts of the HTTP request. Pure functions of
// their input; header texts are lines joined with CR LF.
#pragma once

#include <string_view>
#include <vector>

#include "text/base64.h"
#include "text/text.h"

namespace net {

// Proxy credentials are Base64 texts; the encoder lives with the text rules.
using text::Base64Encode;

// Keeps only the lines that hold a colon, upper-cases the first byte of the
// name and the byte after every dash in it (ASCII letters only), and joins
// the lines with CR LF, none after the last.
text::Text NormalizeHeaderNames(std::string_view headers);

// The first byte upper-cased when it is a to z; everything else unchanged.
text::Text CapitalizeFirst(std::string_view source);

// The trimmed text before, and after, the first colon; both empty when the
// line has no colon. Later colons belong to the value.
text::Text HeaderName(std::string_view line);
text::Text HeaderValue(std::string_view line);

// The name=value part of every line that begins with "Set-Cookie:" (any ASCII
// case) and has a ";" after it, trimmed and joined with "; ". A line without
// a ";" contributes nothing.
text::Text ExtractResponseCookies(const std::vector<text::Text>& lines);

}  // namespace net

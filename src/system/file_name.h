// The file name and extension of a code-page-936 path, found the way the
// shell finds them (PathFindFileName, PathFindExtension), stepping over
// double-byte characters whole so that a trail byte is never taken for a
// backslash or a dot.
#pragma once

#include <string_view>

#include "text/text.h"

namespace sys {

// The last component of `path`: what follows the last '\', '/' or ':' that
// is followed by something other than a slash. Empty when that component
// ends with a backslash; without its extension unless `keepExtension`.
text::Text FileTitle(std::string_view path, bool keepExtension);

// From the last dot of the last component on, dot included; a backslash or
// a space after the dot means there is none. Empty when there is none.
text::Text FileExtension(std::string_view path);

// True when the last character is a backslash (not a trail byte 0x5C).
bool EndsWithBackslash(std::string_view path);

}  // namespace sys

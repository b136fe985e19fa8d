// Conversions between code-page-936 texts and UTF-16 bytes, and the file
// presence test that the start-up uses for the main program.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace sys {

// UTF-16LE bytes of `source` followed by one zero code unit; an empty text
// gives no bytes at all.
text::ByteString TextToWide(std::string_view source);
// The code-page-936 text of the code units before the first zero unit.
text::Text WideToText(std::string_view wideBytes);
// True when `path` names an existing entry that is not a folder. Wildcards
// in `path` are a pattern; its first match decides.
bool FileIsPresent(std::string_view path);
// True when a FindFirstFile search on `path` finds anything: a folder of
// that name counts too, and wildcards match.
bool EntryIsPresent(std::string_view path);
// The full path of the running executable; empty when it cannot be read.
text::Text ExecutablePath();

}  // namespace sys

// MD5 digests as the update manifest writes them: 32 lower-case hex digits.
#pragma once

#include <string_view>

#include "text/text.h"

namespace sys {

// The digest of `data`; empty when the cryptographic service fails.
text::Text Md5Text(std::string_view data);

// The digest of the content of the file at `path`, read in chunks so that a
// large file is never held in memory whole. A file that is missing or cannot
// be read counts as empty content. Empty when the service fails.
text::Text Md5TextOfFile(std::string_view path);

// Whether an entry exists at `path` and its content has the digest `md5`. A
// missing file is no match, not even for the digest of empty content.
bool FileMatchesMd5(std::string_view path, std::string_view md5);

}  // namespace sys

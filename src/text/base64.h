// Base64 text of a byte string (RFC 4648 alphabet, "=" padding, one line),
// as the Basic proxy credentials need it.
#pragma once

#include <string_view>

#include "text/text.h"

namespace text {

Text Base64Encode(std::string_view bytes);

}  // namespace text

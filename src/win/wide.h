// Conversions between code-page texts and UTF-16 strings for Windows calls.
#pragma once

#include <string>
#include <string_view>

#include "text/code_page.h"

namespace win {

// Converts up to the first zero byte; failures give an empty string.
std::wstring Widen(std::string_view text, int codePage = text::TextCodePage);
std::string Narrow(std::wstring_view wide, int codePage = text::TextCodePage);

}  // namespace win

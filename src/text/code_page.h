#pragma once

namespace text {

// The code page of every text the program keeps (GBK). Conversions to and
// from UTF-16 always use it, never the system's ANSI code page, so Chinese
// texts read and show the same on any system locale.
inline constexpr int TextCodePage = 936;

}  // namespace text

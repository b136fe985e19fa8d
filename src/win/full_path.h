// Full paths as the system makes them of relative ones.
#pragma once

#include <string>

namespace win {

// What GetFullPathNameW makes of `path`: current drive and folder applied,
// "." and ".." resolved. Empty for an empty path or when the call fails.
std::wstring FullPathName(const std::wstring& path);

}  // namespace win

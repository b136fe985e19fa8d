// Text rules shared by every part of the launcher.
//
// A "text" is a byte string in code page 936 (GBK): ASCII bytes stand for
// themselves, and a byte from 0x81 to 0xFE starts a double-byte character
// whose second (trail) byte may look like ASCII ('\\', '[', 'a' ...).
// Every search here steps over double-byte characters whole, so a match
// never begins on a trail byte. Positions are 1-based; -1 means "absent".
// No function here touches Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace text {

using Text = std::string;
// Byte strings may hold zero bytes; texts never do.
using ByteString = std::string;

// True for a byte that begins a double-byte code page 936 character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

struct FindOptions {
  bool ignoreAsciiCase = false;
  // 1-based position where the search starts; it must be a character start.
  std::int64_t from = 1;
};

// 1-based position of the first occurrence of `needle` at a character start,
// or -1. An empty needle is never found.
std::int64_t Find(std::string_view haystack, std::string_view needle, FindOptions options = {});

// 1-based position of the last occurrence of `needle` at a character start,
// or -1; a trail byte that reads like the needle is no occurrence.
std::int64_t FindLast(std::string_view haystack, std::string_view needle);

bool Contains(std::string_view haystack, std::string_view needle, bool ignoreAsciiCase = false);

// Pieces between delimiters: empty pieces are kept, a final delimiter adds
// no piece, an empty text gives no pieces. An empty delimiter leaves the
// text whole.
std::vector<Text> Split(std::string_view source, std::string_view delimiter);

// Removes spaces (0x20) and full-width spaces (0xA1 0xA1) at both ends.
Text Trim(std::string_view source);

// Replaces every occurrence, scanning from the start, at character starts.
Text ReplaceAll(std::string_view source, std::string_view from, std::string_view to,
                bool ignoreAsciiCase = false);

// Case changes touch ASCII letters only, never a trail byte.
Text ToUpperAscii(std::string_view source);
Text ToLowerAscii(std::string_view source);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view source, std::string_view prefix, bool ignoreAsciiCase = false);

// The bytes up to the first zero byte.
Text BytesToText(std::string_view bytes);

// "%d" and "%.13g".
Text FormatInt(std::int64_t value);
Text FormatDouble(double value);

// Half away from zero: |x| * 10^decimals + 1e-12, rounded up when the
// fraction is 0.5 or more.
double RoundHalfAway(double value, int decimals);

}  // namespace text

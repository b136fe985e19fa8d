#include "text/text.h"

#include <charconv>
#include <cmath>

namespace text {
namespace {

constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Bytes taken by the character that starts at `index`; a lead byte at the
// very end stands alone.
std::size_t CharLength(std::string_view s, std::size_t index) {
  return IsLeadByte(Byte(s[index])) && index + 1 < s.size() ? 2 : 1;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether `needle` stands at `index` of `haystack`, which must be a character
// start. Lead bytes are never letters, so once the first bytes agree the two
// texts share their character boundaries and trail bytes compare exactly.
bool MatchesAt(std::string_view haystack, std::size_t index, std::string_view needle,
               bool ignoreAsciiCase) {
  if (needle.size() > haystack.size() - index) return false;
  for (std::size_t j = 0; j < needle.size();) {
    const std::size_t length = CharLength(needle, j);
    if (length == 2) {
      if (haystack.compare(index + j, 2, needle.substr(j, 2)) != 0) return false;
    } else {
      const char a = haystack[index + j];
      const char b = needle[j];
      if (ignoreAsciiCase ? LowerAscii(a) != LowerAscii(b) : a != b) return false;
    }
    j += length;
  }
  return true;
}

// 0-based position of the first match at or after the character start
// `index`, or kAbsent.
std::size_t FindFrom(std::string_view haystack, std::string_view needle, std::size_t index,
                     bool ignoreAsciiCase) {
  if (needle.empty()) return kAbsent;
  for (; index < haystack.size(); index += CharLength(haystack, index)) {
    if (MatchesAt(haystack, index, needle, ignoreAsciiCase)) return index;
  }
  return kAbsent;
}

Text ChangeAsciiCase(std::string_view source, char (*change)(char)) {
  Text result(source);
  for (std::size_t i = 0; i < result.size(); i += CharLength(result, i)) {
    if (CharLength(result, i) == 1) result[i] = change(result[i]);
  }
  return result;
}

}  // namespace

std::int64_t Find(std::string_view haystack, std::string_view needle, FindOptions options) {
  const std::size_t start = options.from < 1 ? 0 : static_cast<std::size_t>(options.from - 1);
  const std::size_t found = FindFrom(haystack, needle, start, options.ignoreAsciiCase);
  return found == kAbsent ? -1 : static_cast<std::int64_t>(found) + 1;
}

std::int64_t FindLast(std::string_view haystack, std::string_view needle) {
  std::size_t last = kAbsent;
  for (std::size_t found = FindFrom(haystack, needle, 0, false); found != kAbsent;
       found = FindFrom(haystack, needle, found + CharLength(haystack, found), false)) {
    last = found;
  }
  return last == kAbsent ? -1 : static_cast<std::int64_t>(last) + 1;
}

bool Contains(std::string_view haystack, std::string_view needle, bool ignoreAsciiCase) {
  return FindFrom(haystack, needle, 0, ignoreAsciiCase) != kAbsent;
}

std::vector<Text> Split(std::string_view source, std::string_view delimiter) {
  std::vector<Text> pieces;
  std::size_t start = 0;
  while (start < source.size()) {
    const std::size_t found = FindFrom(source, delimiter, start, false);
    if (found == kAbsent) {
      pieces.emplace_back(source.substr(start));
      break;
    }
    pieces.emplace_back(source.substr(start, found - start));
    start = found + delimiter.size();
  }
  return pieces;
}

Text Trim(std::string_view source) {
  // One pass over the characters, so a 0xA1 0xA1 that straddles two
  // characters is never taken for a full-width space.
  std::size_t first = kAbsent;
  std::size_t end = 0;
  for (std::size_t i = 0; i < source.size();) {
    const std::size_t length = CharLength(source, i);
    const bool blank = source[i] == ' ' ||
                       (length == 2 && Byte(source[i]) == 0xA1 && Byte(source[i + 1]) == 0xA1);
    if (!blank) {
      if (first == kAbsent) first = i;
      end = i + length;
    }
    i += length;
  }
  return first == kAbsent ? Text() : Text(source.substr(first, end - first));
}

Text ReplaceAll(std::string_view source, std::string_view from, std::string_view to,
                bool ignoreAsciiCase) {
  Text result;
  std::size_t start = 0;
  std::size_t found = FindFrom(source, from, 0, ignoreAsciiCase);
  while (found != kAbsent) {
    result.append(source.substr(start, found - start)).append(to);
    start = found + from.size();
    found = FindFrom(source, from, start, ignoreAsciiCase);
  }
  return result.append(source.substr(start));
}

Text ToUpperAscii(std::string_view source) { return ChangeAsciiCase(source, UpperAscii); }

Text ToLowerAscii(std::string_view source) { return ChangeAsciiCase(source, LowerAscii); }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && MatchesAt(a, 0, b, true);
}

bool StartsWith(std::string_view source, std::string_view prefix, bool ignoreAsciiCase) {
  return MatchesAt(source, 0, prefix, ignoreAsciiCase);
}

Text BytesToText(std::string_view bytes) { return Text(bytes.substr(0, bytes.find('\0'))); }

Text FormatInt(std::int64_t value) { return std::to_string(value); }

Text FormatDouble(double value) {
  // to_chars is "%.13g" without the C locale's say over the decimal point.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, 13);
  return Text(buffer, result.ptr);
}

double RoundHalfAway(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = std::fabs(value) * scale + 1e-12;
  double whole = std::floor(scaled);
  if (scaled - whole >= 0.5) whole += 1;
  const double magnitude = whole / scale;
  return value < 0 ? -magnitude : magnitude;
}

}  // namespace text

#include "net/request_text.h"

namespace net {
namespace {

using text::Text;

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kSetCookie = "set-cookie:";

Text Join(const std::vector<Text>& pieces, std::string_view delimiter) {
  Text joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += delimiter;
    joined += pieces[i];
  }
  return joined;
}

// Capitalises every dash-separated word of a header name.
Text CapitalizeWords(std::string_view name) {
  std::vector<Text> words = text::Split(name, "-");
  for (Text& word : words) word = CapitalizeFirst(word);
  Text result = Join(words, "-");
  // Splitting gives no piece after a final dash; put that dash back.
  if (!name.empty() && name.back() == '-') result += '-';
  return result;
}

// 1-based position of the first colon, or -1.
std::int64_t ColonIn(std::string_view line) { return text::Find(line, ":"); }

}  // namespace

Text NormalizeHeaderNames(std::string_view headers) {
  std::vector<Text> lines;
  for (const Text& line : text::Split(headers, kLineBreak)) {
    const std::int64_t colon = ColonIn(line);
    if (colon == -1) continue;
    const auto nameLength = static_cast<std::size_t>(colon - 1);
    lines.push_back(CapitalizeWords(std::string_view(line).substr(0, nameLength)) +
                    line.substr(nameLength));
  }
  return Join(lines, kLineBreak);
}

Text CapitalizeFirst(std::string_view source) {
  Text result(source);
  if (!result.empty() && result[0] >= 'a' && result[0] <= 'z') {
    result[0] = static_cast<char>(result[0] - 'a' + 'A');
  }
  return result;
}

Text HeaderName(std::string_view line) {
  const std::int64_t colon = ColonIn(line);
  return colon == -1 ? Text() : text::Trim(line.substr(0, static_cast<std::size_t>(colon - 1)));
}

Text HeaderValue(std::string_view line) {
  const std::int64_t colon = ColonIn(line);
  return colon == -1 ? Text() : text::Trim(line.substr(static_cast<std::size_t>(colon)));
}

Text ExtractResponseCookies(const std::vector<Text>& lines) {
  Text cookies;
  for (const Text& line : lines) {
    if (!text::StartsWith(line, kSetCookie, true)) continue;
    // The pair starts right after the prefix, at 1-based position 12.
    const std::int64_t pairStart = static_cast<std::int64_t>(kSetCookie.size()) + 1;
    const std::int64_t semicolon = text::Find(line, ";", {.from = pairStart});
    if (semicolon == -1) continue;
    if (!cookies.empty()) cookies += "; ";
    const auto pairLength = static_cast<std::size_t>(semicolon - pairStart);
    cookies += text::Trim(std::string_view(line).substr(kSetCookie.size(), pairLength));
  }
  return cookies;
}

}  // namespace net

#include "text/base64.h"

#include <cstdint>

namespace text {

Text Base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  Text result;
  result.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      const std::uint32_t byte = k < count ? static_cast<unsigned char>(bytes[i + k]) : 0;
      group = group << 8 | byte;
    }
    // n input bytes fill n + 1 output characters; "=" pads the rest.
    for (std::size_t k = 0; k < 4; ++k) {
      result += k <= count ? kAlphabet[group >> (18 - 6 * k) & 0x3F] : '=';
    }
  }
  return result;
}

}  // namespace text

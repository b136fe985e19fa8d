#include "text/base64.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(Base64EncodeTest, StandardAlphabetWithPadding) {
  struct Case {
    std::string bytes;
    std::string expected;
  } const cases[] = {
      // RFC 4648, section 10.
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      // Bytes above 0x7F and zero bytes are data like any other.
      {"\xFF\xFE\xFD", "//79"},
      {std::string("\0\0\0", 3), "AAAA"},
      {"\xC8\xED\xBC\xFE", "yO28/g=="},
      {"user:pass", "dXNlcjpwYXNz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(text::Base64Encode(c.bytes), c.expected);
  }
}

TEST(Base64EncodeTest, LongInputStaysOnOneLine) {
  const std::string encoded = text::Base64Encode(std::string(100, 'a'));
  EXPECT_EQ(encoded.size(), 136u);
  EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(encoded.substr(encoded.size() - 4), "YQ==");
}

}  // namespace

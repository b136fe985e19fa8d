// GBK bytes are written as \x escapes; a literal is split ("\xD5\x5C" "a")
// where the next character would otherwise extend the escape.
#include "text/text.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using text::Text;

TEST(FindTest, MatchesOnlyAtCharacterStarts) {
  struct Case {
    std::string haystack;
    std::string needle;
    bool ignoreAsciiCase;
    std::int64_t from;
    std::int64_t expected;
  } const cases[] = {
      {"abcabc", "bc", false, 1, 2},
      {"abcabc", "bc", false, 3, 5},
      {"abcabc", "bc", false, 6, -1},
      {"abc", "abc", false, 1, 1},
      {"abc", "abcd", false, 1, -1},
      {"abc", "", false, 1, -1},
      {"", "a", false, 1, -1},
      {"abc", "c", false, 4, -1},
      {"ABC", "bc", false, 1, -1},
      {"ABC", "bc", true, 1, 2},
      {"Accept-Language: x", "accept-language:", true, 1, 1},
      {"a{b", "[", true, 1, -1},  // '[' and '{' differ by 0x20 but are no letters
      // Trail bytes '\\' and '[' are part of their character.
      {"\xD5\x5C\\", "\\", false, 1, 3},
      {"\xB0\x5B[", "[", false, 1, 3},
      {"\xD5\x5C", "\\", false, 1, -1},
      // A trail byte that looks like a letter is no letter.
      {"\xB0\x61", "A", true, 1, -1},
      {"\xB0\x41" "a", "A", true, 1, 3},
      {"\xB0\x61", "\xB0\x41", true, 1, -1},
      {"x\xB0\x41", "\xB0\x41", false, 1, 2},
      // Never a match that begins inside a character.
      {"\xC8\xED\xBC\xFE", "\xED\xBC", false, 1, -1},
      {"\xC8\xED\xBC\xFE", "\xBC\xFE", false, 1, 3},
      {"\xC8\xED\xBC\xFE", "\xBC\xFE", false, 3, 3},
      // A lead byte at the very end stands alone.
      {"a\xB0", "\xB0", false, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.haystack) + " / " + testing::PrintToString(c.needle));
    EXPECT_EQ(text::Find(c.haystack, c.needle, {c.ignoreAsciiCase, c.from}), c.expected);
    if (c.from == 1) {
      EXPECT_EQ(text::Contains(c.haystack, c.needle, c.ignoreAsciiCase), c.expected != -1);
    }
  }
}

TEST(FindLastTest, LastMatchAtACharacterStart) {
  struct Case {
    std::string haystack;
    std::string needle;
    std::int64_t expected;
  } const cases[] = {
      {"C:\\a\\b.exe", "\\", 5},
      {"abcabc", "bc", 5},
      {"aaa", "aa", 2},
      {"abc", "x", -1},
      {"abc", "", -1},
      {"", "\\", -1},
      // A trail byte 0x5C is no backslash.
      {"C:\\a\x95\x5C" "b", "\\", 3},
      {"\x95\x5C", "\\", -1},
      {"\\\xD5\x5C\\", "\\", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.haystack) + " / " + testing::PrintToString(c.needle));
    EXPECT_EQ(text::FindLast(c.haystack, c.needle), c.expected);
  }
}

TEST(SplitTest, KeepsEmptyPiecesButNoneAfterTheLastDelimiter) {
  struct Case {
    std::string source;
    std::string delimiter;
    std::vector<Text> expected;
  } const cases[] = {
      {"", ",", {}},
      {"a", ",", {"a"}},
      {"a,b", ",", {"a", "b"}},
      {"a,b,", ",", {"a", "b"}},
      {",a", ",", {"", "a"}},
      {"a,,b", ",", {"a", "", "b"}},
      {",", ",", {""}},
      {",,", ",", {"", ""}},
      {"x\r\ny\r\n", "\r\n", {"x", "y"}},
      {"x\r\n\r\ny", "\r\n", {"x", "", "y"}},
      {"a; b;c", "; ", {"a", "b;c"}},
      {"ab", "", {"ab"}},
      {"\xD5\x5C" "a\\b", "\\", {"\xD5\x5C" "a", "b"}},
      {"\xC8\xED\xBC\xFE", "\xED\xBC", {"\xC8\xED\xBC\xFE"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source) + " / " + testing::PrintToString(c.delimiter));
    EXPECT_EQ(text::Split(c.source, c.delimiter), c.expected);
  }
}

TEST(TrimTest, RemovesSpacesAndFullWidthSpacesAtBothEndsOnly) {
  struct Case {
    std::string source;
    std::string expected;
  } const cases[] = {
      {"  a b  ", "a b"},
      {"\xA1\xA1" "a\xA1\xA1", "a"},
      {" \xA1\xA1 a \xA1\xA1 ", "a"},
      {"a\xA1\xA1" "b", "a\xA1\xA1" "b"},
      {"\ta\r\n", "\ta\r\n"},
      {"", ""},
      {"   ", ""},
      {"\xA1\xA1\xA1\xA1", ""},
      // The last A1 of the character B0 A1 and the next byte are no pair.
      {"\xB0\xA1\xA1", "\xB0\xA1\xA1"},
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
      {"\xA1\xA1\xA1", "\xA1"},
      {"a\xA1", "a\xA1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source));
    EXPECT_EQ(text::Trim(c.source), c.expected);
  }
}

TEST(ReplaceAllTest, ReplacesEveryOccurrenceAtCharacterStarts) {
  struct Case {
    std::string source;
    std::string from;
    std::string to;
    bool ignoreAsciiCase;
    std::string expected;
  } const cases[] = {
      {"a.b.c", ".", "-", false, "a-b-c"},
      {"aaa", "aa", "b", false, "ba"},
      {"ab", "b", "bb", false, "abb"},
      {"abc", "", "x", false, "abc"},
      {"", "a", "x", false, ""},
      {"Cookie: a=1", "cookie:", "", false, "Cookie: a=1"},
      {"Cookie: a=1", "cookie:", "", true, " a=1"},
      {"x COOKIE:y cookie:z", "Cookie:", "", true, "x y z"},
      {"\xD5\x5C\\", "\\", "/", false, "\xD5\x5C/"},
      {"\xB0\x5B[", "[", "(", false, "\xB0\x5B("},
      {"\xB0\x61" "a", "A", "b", true, "\xB0\x61" "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source) + " / " + testing::PrintToString(c.from));
    EXPECT_EQ(text::ReplaceAll(c.source, c.from, c.to, c.ignoreAsciiCase), c.expected);
  }
}

TEST(AsciiCaseTest, ChangesAsciiLettersButNeverTrailBytes) {
  struct Case {
    std::string source;
    std::string upper;
    std::string lower;
  } const cases[] = {
      {"azAZ09-[`{@", "AZAZ09-[`{@", "azaz09-[`{@"},
      {"a\xB0\x61z", "A\xB0\x61Z", "a\xB0\x61z"},
      {"A\xB0\x41Z", "A\xB0\x41Z", "a\xB0\x41z"},
      {"\xB0\x61\x61", "\xB0\x61\x41", "\xB0\x61\x61"},
      {"a\xB0", "A\xB0", "a\xB0"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source));
    EXPECT_EQ(text::ToUpperAscii(c.source), c.upper);
    EXPECT_EQ(text::ToLowerAscii(c.source), c.lower);
  }
}

TEST(AsciiCaseTest, ComparesIgnoringAsciiCase) {
  struct Case {
    std::string a;
    std::string b;
    bool equal;
  } const cases[] = {
      {"abc", "ABC", true},
      {"", "", true},
      {"abc", "abd", false},
      {"ab", "abc", false},
      {"x\xC8\xED", "X\xC8\xED", true},
      {"\xB0\x61", "\xB0\x41", false},
      {"[", "{", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " / " + testing::PrintToString(c.b));
    EXPECT_EQ(text::EqualsIgnoringAsciiCase(c.a, c.b), c.equal);
    EXPECT_EQ(text::EqualsIgnoringAsciiCase(c.b, c.a), c.equal);
  }
}

TEST(StartsWithTest, PrefixMustStandAtTheStart) {
  struct Case {
    std::string source;
    std::string prefix;
    bool ignoreAsciiCase;
    bool expected;
  } const cases[] = {
      {"Set-Cookie: a=1;", "set-cookie:", true, true},
      {"Set-Cookie: a=1;", "set-cookie:", false, false},
      {"Set-Cookie: a=1;", "Set-Cookie:", false, true},
      {" Set-Cookie: a=1;", "set-cookie:", true, false},
      {"Set-Cookie", "set-cookie:", true, false},
      {"\xB0\x61", "\xB0\x41", true, false},
      {"abc", "", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source) + " / " + testing::PrintToString(c.prefix));
    EXPECT_EQ(text::StartsWith(c.source, c.prefix, c.ignoreAsciiCase), c.expected);
  }
}

TEST(BytesToTextTest, StopsAtTheFirstZeroByte) {
  struct Case {
    std::string bytes;
    std::string expected;
  } const cases[] = {
      {std::string("ab\0cd", 5), "ab"},
      {std::string("\0a", 2), ""},
      {"", ""},
      {"\xC8\xED\xBC\xFE", "\xC8\xED\xBC\xFE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(text::BytesToText(c.bytes), c.expected);
  }
}

TEST(NumberTextTest, FormatIntIsSignedDecimal) {
  struct Case {
    std::int64_t value;
    std::string expected;
  } const cases[] = {
      {0, "0"},
      {-5, "-5"},
      {2147483647, "2147483647"},
      {9007199254740993, "9007199254740993"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (const Case& c : cases) EXPECT_EQ(text::FormatInt(c.value), c.expected);
}

TEST(NumberTextTest, FormatDoubleUsesThirteenSignificantDigits) {
  struct Case {
    double value;
    std::string expected;
  } const cases[] = {
      {1.5, "1.5"},
      {2.0, "2"},
      {0.1, "0.1"},
      {-0.25, "-0.25"},
      {0.0, "0"},
      {1.0 / 3, "0.3333333333333"},
      {1e20, "1e+20"},
      {1e-5, "1e-05"},
      {0.0001, "0.0001"},
      {1234567890123.0, "1234567890123"},
      {123456789012345.0, "1.234567890123e+14"},
  };
  for (const Case& c : cases) EXPECT_EQ(text::FormatDouble(c.value), c.expected) << c.value;
}

TEST(NumberTextTest, RoundHalfAwayFromZero) {
  struct Case {
    double value;
    int decimals;
    double expected;
    std::string shown;
  } const cases[] = {
      {0.005, 2, 0.01, "0.01"},
      // 1.005 * 100 is 100.49999999999999 in binary; the 1e-12 lifts it.
      {1.005, 2, 1.01, "1.01"},
      {-1.005, 2, -1.01, "-1.01"},
      {1234567.0 / 1048576, 2, 1.18, "1.18"},
      {2.5, 0, 3.0, "3"},
      {-2.5, 0, -3.0, "-3"},
      {2.4999, 0, 2.0, "2"},
      {1.23456, 3, 1.235, "1.235"},
      {0.0, 2, 0.0, "0"},
      {7.0, 2, 7.0, "7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " to " << c.decimals);
    const double rounded = text::RoundHalfAway(c.value, c.decimals);
    EXPECT_DOUBLE_EQ(rounded, c.expected);
    EXPECT_EQ(text::FormatDouble(rounded), c.shown);
  }
}

}  // namespace

// GBK bytes are written as \x escapes.
#include "net/cookie_merge.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(MergeCookiesTest, NewItemsFirstThenUnmentionedOldOnes) {
  struct Case {
    std::string oldCookies;
    std::string newCookies;
    std::string expected;
  } const cases[] = {
      {"a=1; b=2; c=3", "b=5; c=deleted", "b=5; a=1"},
      {"a=1; b=2", "c=3; a=9", "c=3; a=9; b=2"},
      {"a=1; a=2", "", "a=1"},
      {"", "x=1; x=1; x=2", "x=1; x=2"},
      {"a=1;", "", "a=1"},
      {"a=1;b=2", "", "a=1;b=2"},
      {"", "b=2;", "b=2"},
      {"SID=1", "sid=2", "sid=2; SID=1"},
      {"b=1; a =1", "a=2", "a=2; b=1"},
      {"x=DELETED", "", "x=DELETED"},
      {"=deleted", "", ""},
      {"c=deleted; a=1", "", "a=1"},
      {"c=3", "c=deleted", ""},
      {"a=1", "z=deleted", "a=1"},
      {"flag; a=1", "flag", "flag; a=1"},
      {"\xA1\xA1 a=1\xA1\xA1", " b=2; ", "b=2; a=1"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.oldCookies) + " + " +
                 testing::PrintToString(c.newCookies));
    text::Text cookies = c.oldCookies;
    EXPECT_EQ(net::MergeCookies(cookies, c.newCookies), c.expected);
    EXPECT_EQ(cookies, c.expected);
  }
}

TEST(CookieNameTest, TrimmedTextBeforeTheFirstEquals) {
  struct Case {
    std::string item;
    std::string name;
  } const cases[] = {
      {"a=1", "a"},   {" a = 1", "a"}, {"a=b=c", "a"}, {"flag", "flag"},
      {" flag ", "flag"}, {"=x", ""},  {"", ""},      {"\xA1\xA1n\xA1\xA1=v", "n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.item));
    EXPECT_EQ(net::CookieName(c.item), c.name);
  }
}

TEST(HasCookieNamedTest, ComparesNamesExactly) {
  const std::vector<text::Text> items = {"a=1", "B=2", " c =3", "flag"};
  struct Case {
    std::string name;
    bool expected;
  } const cases[] = {
      {"a", true}, {"B", true}, {"b", false}, {"c", true},
      {"flag", true}, {"", false}, {"a=1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(net::HasCookieNamed(items, c.name), c.expected) << c.name;
  EXPECT_FALSE(net::HasCookieNamed({}, "a"));
}

TEST(RemoveDuplicateItemsTest, KeepsTheFirstOfEqualItems) {
  struct Case {
    std::string source;
    std::string delimiter;
    std::string expected;
  } const cases[] = {
      {"x=1; x=1; x=2", "; ", "x=1; x=2"},
      {"a,b,a,c,b", ",", "a,b,c"},
      {"A,a", ",", "A,a"},
      {"a,a,", ",", "a"},
      {"a,,b,,", ",", "a,,b"},
      {"", ",", ""},
      // The trail byte 0x5C is no delimiter.
      {"\xD5\x5C\\\xD5\x5C", "\\", "\xD5\x5C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source));
    EXPECT_EQ(net::RemoveDuplicateItems(c.source, c.delimiter), c.expected);
  }
}

TEST(FindItemTest, OneBasedPositionOfTheFirstEqualItem) {
  const std::vector<text::Text> items = {"a", "b", "a", ""};
  struct Case {
    std::string item;
    std::int64_t expected;
  } const cases[] = {{"a", 1}, {"b", 2}, {"", 4}, {"A", -1}, {"c", -1}};
  for (const Case& c : cases) EXPECT_EQ(net::FindItem(items, c.item), c.expected) << c.item;
  EXPECT_EQ(net::FindItem({}, "a"), -1);
}

}  // namespace

// GBK bytes are written as \x escapes.
#include "net/request_text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(NormalizeHeaderNamesTest, CapitalisesNameWordsAndDropsLinesWithoutColon) {
  struct Case {
    std::string headers;
    std::string expected;
  } const cases[] = {
      {"x-requested-with: a\r\ncache-control:no-cache\r\nbroken line\r\n",
       "X-Requested-With: a\r\nCache-Control:no-cache"},
      {"ACCEPT: x", "ACCEPT: x"},
      {"a--b: x", "A--B: x"},
      {" accept: x", " accept: x"},
      {"accept: text/html-x; q=a-b", "Accept: text/html-x; q=a-b"},
      {"accept: x\r\n\r\nhost: y", "Accept: x\r\nHost: y"},
      {"x-: v", "X-: v"},
      {"x--: v", "X--: v"},
      {"-a: v", "-A: v"},
      {"x-1a: v", "X-1a: v"},
      {"\xC8\xED-a: v", "\xC8\xED-A: v"},
      {":x", ":x"},
      {"", ""},
      {"no colon\r\nalso none\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.headers));
    EXPECT_EQ(net::NormalizeHeaderNames(c.headers), c.expected);
  }
}

TEST(CapitalizeFirstTest, UpperCasesOnlyALeadingAsciiLetter) {
  struct Case {
    std::string source;
    std::string expected;
  } const cases[] = {
      {"", ""},       {"abc", "Abc"}, {"z", "Z"},   {"Abc", "Abc"},
      {"1abc", "1abc"}, {"`a", "`a"}, {"{a", "{a"}, {"\xB0\x61", "\xB0\x61"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.source));
    EXPECT_EQ(net::CapitalizeFirst(c.source), c.expected);
  }
}

TEST(HeaderLineTest, NameAndValueAroundTheFirstColon) {
  struct Case {
    std::string line;
    std::string name;
    std::string value;
  } const cases[] = {
      {"Host : a:b", "Host", "a:b"},
      {"no colon here", "", ""},
      {"  Accept:  */*  ", "Accept", "*/*"},
      {"\xA1\xA1X\xA1\xA1:\xA1\xA1v\xA1\xA1", "X", "v"},
      {"Name:\tv\t", "Name", "\tv\t"},
      {"Cookie:", "Cookie", ""},
      {":", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    EXPECT_EQ(net::HeaderName(c.line), c.name);
    EXPECT_EQ(net::HeaderValue(c.line), c.value);
  }
}

TEST(ExtractResponseCookiesTest, CollectsPairsOfSetCookieLines) {
  struct Case {
    std::vector<text::Text> lines;
    std::string expected;
  } const cases[] = {
      {{"Server: x", "Set-Cookie: sid=1; path=/", "set-cookie: k = v ;", "Set-Cookie: x=9"},
       "sid=1; k = v"},
      {{"Set-Cookie: a=1; path=/", "Set-Cookie: b=2"}, "a=1"},
      // An empty pair adds the separator only once something is collected.
      {{"Set-Cookie: a=1; path=/", "Set-Cookie: ;"}, "a=1; "},
      {{"Set-Cookie: ;", "Set-Cookie: a=1;"}, "a=1"},
      {{"SET-COOKIE:a=1;b"}, "a=1"},
      {{"X-Set-Cookie: a=1;"}, ""},
      {{" Set-Cookie: a=1;"}, ""},
      {{"Set-Cookie:"}, ""},
      {{"Set-Cookie"}, ""},
      {{}, ""},
      {{"Set-Cookie: \xA1\xA1" "a=\xC8\xED\xA1\xA1; path=/"}, "a=\xC8\xED"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.lines));
    EXPECT_EQ(net::ExtractResponseCookies(c.lines), c.expected);
  }
}

TEST(RequestTextTest, ProxyCredentialsEncodeAsBase64) {
  EXPECT_EQ("Basic " + net::Base64Encode("user:pass"), "Basic dXNlcjpwYXNz");
}

}  // namespace

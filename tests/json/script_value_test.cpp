// How engine results become truth values, numbers and texts.
#include "json/script_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

using json::ToNumber;
using json::ToText;
using json::ToTruthValue;

std::optional<win::Variant> Null() {
  win::Variant value;
  value.put()->vt = VT_NULL;
  return value;
}

struct ConversionCase {
  const char* name;
  std::optional<win::Variant> value;
  bool truth;
  double number;
  text::Text text;
};

TEST(ScriptValueTest, ConvertsByTheDocumentsRules) {
  const ConversionCase cases[] = {
      {"Failure", std::nullopt, false, 0.0, ""},
      {"Undefined", win::Variant(), false, 0.0, ""},
      {"Null", Null(), false, 0.0, ""},
      {"True", win::Variant(true), true, -1.0, "true"},
      {"False", win::Variant(false), false, 0.0, "false"},
      {"Integer", win::Variant(std::int32_t{3}), true, 3.0, "3"},
      {"Zero", win::Variant(std::int32_t{0}), false, 0.0, "0"},
      {"Double", win::Variant(0.1), true, 0.1, "0.1"},
      {"NaN", win::Variant(std::nan("")), false, std::nan(""), "NaN"},
      {"Infinity", win::Variant(-HUGE_VAL), true, -HUGE_VAL, "-Infinity"},
      {"NumberText", win::Variant(L" -1.5e2 "), true, -150.0, " -1.5e2 "},
      {"ZeroText", win::Variant(L"0.0"), false, 0.0, "0.0"},
      {"TrueText", win::Variant(L"True"), true, 0.0, "True"},
      {"FalseText", win::Variant(L"false"), false, 0.0, "false"},
      {"OtherText", win::Variant(L"1.2.3"), false, 0.0, "1.2.3"},
      {"EmptyText", win::Variant(L""), false, 0.0, ""},
      {"ChineseText", win::Variant(L"\u8F6F\u4EF6"), false, 0.0, "软件"},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToTruthValue(c.value), c.truth);
    if (std::isnan(c.number)) {
      EXPECT_TRUE(std::isnan(ToNumber(c.value)));
    } else {
      EXPECT_EQ(ToNumber(c.value), c.number);
    }
    EXPECT_EQ(ToText(c.value), c.text);
  }
}

TEST(ScriptValueTest, TruncatesTowardZero) {
  EXPECT_EQ(json::TruncateToInt32(2.9), 2);
  EXPECT_EQ(json::TruncateToInt32(-2.9), -2);
  EXPECT_EQ(json::TruncateToInt32(2147483647.5), 2147483647);
  EXPECT_EQ(json::TruncateToInt32(4e9), 0);
  EXPECT_EQ(json::TruncateToInt32(std::nan("")), 0);
}

}  // namespace

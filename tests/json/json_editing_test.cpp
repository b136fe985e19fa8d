// The editing operations, against both engines.
#include <gtest/gtest.h>

#include <limits>

#include "engine_fixture.h"

namespace {

using json::JsonDocument;
using json_test::EngineTest;

class EditingTest : public EngineTest {};
INSTANTIATE_FOR_BOTH_ENGINES(EditingTest);

TEST_P(EditingTest, BackslashesSurviveTheMarker) {
  JsonDocument document;
  document.SetValue("x", "a\\b");
  EXPECT_EQ(document.GetText("x"), "a\\b");
  // The JSON form keeps the one backslash undoubled.
  EXPECT_EQ(document.GetText("x", true), "\"a\\b\"");
  EXPECT_EQ(document.GetJsonText("x"), "\"a\\b\"");
  EXPECT_EQ(document.ToJsonText(), "{\"x\":\"a\\b\"}");
  // GetValues has no marker step: the marker is no GBK character.
  std::vector<text::Text> values;
  ASSERT_EQ(document.GetValues(values), 1);
  EXPECT_EQ(values[0].find('\\'), std::string::npos);
  EXPECT_EQ(values[0], "a?b");
}

TEST_P(EditingTest, TextFormStoresTextsExactly) {
  const text::Text texts[] = {
      "it's \"quoted\"\r\nnext line",
      "C:\\dir\\",
      "\x81\\\x95\\ trail bytes that look like backslashes",
      "软件启动 'x' \\n",
  };
  JsonDocument document;
  for (const text::Text& value : texts) {
    SCOPED_TRACE(value);
    document.SetValue("x", value);
    EXPECT_EQ(document.GetText("x"), value);
    EXPECT_EQ(document.GetKind("x"), json::JsonValueKind::String);
  }
}

TEST_P(EditingTest, TextFormResultReadsTheStoredText) {
  JsonDocument document;
  EXPECT_TRUE(document.SetValue("a", "true"));
  EXPECT_TRUE(document.SetValue("a", "12.5"));
  EXPECT_FALSE(document.SetValue("a", "0"));
  EXPECT_FALSE(document.SetValue("a", "words"));
  EXPECT_EQ(document.GetText("a"), "words");
  EXPECT_FALSE(document.SetValue("missing.parent", "true"));
}

struct MergeCase {
  const char* name;
  std::string_view value;
  bool result;
  std::string_view json;
};

constexpr std::string_view kMergeTarget =
    R"({"o":{"s":"old","b":false,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1],"stay":"x"}})";

const MergeCase kMergeCases[] = {
    {"AddsMissingMembers", R"({"added":"new"})", true,
     R"({"s":"old","b":false,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1],"stay":"x","added":"new"})"},
    {"ReplacesStringsAndBooleans", R"({"s":"new","b":true})", true,
     R"({"s":"new","b":true,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1],"stay":"x"})"},
    {"MergesObjectsRecursively", R"({"inner":{"deep":"new","more":2}})", true,
     R"({"s":"old","b":false,"n":1,"inner":{"keep":1,"deep":"new","more":2},"list":[1],"stay":"x"})"},
    {"AppendsToArrays", R"({"list":[2,3]})", true,
     R"({"s":"old","b":false,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1,2,3],"stay":"x"})"},
    {"EmptyValueMergesNothing", "", true,
     R"({"s":"old","b":false,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1],"stay":"x"})"},
    // A number member cannot be merged: the statement fails, but members
    // merged before it stay changed.
    {"FailsOnANumberPartWay", R"({"s":"changed","n":2,"b":true})", false,
     R"({"s":"changed","b":false,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1],"stay":"x"})"},
    {"InvalidValueChangesNothing", "{s:", false,
     R"({"s":"old","b":false,"n":1,"inner":{"keep":1,"deep":"old"},"list":[1],"stay":"x"})"},
};

TEST_P(EditingTest, JsonFormMergesIntoObjects) {
  for (const MergeCase& c : kMergeCases) {
    SCOPED_TRACE(c.name);
    JsonDocument document = Parsed(kMergeTarget);
    EXPECT_EQ(document.SetValue("o", c.value, true), c.result);
    EXPECT_EQ(document.GetJsonText("o"), c.json);
  }
}

struct ReplaceCase {
  const char* name;
  std::string_view path;
  std::string_view value;
  bool result;
  std::string_view json;
};

const ReplaceCase kReplaceCases[] = {
    {"String", "s", "{a: 1}", true, R"({"s":{"a":1},"n":5,"l":[1]})"},
    {"Number", "n", "[1, 'two']", true, R"({"s":"x","n":[1,"two"],"l":[1]})"},
    {"Array", "l", "{b: true}", true, R"({"s":"x","n":5,"l":{"b":true}})"},
    // The value is evaluated twice (as the argument, then by eval): a
    // string needs a second pair of quotes, and its result reads false.
    {"MissingWithString", "m", R"("'text'")", false, R"({"s":"x","n":5,"l":[1],"m":"text"})"},
    {"StringOnlyOnceQuoted", "m", "'text'", false, R"({"s":"x","n":5,"l":[1]})"},
    {"MissingWithNumber", "m", "7", true, R"({"s":"x","n":5,"l":[1],"m":7})"},
    // An empty value is the empty object here too, as in a merge.
    {"EmptyValue", "s", "", true, R"({"s":{},"n":5,"l":[1]})"},
    {"MissingParent", "no.m", "1", false, R"({"s":"x","n":5,"l":[1]})"},
};

TEST_P(EditingTest, JsonFormReplacesEverythingElse) {
  for (const ReplaceCase& c : kReplaceCases) {
    SCOPED_TRACE(c.name);
    JsonDocument document = Parsed(R"({"s":"x","n":5,"l":[1]})");
    EXPECT_EQ(document.SetValue(c.path, c.value, true), c.result);
    EXPECT_EQ(document.ToJsonText(), c.json);
  }
}

TEST_P(EditingTest, SetByExpressionEvaluates) {
  JsonDocument document;
  EXPECT_TRUE(document.SetByExpression("a", "[1, 2].length"));
  EXPECT_EQ(document.GetNumber("a"), 2.0);
  EXPECT_FALSE(document.SetByExpression("a", "1 +"));
  EXPECT_EQ(document.GetNumber("a"), 2.0);
}

TEST_P(EditingTest, AddElementCreatesArraysAndPrepends) {
  JsonDocument document = Parsed(R"({"s":"text"})");
  EXPECT_TRUE(document.AddElement("x", "list"));
  EXPECT_EQ(document.GetJsonText("list"), R"(["x"])");
  EXPECT_TRUE(document.AddElement("y", "list", false, true));
  EXPECT_EQ(document.GetJsonText("list"), R"(["y","x"])");
  EXPECT_TRUE(document.AddElement("w", "fresh", false, true));
  EXPECT_EQ(document.GetJsonText("fresh"), R"(["w"])");
  EXPECT_TRUE(document.AddElement("{a: 1}", "list", true));
  EXPECT_EQ(document.GetJsonText("list"), R"(["y","x",{"a":1}])");
  // A path holding no array is replaced by a new one.
  EXPECT_TRUE(document.AddElement("z", "s"));
  EXPECT_EQ(document.GetJsonText("s"), R"(["z"])");
}

TEST_P(EditingTest, AddElementOfAnApostropheFailsAndChangesNothing) {
  JsonDocument document = Parsed(R"({"s":"text"})");
  EXPECT_FALSE(document.AddElement("it's", "s"));
  EXPECT_FALSE(document.AddElement("it's", "list"));
  EXPECT_EQ(document.ToJsonText(), R"({"s":"text"})");
}

TEST_P(EditingTest, SetElementWritesAndLengthens) {
  JsonDocument document = Parsed("{l: ['a', 'b']}");
  EXPECT_TRUE(document.SetElement(0, "l", "5", true));
  EXPECT_FALSE(document.SetElement(1, "l", "text"));
  EXPECT_EQ(document.GetText("l[1]"), "text");
  document.SetElement(3, "l", "d");
  EXPECT_EQ(document.GetJsonText("l"), R"([5,"text",null,"d"])");
  EXPECT_EQ(document.GetCount("l"), 4);
  EXPECT_FALSE(document.SetElement(0, "l", "it's"));
  EXPECT_EQ(document.GetText("l[0]"), "5");
}

TEST_P(EditingTest, RemoveElementClosesTheGap) {
  JsonDocument document = Parsed("{l: [1, 2, 3]}");
  EXPECT_TRUE(document.RemoveElement(1, "l"));
  EXPECT_EQ(document.GetJsonText("l"), "[1,3]");
  document.RemoveElement(5, "l");
  EXPECT_EQ(document.GetJsonText("l"), "[1,3]");
  EXPECT_FALSE(document.RemoveElement(0, "missing"));
}

TEST_P(EditingTest, RemoveDeletesMembers) {
  JsonDocument document = Parsed("{a: 1, b: 2, l: [1, 2]}");
  EXPECT_TRUE(document.Remove("a"));
  EXPECT_TRUE(document.Remove("nothing"));
  EXPECT_EQ(document.ToJsonText(), R"({"b":2,"l":[1,2]})");
  // An array element leaves a hole.
  EXPECT_TRUE(document.Remove("l[0]"));
  EXPECT_EQ(document.GetCount("l"), 2);
  EXPECT_EQ(document.GetJsonText("l"), "[null,2]");
  EXPECT_FALSE(document.Remove("no.parent"));
}

TEST_P(EditingTest, SetNumberWritesThirteenDigits) {
  JsonDocument document;
  EXPECT_TRUE(document.SetNumber("n", 0.1));
  EXPECT_EQ(document.GetText("n"), "0.1");
  EXPECT_TRUE(document.SetNumber("n", 1.0 / 3.0));
  EXPECT_EQ(document.GetText("n"), "0.3333333333333");
  // 0 is stored although the statement's value reads false.
  EXPECT_FALSE(document.SetNumber("n", 0.0));
  EXPECT_EQ(document.GetJsonText("n"), "0");
  EXPECT_TRUE(document.SetNumber("n", -2.5e20));
  EXPECT_EQ(document.GetNumber("n"), -2.5e20);
  EXPECT_FALSE(document.SetNumber("n", std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(document.SetNumber("n", std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(document.GetNumber("n"), -2.5e20);
}

TEST_P(EditingTest, ResetLeavesTheEmptyObject) {
  JsonDocument document = Parsed("{a: 1, l: [1]}");
  EXPECT_TRUE(document.Reset());
  EXPECT_EQ(document.ToJsonText(), "{}");
  EXPECT_EQ(document.GetCount(), 0);
  std::vector<text::Text> names{"stale"};
  EXPECT_EQ(document.GetNames(names), 0);
  EXPECT_TRUE(names.empty());
}

}  // namespace

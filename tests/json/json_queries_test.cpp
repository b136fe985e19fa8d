// The read operations beyond GetCount and GetText, against both engines.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using json::JsonDocument;
using json::JsonValueKind;
using json_test::EngineTest;

class QueriesTest : public EngineTest {};
INSTANTIATE_FOR_BOTH_ENGINES(QueriesTest);

struct KindCase {
  std::string_view path;
  JsonValueKind kind;
};

const KindCase kKindCases[] = {
    {"nul", JsonValueKind::Null},
    {"missing", JsonValueKind::Null},
    {"b", JsonValueKind::Boolean},
    {"n", JsonValueKind::Number},
    {"o", JsonValueKind::Object},
    {"l", JsonValueKind::Array},
    {"s", JsonValueKind::String},
    {"f", JsonValueKind::Other},
    {"d", JsonValueKind::Other},
    {"r", JsonValueKind::Other},
    {"missing.child", JsonValueKind::Other},
    // A full path to a missing member is read below "da" again.
    {"da.missing", JsonValueKind::Other},
    {"", JsonValueKind::Object},
    {"l[0]", JsonValueKind::Number},
};

TEST_P(QueriesTest, GetKindGivesEveryCode) {
  JsonDocument document = Parsed(
      "{nul: null, b: false, n: 0, o: {}, l: [1], s: '', f: function () {}, d: new Date(0),"
      " r: /x/}");
  for (const KindCase& c : kKindCases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(document.GetKind(c.path), c.kind);
  }
}

TEST_P(QueriesTest, ExistsMeansNeitherNullNorUndefined) {
  JsonDocument document = Parsed("{nul: null, zero: 0, empty: '', o: {a: 1}}");
  EXPECT_TRUE(document.Exists());
  EXPECT_TRUE(document.Exists("zero"));
  EXPECT_TRUE(document.Exists("empty"));
  EXPECT_TRUE(document.Exists("o.a"));
  EXPECT_TRUE(document.Exists("da.o"));
  EXPECT_FALSE(document.Exists("nul"));
  EXPECT_FALSE(document.Exists("missing"));
  EXPECT_FALSE(document.Exists("missing.child"));
}

TEST_P(QueriesTest, GetNamesListsDataMembersOnly) {
  JsonDocument document = Parsed(R"({"first":1,"second":{"x":1},"third":[1],"s":"text"})");
  std::vector<text::Text> names{"stale"};
  ASSERT_EQ(document.GetNames(names), 4);
  EXPECT_EQ(names, (std::vector<text::Text>{"first", "second", "third", "s"}));
  EXPECT_EQ(document.GetNames(names, "second"), 1);
  EXPECT_EQ(names, std::vector<text::Text>{"x"});
  EXPECT_EQ(document.GetNames(names, "third"), 0);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(document.GetNames(names, "s"), 0);
  EXPECT_EQ(document.GetNames(names, "missing.child"), 0);
}

TEST_P(QueriesTest, TheEngineScriptsMembersStayHidden) {
  JsonDocument document = Parsed("{a: 1}");
  // They exist, enumerable, on every object...
  EXPECT_EQ(document.GetKind("toJSONString"), JsonValueKind::Other);
  EXPECT_EQ(document.GetText("parseJSON.length"), "1");
  // ...but no listing, value gathering, merge or JSON text shows them.
  std::vector<text::Text> names;
  EXPECT_EQ(document.GetNames(names), 1);
  std::vector<text::Text> values;
  EXPECT_EQ(document.GetValues(values, "", true), 1);
  EXPECT_TRUE(document.SetValue("", "{b: 2}", true));
  EXPECT_EQ(document.ToJsonText(), R"({"a":1,"b":2})");
  EXPECT_EQ(document.GetText("toJSONString()"), R"({"a":1,"b":2})");
}

struct ValuesCase {
  const char* name;
  std::string_view json;
  bool recursive;
  std::vector<text::Text> values;
};

const ValuesCase kValuesCases[] = {
    {"FlatSkipsObjects", R"({"a":"x","b":{"c":1}})", false, {"x"}},
    {"RecursiveDescends", R"({"a":"x","b":{"c":1},"d":[true,"y"]})", true, {"x", "1", "true", "y"}},
    {"DepthFirstInOrder", R"({"a":{"b":"1"},"c":"2"})", true, {"1", "2"}},
    {"LastEmptyAddsNothing", R"({"a":"x","b":""})", false, {"x"}},
    {"EmptyBeforeOthersKept", R"({"a":"","b":"x"})", false, {"", "x"}},
    {"SingleEmptyGivesNone", R"({"a":""})", false, {}},
    {"NullsAreNoValues", R"({"a":null,"b":"x"})", false, {"x"}},
    {"ArrayRoot", R"(["软件",2.5])", false, {"软件", "2.5"}},
};

TEST_P(QueriesTest, GetValuesGathersScalars) {
  for (const ValuesCase& c : kValuesCases) {
    SCOPED_TRACE(c.name);
    JsonDocument document = Parsed(c.json);
    std::vector<text::Text> values{"stale"};
    EXPECT_EQ(document.GetValues(values, "", c.recursive),
              static_cast<std::int32_t>(c.values.size()));
    EXPECT_EQ(values, c.values);
  }
}

TEST_P(QueriesTest, GetValuesOfAPath) {
  JsonDocument document = Parsed(R"({"a":"x","b":{"c":1,"d":"y"}})");
  std::vector<text::Text> values;
  EXPECT_EQ(document.GetValues(values, "b"), 2);
  EXPECT_EQ(values, (std::vector<text::Text>{"1", "y"}));
  EXPECT_EQ(document.GetValues(values, "missing.child"), 0);
  EXPECT_TRUE(values.empty());
}

TEST_P(QueriesTest, ElementsAsTextAndJson) {
  JsonDocument document = Parsed(R"({"l":["text",12.5,{"a":null}]})");
  EXPECT_EQ(document.GetElementText(0, "l"), "text");
  // Only strings have a text form without asJson.
  EXPECT_EQ(document.GetElementText(1, "l"), "");
  EXPECT_EQ(document.GetElementText(1, "l", true), "12.5");
  EXPECT_EQ(document.GetElementText(2, "l", true), R"({"a":null})");
  EXPECT_EQ(document.GetElementText(3, "l", true), "");
  EXPECT_EQ(document.GetElementText(0, "missing", true), "");
}

TEST_P(QueriesTest, GetNumberConverts) {
  JsonDocument document = Parsed(R"({"n":-1.25,"t":true,"f":false,"s":"12","w":"words","o":{}})");
  EXPECT_EQ(document.GetNumber("n"), -1.25);
  EXPECT_EQ(document.GetNumber("t"), -1.0);
  EXPECT_EQ(document.GetNumber("f"), 0.0);
  EXPECT_EQ(document.GetNumber("s"), 12.0);
  EXPECT_EQ(document.GetNumber("w"), 0.0);
  EXPECT_EQ(document.GetNumber("o"), 0.0);
  EXPECT_EQ(document.GetNumber("missing"), 0.0);
  EXPECT_EQ(document.GetNumber("missing.child"), 0.0);
}

TEST_P(QueriesTest, JsonTextsEscapeWhatScriptCannotReadBack) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(R"({s: '"q" \\ \t\n\u0001 \u2028 \u2400 end'})", true));
  // Line separators are escaped (script cannot read them inside a literal);
  // the backslash marker is read as a backslash.
  EXPECT_EQ(document.GetJsonText("s"), R"("\"q\" \\ \t\n\u0001 \u2028 \ end")");
  EXPECT_EQ(document.GetJsonText("missing"), "");
  EXPECT_EQ(document.GetJsonText("missing.child"), "");
}

// JSON.parse comes from the engine script under both engines.
TEST_P(QueriesTest, TheEnginesJsonParseIsStrict) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(
      R"({a: JSON.parse('{"a":[1,"x\\u0041\\n"]}').a, b: JSON.parse(' [true, null, -0.5e1, 2E+2] ')})",
      true));
  EXPECT_EQ(document.GetJsonText(), R"({"a":[1,"xA\n"],"b":[true,null,-5,200]})");
  for (const char* invalid : {"{a:1}", "[1,]", "'x'", "[1] 2", R"("\\x")", "tru", ""}) {
    SCOPED_TRACE(invalid);
    EXPECT_FALSE(document.Parse(std::string("JSON.parse('") + invalid + "')", true));
  }
}

TEST_P(QueriesTest, GetDocumentIsAnIndependentCopy) {
  JsonDocument source = Parsed(R"({"o":{"a":"x","l":[1,2]},"other":1})");
  JsonDocument copy = source.GetDocument("o");
  EXPECT_EQ(copy.ToJsonText(), R"({"a":"x","l":[1,2]})");
  EXPECT_NE(copy.GetEngine().get(), source.GetEngine().get());
  copy.SetValue("a", "changed");
  EXPECT_TRUE(copy.AddElement("3", "l", true));
  EXPECT_EQ(source.GetJsonText("o"), R"({"a":"x","l":[1,2]})");
  EXPECT_EQ(copy.GetJsonText(), R"({"a":"changed","l":[1,2,3]})");

  JsonDocument element = source.GetElementDocument(1, "o.l");
  EXPECT_EQ(element.ToJsonText(), "2");
  EXPECT_EQ(source.GetElementDocument(5, "o.l").ToJsonText(), "");
}

TEST_P(QueriesTest, GetDocumentKeepsBackslashesOfTextValues) {
  JsonDocument source;
  source.SetValue("path", "C:\\dir\\");
  source.SetValue("escape", "a\\b");
  JsonDocument copy = source.GetDocument();
  EXPECT_EQ(copy.GetText("path"), "C:\\dir\\");
  EXPECT_EQ(copy.GetText("escape"), "a\\b");
  source.SetValue("list", "[{}]", true);
  source.SetValue("list[0].p", "C:\\dir\\");
  EXPECT_EQ(source.GetElementDocument(0, "list").GetText("p"), "C:\\dir\\");
}

TEST_P(QueriesTest, GetEngineGivesTheScriptObject) {
  JsonDocument document;
  const win::ComPtr<IDispatch> engine = document.GetEngine();
  ASSERT_TRUE(engine);
  DISPID member = DISPID_UNKNOWN;
  LPOLESTR name =
      const_cast<LPOLESTR>(GetParam() == json::EngineKind::ScriptControl ? L"Eval" : L"da");
  EXPECT_TRUE(SUCCEEDED(engine->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &member)));
}

// Documents whose engine cannot be created answer every operation with its
// empty result.
TEST(NoEngineQueriesTest, EveryOperationAnswersEmpty) {
  json::SetDefaultEngineKind(json::EngineKind::Unavailable);
  JsonDocument document;
  std::vector<text::Text> list{"stale"};
  EXPECT_FALSE(document.Reset());
  EXPECT_EQ(document.ToJsonText(), "");
  EXPECT_FALSE(document.SetValue("a", "1"));
  EXPECT_FALSE(document.SetValue("a", "1", true));
  EXPECT_FALSE(document.SetByExpression("a", "1"));
  EXPECT_FALSE(document.Exists());
  EXPECT_EQ(document.GetKind(), JsonValueKind::Other);
  EXPECT_EQ(document.GetNames(list), 0);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(document.AddElement("1", "l", true));
  EXPECT_EQ(document.GetElementText(0, "", true), "");
  EXPECT_FALSE(document.SetElement(0, "l", "1", true));
  EXPECT_FALSE(document.RemoveElement(0, "l"));
  EXPECT_FALSE(document.Remove("a"));
  EXPECT_FALSE(document.SetNumber("a", 1));
  EXPECT_EQ(document.GetNumber("a"), 0.0);
  EXPECT_EQ(document.GetJsonText(), "");
  EXPECT_FALSE(document.GetEngine());
  list = {"stale"};
  EXPECT_EQ(document.GetValues(list), 0);
  EXPECT_TRUE(list.empty());
  // A new document gets an engine of its own when one can be created; its
  // value is then undefined.
  json::SetDefaultEngineKind(json::EngineKind::Automatic);
  JsonDocument copy = document.GetDocument();
  EXPECT_TRUE(copy.GetEngine());
  EXPECT_EQ(copy.GetKind(), JsonValueKind::Null);
  EXPECT_EQ(copy.ToJsonText(), "");
}

}  // namespace

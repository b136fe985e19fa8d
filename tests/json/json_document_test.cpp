// Parsing and the reads the launcher's start-up uses, against both engines.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using json::JsonDocument;
using json_test::EngineTest;

constexpr std::string_view kManifest =
    R"({"url":[)"
    R"({"urlname":"T.exe","urlmd5":"0cc175b9c0f1b6a831c399e269772661","url":"http://127.0.0.1:8080/T.exe"},)"
    R"({"urlname":"a.dll","urlmd5":"92eb5ffee6ae2fec3ad71c777531578f","url":"http://127.0.0.1:8080/a.dll"},)"
    R"({"urlname":"b.dat","urlmd5":"4a8a08f09d37b73795649038408b5f33","url":"http://127.0.0.1:8080/b.dat"}]})";

class ParseTest : public EngineTest {};
INSTANTIATE_FOR_BOTH_ENGINES(ParseTest);

TEST_P(ParseTest, ReadsTheManifestShape) {
  JsonDocument document = Parsed(kManifest);
  EXPECT_EQ(document.GetCount("url"), 3);
  EXPECT_EQ(document.GetText("url['0'].urlmd5"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(document.GetText("url['1'].urlname"), "a.dll");
  EXPECT_EQ(document.GetText("url['2'].url"), "http://127.0.0.1:8080/b.dat");
  EXPECT_EQ(document.GetText("url[2].urlname"), "b.dat");
  EXPECT_EQ(document.GetText("url['3'].urlmd5"), "");
  EXPECT_EQ(document.GetCount("url['0']"), 0);
  EXPECT_EQ(document.GetCount("nothing.url"), 0);
}

struct ParseCase {
  const char* name;
  std::string_view jsonText;
  bool noEval;
  bool parses;
  // The document's JSON text afterwards.
  std::string_view json;
};

const ParseCase kParseCases[] = {
    {"StrictJson", R"({"a":"x","n":1.5})", false, true, R"({"a":"x","n":1.5})"},
    {"UnquotedNames", "{url:[]}", false, true, R"({"url":[]})"},
    {"SingleQuotes", "{'a':'it is'}", false, true, R"({"a":"it is"})"},
    {"Comments", "{/* note */ a: 100}", false, true, R"({"a":100})"},
    {"NoEval", "{a: true}", true, true, R"({"a":true})"},
    {"ArrayRoot", "[1,[2],\"3\"]", false, true, R"([1,[2],"3"])"},
    {"StringLiteralEvaluatedAgain", R"('{"x":2}')", false, true, R"({"x":2})"},
    {"NumberRoot", "0", false, true, "0"},
    {"Null", "null", false, false, "null"},
    {"Empty", "", false, false, ""},
    {"EmptyNoEval", "", true, false, "null"},
    {"Invalid", "{a:", false, false, "null"},
    {"Throws", "{a: missing.b}", false, false, "null"},
};

class ParseCaseTest : public EngineTest {};
INSTANTIATE_FOR_BOTH_ENGINES(ParseCaseTest);

TEST_P(ParseCaseTest, ParsesScriptForms) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.name);
    JsonDocument document;
    EXPECT_EQ(document.Parse(c.jsonText, c.noEval), c.parses);
    EXPECT_EQ(document.ToJsonText(), c.json);
  }
}

TEST_P(ParseTest, FailedParseLeavesNullEmptyLeavesUndefined) {
  JsonDocument document;
  EXPECT_FALSE(document.Parse("{a:"));
  EXPECT_EQ(document.GetText("", true), "null");
  EXPECT_FALSE(document.Parse(""));
  EXPECT_EQ(document.GetText("", true), "");
  EXPECT_EQ(document.GetKind(), json::JsonValueKind::Null);
  // The engine stays usable after the failures.
  EXPECT_TRUE(document.Parse("{a: 1}"));
  EXPECT_EQ(document.GetText("a"), "1");
}

TEST_P(ParseTest, ReportsTheScriptError) {
  JsonDocument document;
  json::ScriptError error;
  error.Source = "stale";
  EXPECT_FALSE(document.Parse("{a: 1,, }", false, &error));
  // Engine errors carry their HRESULT: JScript's "syntax error" 1002, and
  // "'x' is undefined" 5009.
  EXPECT_EQ(error.Number, static_cast<std::int32_t>(0x800A03EA));
  EXPECT_NE(error.Source, "stale");
  EXPECT_NE(error.Source, "");
  EXPECT_NE(error.Description, "");
  EXPECT_EQ(error.Text, "var da = eval({a: 1,, })");
  EXPECT_EQ(error.Line, 1);
  EXPECT_EQ(error.Column, 20);

  json::ScriptError runtime;
  EXPECT_FALSE(document.Parse("{a: missing.b}", false, &runtime));
  EXPECT_EQ(runtime.Number, static_cast<std::int32_t>(0x800A1391));
  EXPECT_NE(runtime.Description.find("missing"), std::string::npos);

  json::ScriptError none;
  none.Description = "stale";
  EXPECT_TRUE(document.Parse("{a: 1}", false, &none));
  EXPECT_EQ(none.Number, 0);
  EXPECT_EQ(none.Description, "");
}

struct PathCase {
  const char* name;
  std::string_view path;
  std::string_view text;
};

const PathCase kPathCases[] = {
    {"Member", "url", "x"},
    {"BracketPath", "['a b']", "spaced"},
    {"FullPathUsedAsItIs", "da.url", "x"},
    {"TopLevelDaReachableOnlyByBrackets", "['da']", "inner"},
    {"DaPathReadsWholeDocument", "da.da", "inner"},
    {"DataBeginsWithDaButIsAMember", "data", "d"},
    {"MissingFullPathIsRewritten", "da.x", ""},
    {"NullMember", "nothing", ""},
    {"Length", "list.length", "2"},
};

class PathTest : public EngineTest {};
INSTANTIATE_FOR_BOTH_ENGINES(PathTest);

TEST_P(PathTest, ResolvesPaths) {
  JsonDocument document =
      Parsed(R"({"url":"x","a b":"spaced","da":"inner","data":"d","nothing":null,"list":[1,2]})");
  for (const PathCase& c : kPathCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(document.GetText(c.path), c.text);
  }
  EXPECT_EQ(document.GetText("nothing", true), "null");
  text::Text path = "da.x";
  EXPECT_FALSE(document.ResolvePath(path));
  EXPECT_EQ(path, "da.da.x");
  path = "[0]";
  document.ResolvePath(path);
  EXPECT_EQ(path, "da[0]");
  path = "";
  EXPECT_TRUE(document.ResolvePath(path));
  EXPECT_EQ(path, "da");
}

TEST_P(PathTest, EmptyPathAndIndexPathsReadArrays) {
  JsonDocument document = Parsed(R"([{"a":1},"two"])");
  EXPECT_EQ(document.GetCount(), 2);
  EXPECT_EQ(document.GetText("", true), R"([{"a":1},"two"])");
  EXPECT_EQ(document.GetText("[1]"), "two");
  EXPECT_EQ(document.GetText("[0].a"), "1");
}

TEST_P(ParseTest, ChineseValuesReadBackByteForByte) {
  const std::string chinese = "软件启动\xB8\xFC\xD0\xC2";  // and 更新 as GBK bytes
  JsonDocument document = Parsed("{\"name\":\"" + chinese + "\",\"" + chinese + "\":1}");
  EXPECT_EQ(document.GetText("name"), chinese);
  EXPECT_EQ(document.GetText("['" + chinese + "']"), "1");
  EXPECT_EQ(document.GetText("", true), "{\"name\":\"" + chinese + "\",\"" + chinese + "\":1}");
}

TEST_P(ParseTest, CopiesShareTheEngineUntilOneParses) {
  JsonDocument source = Parsed("{a: 1}");
  JsonDocument copy = source;
  EXPECT_EQ(copy.GetText("a"), "1");
  ASSERT_TRUE(copy.GetEngine());
  EXPECT_EQ(copy.GetEngine().get(), source.GetEngine().get());
  EXPECT_TRUE(copy.SetNumber("a", 2));
  EXPECT_EQ(source.GetText("a"), "2");
  EXPECT_TRUE(copy.Parse("{a: 3}"));
  EXPECT_NE(copy.GetEngine().get(), source.GetEngine().get());
  EXPECT_EQ(source.GetText("a"), "2");
  EXPECT_EQ(copy.GetText("a"), "3");
  JsonDocument assigned;
  assigned = source;
  EXPECT_EQ(assigned.GetText("a"), "2");
}

// Documents whose engine cannot be created answer with empty results and
// never try again.
class NoEngineTest : public testing::Test {
 protected:
  void SetUp() override { json::SetDefaultEngineKind(json::EngineKind::Unavailable); }
  void TearDown() override { json::SetDefaultEngineKind(json::EngineKind::Automatic); }
};

TEST_F(NoEngineTest, AnswersEmptyAndParseDoesNotRetry) {
  JsonDocument document;
  EXPECT_FALSE(document.GetEngine());
  json::SetDefaultEngineKind(json::EngineKind::Automatic);
  json::ScriptError error;
  error.Description = "untouched";
  EXPECT_FALSE(document.Parse("{a: 1}", false, &error));
  EXPECT_EQ(error.Description, "untouched");
  EXPECT_FALSE(document.GetEngine());
  EXPECT_EQ(document.GetCount(), 0);
  EXPECT_EQ(document.GetText("a"), "");
  EXPECT_EQ(document.GetText("", true), "");
}

}  // namespace

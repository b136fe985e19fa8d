// The manifest arrives over plain HTTP and is run as script: it must not be
// able to create objects such as WScript.Shell.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "support/temp_folder.h"
#include "win/dispatch.h"
#include "win/wide.h"

namespace {

using json::JsonDocument;
using json_test::EngineTest;

// A manifest that, run with full rights, writes a marker file through
// WScript.Shell and still looks like a manifest.
std::string HostileManifest(const std::string& markerPath) {
  return "{url: [], pwned: new ActiveXObject('WScript.Shell').Run('cmd /c echo x> \"" +
         text::ReplaceAll(markerPath, "\\", "\\\\") + "\"', 0, true)}";
}

class ScriptSafetyTest : public EngineTest {
 protected:
  test_support::TempFolder m_folder;
};
INSTANTIATE_FOR_BOTH_ENGINES(ScriptSafetyTest);

TEST_P(ScriptSafetyTest, HostileManifestCreatesNothing) {
  const std::string marker = m_folder.Join("marker.txt");
  JsonDocument document;
  EXPECT_FALSE(document.Parse(HostileManifest(marker)));
  EXPECT_FALSE(m_folder.Exists("marker.txt"));
  EXPECT_EQ(document.GetCount("url"), 0);

  JsonDocument probe;
  EXPECT_TRUE(probe.Parse(
      "{url: [], created: (function () { try { new ActiveXObject('Scripting.Dictionary');"
      " return 'yes' } catch (e) { return 'no' } })()}"));
  EXPECT_EQ(probe.GetText("created"), "no");
}

TEST_P(ScriptSafetyTest, OrdinaryManifestsStillParse) {
  JsonDocument document;
  EXPECT_TRUE(
      document.Parse(R"({"url":[{"urlname":"T.exe","urlmd5":"x","url":"http://h/T.exe"}]})"));
  EXPECT_EQ(document.GetCount("url"), 1);
  EXPECT_EQ(document.GetText("url['0'].urlname"), "T.exe");
}

// Shows that the hostile manifest would do harm without the safe subset, so
// the test above proves the setting and not a broken WScript.Shell.
TEST(ScriptSafetyControlTest, HostileManifestRunsInAnUnsafeScriptControl) {
  win::ComScope com;
  test_support::TempFolder folder;
  win::Dispatch control = win::Dispatch::CreateFromProgId(L"MSScriptControl.ScriptControl");
  ASSERT_TRUE(control);
  control.Put(L"Language", L"JavaScript");
  const std::string statement = "var da = eval(" + HostileManifest(folder.Join("marker.txt")) + ")";
  EXPECT_TRUE(control.Call(L"AddCode", {win::Variant(win::Widen(statement))}).ok());
  EXPECT_TRUE(folder.Exists("marker.txt"));
}

}  // namespace

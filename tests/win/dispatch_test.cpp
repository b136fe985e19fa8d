// The late-binding helper against real Wine COM objects.
#include <gtest/gtest.h>

#include "win/com.h"
#include "win/dispatch.h"

namespace {

class DispatchTest : public testing::Test {
 protected:
  win::ComScope m_com;
};

TEST_F(DispatchTest, CallsMethodsWithArgumentsInNaturalOrder) {
  win::Dispatch dictionary = win::Dispatch::CreateFromProgId(L"Scripting.Dictionary");
  ASSERT_TRUE(dictionary);
  ASSERT_TRUE(dictionary.Call(L"Add", {L"key", std::int32_t{7}}).ok());
  EXPECT_EQ(dictionary.Get(L"Item", {L"key"}).value.ToDouble().value_or(-1), 7.0);
  EXPECT_TRUE(dictionary.Call(L"Exists", {L"key"}).value.ToBool().value_or(false));
}

TEST_F(DispatchTest, ReadsMethodResults) {
  win::Dispatch engine = win::Dispatch::CreateFromProgId(L"MSScriptControl.ScriptControl");
  ASSERT_TRUE(engine);
  EXPECT_TRUE(SUCCEEDED(engine.Put(L"Language", L"JScript")));
  ASSERT_TRUE(engine.Call(L"AddCode", {L"function pair(a, b) { return a + '|' + b; }"}).ok());
  const win::InvokeResult result = engine.Call(L"Eval", {L"pair('first', 2)"});
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.value.ToWide().value_or(L"?"), L"first|2");
}

TEST_F(DispatchTest, PutsIndexedPropertiesAndReadsThemBack) {
  win::Dispatch dictionary = win::Dispatch::CreateFromProgId(L"Scripting.Dictionary");
  ASSERT_TRUE(dictionary);
  EXPECT_TRUE(SUCCEEDED(dictionary.Put(L"Item", L"value", {L"key"})));
  EXPECT_EQ(dictionary.Get(L"Item", {L"key"}).value.ToWide().value_or(L"?"), L"value");
  EXPECT_EQ(dictionary.Get(L"Count").value.ToDouble().value_or(-1), 1.0);
}

TEST_F(DispatchTest, FailuresAreResultsNotCrashes) {
  EXPECT_FALSE(win::Dispatch::CreateFromProgId(L"No.Such.Object"));
  EXPECT_FALSE(win::Dispatch::CreateFromTypeLibrary(L"no-such-library.ocx", L"WshShell"));
  win::Dispatch empty;
  EXPECT_FALSE(empty.Call(L"Anything").ok());
  win::Dispatch dictionary = win::Dispatch::CreateFromProgId(L"Scripting.Dictionary");
  EXPECT_FALSE(dictionary.Call(L"NoSuchMember").ok());
}

TEST_F(DispatchTest, CreatesACoclassFromItsTypeLibrary) {
  win::Dispatch shell = win::Dispatch::CreateFromTypeLibrary(L"wshom.ocx", L"WshShell");
  ASSERT_TRUE(shell);
  const win::InvokeResult expanded = shell.Call(L"ExpandEnvironmentStrings", {L"%WINDIR%"});
  ASSERT_TRUE(expanded.ok());
  EXPECT_FALSE(expanded.value.ToWide().value_or(L"").empty());
}

TEST(VariantTest, ByteArraysKeepZeroBytes) {
  const std::string bytes("a\0b\xff", 4);
  const win::Variant array = win::Variant::FromBytes(bytes);
  EXPECT_EQ(array.type(), VT_ARRAY | VT_UI1);
  EXPECT_EQ(array.ToBytes(), bytes);
  EXPECT_EQ(win::Variant(L"text").ToBytes(), "");
  EXPECT_EQ(win::Variant::FromBytes("").ToBytes(), "");
}

TEST(VariantTest, ConvertsLikeAutomation) {
  EXPECT_EQ(win::Variant(std::int32_t{42}).ToWide(), L"42");
  EXPECT_EQ(win::Variant(L"2.5").ToDouble(), 2.5);
  EXPECT_FALSE(win::Variant(L"not a number").ToDouble());
  EXPECT_EQ(win::Variant(true).ToDouble(), -1.0);
  EXPECT_TRUE(win::Variant().IsEmptyOrNull());
}

}  // namespace

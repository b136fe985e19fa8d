#include "launcher/program_location.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

TEST(SplitExecutablePath, PartsBeforeAndAfterTheLastBackslash) {
  struct Case {
    const char* fullPath;
    const char* runDirectory;
    const char* executableName;
  } const cases[] = {
      {"C:\\Games\\App\\launcher.exe", "C:\\Games\\App", "launcher.exe"},
      {"C:\\launcher.exe", "C:", "launcher.exe"},
      {"\\\\server\\share\\x.exe", "\\\\server\\share", "x.exe"},
      {"C:\\软件\\启动.exe", "C:\\软件", "启动.exe"},
      // 0x95 0x5C is one character whose second byte looks like a backslash.
      {"C:\\a\x95\x5C" "b\\x.exe", "C:\\a\x95\x5C" "b", "x.exe"},
      {"C:\\dir\\\x95\x5C.exe", "C:\\dir", "\x95\x5C.exe"},
      {"launcher.exe", "", "launcher.exe"},
  };
  for (const Case& c : cases) {
    const ProgramLocation location = SplitExecutablePath(c.fullPath);
    EXPECT_EQ(location.runDirectory, c.runDirectory) << c.fullPath;
    EXPECT_EQ(location.executableName, c.executableName) << c.fullPath;
  }
}

TEST(CurrentProgramLocation, NamesThisTestProgram) {
  const ProgramLocation location = CurrentProgramLocation();
  EXPECT_EQ(location.executableName, "launcher_tests.exe");
  ASSERT_FALSE(location.runDirectory.empty());
  EXPECT_NE(location.runDirectory.back(), '\\');
}

TEST(ShortcutNameOf, RemovesEveryLowerCaseExe) {
  EXPECT_EQ(ShortcutNameOf("Setup.exe"), "Setup");
  EXPECT_EQ(ShortcutNameOf("App.EXE"), "App.EXE");
  EXPECT_EQ(ShortcutNameOf("a.exe.b.exe"), "a.b");
  EXPECT_EQ(ShortcutNameOf("软件启动.exe"), "软件启动");
}

}  // namespace
}  // namespace launcher

#include "launcher/update_name.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace launcher {
namespace {

TEST(IsSafeUpdateName, AcceptsRelativeNamesWithSubfolders) {
  for (const char* name : {"T.exe", "data.dll", "plugins\\x.dll", "plugins/x.dll", "a\\b\\c.txt",
                           ".hidden", "name with spaces.txt", "x..y", "软件\\启动.dll",
                           "CONFIG.SYS", "COM10", "LPT0.txt", "console.log", "nul_file",
                           // Trail bytes that look like '\', '|' and '@'.
                           "\x95\x5C.dll", "\x81\x7C.dll", "a\x81\x40"}) {
    EXPECT_TRUE(IsSafeUpdateName(name)) << name;
  }
}


TEST(IsSafeUpdateName, RefusesNamesThatReachOutside) {
  for (const char* name : {
           "\\Windows\\evil.dll", "/etc/passwd", "C:\\evil.dll", "C:evil.dll", "Z:\\tmp\\x",
           "\\\\server\\share\\x.dll", "\\\\?\\C:\\x.dll", "\\\\.\\PhysicalDrive0",
           "..\\evil.dll", "../evil.dll", "a\\..\\..\\evil.dll", "a/../b", "..", ".", "a\\.\\b",
           "file.txt:stream", "file.txt::$DATA",
           "*.exe", "a?.dll", "a\"b", "a<b", "a>b", "a|b",
           "tab\there", "new\nline", "\x01",
           "trailing.", "trailing ", "dir.\\x", "dir \\x",
           "a\\\\b", "a\\", "a/",
           "CON", "con", "NUL.txt", "nul .txt", "AUX.tar.gz", "PRN", "COM1", "com9.log", "LPT1",
           "sub\\LPT3.dat", "CONIN$", "conout$.txt", "",
           // A lead byte without a trail byte: the system would read the
           // '/' apart and find "..".
           "\x81/../../evil.dll", "a\x81", "\x81\x7F.dll",
       }) {
    EXPECT_FALSE(IsSafeUpdateName(name)) << name;
  }
}

TEST(PathLiesUnder, FullPathsInsideTheDirectoryOnly) {
  test_support::TempFolder folder;
  const std::string& base = folder.path();
  EXPECT_TRUE(PathLiesUnder(base, base + "\\T.exe"));
  EXPECT_TRUE(PathLiesUnder(base, base + "\\sub\\x.dll"));
  EXPECT_FALSE(PathLiesUnder(base, base + "\\"));
  EXPECT_FALSE(PathLiesUnder(base, base + "\\..\\x.dll"));
  EXPECT_FALSE(PathLiesUnder(base, base + "x\\y.dll"));  // a sibling that shares the prefix
  EXPECT_FALSE(PathLiesUnder(base, "C:\\x.dll"));
  EXPECT_FALSE(PathLiesUnder(base, base));
  // Case does not make a path another one on Windows.
  std::string upper = base;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  EXPECT_TRUE(PathLiesUnder(base, upper + "\\x.dll"));
}

TEST(IsWritableUpdateName, SafeNamesThatStayInTheRunDirectory) {
  test_support::TempFolder folder;
  EXPECT_TRUE(IsWritableUpdateName(folder.path(), "T.exe"));
  EXPECT_TRUE(IsWritableUpdateName(folder.path(), "plugins\\x.dll"));
  EXPECT_FALSE(IsWritableUpdateName(folder.path(), "..\\x.dll"));
  EXPECT_FALSE(IsWritableUpdateName(folder.path(), "C:\\x.dll"));
  EXPECT_FALSE(IsWritableUpdateName(folder.path(), ""));
  EXPECT_FALSE(IsWritableUpdateName("", "T.exe"));
}

}  // namespace
}  // namespace launcher

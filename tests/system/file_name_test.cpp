#include <gtest/gtest.h>

#include "system/file_name.h"

namespace {

TEST(FileNameTest, TitleAndExtensionAsTheShellFindsThem) {
  struct Case {
    const char* path;
    const char* titleWithExtension;
    const char* title;
    const char* extension;
  } const cases[] = {
      {"C:\\x\\tool.exe", "tool.exe", "tool", ".exe"},
      {"tool.exe", "tool.exe", "tool", ".exe"},
      {"C:\\x\\archive.tar.gz", "archive.tar.gz", "archive.tar", ".gz"},
      {"C:\\my.dir\\tool", "tool", "tool", ""},
      {"D:\\a\\", "", "", ""},
      {"C:\\", "", "", ""},
      {"C:tool.exe", "tool.exe", "tool", ".exe"},
      {"C:/x/tool.exe", "tool.exe", "tool", ".exe"},
      {"C:\\x\\my app.exe", "my app.exe", "my app", ".exe"},
      // A space after the last dot ends the extension, as for the shell.
      {"C:\\x\\v1.2 beta", "v1.2 beta", "v1.2 beta", ""},
      {"C:\\x\\.profile", ".profile", "", ".profile"},
      {"", "", "", ""},
      // 0x95 0x5C is one character whose trail byte reads as a backslash.
      {"C:\\x\\\x95\x5C.exe", "\x95\x5C.exe", "\x95\x5C", ".exe"},
      {"C:\\\xB1\x5C", "\xB1\x5C", "\xB1\x5C", ""},
      // 0x81 0x2E: a trail byte that reads as a dot is no extension.
      {"C:\\x\\a\x81\x2E" "b", "a\x81\x2E" "b", "a\x81\x2E" "b", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sys::FileTitle(c.path, true), c.titleWithExtension) << c.path;
    EXPECT_EQ(sys::FileTitle(c.path, false), c.title) << c.path;
    EXPECT_EQ(sys::FileExtension(c.path), c.extension) << c.path;
  }
}

}  // namespace

#include <windows.h>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "system/wide_text.h"

namespace {

using sys::FileIsPresent;
using sys::TextToWide;
using sys::WideToText;

TEST(WideTextTest, TextToWideAppendsOneZeroUnit) {
  EXPECT_EQ(TextToWide(""), "");
  EXPECT_EQ(TextToWide("T"), std::string("T\0\0\0", 4));
  // Two GBK characters become two UTF-16 units: 软 U+8F6F, 件 U+4EF6.
  EXPECT_EQ(TextToWide("\xC8\xED\xBC\xFE"), std::string("\x6F\x8F\xF6\x4E\0\0", 6));
}

TEST(WideTextTest, WideToTextStopsAtTheFirstZeroUnit) {
  struct Case {
    std::string wide;
    std::string text;
  } const cases[] = {
      {std::string("A\0B\0", 4), "AB"},
      {std::string("A\0\0\0B\0", 6), "A"},
      {"", ""},
      {std::string("\0\0", 2), ""},
      {std::string("\x6F\x8F\xF6\x4E", 4), "\xC8\xED\xBC\xFE"},
  };
  for (const Case& c : cases) EXPECT_EQ(WideToText(c.wide), c.text);
}

TEST(WideTextTest, ChineseSurvivesTheRoundTripWhateverTheSystemCodePage) {
  const std::string title = "软件启动";  // compiled as GBK bytes
  EXPECT_EQ(title, "\xC8\xED\xBC\xFE\xC6\xF4\xB6\xAF");
  EXPECT_EQ(WideToText(TextToWide(title)), title);
}

TEST(FileIsPresentTest, FilesOnlyNeverFolders) {
  test_support::TempFolder folder;
  const std::string file = folder.path() + "\\\xC8\xED\xBC\xFE.exe";
  folder.WriteFile("\xC8\xED\xBC\xFE.exe", "x");
  folder.MakeFolder("sub");
  EXPECT_TRUE(FileIsPresent(file));
  EXPECT_FALSE(FileIsPresent(""));
  EXPECT_FALSE(FileIsPresent(folder.path()));
  EXPECT_FALSE(FileIsPresent(folder.path() + "\\sub"));
  EXPECT_FALSE(FileIsPresent(folder.path() + "\\"));
  EXPECT_FALSE(FileIsPresent(folder.path() + "\\missing.exe"));
  EXPECT_TRUE(FileIsPresent(folder.path() + "\\*.exe"));
  EXPECT_FALSE(FileIsPresent(folder.path() + "\\s*"));
}

}  // namespace

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/full_path.h"

namespace {

TEST(FullPathNameTest, ResolvesDotsAndTheCurrentFolder) {
  EXPECT_EQ(win::FullPathName(L""), L"");
  EXPECT_EQ(win::FullPathName(L"C:\\a\\.\\b\\..\\c.txt"), L"C:\\a\\c.txt");
  wchar_t current[MAX_PATH] = {};
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  std::wstring expected = current;
  if (expected.back() != L'\\') expected += L'\\';
  EXPECT_EQ(win::FullPathName(L"x.txt"), expected + L"x.txt");
  // Longer than MAX_PATH: the buffer grows to fit.
  const std::wstring longPath = L"C:\\" + std::wstring(400, L'a') + L"\\b.txt";
  EXPECT_EQ(win::FullPathName(longPath), longPath);
}

}  // namespace

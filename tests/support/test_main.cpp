// Test main: refuses to run when Wine's ANSI code page is not the one the
// test was registered for, so a missing locale cannot pass unnoticed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (const char* expected = std::getenv("LAUNCHER_EXPECT_ACP")) {
    const unsigned actual = GetACP();
    if (actual != static_cast<unsigned>(std::atoi(expected))) {
      std::fprintf(stderr, "ANSI code page is %u, expected %s: is the locale compiled?\n",
                   actual, expected);
      return 2;
    }
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "launcher/launch_main_program.h"

#include <gtest/gtest.h>


#include "launcher_test_helpers.h"
#include "support/temp_folder.h"

namespace launcher {
namespace {

using launcher_test::kExpectedToken;

TEST(LaunchToken, NineUpperCaseDigitsFromTheKeyDigestsThirdCharacter) {
  const text::Text token = LaunchToken();
  EXPECT_EQ(token, kExpectedToken);
  EXPECT_EQ(LaunchToken(), token);  // the same on every launch
}

class LaunchMainProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_support::CopyProgram("fake_t.exe", m_folder.Join("T.exe")));
    ASSERT_TRUE(m_window.Create());
  }

  std::string RecordedParameters() { return launcher_test::RecordedParameters(m_folder); }

  test_support::TempFolder m_folder;
  MainWindow m_window{{.runDirectory = m_folder.path(), .quitWhenDestroyed = false}};
};

TEST_F(LaunchMainProgramTest, StartsTExeWithTheTokenAsItsWholeParameterText) {
  LaunchMainProgram(m_window);
  EXPECT_FALSE(m_window.Exists());
  EXPECT_EQ(RecordedParameters(), kExpectedToken);
}

TEST_F(LaunchMainProgramTest, FromTheWorkerThreadTheGuiThreadDestroysTheWindow) {
  EXPECT_TRUE(launcher_test::RunBesideTheGuiThread([&] { LaunchMainProgram(m_window); }));
  EXPECT_FALSE(m_window.Exists());
  EXPECT_EQ(RecordedParameters(), kExpectedToken);
}

TEST(LaunchMainProgram, WithoutTExeStillEndsTheWindow) {
  test_support::TempFolder folder;
  MainWindow window({.runDirectory = folder.path(), .quitWhenDestroyed = false});
  ASSERT_TRUE(window.Create());
  LaunchMainProgram(window);
  EXPECT_FALSE(window.Exists());
}

}  // namespace
}  // namespace launcher

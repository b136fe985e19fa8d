#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "system/process.h"
#include "win/wide.h"

namespace {

using test_support::IsRunning;
using test_support::StartedProgram;
using test_support::TempFolder;

constexpr DWORD kTimeoutMs = 10000;

// Copies of the sleeper under chosen names, started as real processes and
// ended when the test is over, whatever it did to them.
class ProcessTest : public testing::Test {
 protected:
  // Copies the sleeper to `relativePath` in the test folder, the folders on
  // the way created, and starts it.
  const StartedProgram& Start(const std::string& relativePath) {
    const std::string path = m_folder.Join(relativePath);
    for (size_t slash = path.find('\\', m_folder.path().size() + 1); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
      CreateDirectoryW(win::Widen(path.substr(0, slash)).c_str(), nullptr);
    }
    EXPECT_TRUE(test_support::CopyProgram("sleeper.exe", path)) << path;
    const StartedProgram& program = m_programs.Start(path);
    EXPECT_TRUE(program) << path;
    return program;
  }

  static bool HasEnded(const StartedProgram& program) {
    return WaitForSingleObject(program.process.get(), kTimeoutMs) == WAIT_OBJECT_0;
  }

  TempFolder m_folder;

 private:
  test_support::ProgramsForTest m_programs;
};

TEST_F(ProcessTest, NamesMatchAsWholesWithAsciiCaseIgnored) {
  const StartedProgram& program = Start("CaseProbe.exe");
  EXPECT_EQ(sys::FindProcessByName("CaseProbe.exe"), program.processId);
  EXPECT_EQ(sys::FindProcessByName("caseprobe.EXE"), program.processId);
  EXPECT_TRUE(sys::ProcessIsRunning("CASEPROBE.exe"));
  EXPECT_EQ(sys::FindProcessByName("caseprobe.EXE", true), 0u);
  EXPECT_FALSE(sys::ProcessIsRunning("caseprobe.exe", true));

  const char* const neverMatching[] = {
      "CaseProbe",  "CaseProbe.ex", "aseProbe.exe", "CaseProbe.exe ", "CaseProbe.exe.exe",
      "bin\\CaseProbe.exe", "", nullptr};
  for (const char* const* name = neverMatching; *name; ++name) {
    EXPECT_EQ(sys::FindProcessByName(*name), 0u) << *name;
    EXPECT_FALSE(sys::ProcessIsRunning(*name)) << *name;
  }
  EXPECT_EQ(sys::FindProcessByName(m_folder.Join("CaseProbe.exe")), 0u);
}

TEST_F(ProcessTest, DoubleByteCharactersCompareWhole) {
  // 0x81 0x41 is one character whose trail byte reads as 'A': folding it to
  // 'a' would match the different character 0x81 0x61.
  const StartedProgram& program = Start("\x81\x41\xCB\xAF.exe");  // 丄睡.exe
  EXPECT_EQ(sys::FindProcessByName("\x81\x41\xCB\xAF.EXE"), program.processId);
  EXPECT_EQ(sys::FindProcessByName("\x81\x61\xCB\xAF.exe"), 0u);
}

TEST_F(ProcessTest, EndProcessByNameEndsOneMatchPerCall) {
  const StartedProgram& first = Start("one\\twin-sleeper.exe");
  const StartedProgram& second = Start("two\\twin-sleeper.exe");

  EXPECT_TRUE(sys::EndProcessByName("TWIN-sleeper.exe"));
  ASSERT_TRUE(test_support::WaitUntil([&] { return !IsRunning(first) || !IsRunning(second); },
                                      kTimeoutMs));
  EXPECT_NE(IsRunning(first), IsRunning(second)) << "exactly one ended";
  EXPECT_TRUE(sys::ProcessIsRunning("twin-sleeper.exe"));

  EXPECT_TRUE(sys::EndProcessByName("twin-sleeper.exe"));
  EXPECT_TRUE(HasEnded(first));
  EXPECT_TRUE(HasEnded(second));
  DWORD exitCode = 1;
  GetExitCodeProcess(first.process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);

  EXPECT_FALSE(sys::ProcessIsRunning("twin-sleeper.exe"));
  EXPECT_FALSE(sys::EndProcessByName("twin-sleeper.exe"));
}

TEST_F(ProcessTest, EndProcessFailsForAProcessThatIsGone) {
  const StartedProgram& program = Start("gone-sleeper.exe");
  EXPECT_TRUE(sys::EndProcess(program.processId));
  ASSERT_TRUE(HasEnded(program));
  EXPECT_FALSE(sys::EndProcess(0));
}

// Two programs of the same file name in different folders: the image-path
// lookup tells them apart, where the name lookup cannot.
TEST_F(ProcessTest, ImagePathLookupEndsOnlyTheProcessOfThatFile) {
  const StartedProgram& target = Start("app\\explorer-like.exe");
  const StartedProgram& bystander = Start("elsewhere\\explorer-like.exe");
  const std::string targetPath = m_folder.Join("app\\explorer-like.exe");
  const DWORD self = GetCurrentProcessId();

  EXPECT_EQ(sys::FindProcessByImagePath(targetPath, self), target.processId);
  EXPECT_EQ(sys::FindProcessByImagePath(m_folder.Join("APP\\Explorer-Like.EXE"), self),
            target.processId);
  EXPECT_EQ(sys::FindProcessByImagePath(m_folder.Join("elsewhere\\..\\app\\explorer-like.exe"),
                                        self),
            target.processId);
  EXPECT_TRUE(sys::ProcessWithImageIsRunning(targetPath, self));
  EXPECT_FALSE(sys::ProcessWithImageIsRunning(m_folder.Join("explorer-like.exe"), self));
  EXPECT_FALSE(sys::ProcessWithImageIsRunning("explorer-like.exe", self));
  EXPECT_FALSE(sys::ProcessWithImageIsRunning("", self));

  EXPECT_TRUE(sys::EndProcessByImagePath(targetPath, self));
  EXPECT_TRUE(HasEnded(target));
  EXPECT_FALSE(sys::ProcessWithImageIsRunning(targetPath, self));
  EXPECT_FALSE(sys::EndProcessByImagePath(targetPath, self));
  EXPECT_TRUE(IsRunning(bystander));
}

TEST_F(ProcessTest, ImagePathLookupSparesTheExcludedProcess) {
  wchar_t ownPath[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
  const std::string self = win::Narrow(ownPath);
  EXPECT_EQ(sys::FindProcessByImagePath(self, GetCurrentProcessId()), 0u);
  EXPECT_FALSE(sys::EndProcessByImagePath(self, GetCurrentProcessId()));
  EXPECT_EQ(sys::FindProcessByImagePath(self, 0), GetCurrentProcessId());
}

}  // namespace

#include <windows.h>

#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "system/md5.h"
#include "system/single_instance.h"
#include "system/window_activation.h"
#include "win/unique.h"
#include "win/wide.h"

namespace {

using test_support::IsRunning;
using test_support::StartedProgram;
using test_support::TempFolder;

constexpr DWORD kTimeoutMs = 15000;
constexpr const wchar_t* kProbeWindowClass = L"GuardProbeWindow";

// Guard probes (tests/system/guard_probe.cpp) started as real processes: a
// first instance that passes the guard and keeps a window, and duplicates
// whose boxes are answered through the user interface.
class SingleInstanceTest : public testing::Test {
 protected:
  SingleInstanceTest() {
    static std::atomic<unsigned> counter{0};
    m_eventName = "launcher-guard-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(counter++);
  }

  const StartedProgram& Start(const std::string& arguments) {
    const StartedProgram& program =
        m_programs.Start(test_support::BesideTestExecutable("guard_probe.exe"), arguments);
    EXPECT_TRUE(program);
    return program;
  }

  // Starts a probe and waits until it has passed the guard and made its window.
  const StartedProgram& StartFirst(const std::string& arguments) {
    const std::string ready = m_folder.Join("ready-" + std::to_string(m_programs.size()));
    const StartedProgram& first = Start(arguments + " \"--ready=" + ready + "\"");
    EXPECT_TRUE(test_support::WaitUntil(
        [&] { return GetFileAttributesW(win::Widen(ready).c_str()) != INVALID_FILE_ATTRIBUTES; },
        kTimeoutMs))
        << "the first instance did not pass the guard";
    return first;
  }

  std::string EventArgument() const { return "\"--event=" + m_eventName + "\""; }

  TempFolder m_folder;
  std::string m_eventName;

 private:
  test_support::ProgramsForTest m_programs;
};

TEST_F(SingleInstanceTest, DuplicateShowsTheMessageThenRestoresTheRunningWindow) {
  const std::string arguments = EventArgument() + " \"--message=禁止重复运行此程序\"";
  const StartedProgram& first = StartFirst(arguments);
  const HWND firstWindow = test_support::FindProcessWindow(first.processId, kProbeWindowClass, true);
  ASSERT_TRUE(firstWindow);
  ASSERT_TRUE(IsIconic(firstWindow));

  const std::string duplicateMark = m_folder.Join("duplicate");
  const StartedProgram& second = Start(arguments + " \"--duplicate=" + duplicateMark + "\"");
  const HWND box = test_support::WaitForDialog(second.processId, kTimeoutMs);
  ASSERT_TRUE(box) << "no message box from the second instance";
  EXPECT_TRUE(m_folder.Exists("duplicate")) << "onDuplicate runs before the box";
  EXPECT_EQ(test_support::MessageBoxText(box), "禁止重复运行此程序");
  EXPECT_EQ(test_support::WindowTitle(box), "友情提醒:");
  EXPECT_TRUE(IsIconic(firstWindow)) << "nothing is brought forward before the answer";

  ASSERT_TRUE(test_support::ClickButton(box, IDOK));
  EXPECT_EQ(test_support::WaitForExit(second.process.get(), kTimeoutMs), 0u);
  EXPECT_TRUE(test_support::WaitUntil([&] { return !IsIconic(firstWindow); }, kTimeoutMs));
  EXPECT_TRUE(IsWindowVisible(firstWindow));
  // Wine under a bare X server has no foreground window to speak of; the
  // running instance's own thread shows the window as its active one.
  GUITHREADINFO input{};
  input.cbSize = sizeof input;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(firstWindow, nullptr), &input));
  EXPECT_EQ(input.hwndActive, firstWindow);
  EXPECT_TRUE(IsRunning(first));
}

TEST_F(SingleInstanceTest, HiddenRunningWindowIsLeftAloneAndTheStyleReachesTheBox) {
  const StartedProgram& first = StartFirst(EventArgument() + " --window=hidden");
  const HWND hiddenWindow =
      test_support::FindProcessWindow(first.processId, kProbeWindowClass, false);
  ASSERT_TRUE(hiddenWindow);
  EXPECT_EQ(sys::FindTopLevelWindow(first.processId, kTimeoutMs, false), hiddenWindow);
  EXPECT_EQ(sys::FindTopLevelWindow(first.processId, kTimeoutMs, true), nullptr);

  const StartedProgram& second = Start(EventArgument() + " --style=0x24");  // MB_YESNO | MB_ICONQUESTION
  const HWND box = test_support::WaitForDialog(second.processId, kTimeoutMs);
  ASSERT_TRUE(box);
  EXPECT_EQ(test_support::MessageBoxText(box), "对不起,该进程已打开!");
  EXPECT_EQ(test_support::WindowTitle(box), "友情提醒:");
  EXPECT_TRUE(GetDlgItem(box, IDYES));
  EXPECT_FALSE(GetDlgItem(box, IDOK));

  ASSERT_TRUE(test_support::ClickButton(box, IDNO));
  EXPECT_EQ(test_support::WaitForExit(second.process.get(), kTimeoutMs), 0u);
  EXPECT_FALSE(IsWindowVisible(hiddenWindow));
  EXPECT_TRUE(IsRunning(first));
}

TEST_F(SingleInstanceTest, EmptyNamesShareTheFallbackEvent) {
  // The MD5 digest of the GBK bytes of "egbbg，nhwi，qy".
  EXPECT_EQ(sys::FallbackEventName(), "18af74a47452f5ff58d3fafd61d00ebb");

  const StartedProgram& first = StartFirst("--event= --no-message --no-activate");
  {
    win::UniqueHandle marker(
        OpenEventW(EVENT_ALL_ACCESS, FALSE, win::Widen(sys::FallbackEventName()).c_str()));
    EXPECT_TRUE(marker) << "the first instance holds the fallback event";
  }
  const StartedProgram& second = Start("--event= --no-message --no-activate");
  EXPECT_EQ(test_support::WaitForExit(second.process.get(), kTimeoutMs), 0u);
  EXPECT_TRUE(IsRunning(first));
}

TEST_F(SingleInstanceTest, WithoutMessageAndActivationTheDuplicateJustEnds) {
  const StartedProgram& first = StartFirst(EventArgument());
  const HWND firstWindow = test_support::FindProcessWindow(first.processId, kProbeWindowClass, true);
  ASSERT_TRUE(firstWindow);

  // A box would keep the duplicate from ending: the wait would time out.
  const StartedProgram& second = Start(EventArgument() + " --no-message --no-activate");
  EXPECT_EQ(test_support::WaitForExit(second.process.get(), kTimeoutMs), 0u);
  EXPECT_TRUE(IsIconic(firstWindow));
  EXPECT_TRUE(IsRunning(first));
}

TEST_F(SingleInstanceTest, MainWindowSearchPassesOverTheCallingProcess) {
  const StartedProgram& probe = StartFirst(EventArgument());
  EXPECT_EQ(sys::FindProcessMainWindow("GUARD_PROBE.exe"),
            test_support::FindProcessWindow(probe.processId, kProbeWindowClass, true));

  // This process is the only one of its name: its own visible window is
  // never taken for another instance's.
  HWND own = CreateWindowExW(0, L"STATIC", L"own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                             100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(own);
  wchar_t ownPath[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
  const std::wstring ownName = std::wstring(ownPath).substr(std::wstring(ownPath).rfind(L'\\') + 1);
  EXPECT_EQ(sys::FindProcessMainWindow(win::Narrow(ownName)), nullptr);
  DestroyWindow(own);
}

}  // namespace

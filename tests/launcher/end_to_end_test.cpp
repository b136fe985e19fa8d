// The real launcher, built for 127.0.0.1:LAUNCHER_E2E_PORT, run as its own
// process from a fresh folder against a manifest served by the test. Its
// boxes are answered through its user interface.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "launcher_test_helpers.h"
#include "support/http_test_server.h"
#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "system/md5.h"
#include "system/shortcut.h"
#include "win/wide.h"

#ifndef LAUNCHER_E2E_PORT
#error "LAUNCHER_E2E_PORT names the port launcher_e2e.exe fetches its manifest from"
#endif

namespace {

using test_support::HttpTestRequest;
using test_support::HttpTestResponse;

constexpr DWORD kLimitMs = 60000;  // only keeps a broken run from hanging
constexpr char kManifestPath[] = "/marlowtrade/marlow2.t";
constexpr char kMd5Hello[] = "5d41402abc4b2a76b9719d911017c592";

// Records the window classes of every top-level window a process shows, by
// looking at its windows every few milliseconds, and through shown-window
// events where the system delivers them across processes (Windows does,
// Wine 8 does not). Wine maps a shown window slowly, so even a window shown
// and hidden at once stays visible long enough to be seen.
class ShownWindowWatch {
 public:
  explicit ShownWindowWatch(DWORD processId) : m_processId(processId) {
    m_thread = std::thread([this] { Run(); });
  }
  ~ShownWindowWatch() { Stop(); }

  void Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
  }
  std::set<std::wstring> ShownClasses() {
    std::lock_guard lock(m_mutex);
    return m_classes;
  }
  bool HasSeen(const wchar_t* windowClass) { return ShownClasses().count(windowClass) != 0; }

 private:
  static void CALLBACK OnShow(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_WINDOW || child != CHILDID_SELF || !s_current) return;
    if (GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow()) return;
    s_current->Record(hwnd, /*knownShown=*/true);
  }

  static BOOL CALLBACK OnEnumeratedWindow(HWND hwnd, LPARAM self) {
    reinterpret_cast<ShownWindowWatch*>(self)->Record(hwnd, false);
    return TRUE;
  }

  void Record(HWND hwnd, bool knownShown) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != m_processId && IsWindow(hwnd)) return;
    if (!knownShown && !IsWindowVisible(hwnd)) return;
    wchar_t name[256] = {};
    // A window gone before we looked still counts: it was shown.
    if (!GetClassNameW(hwnd, name, 256)) lstrcpyW(name, L"<window already gone>");
    std::lock_guard lock(m_mutex);
    m_classes.insert(name);
  }

  void Run() {
    s_current = this;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, &OnShow,
                                         m_processId, 0, WINEVENT_OUTOFCONTEXT);
    while (!m_stop) {
      EnumWindows(&OnEnumeratedWindow, reinterpret_cast<LPARAM>(this));
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    if (hook) UnhookWinEvent(hook);
    s_current = nullptr;
  }

  static inline ShownWindowWatch* s_current = nullptr;
  DWORD m_processId;
  std::atomic<bool> m_stop = false;
  std::mutex m_mutex;
  std::set<std::wstring> m_classes;
  std::thread m_thread;
};

class EndToEndTest : public testing::Test {
 protected:
  EndToEndTest()
      : m_server(
            [this](const HttpTestRequest& request) {
              if (request.target == kManifestPath) return test_support::TextResponse(m_manifest);
              for (const auto& [name, content] : m_release) {
                if (request.target == "/files/" + name) return test_support::TextResponse(content);
              }
              return test_support::TextResponse("not here", 404);
            },
            LAUNCHER_E2E_PORT) {}

  void SetUp() override {
    ASSERT_TRUE(m_server.listening()) << "port " << LAUNCHER_E2E_PORT << " is taken";
    ASSERT_TRUE(test_support::CopyProgram("launcher_e2e.exe", m_folder.Join("launcher.exe")));
    ASSERT_TRUE(test_support::CopyProgram("fake_t.exe", m_folder.Join("T.exe")));
  }

  void TearDown() override {
    DeleteFileW(win::Widen(sys::SpecialFolderPath() + "launcher.lnk").c_str());
  }

  test_support::StartedProgram StartLauncher(const std::string& folder) {
    test_support::StartedProgram launcher = test_support::StartProgram(folder + "\\launcher.exe");
    if (launcher) m_watch = std::make_unique<ShownWindowWatch>(launcher.processId);
    return launcher;
  }

  // The classes of the windows the launcher showed, once it has ended.
  std::set<std::wstring> ShownClasses() {
    m_watch->Stop();
    return m_watch->ShownClasses();
  }

  bool MainProgramStarted() { return m_folder.Exists("command_line.txt"); }

  // Answers a box only once the watch has seen it, so the set of shown
  // windows checked afterwards is complete.
  bool Click(HWND box, int button) {
    if (!test_support::WaitUntil([&] { return m_watch->HasSeen(L"#32770"); }, kLimitMs)) return false;
    return test_support::ClickButton(box, button);
  }

  test_support::TempFolder m_folder;
  std::string m_manifest;
  std::vector<std::pair<std::string, std::string>> m_release;  // files the server offers
  test_support::HttpTestServer m_server;
  std::unique_ptr<ShownWindowWatch> m_watch;
};

TEST_F(EndToEndTest, CurrentFilesStartTExeWithTheTokenAndNeverShowTheWindow) {
  m_folder.WriteFile("data.txt", "hello");
  m_manifest = launcher_test::Manifest({{"data.txt", kMd5Hello, "http://127.0.0.1/data.txt"}});
  auto launcher = StartLauncher(m_folder.path());
  ASSERT_TRUE(launcher);

  EXPECT_EQ(test_support::WaitForExit(launcher.process.get(), kLimitMs), std::optional<DWORD>(0));
  const auto recorded = launcher_test::WaitForFile(m_folder.Join("command_line.txt"));
  ASSERT_TRUE(recorded) << "T.exe was not started";
  EXPECT_EQ(launcher_test::ParametersOf(*recorded), launcher_test::kExpectedToken);
  EXPECT_EQ(ShownClasses(), std::set<std::wstring>{}) << "the launcher showed a window";
  ASSERT_EQ(m_server.RequestCount(), 1u);
  EXPECT_EQ(m_server.Requests()[0].target, kManifestPath);
  // The shortcut to itself, named after its file name.
  EXPECT_TRUE(test_support::WaitUntil(
      [] {
        return GetFileAttributesW(win::Widen(sys::SpecialFolderPath() + "launcher.lnk").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
      },
      1));
}

TEST_F(EndToEndTest, EmptyManifestShowsTheErrorAndStartsNothing) {
  m_manifest = "";
  auto launcher = StartLauncher(m_folder.path());
  ASSERT_TRUE(launcher);

  const HWND box = test_support::WaitForDialog(launcher.processId, kLimitMs);
  ASSERT_NE(box, nullptr) << "no error box";
  EXPECT_EQ(test_support::MessageBoxText(box),
            "您的计算机不符合我们软件的协议，请重装系统再运行此软件！\r\n\r\n或者您可以重新启动软件再试一下。");
  EXPECT_EQ(test_support::WindowTitle(box), "错误");
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  EXPECT_TRUE(Click(box, IDOK));

  EXPECT_EQ(test_support::WaitForExit(launcher.process.get(), kLimitMs), std::optional<DWORD>(0));
  EXPECT_FALSE(MainProgramStarted());
  EXPECT_EQ(ShownClasses(), std::set<std::wstring>{L"#32770"});
}

TEST_F(EndToEndTest, RefusesToRunFromAFolderNamedTemp) {
  const std::string tempFolder = m_folder.Join("Temp");
  m_folder.MakeFolder("Temp");
  ASSERT_TRUE(test_support::CopyProgram("launcher_e2e.exe", tempFolder + "\\launcher.exe"));
  auto launcher = StartLauncher(tempFolder);
  ASSERT_TRUE(launcher);

  const HWND box = test_support::WaitForDialog(launcher.processId, kLimitMs);
  ASSERT_NE(box, nullptr) << "no refusal box";
  EXPECT_EQ(test_support::MessageBoxText(box), "请解压出来再运行软件，不要直接在压缩包内打开！");
  EXPECT_EQ(test_support::WindowTitle(box), "信息：");
  EXPECT_TRUE(Click(box, IDOK));

  EXPECT_EQ(test_support::WaitForExit(launcher.process.get(), kLimitMs), std::optional<DWORD>(0));
  EXPECT_EQ(m_server.RequestCount(), 0u);
  EXPECT_EQ(ShownClasses(), std::set<std::wstring>{L"#32770"});
}

TEST_F(EndToEndTest, AsksBeforeUpdatingKeepsASecondCopyOutAndStartsTExeOnNo) {
  m_folder.WriteFile("data.txt", "outdated");
  m_manifest = launcher_test::Manifest({{"data.txt", kMd5Hello, "http://127.0.0.1/data.txt"}});
  auto first = StartLauncher(m_folder.path());
  ASSERT_TRUE(first);
  const HWND question = test_support::WaitForDialog(first.processId, kLimitMs);
  ASSERT_NE(question, nullptr) << "no update question";
  EXPECT_EQ(test_support::MessageBoxText(question),
            "当前软件有新版本需要更新，是否进行更新。\r\n\r\n如果更新的话会关闭所有已执行的软件！");
  EXPECT_EQ(test_support::WindowTitle(question), "是否更新");
  EXPECT_NE(GetDlgItem(question, IDYES), nullptr);

  // While the first one asks, a second copy is refused and ends.
  auto second = test_support::StartProgram(m_folder.Join("launcher.exe"));
  ASSERT_TRUE(second);
  const HWND refusal = test_support::WaitForDialog(second.processId, kLimitMs);
  ASSERT_NE(refusal, nullptr) << "the second copy ran on";
  EXPECT_EQ(test_support::MessageBoxText(refusal), "禁止重复运行此程序");
  EXPECT_EQ(test_support::WindowTitle(refusal), "友情提醒:");
  EXPECT_TRUE(test_support::ClickButton(refusal, IDOK));
  EXPECT_EQ(test_support::WaitForExit(second.process.get(), kLimitMs), std::optional<DWORD>(0));
  EXPECT_FALSE(MainProgramStarted());
  EXPECT_EQ(m_server.RequestCount(), 1u) << "the second copy asked the server";

  EXPECT_TRUE(Click(question, IDNO));
  EXPECT_EQ(test_support::WaitForExit(first.process.get(), kLimitMs), std::optional<DWORD>(0));
  const auto recorded = launcher_test::WaitForFile(m_folder.Join("command_line.txt"));
  ASSERT_TRUE(recorded) << "T.exe was not started";
  EXPECT_EQ(launcher_test::ParametersOf(*recorded), launcher_test::kExpectedToken);
  EXPECT_EQ(ShownClasses(), std::set<std::wstring>{L"#32770"}) << "the main window was shown";
  EXPECT_EQ(m_folder.ReadFile("data.txt"), "outdated");
}

// A first start next to nothing but the launcher: no question, the window
// shows the update, every file arrives, and the downloaded T.exe is started.
TEST_F(EndToEndTest, WithoutTExeUpdatesInItsWindowThenStartsTheDownloadedTExe) {
  const std::string mainProgram = test_support::ReadWholeFile(m_folder.Join("T.exe"));
  ASSERT_FALSE(mainProgram.empty());
  ASSERT_TRUE(DeleteFileW(win::Widen(m_folder.Join("T.exe")).c_str()));
  m_release = {{"T.exe", mainProgram}, {"data.txt", "hello"}};
  std::vector<launcher_test::ManifestEntry> entries;
  for (const auto& [name, content] : m_release) {
    entries.push_back({name, sys::Md5Text(content),
                       "http://127.0.0.1:" + std::to_string(LAUNCHER_E2E_PORT) + "/files/" + name});
  }
  m_manifest = launcher_test::Manifest(entries);

  auto launcher = StartLauncher(m_folder.path());
  ASSERT_TRUE(launcher);
  EXPECT_EQ(test_support::WaitForExit(launcher.process.get(), kLimitMs), std::optional<DWORD>(0));
  const auto recorded = launcher_test::WaitForFile(m_folder.Join("command_line.txt"));
  ASSERT_TRUE(recorded) << "T.exe was not started";
  EXPECT_EQ(launcher_test::ParametersOf(*recorded), launcher_test::kExpectedToken);
  EXPECT_EQ(m_folder.ReadFile("data.txt"), "hello");
  EXPECT_EQ(m_folder.ReadFile("T.exe"), mainProgram);
  EXPECT_TRUE(ShownClasses().count(L"LauncherMainWindow")) << "the update ran without its window";
}

}  // namespace

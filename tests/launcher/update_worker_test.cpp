// UpdateWorker end to end inside the test process: the real window with its
// list, files served by a server on 127.0.0.1, boxes answered by a handler,
// and T.exe's stand-in started at the end.
#include "launcher/update_worker.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "launcher/program_location.h"
#include "launcher/window_controls.h"
#include "launcher_test_helpers.h"
#include "support/http_test_server.h"
#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "system/md5.h"
#include "system/message_box.h"
#include "win/wide.h"

namespace launcher {
namespace {

using test_support::HttpTestRequest;
using test_support::HttpTestResponse;
using Statuses = std::vector<std::string>;

const char kPresent[] = "文件存在";
const char kPreparing[] = "准备下载";
const char kDownloaded[] = "下载完成";
const char kMismatch[] = "文件效验不正确，正在更新！";
const char kVerified[] = "文件效验正确";
const char kFailed[] = "更新失败";

// What the window showed when a status text was written.
struct StatusEvent {
  int row = 0;
  std::string status;
  std::int32_t overallPosition = 0;
  std::int32_t overallMaximum = 0;
  std::string savedTo, address;
  bool handOverEnabled = false;
  std::string fileSize, downloaded;
  std::int32_t fileBar = 0;
};

// What the window showed while the server answered a download.
struct RequestEvent {
  std::string target;
  std::string savedTo, address;
  bool savedToEnabled = true, addressEnabled = true;
};

class UpdateWorkerTest : public testing::Test {
 protected:
  UpdateWorkerTest()
      : m_server([this](const HttpTestRequest& request) { return Answer(request); }) {}

  void SetUp() override {
    ASSERT_TRUE(m_server.listening());
    ASSERT_TRUE(test_support::CopyProgram("fake_t.exe", m_folder.Join("T.exe")));
    ASSERT_TRUE(m_window.Create());
    SetWindowSubclass(m_window.controls().超级列表框1, &RecordStatus, 0,
                      reinterpret_cast<DWORD_PTR>(this));
    sys::SetMessageBoxHandler([this](const sys::MessageBoxRequest& box) {
      std::lock_guard lock(m_mutex);
      m_boxes.push_back(box.message);
      return sys::MessageAnswer::Ok;
    });
  }
  void TearDown() override { sys::SetMessageBoxHandler(nullptr); }

  // The answers for `path`, one per request; the last one repeats.
  void Serve(const std::string& path, std::vector<std::string> bodies, int status = 200) {
    std::lock_guard lock(m_mutex);
    auto& answers = m_answers[path];
    for (std::string& body : bodies) answers.push_back(test_support::TextResponse(std::move(body), status));
  }
  std::string Url(const std::string& path) const { return m_server.BaseUrl() + path; }

  void AddRow(const std::string& urlname, const std::string& urlmd5, const std::string& url) {
    const HWND list = m_window.controls().超级列表框1;
    AppendListRow(list, {text::FormatInt(ListRowCount(list) + 1), urlname, urlmd5, url, ""});
  }

  // Runs the worker on its own thread while this thread runs the window.
  void RunWorker() {
    m_recording = true;
    EXPECT_TRUE(launcher_test::RunBesideTheGuiThread([&] { UpdateWorker(m_window); }));
  }

  Statuses StatusesOf(int row) const {
    Statuses statuses;
    for (const StatusEvent& event : m_events) {
      if (event.row == row) statuses.push_back(event.status);
    }
    return statuses;
  }
  const StatusEvent* FirstEventOf(int row) const {
    for (const StatusEvent& event : m_events) {
      if (event.row == row) return &event;
    }
    return nullptr;
  }
  std::vector<std::string> Boxes() {
    std::lock_guard lock(m_mutex);
    return m_boxes;
  }
  std::vector<RequestEvent> Requests() {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }
  std::string MainProgramParameters() { return launcher_test::RecordedParameters(m_folder); }

  test_support::TempFolder m_folder;
  MainWindow m_window{{.runDirectory = m_folder.path(), .quitWhenDestroyed = false}};
  std::vector<StatusEvent> m_events;  // GUI thread only
  bool m_recording = false;

 private:
  HttpTestResponse Answer(const HttpTestRequest& request) {
    const MainWindowControls& controls = m_window.controls();
    RequestEvent seen{request.target, ControlText(controls.编辑框_存到),
                      ControlText(controls.编辑框_地址), ControlIsEnabled(controls.编辑框_存到),
                      ControlIsEnabled(controls.编辑框_地址)};
    std::lock_guard lock(m_mutex);
    m_requests.push_back(seen);
    auto found = m_answers.find(request.target);
    if (found == m_answers.end() || found->second.empty()) {
      return test_support::TextResponse("not here", 404);
    }
    HttpTestResponse answer = found->second.front();
    if (found->second.size() > 1) found->second.pop_front();
    return answer;
  }

  // Sees every status text the worker writes, on the GUI thread.
  static LRESULT CALLBACK RecordStatus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self) {
    if (message == LVM_SETITEMTEXTW) {
      const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
      if (item->iSubItem == kColumnStatus) {
        reinterpret_cast<UpdateWorkerTest*>(self)->Record(static_cast<int>(wParam),
                                                          win::Narrow(item->pszText));
      }
    } else if (message == WM_NCDESTROY) {
      RemoveWindowSubclass(hwnd, &RecordStatus, id);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }

  void Record(int row, std::string status) {
    if (!m_recording) return;  // the rows being filled in
    const MainWindowControls& controls = m_window.controls();
    m_events.push_back({row, std::move(status), ProgressPosition(controls.进度条2),
                        ProgressMaximum(controls.进度条2), ControlText(controls.编辑框_存到),
                        ControlText(controls.编辑框_地址),
                        ControlIsEnabled(controls.编辑框_存到) && ControlIsEnabled(controls.编辑框_地址),
                        ControlText(controls.编辑框_文件大小), ControlText(controls.编辑框_已下载),
                        ProgressPosition(controls.进度条1)});
  }

  std::mutex m_mutex;
  std::map<std::string, std::deque<HttpTestResponse>> m_answers;
  std::vector<std::string> m_boxes;
  std::vector<RequestEvent> m_requests;
  test_support::HttpTestServer m_server;
};

TEST_F(UpdateWorkerTest, EachRowFollowsItsStatusSequenceAndTExeStartsAtTheEnd) {
  m_folder.WriteFile("same.txt", "hello");
  AddRow("same.txt", sys::Md5Text("hello"), Url("/same"));
  m_folder.WriteFile("changed.txt", "old");
  Serve("/changed", {"new"});
  AddRow("changed.txt", sys::Md5Text("new"), Url("/changed"));
  Serve("/missing", {"fresh"});
  AddRow("missing.txt", sys::Md5Text("fresh"), Url("/missing"));
  // The first download arrives damaged, the second one whole.
  Serve("/flaky", {"damaged", "right"});
  AddRow("flaky.txt", sys::Md5Text("right"), Url("/flaky"));

  RunWorker();

  EXPECT_EQ(StatusesOf(0), (Statuses{kPresent, kVerified}));
  EXPECT_EQ(StatusesOf(1), (Statuses{kPresent, kMismatch, kDownloaded}));
  EXPECT_EQ(StatusesOf(2), (Statuses{kPreparing, kDownloaded, kVerified}));
  EXPECT_EQ(StatusesOf(3), (Statuses{kPreparing, kDownloaded, kMismatch, kDownloaded}));
  EXPECT_EQ(m_folder.ReadFile("same.txt"), "hello");
  EXPECT_EQ(m_folder.ReadFile("changed.txt"), "new");
  EXPECT_EQ(m_folder.ReadFile("missing.txt"), "fresh");
  EXPECT_EQ(m_folder.ReadFile("flaky.txt"), "right");
  for (const char* name : {"same.txt.tmp", "changed.txt.tmp", "missing.txt.tmp", "flaky.txt.tmp"}) {
    EXPECT_FALSE(m_folder.Exists(name)) << name;
  }
  EXPECT_EQ(Requests().size(), 4u);  // nothing for the file that matched
  EXPECT_TRUE(Boxes().empty());

  // 进度条2 counts rows as they start: at its maximum when the last one starts.
  for (int row = 0; row < 4; ++row) {
    const StatusEvent* first = FirstEventOf(row);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->overallMaximum, 4);
    EXPECT_EQ(first->overallPosition, row + 1);
  }
  EXPECT_FALSE(m_window.Exists());
  EXPECT_EQ(MainProgramParameters(), launcher_test::kExpectedToken);
}

TEST_F(UpdateWorkerTest, ContentWithTheWrongDigestNeverReplacesTheFile) {
  m_folder.WriteFile("page.txt", "old");
  Serve("/page", {"<html>not found</html>"}, 404);
  AddRow("page.txt", sys::Md5Text("new"), Url("/page"));
  Serve("/absent", {"wrong"});
  AddRow("absent.txt", sys::Md5Text("right"), Url("/absent"));
  m_folder.WriteFile("unreachable.txt", "old");
  AddRow("unreachable.txt", sys::Md5Text("new"),
         "http://127.0.0.1:" + std::to_string(test_support::UnusedPort()) + "/x");

  RunWorker();

  EXPECT_EQ(StatusesOf(0), (Statuses{kPresent, kMismatch, kDownloaded, kFailed}));
  EXPECT_EQ(StatusesOf(1), (Statuses{kPreparing, kDownloaded, kMismatch, kDownloaded, kFailed}));
  EXPECT_EQ(StatusesOf(2), (Statuses{kPresent, kMismatch, kDownloaded, kFailed}));
  EXPECT_EQ(m_folder.ReadFile("page.txt"), "old");
  EXPECT_FALSE(m_folder.Exists("absent.txt"));
  EXPECT_EQ(m_folder.ReadFile("unreachable.txt"), "old");
  for (const char* name : {"page.txt.tmp", "absent.txt.tmp", "unreachable.txt.tmp"}) {
    EXPECT_FALSE(m_folder.Exists(name)) << name;
  }
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"不能打开该URL!"}));
  EXPECT_EQ(MainProgramParameters(), launcher_test::kExpectedToken);
}

TEST_F(UpdateWorkerTest, HandsTheTransferOverThroughTheHiddenBoxesAndShowsItsProgress) {
  const std::string body(1572864, 'x');  // one and a half megabytes
  Serve("/big", {body});
  AddRow("big.bin", sys::Md5Text(body), Url("/big"));

  RunWorker();

  const std::string target = m_folder.Join("big.bin");
  const std::vector<RequestEvent> requests = Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].savedTo, target);
  EXPECT_EQ(requests[0].address, Url("/big"));
  EXPECT_FALSE(requests[0].savedToEnabled);
  EXPECT_FALSE(requests[0].addressEnabled);

  ASSERT_EQ(StatusesOf(0), (Statuses{kPreparing, kDownloaded, kVerified}));
  const StatusEvent& downloaded = m_events[1];
  EXPECT_TRUE(downloaded.handOverEnabled);
  EXPECT_EQ(downloaded.savedTo, target);
  EXPECT_EQ(downloaded.address, Url("/big"));
  EXPECT_EQ(downloaded.fileSize, "1.5MB");
  EXPECT_EQ(downloaded.downloaded, "1.5MB");
  EXPECT_EQ(downloaded.fileBar, 10000);
  EXPECT_EQ(m_folder.ReadFile("big.bin").size(), body.size());
}

TEST_F(UpdateWorkerTest, LeftoverTemporaryFileIsWrittenAnew) {
  m_folder.WriteFile("data.bin.tmp", std::string(5000, '#'));
  Serve("/data", {"fresh"});
  AddRow("data.bin", sys::Md5Text("fresh"), Url("/data"));

  RunWorker();

  EXPECT_EQ(StatusesOf(0), (Statuses{kPreparing, kDownloaded, kVerified}));
  EXPECT_EQ(m_folder.ReadFile("data.bin"), "fresh");
  EXPECT_FALSE(m_folder.Exists("data.bin.tmp"));
}

TEST_F(UpdateWorkerTest, NestedNamesGetTheirFoldersButNothingIsWrittenOutside) {
  Serve("/plugin", {"plugin"});
  AddRow("plugins\\x.dll", sys::Md5Text("plugin"), Url("/plugin"));
  Serve("/data", {"数据"});
  AddRow("插件/深/数据.txt", sys::Md5Text("数据"), Url("/data"));
  // The start-up never lists such a name; the worker refuses it all the same.
  const std::string outsideFolder = m_folder.path() + "-outside";
  const std::string escaping = "..\\" + outsideFolder.substr(outsideFolder.rfind('\\') + 1) + "\\x.txt";
  Serve("/outside", {"outside"});
  AddRow(escaping, sys::Md5Text("outside"), Url("/outside"));

  RunWorker();

  EXPECT_EQ(StatusesOf(0), (Statuses{kPreparing, kDownloaded, kVerified}));
  EXPECT_EQ(StatusesOf(1), (Statuses{kPreparing, kDownloaded, kVerified}));
  EXPECT_EQ(StatusesOf(2), (Statuses{kPreparing, kDownloaded, kMismatch, kDownloaded, kFailed}));
  EXPECT_EQ(m_folder.ReadFile("plugins\\x.dll"), "plugin");
  EXPECT_EQ(m_folder.ReadFile("插件\\深\\数据.txt"), "数据");
  EXPECT_EQ(GetFileAttributesW(win::Widen(outsideFolder).c_str()), INVALID_FILE_ATTRIBUTES);
  for (const RequestEvent& request : Requests()) EXPECT_NE(request.target, "/outside");
}

// Copies of the sleeper started as real processes.
class RunningProgramTest : public UpdateWorkerTest {
 protected:
  test_support::StartedProgram StartCopy(const std::string& relativePath) {
    const std::string path = m_folder.Join(relativePath);
    EXPECT_TRUE(test_support::CopyProgram("sleeper.exe", path));
    return test_support::StartProgram(path);
  }
};

TEST_F(RunningProgramTest, EndsOnlyTheProgramRunningFromTheFileBeforeReplacingIt) {
  m_folder.MakeFolder("elsewhere");
  test_support::StartedProgram target = StartCopy("tool.exe");
  test_support::StartedProgram sameName = StartCopy("elsewhere\\tool.exe");
  ASSERT_TRUE(target);
  ASSERT_TRUE(sameName);
  Serve("/tool", {"new tool"});
  AddRow("tool.exe", sys::Md5Text("new tool"), Url("/tool"));

  RunWorker();

  EXPECT_EQ(StatusesOf(0), (Statuses{kPresent, kMismatch, kDownloaded}));
  EXPECT_EQ(m_folder.ReadFile("tool.exe"), "new tool");
  EXPECT_TRUE(test_support::WaitForExit(target.process.get(), 0).has_value());
  EXPECT_FALSE(test_support::WaitForExit(sameName.process.get(), 0).has_value())
      << "a program of the same name elsewhere was ended";
  TerminateProcess(sameName.process.get(), 0);
  WaitForSingleObject(sameName.process.get(), 10000);
}

TEST(UpdateWorkerOwnProcess, TheLauncherNeverEndsItself) {
  // The run directory is this test's own folder and the row names this very
  // executable; its digest matches, so nothing is written there.
  const ProgramLocation self = CurrentProgramLocation();
  MainWindow window({.runDirectory = self.runDirectory, .quitWhenDestroyed = false});
  ASSERT_TRUE(window.Create());
  AppendListRow(window.controls().超级列表框1,
                {"1", self.executableName,
                 sys::Md5TextOfFile(self.runDirectory + "\\" + self.executableName), "http://127.0.0.1:1/", ""});

  EXPECT_TRUE(launcher_test::RunBesideTheGuiThread([&] { UpdateWorker(window); }));
  EXPECT_FALSE(window.Exists());  // it got to the end, alive
}

}  // namespace
}  // namespace launcher

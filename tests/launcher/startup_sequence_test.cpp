#include "launcher/startup_sequence.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "launcher/window_controls.h"
#include "launcher_test_helpers.h"
#include "support/http_test_server.h"
#include "support/temp_folder.h"
#include "system/message_box.h"

namespace launcher {
namespace {

using test_support::HttpTestRequest;
using test_support::HttpTestResponse;
using test_support::HttpTestServer;

constexpr char kManifestPath[] = "/marlowtrade/marlow2.t";

// MD5 digests of small contents.
constexpr char kMd5Hello[] = "5d41402abc4b2a76b9719d911017c592";
constexpr char kMd5Abc[] = "900150983cd24fb0d6963f7d28e17f72";
constexpr char kMd5Empty[] = "d41d8cd98f00b204e9800998ecf8427e";

constexpr char kTempMessage[] = "请解压出来再运行软件，不要直接在压缩包内打开！";
constexpr char kErrorMessage[] =
    "您的计算机不符合我们软件的协议，请重装系统再运行此软件！\r\n\r\n或者您可以重新启动软件再试一下。";
constexpr char kQuestion[] =
    "当前软件有新版本需要更新，是否进行更新。\r\n\r\n如果更新的话会关闭所有已执行的软件！";

using launcher_test::Manifest;
using Entry = launcher_test::ManifestEntry;

using Row = std::vector<std::string>;

enum class Box { None, Question, Error };

// What one run did, seen through the seams and the window.
struct Outcome {
  std::vector<std::string> events;  // "guard", "shortcut", "launch", "worker", in order
  std::vector<std::pair<std::string, std::string>> shortcuts;
  std::vector<sys::MessageBoxRequest> boxes;
  bool visibleWhenWorkerStarted = false;
  bool visibleWhenLaunched = false;
  int Count(std::string_view event) const {
    int count = 0;
    for (const std::string& e : events) count += e == event;
    return count;
  }
};

class StartupSequenceTest : public testing::Test {
 protected:
  StartupSequenceTest()
      : m_server([this](const HttpTestRequest& request) {
          if (request.target == kManifestPath) return m_manifestResponse;
          return test_support::TextResponse("not here", 404);
        }) {}

  void SetUp() override {
    ASSERT_TRUE(m_server.listening());
    sys::SetMessageBoxHandler([this](const sys::MessageBoxRequest& request) {
      m_outcome.boxes.push_back(request);
      return m_answer;
    });
  }
  void TearDown() override { sys::SetMessageBoxHandler({}); }

  void ServeManifest(std::string body) { m_manifestResponse = test_support::TextResponse(std::move(body)); }

  StartupConfig Config() {
    return {
        .manifestAddress = m_server.BaseUrl() + kManifestPath,
        .executableName = m_executableName,
        .singleInstanceGuard = [this] { m_outcome.events.push_back("guard"); },
        .createDesktopShortcut =
            [this](std::string_view name, std::string_view target) {
              m_outcome.events.push_back("shortcut");
              m_outcome.shortcuts.emplace_back(name, target);
            },
        .launchMainProgram =
            [this](MainWindow& window) {
              m_outcome.events.push_back("launch");
              m_outcome.visibleWhenLaunched = window.IsVisible();
            },
        .startUpdateWorker =
            [this](MainWindow& window) {
              m_outcome.events.push_back("worker");
              m_outcome.visibleWhenWorkerStarted = window.IsVisible();
            },
    };
  }

  void Run(std::optional<std::string> runDirectory = std::nullopt) {
    Run(Config(), std::move(runDirectory));
  }
  void Run(const StartupConfig& config, std::optional<std::string> runDirectory = std::nullopt) {
    m_window = std::make_unique<MainWindow>(
        MainWindowOptions{.runDirectory = runDirectory.value_or(m_folder.path()), .quitWhenDestroyed = false});
    ASSERT_TRUE(m_window->Create());
    StartupSequence(*m_window, config);
  }

  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    const HWND list = m_window->controls().超级列表框1;
    for (std::int32_t r = 0; r < ListRowCount(list); ++r) {
      Row row;
      for (std::int32_t column = 0; column < 5; ++column) row.push_back(ListItemText(list, r, column));
      rows.push_back(row);
    }
    return rows;
  }

  void ExpectBox(const sys::MessageBoxRequest& box, std::string_view message, std::string_view title,
                 unsigned style) {
    EXPECT_EQ(box.message, message);
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.style, style);
  }

  test_support::TempFolder m_folder;
  HttpTestServer m_server;
  HttpTestResponse m_manifestResponse = test_support::TextResponse("{\"url\": []}");
  sys::MessageAnswer m_answer = sys::MessageAnswer::Ok;
  std::string m_executableName = "launcher.exe";
  std::unique_ptr<MainWindow> m_window;
  Outcome m_outcome;
};

// ---- what the manifest and the run directory lead to ----

struct OutcomeCase {
  const char* label;
  std::vector<std::pair<std::string, std::string>> files;  // name, content
  std::vector<std::string> folders;
  std::string manifest;
  sys::MessageAnswer answer;
  std::vector<Row> rows;
  Box box;
  bool launched;
  bool updateStarted;
};

const std::vector<Entry> kTwoFiles = {{"a.txt", kMd5Hello, "http://h/a.txt"},
                                      {"b.txt", kMd5Abc, "http://h/b.txt"}};

const OutcomeCase kOutcomeCases[] = {
    {"empty url array", {{"T.exe", "x"}}, {}, "{\"url\": []}", sys::MessageAnswer::Yes, {}, Box::None,
     true, false},
    {"all files current", {{"T.exe", "x"}, {"a.txt", "hello"}, {"b.txt", "abc"}}, {}, Manifest(kTwoFiles),
     sys::MessageAnswer::Yes, {}, Box::None, true, false},
    {"outdated, T.exe present, Yes", {{"T.exe", "x"}, {"a.txt", "hello"}, {"b.txt", "old"}}, {},
     Manifest(kTwoFiles), sys::MessageAnswer::Yes, {{"1", "b.txt", kMd5Abc, "http://h/b.txt", ""}},
     Box::Question, false, true},
    {"outdated, T.exe present, No", {{"T.exe", "x"}, {"a.txt", "hello"}}, {}, Manifest(kTwoFiles),
     sys::MessageAnswer::No, {{"1", "b.txt", kMd5Abc, "http://h/b.txt", ""}}, Box::Question, true, false},
    {"outdated, no T.exe", {{"a.txt", "hello"}}, {}, Manifest(kTwoFiles), sys::MessageAnswer::No,
     {{"1", "b.txt", kMd5Abc, "http://h/b.txt", ""}}, Box::None, false, true},
    {"manifest not an expression", {{"T.exe", "x"}}, {}, "this is { not json", sys::MessageAnswer::Yes, {},
     Box::None, true, false},
    {"no url member", {}, {}, "{\"files\": [{\"urlname\": \"a.txt\"}]}", sys::MessageAnswer::Yes, {},
     Box::None, true, false},
    {"url not an array", {}, {}, "{\"url\": \"a.txt\"}", sys::MessageAnswer::Yes, {}, Box::None, true, false},
    {"empty body", {{"T.exe", "x"}}, {}, "", sys::MessageAnswer::Ok, {}, Box::Error, false, false},
    {"body starting with a zero byte", {{"T.exe", "x"}}, {}, std::string("\0{\"url\": []}", 13),
     sys::MessageAnswer::Ok, {}, Box::Error, false, false},
    {"upper-case digest never matches", {{"a.txt", "hello"}}, {},
     Manifest({{"a.txt", "5D41402ABC4B2A76B9719D911017C592", "u"}}), sys::MessageAnswer::Yes,
     {{"1", "a.txt", "5D41402ABC4B2A76B9719D911017C592", "u", ""}}, Box::None, false, true},
    // A folder counts as present and reads as empty content.
    {"folders named like listed files", {}, {"dir1", "dir2"},
     Manifest({{"dir1", kMd5Hello, "u1"}, {"dir2", kMd5Empty, "u2"}}), sys::MessageAnswer::Yes,
     {{"1", "dir1", kMd5Hello, "u1", ""}}, Box::None, false, true},
    {"row numbers leave no gaps", {{"a.txt", "hello"}, {"c.txt", "abc"}}, {},
     Manifest({{"a.txt", kMd5Hello, "ua"}, {"b.txt", kMd5Hello, "ub"}, {"c.txt", kMd5Abc, "uc"},
               {"d.txt", kMd5Abc, "ud"}}),
     sys::MessageAnswer::Yes, {{"1", "b.txt", kMd5Hello, "ub", ""}, {"2", "d.txt", kMd5Abc, "ud", ""}},
     Box::None, false, true},
    {"unsafe names never become rows", {{"a.txt", "hello"}}, {"sub"},
     Manifest({{"..\\evil.txt", kMd5Hello, "u1"}, {"C:\\evil.txt", kMd5Hello, "u2"},
               {"CON", kMd5Hello, "u3"}, {"*.txt", kMd5Hello, "u4"}, {"sub\\..\\..\\x", kMd5Hello, "u5"},
               {"\\\\server\\share\\x", kMd5Hello, "u6"}, {"a.txt:stream", kMd5Hello, "u7"},
               {"sub\\new.txt", kMd5Abc, "u8"}, {"sub/other.txt", kMd5Abc, "u9"}}),
     sys::MessageAnswer::Yes,
     {{"1", "sub\\new.txt", kMd5Abc, "u8", ""}, {"2", "sub/other.txt", kMd5Abc, "u9", ""}}, Box::None,
     false, true},
    {"only unsafe names", {{"T.exe", "x"}}, {}, Manifest({{"..\\T.exe", kMd5Hello, "u"}}),
     sys::MessageAnswer::Yes, {}, Box::None, true, false},
    // Names in code page 936 read the same whatever the system's code page.
    {"Chinese names", {{"软件.txt", "hello"}}, {},
     Manifest({{"软件.txt", kMd5Hello, "u1"}, {"数据\\新.txt", kMd5Abc, "u2"}}), sys::MessageAnswer::Yes, {{"1", "数据\\新.txt", kMd5Abc, "u2", ""}}, Box::None, false, true},
    {"missing members read as empty texts", {}, {}, "{\"url\": [{}]}", sys::MessageAnswer::Yes,
     {{"1", "", "", "", ""}}, Box::None, false, true},
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.label; }

class StartupOutcomeTest : public StartupSequenceTest, public testing::WithParamInterface<OutcomeCase> {};

TEST_P(StartupOutcomeTest, ListsOutdatedFilesThenLaunchesAsksOrUpdates) {
  const OutcomeCase& c = GetParam();
  for (const auto& [name, content] : c.files) m_folder.WriteFile(name, content);
  for (const std::string& folder : c.folders) m_folder.MakeFolder(folder);
  ServeManifest(c.manifest);
  m_answer = c.answer;

  Run();

  const auto requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, kManifestPath);

  switch (c.box) {
    case Box::None: EXPECT_TRUE(m_outcome.boxes.empty()); break;
    case Box::Question:
      ASSERT_EQ(m_outcome.boxes.size(), 1u);
      ExpectBox(m_outcome.boxes[0], kQuestion, "是否更新", MB_YESNO | MB_TASKMODAL);
      break;
    case Box::Error:
      ASSERT_EQ(m_outcome.boxes.size(), 1u);
      ExpectBox(m_outcome.boxes[0], kErrorMessage, "错误", MB_OK | MB_TASKMODAL);
      break;
  }
  EXPECT_EQ(m_outcome.Count("launch"), c.launched ? 1 : 0);
  EXPECT_EQ(m_outcome.Count("worker"), c.updateStarted ? 1 : 0);
  EXPECT_FALSE(m_outcome.visibleWhenLaunched);
  if (c.updateStarted) {
    EXPECT_TRUE(m_outcome.visibleWhenWorkerStarted);
  }
  EXPECT_EQ(m_window->IsVisible(), c.updateStarted);
  // Only the error path ends the window here; the launch does it itself.
  EXPECT_EQ(m_window->Exists(), c.box != Box::Error);
  if (m_window->Exists()) {
    EXPECT_EQ(Rows(), c.rows);
  }
}

INSTANTIATE_TEST_SUITE_P(Manifests, StartupOutcomeTest, testing::ValuesIn(kOutcomeCases),
                         [](const testing::TestParamInfo<OutcomeCase>& info) {
                           std::string name;
                           for (const char* p = info.param.label; *p; ++p) {
                             name += (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') ? *p : '_';
                           }
                           return name;
                         });

// ---- the run directory ----

struct RunDirectoryCase {
  const char* subfolder;
  bool refused;
};

void PrintTo(const RunDirectoryCase& c, std::ostream* os) { *os << c.subfolder; }

class RunDirectoryTest : public StartupSequenceTest, public testing::WithParamInterface<RunDirectoryCase> {};

TEST_P(RunDirectoryTest, RefusesAnyPathContainingTempCaseSensitively) {
  const RunDirectoryCase& c = GetParam();
  Run(m_folder.path() + c.subfolder);
  if (c.refused) {
    ASSERT_EQ(m_outcome.boxes.size(), 1u);
    ExpectBox(m_outcome.boxes[0], kTempMessage, "信息：", MB_OK | MB_TASKMODAL);
    EXPECT_TRUE(m_outcome.events.empty()) << "nothing else runs, not even the guard";
    EXPECT_EQ(m_server.RequestCount(), 0u);
    EXPECT_FALSE(m_window->Exists());
  } else {
    EXPECT_TRUE(m_outcome.boxes.empty());
    EXPECT_EQ(m_outcome.events, (std::vector<std::string>{"guard", "shortcut", "launch"}));
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, RunDirectoryTest,
                         testing::Values(RunDirectoryCase{"\\Users\\a\\AppData\\Local\\Temp\\x", true},
                                         RunDirectoryCase{"\\Templates\\app", true},
                                         RunDirectoryCase{"\\xTempx", true},
                                         RunDirectoryCase{"\\TEMP\\x", false},
                                         RunDirectoryCase{"\\temp\\x", false},
                                         // "Temp" behind a lead byte: 0x81 0x54 is one character.
                                         RunDirectoryCase{"\\\x81Temp", false}));

// ---- the steps around the manifest ----

TEST_F(StartupSequenceTest, GuardsAndKeepsTheShortcutBeforeFetchingTheManifest) {
  m_executableName = "Setup.exe";
  StartupConfig config = Config();
  size_t requestsAtShortcut = 99;
  config.createDesktopShortcut = [&](std::string_view name, std::string_view target) {
    m_outcome.events.push_back("shortcut");
    m_outcome.shortcuts.emplace_back(name, target);
    requestsAtShortcut = m_server.RequestCount();
  };
  Run(config);
  EXPECT_EQ(m_outcome.events, (std::vector<std::string>{"guard", "shortcut", "launch"}));
  ASSERT_EQ(m_outcome.shortcuts.size(), 1u);
  EXPECT_EQ(m_outcome.shortcuts[0].first, "Setup");
  EXPECT_EQ(m_outcome.shortcuts[0].second, m_folder.path() + "\\Setup.exe");
  EXPECT_EQ(requestsAtShortcut, 0u);
}

TEST_F(StartupSequenceTest, ShortcutKeepsAnUpperCaseExtension) {
  m_executableName = "App.EXE";
  Run();
  ASSERT_EQ(m_outcome.shortcuts.size(), 1u);
  EXPECT_EQ(m_outcome.shortcuts[0].first, "App.EXE");
  EXPECT_EQ(m_outcome.shortcuts[0].second, m_folder.path() + "\\App.EXE");
}

TEST_F(StartupSequenceTest, UnreachableServerShowsTheErrorAndStartsNothing) {
  StartupConfig config = Config();
  config.manifestAddress =
      "http://127.0.0.1:" + std::to_string(test_support::UnusedPort()) + kManifestPath;
  m_folder.WriteFile("T.exe", "x");
  Run(config);
  ASSERT_EQ(m_outcome.boxes.size(), 1u);
  ExpectBox(m_outcome.boxes[0], kErrorMessage, "错误", MB_OK | MB_TASKMODAL);
  EXPECT_EQ(m_outcome.Count("launch"), 0);
  EXPECT_FALSE(m_window->Exists());
}

TEST_F(StartupSequenceTest, AnErrorPageWithABodyIsTakenAsTheManifest) {
  m_manifestResponse = test_support::TextResponse("<html>Service Unavailable</html>", 503);
  Run();
  EXPECT_TRUE(m_outcome.boxes.empty());
  EXPECT_EQ(m_outcome.Count("launch"), 1);
}

}  // namespace
}  // namespace launcher

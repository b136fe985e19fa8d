// The real launcher updating several files: it asks, the user says Yes, and
// it downloads the outdated and missing files, nested ones too, then starts
// T.exe. Built for 127.0.0.1:LAUNCHER_E2E_PORT like the other end-to-end runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "launcher_test_helpers.h"
#include "support/http_test_server.h"
#include "support/temp_folder.h"
#include "support/ui_driver.h"
#include "system/md5.h"

namespace {

constexpr DWORD kLimitMs = 60000;  // only keeps a broken run from hanging

TEST(UpdateEndToEnd, AnsweringYesDownloadsEveryListedFileThenStartsTExe) {
  const std::map<std::string, std::string> release = {
      {"data.txt", "hello"}, {"plugins\\x.dll", std::string(300000, 'p')}, {"readme.txt", "read me"}};
  const std::string base = "http://127.0.0.1:" + std::to_string(LAUNCHER_E2E_PORT);
  std::vector<launcher_test::ManifestEntry> entries;
  std::map<std::string, std::string> byPath;
  int index = 0;
  for (const auto& [name, content] : release) {
    const std::string path = "/files/" + std::to_string(index++);
    byPath[path] = content;
    entries.push_back({name, sys::Md5Text(content), base + path});
  }
  const std::string manifest = launcher_test::Manifest(entries);
  test_support::HttpTestServer server(
      [&](const test_support::HttpTestRequest& request) {
        if (request.target == "/marlowtrade/marlow2.t") return test_support::TextResponse(manifest);
        const auto found = byPath.find(request.target);
        return found == byPath.end() ? test_support::TextResponse("not here", 404)
                                     : test_support::TextResponse(found->second);
      },
      LAUNCHER_E2E_PORT);
  ASSERT_TRUE(server.listening()) << "port " << LAUNCHER_E2E_PORT << " is taken";

  test_support::TempFolder folder;
  ASSERT_TRUE(test_support::CopyProgram("launcher_e2e.exe", folder.Join("launcher.exe")));
  ASSERT_TRUE(test_support::CopyProgram("fake_t.exe", folder.Join("T.exe")));
  folder.WriteFile("data.txt", "outdated");

  test_support::StartedProgram launcher = test_support::StartProgram(folder.Join("launcher.exe"));
  ASSERT_TRUE(launcher);
  const HWND question = test_support::WaitForDialog(launcher.processId, kLimitMs);
  ASSERT_NE(question, nullptr) << "no update question";
  EXPECT_EQ(test_support::WindowTitle(question), "是否更新");
  ASSERT_TRUE(test_support::ClickButton(question, IDYES));

  EXPECT_EQ(test_support::WaitForExit(launcher.process.get(), kLimitMs), std::optional<DWORD>(0));
  const auto recorded = launcher_test::WaitForFile(folder.Join("command_line.txt"));
  ASSERT_TRUE(recorded) << "T.exe was not started";
  EXPECT_EQ(launcher_test::ParametersOf(*recorded), launcher_test::kExpectedToken);
  for (const auto& [name, content] : release) {
    EXPECT_TRUE(folder.ReadFile(name) == content) << name;
    EXPECT_FALSE(folder.Exists(name + ".tmp")) << name;
  }
  EXPECT_EQ(server.RequestCount(), 1u + release.size());
}

}  // namespace

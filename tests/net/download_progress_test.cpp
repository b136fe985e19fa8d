// The progress display: the four values from the download's numbers, and
// the controls they land in.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "net/download_progress.h"
#include "win/wide.h"

namespace {

struct ProgressCase {
  std::int32_t totalSize, position, elapsedMs, receivedBytes;
  const char* fileSize;
  const char* downloaded;
  const char* speed;
  std::int32_t bar;
};

class ComputeProgressTextsTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(ComputeProgressTextsTest, GivesTheDisplayedValues) {
  const ProgressCase& c = GetParam();
  const net::ProgressTexts texts =
      net::ComputeProgressTexts(c.totalSize, c.position, c.elapsedMs, c.receivedBytes);
  EXPECT_EQ(texts.fileSize, c.fileSize);
  EXPECT_EQ(texts.downloaded, c.downloaded);
  EXPECT_EQ(texts.speed, c.speed);
  EXPECT_EQ(texts.barPosition, c.bar);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ComputeProgressTextsTest,
    testing::Values(
        // One and a half megabytes, nothing yet, one buffer in the 10 ms floor.
        ProgressCase{1572864, 0, 10, 10240, "1.5MB", "0MB", "1000KB/秒", 0},
        ProgressCase{1048576, 1048576, 1000, 1048576, "1MB", "1MB", "1024KB/秒", 10000},
        ProgressCase{10000, 5242, 1000, 5242, "0.01MB", "0MB", "5.12KB/秒", 5242},
        // 5243 bytes are 0.005000 MB: rounds up; 5242 rounds down.
        ProgressCase{0, 5243, 3, 1000, "0MB", "0.01MB", "325.52KB/秒", 0},
        ProgressCase{0, 1234567, 1, 0, "0MB", "1.18MB", "0KB/秒", 0},
        // A resumed transfer: received bytes count from the resume offset.
        ProgressCase{2000000, 1500000, 2000, 500000, "1.91MB", "1.43MB", "244.14KB/秒", 7500},
        // The bar truncates toward zero.
        ProgressCase{3, 2, 10, 2, "0MB", "0MB", "0.2KB/秒", 6666}));

TEST(ComputeProgressTextsEdgeTest, BarStaysInsideTheIntegerRange) {
  // A server that under-reports its length must not make the bar undefined.
  EXPECT_EQ(net::ComputeProgressTexts(1, 2000000000, 10, 1).barPosition, 2147483647);
}

class DownloadProgressTest : public testing::Test {
 protected:
  DownloadProgressTest() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                               nullptr, nullptr);
    m_controls.fileSize = Edit();
    m_controls.speed = Edit();
    m_controls.downloaded = Edit();
    m_controls.progressBar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 100, 16,
                                             m_parent, nullptr, nullptr, nullptr);
    SendMessageW(m_controls.progressBar, PBM_SETRANGE32, 0, 10000);
  }
  ~DownloadProgressTest() override { DestroyWindow(m_parent); }

  HWND Edit() {
    return CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, m_parent, nullptr, nullptr,
                           nullptr);
  }
  static std::string Text(HWND control) {
    wchar_t buffer[64] = {};
    GetWindowTextW(control, buffer, 64);
    return win::Narrow(buffer);
  }

  HWND m_parent = nullptr;
  net::ProgressControls m_controls;
};

TEST_F(DownloadProgressTest, FillsTheControls) {
  ASSERT_TRUE(m_controls.progressBar);
  net::DownloadProgress(m_controls, 1572864, 786432, 10, 10240);

  EXPECT_EQ(Text(m_controls.fileSize), "1.5MB");
  EXPECT_EQ(Text(m_controls.downloaded), "0.75MB");
  EXPECT_EQ(Text(m_controls.speed), "1000KB/秒");
  EXPECT_EQ(SendMessageW(m_controls.progressBar, PBM_GETPOS, 0, 0), 5000);

  // Without a size the bar goes back to the start.
  net::DownloadProgress(m_controls, 0, 900000, 10, 10240);
  EXPECT_EQ(Text(m_controls.fileSize), "0MB");
  EXPECT_EQ(SendMessageW(m_controls.progressBar, PBM_GETPOS, 0, 0), 0);
}

}  // namespace

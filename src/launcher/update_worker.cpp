#include "launcher/update_worker.h"

#include <windows.h>

#include <string>
#include <vector>

#include "launcher/launch_main_program.h"
#include "launcher/update_name.h"
#include "launcher/window_controls.h"
#include "net/download.h"
#include "net/download_progress.h"
#include "system/md5.h"
#include "system/wide_text.h"
#include "system/process.h"
#include "win/unique.h"
#include "win/wide.h"

namespace launcher {
namespace {

constexpr std::string_view kStatusPresent = "文件存在";
constexpr std::string_view kStatusPreparing = "准备下载";
constexpr std::string_view kStatusDownloaded = "下载完成";
constexpr std::string_view kStatusMismatch = "文件效验不正确，正在更新！";
constexpr std::string_view kStatusVerified = "文件效验正确";
constexpr std::string_view kStatusFailed = "更新失败";

constexpr int kEndProcessPasses = 1000;
// How long one pass waits for an ended program to let go of its file.
constexpr DWORD kProcessExitWaitMs = 5000;

struct Row {
  std::int32_t index = 0;
  text::Text urlname;
  text::Text urlmd5;
  text::Text url;
  text::Text target;
  // False for a name that would reach outside the run directory: such a row
  // is never written to, and no program is ended for it.
  bool writable = false;
};

// Ends the programs whose executable is the target itself, never the
// launcher; one per pass, waiting until it has let go of the file.
void EndProgramsRunningFrom(const Row& row) {
  if (!row.writable) return;
  const DWORD self = GetCurrentProcessId();
  for (int pass = 0; pass < kEndProcessPasses; ++pass) {
    const DWORD processId = sys::FindProcessByImagePath(row.target, self);
    if (processId == 0) return;
    const win::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (sys::EndProcess(processId) && process) {
      WaitForSingleObject(process.get(), kProcessExitWaitMs);
    }
  }
}

// Creates the missing folders of a nested name ("plugins\x.dll"), each one
// checked to lie inside the run directory.
void CreateFoldersFor(const MainWindow& window, const Row& row) {
  if (!row.writable) return;
  const std::vector<text::Text> parts =
      text::Split(text::ReplaceAll(row.urlname, "/", "\\"), "\\");
  text::Text folder = window.RunDirectory();
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    folder += "\\" + parts[i];
    if (!PathLiesUnder(window.RunDirectory(), folder)) return;
    CreateDirectoryW(win::Widen(folder).c_str(), nullptr);
  }
}

void SetStatus(const MainWindow& window, const Row& row, std::string_view status) {
  SetListItemText(window.controls().超级列表框1, row.index, kColumnStatus, status);
}

// One step: a failed move or copy leaves the old file whole.
bool ReplaceFile(const text::Text& from, const text::Text& to) {
  return MoveFileExW(win::Widen(from).c_str(), win::Widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
                         MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Downloads the row's file into the target's ".tmp" file, through the two
// hand-over boxes, and puts it in place only when its digest is the listed
// one; otherwise the temporary file goes and the target stays as it was.
void Transfer(const MainWindow& window, const Row& row) {
  const MainWindowControls& controls = window.controls();
  SetControlText(controls.编辑框_存到, row.target);
  SetControlText(controls.编辑框_地址, row.url);
  EnableControl(controls.编辑框_地址, false);
  EnableControl(controls.编辑框_存到, false);
  const text::Text savedTo = ControlText(controls.编辑框_存到);
  const text::Text address = ControlText(controls.编辑框_地址);

  // A path the box could not hold whole is not the checked one.
  if (row.writable && savedTo == row.target) {
    const text::Text temporary = savedTo + ".tmp";
    const net::ProgressControls display = window.DownloadProgressControls();
    const std::int32_t result = net::ResumableDownload(
        address, temporary,
        [&display](std::int32_t totalSize, std::int32_t position, std::int32_t elapsedMs,
                   std::int32_t receivedBytes) {
          net::DownloadProgress(display, totalSize, position, elapsedMs, receivedBytes);
        },
        0, false);
    const bool verified = result == 0 && sys::Md5TextOfFile(temporary) == row.urlmd5;
    if (!verified || !ReplaceFile(temporary, savedTo)) {
      DeleteFileW(win::Widen(temporary).c_str());
    }
  }

  EnableControl(controls.编辑框_地址, true);
  EnableControl(controls.编辑框_存到, true);
}

Row ReadRow(const MainWindow& window, std::int32_t index) {
  const HWND list = window.controls().超级列表框1;
  Row row;
  row.index = index;
  row.urlname = ListItemText(list, index, kColumnFileName);
  row.urlmd5 = ListItemText(list, index, kColumnDigest);
  row.url = ListItemText(list, index, kColumnUrl);
  row.target = window.RunDirectory() + "\\" + row.urlname;
  row.writable = IsWritableUpdateName(window.RunDirectory(), row.urlname);
  return row;
}

void UpdateRow(const MainWindow& window, const Row& row) {
  EndProgramsRunningFrom(row);
  if (sys::EntryIsPresent(row.target)) {
    SetStatus(window, row, kStatusPresent);
  } else {
    SetStatus(window, row, kStatusPreparing);
    CreateFoldersFor(window, row);
    Transfer(window, row);
    SetStatus(window, row, kStatusDownloaded);
  }
  if (sys::FileMatchesMd5(row.target, row.urlmd5)) {
    SetStatus(window, row, kStatusVerified);
    return;
  }
  SetStatus(window, row, kStatusMismatch);
  Transfer(window, row);
  SetStatus(window, row, kStatusDownloaded);
  // No third attempt; the next start lists the file again.
  if (!sys::FileMatchesMd5(row.target, row.urlmd5)) SetStatus(window, row, kStatusFailed);
}

}  // namespace

void UpdateWorker(MainWindow& window) noexcept {
  try {
    const MainWindowControls& controls = window.controls();
    const std::int32_t rowCount = ListRowCount(controls.超级列表框1);
    SetProgressMaximum(controls.进度条2, rowCount);
    for (std::int32_t i = 1; i <= rowCount; ++i) {
      SetProgressPosition(controls.进度条2, i);
      UpdateRow(window, ReadRow(window, i - 1));
    }
    LaunchMainProgram(window);
  } catch (...) {
    // Out of memory: the update stops here and the window stays open.
  }
}

}  // namespace launcher

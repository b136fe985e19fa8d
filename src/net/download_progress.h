// The progress display of a download: file size, amount downloaded and
// speed as texts, and the per-file progress bar.
#pragma once

#include <windows.h>

#include <cstdint>

#include "text/text.h"

namespace net {

struct ProgressTexts {
  text::Text fileSize;    // "1.5MB"
  text::Text downloaded;  // "0.01MB"
  text::Text speed;       // "1000KB/秒"
  std::int32_t barPosition = 0;  // 0 to 10000
};

// Pure: the four displayed values for one progress call.
ProgressTexts ComputeProgressTexts(std::int32_t totalSize, std::int32_t position,
                                   std::int32_t elapsedMs, std::int32_t receivedBytes);

// The controls of the main window that show a download.
struct ProgressControls {
  HWND fileSize = nullptr;     // 编辑框_文件大小
  HWND speed = nullptr;        // 编辑框_下载速度
  HWND downloaded = nullptr;   // 编辑框_已下载
  HWND progressBar = nullptr;  // 进度条1
};

// Writes the values into the controls; safe from the worker thread (each
// change is a message the GUI thread carries out).
void DownloadProgress(const ProgressControls& controls, std::int32_t totalSize,
                      std::int32_t position, std::int32_t elapsedMs, std::int32_t receivedBytes);

}  // namespace net

// Fetches one file over HTTP through WinInet into a local file, chunk by
// chunk, optionally resuming with a Range request. Every failure is shown to
// the user in a message box by the download itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

namespace net {

// Called after every chunk that reached the file: totalSize (Content-Length,
// 0 without one), position (low 32 bits of the bytes written counted from
// the start offset), elapsedMs since the first read (10 when 0), and
// receivedBytes (position minus the resume offset).
using DownloadProgressCallback = std::function<void(
    std::int32_t totalSize, std::int32_t position, std::int32_t elapsedMs, std::int32_t receivedBytes)>;

struct DownloadOptions {
  // A read that gets no data for this long fails with "读文件出错!".
  std::chrono::milliseconds stallTimeout{60000};
  // Redirects followed before the address counts as unreachable.
  int maxRedirects = 10;
};

// 0 when the body was read to its end, -1 after a failure (the user has
// seen its message box).
std::int32_t ResumableDownload(std::string_view url, std::string_view localPath,
                               const DownloadProgressCallback& progress, std::int32_t resumeFrom = 0,
                               bool resume = false, const DownloadOptions& options = {});

}  // namespace net

// Throughput of ResumableDownload: downloads one URL into a file and prints
// MiB/s. Not a test; run it by hand against a local server:
//   download_benchmark.exe http://127.0.0.1:8000/big.bin C:\launcher-tests\big.bin
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "net/download.h"
#include "system/message_box.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: download_benchmark <url> <local path>\n");
    return 2;
  }
  sys::SetMessageBoxHandler([](const sys::MessageBoxRequest& box) {
    std::fprintf(stderr, "download failed: %s\n", box.message.c_str());
    return sys::MessageAnswer::Ok;
  });
  std::int64_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  const std::int32_t result = net::ResumableDownload(
      argv[1], argv[2],
      [&bytes](std::int32_t, std::int32_t, std::int32_t, std::int32_t receivedBytes) {
        bytes = static_cast<std::uint32_t>(receivedBytes);
      });
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (result != 0) return 1;
  const double mebibytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
  std::printf("%.1f MiB in %.3f s: %.1f MiB/s\n", mebibytes, seconds, mebibytes / seconds);
  return 0;
}

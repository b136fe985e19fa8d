#include "net/download_progress.h"

#include <commctrl.h>

#include <cstdint>
#include <limits>

#include "win/wide.h"

namespace net {
namespace {

text::Text Rounded(double value) { return text::FormatDouble(text::RoundHalfAway(value, 2)); }

// Truncates toward zero; values beyond the 32-bit range (a tiny total with
// a large position) stop at its ends instead of being undefined.
std::int32_t TruncatedToInt32(double value) {
  if (value >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value <= std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

void SetText(HWND control, const text::Text& value) {
  SetWindowTextW(control, win::Widen(value).c_str());
}

}  // namespace

ProgressTexts ComputeProgressTexts(std::int32_t totalSize, std::int32_t position,
                                   std::int32_t elapsedMs, std::int32_t receivedBytes) {
  constexpr double kMegabyte = 1048576;
  ProgressTexts texts;
  texts.fileSize = Rounded(totalSize / kMegabyte) + "MB";
  texts.downloaded = Rounded(position / kMegabyte) + "MB";
  const double speed = (receivedBytes * 1000.0) / 1024 / elapsedMs;
  texts.speed = Rounded(speed) + "KB/秒";
  texts.barPosition =
      totalSize == 0 ? 0 : TruncatedToInt32((position * 10000.0) / static_cast<double>(totalSize));
  return texts;
}

void DownloadProgress(const ProgressControls& controls, std::int32_t totalSize,
                      std::int32_t position, std::int32_t elapsedMs, std::int32_t receivedBytes) {
  const ProgressTexts texts = ComputeProgressTexts(totalSize, position, elapsedMs, receivedBytes);
  SetText(controls.fileSize, texts.fileSize);
  SetText(controls.downloaded, texts.downloaded);
  SetText(controls.speed, texts.speed);
  SendMessageW(controls.progressBar, PBM_SETPOS, static_cast<WPARAM>(texts.barPosition), 0);
}

}  // namespace net

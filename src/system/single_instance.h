// Keeps a second copy of the program from running: a named event marks the
// running instance for as long as its process lives.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "text/text.h"

namespace sys {

inline constexpr std::string_view kDefaultDuplicateMessage = "对不起,该进程已打开!";
inline constexpr std::string_view kDuplicateMessageTitle = "友情提醒:";

struct SingleInstanceOptions {
  // Name of the event, used as given; empty picks a fixed fallback name.
  text::Text eventName;
  bool showMessage = true;
  // Text of the box; kDefaultDuplicateMessage when absent.
  std::optional<text::Text> message;
  // MB_* button and icon style of the box; 0 (OK only) when absent.
  std::optional<unsigned> messageStyle;
  // Bring the running instance's visible window forward.
  bool activateRunning = true;
  // Called first, when set, once another instance is known to run.
  std::function<void()> onDuplicate;
};

// Returns only when no other instance runs; the event then stays open until
// the process ends. Otherwise calls onDuplicate, shows the box, brings the
// running instance forward as asked and ends the process with exit code 0.
void SingleInstanceGuard(const SingleInstanceOptions& options);

// The event name used for an empty eventName.
text::Text FallbackEventName();

}  // namespace sys

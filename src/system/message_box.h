// Message boxes as the launcher shows them: no owner window, task-modal
// unless the style asks for system-modal, the title "信息：" by default, and
// the texts converted with code page 936 so they read right on any locale.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "text/text.h"

namespace sys {

// Answers as numbers: OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6.
enum class MessageAnswer : int { Ok = 0, Cancel = 1, Abort = 2, Retry = 3, Ignore = 4, Yes = 5, No = 6 };

inline constexpr std::string_view kDefaultMessageTitle = "信息：";

struct MessageBoxRequest {
  text::Text message;
  text::Text title;
  unsigned style = 0;  // MB_* button and icon style, MB_TASKMODAL already added
};

// Shows the box on the calling thread and waits for the answer.
MessageAnswer ShowMessage(std::string_view message, std::string_view title = kDefaultMessageTitle,
                          unsigned style = 0);

// Unit tests cannot click a box as a person would: a handler set here
// answers every box in its place. Set it before threads that show boxes
// start; an empty handler restores the real boxes.
using MessageBoxHandler = std::function<MessageAnswer(const MessageBoxRequest&)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace sys

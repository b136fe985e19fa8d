#include "system/message_box.h"

#include <windows.h>

#include <utility>

#include "win/wide.h"

namespace sys {
namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

MessageAnswer AnswerFromCommand(int command) {
  switch (command) {
    case IDCANCEL: return MessageAnswer::Cancel;
    case IDABORT: return MessageAnswer::Abort;
    case IDRETRY: return MessageAnswer::Retry;
    case IDIGNORE: return MessageAnswer::Ignore;
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    default: return MessageAnswer::Ok;
  }
}

}  // namespace

MessageAnswer ShowMessage(std::string_view message, std::string_view title, unsigned style) {
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  if (const MessageBoxHandler& handler = Handler()) {
    return handler(MessageBoxRequest{text::Text(message), text::Text(title), style});
  }
  const std::wstring wideMessage = win::Widen(message);
  const std::wstring wideTitle = win::Widen(title);
  return AnswerFromCommand(MessageBoxW(nullptr, wideMessage.c_str(), wideTitle.c_str(), style));
}

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

}  // namespace sys

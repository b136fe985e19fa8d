// Runs blocking calls on a thread of its own, so that the caller can stop
// waiting for a server that has stopped sending. WinInet under Wine ignores
// its receive time-outs, and closing a request handle does not end a read
// that is blocked on it: only the caller can give up, leaving the blocked
// call to finish on this thread whenever the connection ends.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace net {

class BlockingCallThread {
 public:
  BlockingCallThread();
  // Ends the thread when it is idle; a call still blocked keeps it alive on
  // its own until that call returns.
  ~BlockingCallThread();
  BlockingCallThread(const BlockingCallThread&) = delete;
  BlockingCallThread& operator=(const BlockingCallThread&) = delete;

  // Runs `call` on the thread and waits up to `timeout` for it. False when
  // it is still running: everything it uses must then be owned by the call
  // itself (captured shared state), and no further call is accepted.
  [[nodiscard]] bool Run(std::function<void()> call, std::chrono::milliseconds timeout);

 private:
  struct Shared;
  std::shared_ptr<Shared> m_shared;
  bool m_abandoned = false;
};

}  // namespace net

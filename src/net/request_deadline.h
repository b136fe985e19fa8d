// A limit on the whole of one synchronous exchange on a WinHttp request
// object. Wine's request object applies no timeout while it waits for the
// response headers, so a server that accepts the connection and never answers
// would keep Send waiting for as long as the server likes.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>

#include "win/dispatch.h"
#include "win/unique.h"

namespace net {

// Calls the request object's Abort from a watch thread once `limit` has
// passed, unless stopped first. Create it right before Send and stop it once
// Send has returned.
//
// The call goes to the object directly, not through a proxy into its
// apartment: Wine's object keeps all its state under its own lock, and its
// Abort hands over to the waiting Send only while Send's thread is waiting
// itself (run inside Send's message loop, it loses that hand-over now and
// then and Send never returns). Windows' object is only to be aborted from
// its own events, so the caller uses this only with Wine's object.
class RequestDeadline {
 public:
  RequestDeadline(const win::Dispatch& request, std::chrono::milliseconds limit) noexcept;
  ~RequestDeadline() { Stop(); }
  RequestDeadline(const RequestDeadline&) = delete;
  RequestDeadline& operator=(const RequestDeadline&) = delete;

  // Ends the watch and waits for it, so nothing touches the object once this
  // returns.
  void Stop() noexcept;
  // Whether the limit passed and Abort was called; final once Stop returned.
  bool expired() const noexcept { return m_expired.load(); }

 private:
  static DWORD WINAPI Watch(void* self) noexcept;

  win::Dispatch m_request;  // our own reference, released after the watch ended
  DWORD m_limitMilliseconds = 0;
  std::atomic<bool> m_expired{false};
  win::UniqueHandle m_stop;
  win::UniqueHandle m_watch;
};

}  // namespace net

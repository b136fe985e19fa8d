#include "net/request_deadline.h"

#include <exception>

namespace net {
namespace {

DWORD WaitMilliseconds(std::chrono::milliseconds limit) noexcept {
  constexpr long long kLongest = INFINITE - 1;  // INFINITE itself means no limit
  const long long count = limit.count();
  return static_cast<DWORD>(count < 0 ? 0 : count > kLongest ? kLongest : count);
}

}  // namespace

RequestDeadline::RequestDeadline(const win::Dispatch& request,
                                 std::chrono::milliseconds limit) noexcept
    : m_request(request), m_limitMilliseconds(WaitMilliseconds(limit)) {
  if (!m_request) return;
  m_stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (m_stop) m_watch.reset(CreateThread(nullptr, 0, Watch, this, 0, nullptr));
}

void RequestDeadline::Stop() noexcept {
  if (m_watch) {
    SetEvent(m_stop.get());
    WaitForSingleObject(m_watch.get(), INFINITE);
    m_watch.reset();
  }
  m_request.reset();
}

DWORD WINAPI RequestDeadline::Watch(void* context) noexcept {
  RequestDeadline& self = *static_cast<RequestDeadline*>(context);
  if (WaitForSingleObject(self.m_stop.get(), self.m_limitMilliseconds) != WAIT_TIMEOUT) return 0;
  self.m_expired = true;
  try {
    self.m_request.Call(L"Abort");
  } catch (const std::exception&) {  // bad_alloc and the like
  }
  return 0;
}

}  // namespace net

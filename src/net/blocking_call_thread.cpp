#include "net/blocking_call_thread.h"

#include <windows.h>

#include <thread>
#include <utility>

namespace net {

// Slim locks and condition variables: a download hands every chunk across,
// and under Wine these wait without a round trip to the server, unlike the
// event-based std::mutex and std::condition_variable of MinGW's threads.
struct BlockingCallThread::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
  std::function<void()> pending;
  bool done = true;
  bool stopping = false;
  std::thread thread;

  static void Serve(const std::shared_ptr<Shared>& self) {
    for (;;) {
      std::function<void()> call;
      AcquireSRWLockExclusive(&self->lock);
      while (!self->pending && !self->stopping) {
        SleepConditionVariableSRW(&self->changed, &self->lock, INFINITE, 0);
      }
      call = std::move(self->pending);
      self->pending = nullptr;
      ReleaseSRWLockExclusive(&self->lock);
      if (!call) return;

      call();
      // Whatever the call captured goes before the caller hears of it.
      call = nullptr;
      AcquireSRWLockExclusive(&self->lock);
      self->done = true;
      ReleaseSRWLockExclusive(&self->lock);
      WakeAllConditionVariable(&self->changed);
    }
  }
};

BlockingCallThread::BlockingCallThread() : m_shared(std::make_shared<Shared>()) {
  m_shared->thread = std::thread([shared = m_shared] { Shared::Serve(shared); });
}

BlockingCallThread::~BlockingCallThread() {
  AcquireSRWLockExclusive(&m_shared->lock);
  m_shared->stopping = true;
  ReleaseSRWLockExclusive(&m_shared->lock);
  WakeAllConditionVariable(&m_shared->changed);
  if (m_abandoned) {
    m_shared->thread.detach();
  } else {
    m_shared->thread.join();
  }
}

bool BlockingCallThread::Run(std::function<void()> call, std::chrono::milliseconds timeout) {
  if (m_abandoned) return false;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  AcquireSRWLockExclusive(&m_shared->lock);
  m_shared->pending = std::move(call);
  m_shared->done = false;
  WakeAllConditionVariable(&m_shared->changed);
  while (!m_shared->done) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      m_abandoned = true;
      break;
    }
    SleepConditionVariableSRW(&m_shared->changed, &m_shared->lock,
                              static_cast<DWORD>(deadline - now), 0);
  }
  ReleaseSRWLockExclusive(&m_shared->lock);
  return !m_abandoned;
}

}  // namespace net

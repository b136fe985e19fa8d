#include "net/blocking_call_thread.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace net {

struct BlockingCallThread::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::function<void()> pending;
  bool done = true;
  bool stopping = false;
  std::thread thread;

  static void Serve(const std::shared_ptr<Shared>& self) {
    for (;;) {
      std::function<void()> call;
      {
        std::unique_lock lock(self->mutex);
        self->changed.wait(lock, [&] { return self->pending || self->stopping; });
        if (!self->pending) return;
        call = std::move(self->pending);
        self->pending = nullptr;
      }
      call();
      // Whatever the call captured goes before the caller hears of it.
      call = nullptr;
      {
        std::lock_guard lock(self->mutex);
        self->done = true;
      }
      self->changed.notify_all();
    }
  }
};

BlockingCallThread::BlockingCallThread() : m_shared(std::make_shared<Shared>()) {
  m_shared->thread = std::thread([shared = m_shared] { Shared::Serve(shared); });
}

BlockingCallThread::~BlockingCallThread() {
  {
    std::lock_guard lock(m_shared->mutex);
    m_shared->stopping = true;
  }
  m_shared->changed.notify_all();
  if (m_abandoned) {
    m_shared->thread.detach();
  } else {
    m_shared->thread.join();
  }
}

bool BlockingCallThread::Run(std::function<void()> call, std::chrono::milliseconds timeout) {
  if (m_abandoned) return false;
  std::unique_lock lock(m_shared->mutex);
  m_shared->pending = std::move(call);
  m_shared->done = false;
  m_shared->changed.notify_all();
  if (!m_shared->changed.wait_for(lock, timeout, [&] { return m_shared->done; })) {
    m_abandoned = true;
    return false;
  }
  return true;
}

}  // namespace net

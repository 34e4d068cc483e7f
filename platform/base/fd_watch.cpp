#include "platform/base/fd_watch.h"

#include <poll.h>

#include <chrono>
#include <map>
#include <vector>

namespace kp {
namespace {
class PollWatcher final : public FdWatcher {
 public:
  void Watch(int fd, std::function<void()> onReadable) override { m_watches[fd] = std::move(onReadable); }
  void Unwatch(int fd) override { m_watches.erase(fd); }

  // Waits up to `timeoutMs` for readable descriptors and runs their callbacks.
  void RunOnce(int timeoutMs) {
    std::vector<pollfd> fds;
    for (const auto& [fd, callback] : m_watches) fds.push_back(pollfd{fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), timeoutMs) <= 0) return;
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      // An earlier callback may have ended this watch; a copy of the
      // callback keeps it alive while it runs even if it ends its own.
      auto it = m_watches.find(p.fd);
      if (it == m_watches.end()) continue;
      std::function<void()> callback = it->second;
      callback();
    }
  }

 private:
  std::map<int, std::function<void()>> m_watches;
};

struct WatchState {
  PollWatcher poll;
  FdWatcher* current = &poll;
  std::map<int, std::function<void()>> watches;  // what every backend must be told
};

WatchState& State() {
  static WatchState state;
  return state;
}
}  // namespace

FdWatcher::~FdWatcher() = default;

void WatchFd(int fd, std::function<void()> onReadable) {
  WatchState& state = State();
  state.watches[fd] = onReadable;
  state.current->Watch(fd, std::move(onReadable));
}

void UnwatchFd(int fd) {
  WatchState& state = State();
  state.watches.erase(fd);
  state.current->Unwatch(fd);
}

void SetFdWatcher(FdWatcher* watcher) {
  WatchState& state = State();
  FdWatcher* next = watcher != nullptr ? watcher : &state.poll;
  if (next == state.current) return;
  for (const auto& [fd, callback] : state.watches) state.current->Unwatch(fd);
  state.current = next;
  for (const auto& [fd, callback] : state.watches) next->Watch(fd, callback);
}

bool RunFdLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  constexpr int kSlice = 50;
  while (!done()) {
    int wait = kSlice;
    if (timeoutMs >= 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) {
        // A last look that does not wait, so that what is ready is served
        // even when the time is up (or was none).
        State().poll.RunOnce(0);
        return done();
      }
      if (left < wait) wait = static_cast<int>(left);
    }
    State().poll.RunOnce(wait);
  }
  return true;
}

}  // namespace kp

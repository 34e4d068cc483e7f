#pragma once
// Watching file descriptors from the program's event loop. The COM runtime
// uses it to serve a local server's activation socket from the loop that
// runs the program's dialogs, never from inside the call that registered it.
//
// Code that needs a descriptor watched calls kp::WatchFd. The watches are
// driven by one backend, a FdWatcher: by default a poll() loop that
// kp::RunFdLoopUntil runs (programs without a window system, tests); the
// application framework installs one on its own event loop at start-up.

#include <functional>

namespace kp {

// A backend that calls a callback whenever its descriptor is readable (or
// has hung up or failed), from the loop it belongs to.
class FdWatcher {
 public:
  virtual ~FdWatcher();
  // One watch per descriptor; watching a descriptor again replaces the
  // callback.
  virtual void Watch(int fd, std::function<void()> onReadable) = 0;
  // Ends the watch. May be called from inside that descriptor's own
  // callback, so a backend must not destroy what is still running.
  virtual void Unwatch(int fd) = 0;
};

// Starts and ends watches on the installed backend.
void WatchFd(int fd, std::function<void()> onReadable);
void UnwatchFd(int fd);

// Installs `watcher` (not owned; it must outlive its use) for the process,
// or the default poll backend when null. Watches held by the previous
// backend move to the new one.
void SetFdWatcher(FdWatcher* watcher);

// Runs the default poll backend, calling the callbacks of readable
// descriptors, until `done()` holds or `timeoutMs` milliseconds have passed
// (a negative timeout never ends by itself). Returns done(). `done` is asked
// at least every 50 ms, so it may also watch things other than descriptors.
// The last round does not wait: with a timeout of 0, the loop serves once
// exactly the descriptors that are readable now.
bool RunFdLoopUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace kp

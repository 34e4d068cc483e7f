#include "platform/testing/wait_for.h"

#include <signal.h>

#include <cerrno>

#include "platform/base/fd_watch.h"

namespace kp::testing {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  return kp::RunFdLoopUntil(done, static_cast<int>(bound.count()));
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace kp::testing

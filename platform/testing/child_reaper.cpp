#include "platform/testing/child_reaper.h"

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/base/fd_watch.h"

namespace kp::com {
namespace {
std::vector<pid_t>& Waiting() {
  static std::vector<pid_t> waiting;
  return waiting;
}

// True when `pid` is gone: reaped now, or not ours to reap at all.
bool Reap(pid_t pid) {
  int status = 0;
  pid_t result = ::waitpid(pid, &status, WNOHANG);
  return result == pid || result < 0;
}

int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}
}  // namespace

void ReapChildWhenDone(pid_t pid) {
  if (pid <= 0 || Reap(pid)) return;
  int fd = OpenProcessDescriptor(pid);
  if (fd < 0) {
    Waiting().push_back(pid);
    return;
  }
  // A process descriptor becomes readable when the process ends.
  kp::WatchFd(fd, [pid, fd] {
    if (!Reap(pid)) return;
    kp::UnwatchFd(fd);
    ::close(fd);
  });
}

void ReapFinishedChildren() {
  auto& waiting = Waiting();
  waiting.erase(std::remove_if(waiting.begin(), waiting.end(), Reap), waiting.end());
}

}  // namespace kp::com

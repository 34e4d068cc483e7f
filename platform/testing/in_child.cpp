#include "platform/testing/in_child.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace kp::testing {

ChildProcess::ChildProcess(const std::function<int()>& body) {
  m_pid = ::fork();
  if (m_pid == 0) ::_exit(body());
}

ChildProcess::~ChildProcess() { Wait(); }

int ChildProcess::Wait() {
  if (m_pid <= 0) return m_status;
  int status = 0;
  pid_t result = -1;
  while ((result = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
  }
  m_pid = -1;
  if (result < 0) return m_status;
  m_status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return m_status;
}

int InChild(const std::function<int()>& body) { return ChildProcess(body).Wait(); }

}  // namespace kp::testing

#pragma once
// Code of a test run in a second process, forked from the test program, for
// what is about other processes: share modes, and the registry file that
// processes read and write at the same time. The child has a copy of the
// test's memory and runs only `body`; it ends with what `body` returns and
// runs none of the test program's exit handlers.
//
//   EXPECT_EQ(kp::testing::InChild([&] { return OpenedHere(path) ? 0 : 1; }), 1);

#include <sys/types.h>

#include <functional>

namespace kp::testing {

// A child process running `body` beside the test until Wait, or until the
// object goes, which waits too.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int()>& body);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits for the child's end: its exit status, 128 + the signal's number
  // when a signal ended it, or -1 when it could not be made.
  int Wait();

 private:
  pid_t m_pid = -1;
  int m_status = -1;
};

// Runs `body` in a child process and returns the child's status as Wait
// gives it.
int InChild(const std::function<int()>& body);

}  // namespace kp::testing

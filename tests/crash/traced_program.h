#pragma once
// A program run under the test's hand, stopped just before each system call
// it makes that can change a file or read one at an offset: writes,
// positioned reads, syncs, renames, removals, the making of files and
// folders. A seccomp filter hands exactly those calls to the test
// (ptrace), so the test can count them and kill the program before any one
// of them, at a moment it chooses by what the program is doing rather than
// by the clock.
//
// Linux only, and only where the process may trace its children and
// install a seccomp filter; Unavailable() says why not.

#include <sys/types.h>

#include <string>
#include <vector>

namespace crash_tests {

struct TracedCall {
  long number = 0;   // the system call
  std::string file;  // for a call on a descriptor, the file it names, when asked for
};

class TracedProgram {
 public:
  // Starts words[0] with the other words as arguments, this process's
  // environment and standard streams on /dev/null, stopped before it runs.
  // With `nameFiles`, each call on a descriptor records the file it names.
  explicit TracedProgram(const std::vector<std::string>& words, bool nameFiles = false);
  // A program still running is killed.
  ~TracedProgram();
  TracedProgram(const TracedProgram&) = delete;
  TracedProgram& operator=(const TracedProgram&) = delete;

  bool Started() const { return m_pid > 0; }
  // Lets it run to just before its next traced call; false when it ended
  // instead.
  bool RunToNextCall();
  // The traced calls it has come to so far; the last is not yet made while
  // it is stopped there.
  const std::vector<TracedCall>& Calls() const { return m_calls; }
  // Ends it with SIGKILL where it stands and waits for it.
  void Kill();
  // Lets it run to its end; its exit status, or 128 + the signal.
  int Finish();

 private:
  pid_t m_pid = -1;
  bool m_ended = false;
  int m_status = -1;
  bool m_nameFiles = false;
  std::vector<TracedCall> m_calls;
};

// Why programs cannot be traced here, or empty when they can.
const std::string& TracingUnavailable();

}  // namespace crash_tests

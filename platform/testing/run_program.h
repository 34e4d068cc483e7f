#pragma once
// The one way tests and benchmarks run other programs: the built tools, the
// editor, installed programs and system commands. A program gets standard
// input from /dev/null, and its standard output and error are kept for the
// test to read. RunProgram runs one to its end; StartedProgram runs one
// beside the test until it ends or the test stops it.
//
//   const kp::testing::ProgramRun run = kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE});
//   ASSERT_EQ(run.status, 0) << run.err;

#include <sys/types.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kp::testing {

struct ProgramOptions {
  // The program's whole environment, "NAME=value" each; this process's
  // environment when not given.
  std::optional<std::vector<std::string>> environment;
  // How long RunProgram lets the program run before it kills it: far longer
  // than any program of ours takes on a loaded machine under the sanitizers.
  std::chrono::milliseconds timeout = std::chrono::minutes(5);
};

// What a program run to its end did.
struct ProgramRun {
  // The exit status; 128 + the signal's number when a signal ended it; -1
  // when it could not be started or was killed at the time limit.
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the program words[0] (a path, not searched for) with the other words
// as its arguments, and waits for its end. When it cannot be started, or
// is killed at the time limit, `err` ends with a line that says so.
ProgramRun RunProgram(const std::vector<std::string>& words, const ProgramOptions& options = {});

// This process's environment without the named variables.
std::vector<std::string> EnvironmentWithout(std::initializer_list<std::string_view> names);
// How a script runs a program that needs no display: this process's
// environment less DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM.
ProgramOptions WithoutDisplay();

// A program running beside the test. One still running when the object
// goes is ended with SIGTERM and waited for.
class StartedProgram {
 public:
  explicit StartedProgram(const std::vector<std::string>& words, const ProgramOptions& options = {});
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  // False when the program could not be started; it then counts as ended.
  bool Started() const { return m_pid > 0; }
  pid_t Pid() const { return m_pid; }
  // True once the program has ended; does not wait.
  bool Ended();
  // Waits for the program's end, for `bound` at most; true when it ended.
  bool WaitForEnd(std::chrono::milliseconds bound);
  // Ends the program with SIGTERM, unless it has ended, and waits for it.
  void Stop();
  // The status as ProgramRun gives it, once the program has ended.
  int Status() const { return m_status; }
  // What the program has written so far.
  std::string Out() const;
  std::string Err() const;

 private:
  void Collect(int waitStatus);

  pid_t m_pid = -1;
  int m_processFd = -1;
  int m_out = -1;
  int m_err = -1;
  bool m_ended = false;
  int m_status = -1;
};

}  // namespace kp::testing

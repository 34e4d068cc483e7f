#include "platform/testing/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace kp::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A file without a name for one output stream, so that nothing is left
// behind however the test ends, and the program can write any amount
// without waiting for the test to read it.
int OutputFile() {
  const char* given = std::getenv("TMPDIR");
  const std::string folder = given != nullptr && *given != '\0' ? given : "/tmp";
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  // A file system without unnamed files: a named one, unlinked at once.
  std::string name = folder + "/program-output.XXXXXX";
  fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

std::string Contents(int fd) {
  std::string text;
  if (fd < 0) return text;
  char buffer[65536];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
    at += n;
  }
  return text;
}

// Says why the program did not start, where its standard error would have.
void Tell(int fd, const std::string& line) {
  if (fd < 0) return;
  const ssize_t written = ::pwrite(fd, line.data(), line.size(), 0);
  (void)written;  // with nowhere to say it, the status of -1 still says the run failed
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

int StatusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

// Far longer than any program takes to end on SIGTERM.
constexpr std::chrono::seconds kStopBound{30};

}  // namespace

StartedProgram::StartedProgram(const std::vector<std::string>& words, const ProgramOptions& options)
    : m_out(OutputFile()), m_err(OutputFile()) {
  if (words.empty()) return;
  std::vector<std::string> arguments = words;
  std::vector<char*> argv = Pointers(arguments);
  std::vector<std::string> environment;
  if (options.environment) {
    environment = *options.environment;
  } else {
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
  }
  std::vector<char*> envp = Pointers(environment);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (m_out >= 0) posix_spawn_file_actions_adddup2(&actions, m_out, STDOUT_FILENO);
  if (m_err >= 0) posix_spawn_file_actions_adddup2(&actions, m_err, STDERR_FILENO);
  // A name without a slash is looked up in PATH, as a shell would.
  const int failed = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    m_pid = -1;
    m_ended = true;
    Tell(m_err, "cannot start " + words[0] + ": " + std::strerror(failed) + "\n");
    return;
  }
  // The process's descriptor becomes readable when it ends.
  m_processFd = static_cast<int>(::syscall(SYS_pidfd_open, m_pid, 0));
}

StartedProgram::~StartedProgram() {
  Stop();
  for (int fd : {m_processFd, m_out, m_err})
    if (fd >= 0) ::close(fd);
}

void StartedProgram::Collect(int waitStatus) {
  m_ended = true;
  m_status = StatusOf(waitStatus);
}

bool StartedProgram::Ended() {
  if (m_ended || m_pid <= 0) return true;
  int waitStatus = 0;
  const pid_t result = ::waitpid(m_pid, &waitStatus, WNOHANG);
  if (result == m_pid)
    Collect(waitStatus);
  else if (result < 0 && errno != EINTR)
    m_ended = true;  // not ours to wait for any more
  return m_ended;
}

bool StartedProgram::WaitForEnd(std::chrono::milliseconds bound) {
  if (Ended()) return true;
  if (m_processFd >= 0) {
    const Clock::time_point deadline = Clock::now() + bound;
    while (true) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      pollfd end{m_processFd, POLLIN, 0};
      const int ready = ::poll(&end, 1, static_cast<int>(std::clamp<long long>(left, 0, 1 << 30)));
      if (ready > 0) break;
      if (ready == 0) return Ended();
      if (errno != EINTR) break;
    }
  }
  // Without a process descriptor (a kernel before 5.3) this waits unbounded.
  int waitStatus = 0;
  pid_t result = -1;
  while ((result = ::waitpid(m_pid, &waitStatus, 0)) < 0 && errno == EINTR) {
  }
  if (result == m_pid)
    Collect(waitStatus);
  else
    m_ended = true;
  return true;
}

void StartedProgram::Stop() {
  if (Ended()) return;
  ::kill(m_pid, SIGTERM);
  if (WaitForEnd(kStopBound)) return;
  ::kill(m_pid, SIGKILL);
  WaitForEnd(kStopBound);
}

std::string StartedProgram::Out() const { return Contents(m_out); }
std::string StartedProgram::Err() const { return Contents(m_err); }

ProgramRun RunProgram(const std::vector<std::string>& words, const ProgramOptions& options) {
  StartedProgram program(words, options);
  const bool ended = program.WaitForEnd(options.timeout);
  if (!ended) program.Stop();
  ProgramRun run;
  run.status = ended ? program.Status() : -1;
  run.out = program.Out();
  run.err = program.Err();
  if (!ended)
    run.err += words[0] + " was killed: it ran longer than " +
               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(options.timeout).count()) + " s\n";
  return run;
}

std::vector<std::string> EnvironmentWithout(std::initializer_list<std::string_view> names) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    const std::string_view name = text.substr(0, text.find('='));
    if (std::find(names.begin(), names.end(), name) == names.end()) environment.emplace_back(text);
  }
  return environment;
}

ProgramOptions WithoutDisplay() {
  ProgramOptions options;
  options.environment = EnvironmentWithout({"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  return options;
}

}  // namespace kp::testing

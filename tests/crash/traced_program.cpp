#include "tests/crash/traced_program.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace crash_tests {
namespace {

// The calls handed to the test. openat is handed over only when it makes a
// file (O_CREAT).
constexpr long kTracedCalls[] = {
    SYS_pread64,  SYS_pwrite64, SYS_write,     SYS_writev,  SYS_fsync,     SYS_fdatasync,
    SYS_unlinkat, SYS_renameat, SYS_renameat2, SYS_mkdirat, SYS_ftruncate,
#ifdef SYS_unlink
    SYS_unlink,   SYS_rename,   SYS_mkdir,
#endif
};

#if defined(__x86_64__)
constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#endif

std::vector<sock_filter> Filter() {
  std::vector<sock_filter> code;
  auto add = [&](sock_filter instruction) { code.push_back(instruction); };
  add(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)));
  add(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0));
  add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  add(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
  for (long call : kTracedCalls) {
    add(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(call), 0, 1));
    add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRACE));
  }
  add(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(SYS_openat), 1, 0));
  add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  // The flags, args[2]: their low word, on a little-endian machine.
  add(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args) + 2 * sizeof(std::uint64_t)));
  add(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_CREAT, 0, 1));
  add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRACE));
  add(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  return code;
}

// The environment with leak checking off: a sanitizer's leak check traces
// the process itself at its end, which a traced process may not.
std::vector<std::string> Environment() {
  std::vector<std::string> environment;
  std::string asan = "ASAN_OPTIONS=detect_leaks=0";
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string text = *variable;
    if (text.rfind("ASAN_OPTIONS=", 0) == 0)
      asan = text + ":detect_leaks=0";
    else
      environment.push_back(text);
  }
  environment.push_back(asan);
  return environment;
}

std::string DescriptorFile(pid_t pid, std::uint64_t fd) {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd), error).string();
}

bool OnDescriptor(long call) {
  return call != SYS_openat && call != SYS_unlinkat && call != SYS_renameat && call != SYS_renameat2 &&
         call != SYS_mkdirat;
}

}  // namespace

TracedProgram::TracedProgram(const std::vector<std::string>& words, bool nameFiles) : m_nameFiles(nameFiles) {
  std::vector<std::string> environment = Environment();
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::vector<sock_filter> code = Filter();
  const sock_fprog program{static_cast<unsigned short>(code.size()), code.data()};

  m_pid = ::fork();
  if (m_pid == 0) {
    // Only calls that are safe after fork from here on.
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) ::_exit(126);
    // Stopped until the test has said it takes the filter's calls.
    ::raise(SIGSTOP);
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      ::_exit(126);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  if (m_pid < 0) return;
  int status = 0;
  if (::waitpid(m_pid, &status, 0) != m_pid || !WIFSTOPPED(status) ||
      ::ptrace(PTRACE_SETOPTIONS, m_pid, nullptr, PTRACE_O_TRACESECCOMP | PTRACE_O_EXITKILL) != 0) {
    Kill();
    m_pid = -1;
  }
}

TracedProgram::~TracedProgram() {
  if (m_pid > 0 && !m_ended) Kill();
}

bool TracedProgram::RunToNextCall() {
  if (m_pid <= 0 || m_ended) return false;
  int signal = 0;
  while (true) {
    if (::ptrace(PTRACE_CONT, m_pid, nullptr, reinterpret_cast<void*>(static_cast<long>(signal))) != 0 &&
        errno != ESRCH)
      return false;
    int status = 0;
    if (::waitpid(m_pid, &status, 0) != m_pid) return false;
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      m_ended = true;
      m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return false;
    }
    signal = 0;
    if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_SECCOMP << 8))) {
      __ptrace_syscall_info info{};
      TracedCall call;
      if (::ptrace(PTRACE_GET_SYSCALL_INFO, m_pid, reinterpret_cast<void*>(sizeof info), &info) > 0) {
        call.number = static_cast<long>(info.seccomp.nr);
        if (m_nameFiles && OnDescriptor(call.number)) call.file = DescriptorFile(m_pid, info.seccomp.args[0]);
      }
      m_calls.push_back(std::move(call));
      return true;
    }
    // The trap after exec is ours; any other signal is the program's.
    if (WSTOPSIG(status) != SIGTRAP) signal = WSTOPSIG(status);
  }
}

void TracedProgram::Kill() {
  if (m_pid <= 0 || m_ended) return;
  ::kill(m_pid, SIGKILL);
  int status = 0;
  while (::waitpid(m_pid, &status, 0) == m_pid && !WIFEXITED(status) && !WIFSIGNALED(status)) {
  }
  m_ended = true;
  m_status = 128 + SIGKILL;
}

int TracedProgram::Finish() {
  while (RunToNextCall()) {
  }
  return m_status;
}

const std::string& TracingUnavailable() {
  static const std::string reason = [] {
    TracedProgram probe({"/bin/true"});
    if (!probe.Started()) return std::string("a traced child cannot be started: ") + std::strerror(errno);
    const int status = probe.Finish();
    return status == 0 ? std::string() : "a traced /bin/true ended with status " + std::to_string(status);
  }();
  return reason;
}

}  // namespace crash_tests

#include "tests/write_failures/failing_writes.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/testing/in_child.h"
#include "platform/testing/temp_environment.h"

namespace write_failures {

std::uint64_t DiskPageSize() { return static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)); }

namespace {

namespace fs = std::filesystem;

// The file that keeps a small disk full; it is never copied back.
constexpr char kFiller[] = ".disk-filler";

// tmpfs counts its room in whole pages.
std::uint64_t RoundUpToPages(std::uint64_t bytes) {
  return (bytes + DiskPageSize() - 1) / DiskPageSize() * DiskPageSize();
}

std::string Failed(const std::string& what) { return what + ": " + std::strerror(errno); }

bool WriteFully(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Lines cross the pipe from the child as eight bytes of length and the
// bytes. A pipe is not a file, so no file size limit cuts them.
void SendLines(int fd, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const std::uint64_t size = line.size();
    if (!WriteFully(fd, reinterpret_cast<const char*>(&size), sizeof size) || !WriteFully(fd, line.data(), line.size()))
      return;
  }
}

// Reads lines until the child's end of the pipe closes; false when the last
// one came cut short.
bool ReceiveLines(int fd, std::vector<std::string>& lines) {
  std::string bytes;
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  std::size_t at = 0;
  while (bytes.size() - at >= sizeof(std::uint64_t)) {
    std::uint64_t size = 0;
    std::memcpy(&size, bytes.data() + at, sizeof size);
    at += sizeof size;
    if (bytes.size() - at < size) return false;
    lines.push_back(bytes.substr(at, size));
    at += size;
  }
  return at == bytes.size();
}

// Runs `setUp`, then `work` and `finish`, in a child process. `setUp` and
// `finish` return why they failed, or nothing; the work runs only after a
// set-up that went well.
ChildOutcome RunInChild(const std::function<std::string()>& setUp, const ChildWork& work,
                        const std::function<std::string()>& finish) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {false, {}, Failed("making a pipe")};
  kp::testing::ChildProcess child([&] {
    ::close(fds[0]);
    std::string failure = setUp();
    std::vector<std::string> lines;
    if (failure.empty()) {
      lines = work();
      failure = finish();
    }
    // The first line says how the set-up and the finish went.
    lines.insert(lines.begin(), failure);
    SendLines(fds[1], lines);
    ::close(fds[1]);
    return 0;
  });
  ::close(fds[1]);
  std::vector<std::string> lines;
  const bool whole = ReceiveLines(fds[0], lines);
  ::close(fds[0]);
  const int status = child.Wait();
  ChildOutcome outcome;
  if (status != 0 || !whole || lines.empty()) {
    outcome.failure = "the child process ended with status " + std::to_string(status) +
                      (whole && !lines.empty() ? "" : " before it had told everything");
  } else if (!lines[0].empty()) {
    outcome.failure = lines[0];
  } else {
    outcome.done = true;
    outcome.lines.assign(lines.begin() + 1, lines.end());
  }
  return outcome;
}

std::string NoFailure() { return {}; }

// One file or folder of a tree, with what a file holds.
struct TreeEntry {
  fs::path relative;
  bool folder = false;
  std::string bytes;
  fs::perms perms = fs::perms::none;
};

// Every file and folder under `root`, but the filler. Returns why not.
std::string ReadTree(const fs::path& root, std::vector<TreeEntry>& entries) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    TreeEntry entry;
    entry.relative = it->path().lexically_relative(root);
    if (entry.relative == kFiller) continue;
    entry.folder = it->is_directory(error);
    entry.perms = it->status(error).permissions();
    if (!entry.folder) {
      const int fd = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) return Failed("reading " + it->path().string());
      char buffer[65536];
      ssize_t n = 0;
      while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) entry.bytes.append(buffer, static_cast<std::size_t>(n));
      ::close(fd);
    }
    entries.push_back(std::move(entry));
  }
  return error ? "listing " + root.string() + ": " + error.message() : std::string();
}

// Writes `entry` under `root`. Sparse: each page of zeros is left a hole.
std::string WriteEntry(const fs::path& root, const TreeEntry& entry, bool sparse) {
  const fs::path path = root / entry.relative;
  std::error_code error;
  if (entry.folder) {
    fs::create_directories(path, error);
  } else {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return Failed("writing " + path.string());
    const std::size_t page = DiskPageSize();
    bool written = true;
    for (std::size_t at = 0; written && at < entry.bytes.size(); at += page) {
      const std::size_t count = std::min(page, entry.bytes.size() - at);
      const char* bytes = entry.bytes.data() + at;
      if (sparse && std::all_of(bytes, bytes + count, [](char c) { return c == 0; })) continue;
      written = ::pwrite(fd, bytes, count, static_cast<off_t>(at)) == static_cast<ssize_t>(count);
    }
    written = written && ::ftruncate(fd, static_cast<off_t>(entry.bytes.size())) == 0;
    ::close(fd);
    if (!written) return Failed("writing " + path.string());
  }
  fs::permissions(path, entry.perms, error);
  return error ? "setting the mode of " + path.string() + ": " + error.message() : std::string();
}

std::string WriteTree(const fs::path& root, const std::vector<TreeEntry>& entries, bool sparse) {
  for (const TreeEntry& entry : entries)
    if (std::string failure = WriteEntry(root, entry, sparse); !failure.empty()) return failure;
  return {};
}

// A tmpfs of `size` bytes over `folder`, in a mount namespace of this
// process's own, so that nothing of it reaches the test's namespace and it
// goes with the last process that uses it.
std::string MountSmallDisk(const std::string& folder, std::uint64_t size) {
  if (::unshare(CLONE_NEWNS) != 0) return Failed("unshare(CLONE_NEWNS)");
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return Failed("making the mounts private");
  const std::string options = "size=" + std::to_string(size) + ",mode=0755";
  if (::mount("kestrow-small-disk", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
    return Failed("mounting a tmpfs over " + folder);
  return {};
}

// Fills the disk of `folder` with a file of zeros, then gives back
// `freeBytes`, in whole pages.
std::string FillAllBut(const std::string& folder, std::uint64_t freeBytes) {
  const std::string path = folder + "/" + kFiller;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Failed("making " + path);
  const std::vector<char> zeros(1 << 16, 0);
  std::uint64_t size = 0;
  ssize_t n = 0;
  while ((n = ::write(fd, zeros.data(), zeros.size())) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) size += static_cast<std::uint64_t>(n);
  if (errno != ENOSPC) {
    const std::string failure = Failed("filling " + folder);
    ::close(fd);
    return failure;
  }
  const std::uint64_t room = RoundUpToPages(freeBytes);
  const bool given = room <= size && ::ftruncate(fd, static_cast<off_t>(size - room)) == 0;
  ::close(fd);
  return given ? std::string() : "cannot leave " + std::to_string(room) + " bytes free in " + folder;
}

std::vector<std::string> ProgramLines(const std::vector<std::string>& words,
                                      const kp::testing::ProgramOptions& options) {
  const kp::testing::ProgramRun run = kp::testing::RunProgram(words, options);
  return {std::to_string(run.status), run.out, run.err};
}

kp::testing::ProgramRun ProgramRunOf(const ChildOutcome& outcome) {
  kp::testing::ProgramRun run;
  if (!outcome.done || outcome.lines.size() != 3) {
    run.err = "the program's child process failed: " + outcome.failure + "\n";
    return run;
  }
  run.status = std::stoi(outcome.lines[0]);
  run.out = outcome.lines[1];
  run.err = outcome.lines[2];
  return run;
}

}  // namespace

ChildOutcome WithFileSizeLimit(std::uint64_t bytes, const ChildWork& work) {
  return RunInChild(
      [bytes] {
        // Ignored, SIGXFSZ no longer ends the process: the write fails with
        // EFBIG instead, as it does for a program that handles the signal.
        if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) return Failed("ignoring SIGXFSZ");
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return Failed("setting RLIMIT_FSIZE");
        return std::string();
      },
      work, NoFailure);
}

const std::string& SmallDiskUnavailable() {
  static const std::string reason = [] {
    const std::string folder = kp::testing::TemporaryRoot() + "/small-disk-probe";
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    const ChildOutcome probe = RunInChild([&] { return MountSmallDisk(folder, 1 << 20); },
                                          [] { return std::vector<std::string>{}; }, NoFailure);
    fs::remove(folder, ignored);
    return probe.done ? std::string() : "no small disk can be mounted here: " + probe.failure;
  }();
  return reason;
}

ChildOutcome OnSmallDisk(const std::string& folder, std::uint64_t freeBytes, const ChildWork& work) {
  int below = -1;
  return RunInChild(
      [&] {
        std::vector<TreeEntry> seeds;
        if (std::string failure = ReadTree(folder, seeds); !failure.empty()) return failure;
        // The folder as it is under the tmpfs, where the results go back.
        below = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (below < 0) return Failed("opening " + folder);
        std::uint64_t size = RoundUpToPages(freeBytes) + (std::uint64_t{1} << 20);
        for (const TreeEntry& seed : seeds) size += RoundUpToPages(seed.bytes.size());
        if (std::string failure = MountSmallDisk(folder, size); !failure.empty()) return failure;
        if (std::string failure = WriteTree(folder, seeds, true); !failure.empty()) return failure;
        return FillAllBut(folder, freeBytes);
      },
      work,
      [&] {
        std::vector<TreeEntry> results;
        if (std::string failure = ReadTree(folder, results); !failure.empty()) return failure;
        const fs::path underneath = "/proc/self/fd/" + std::to_string(below);
        std::error_code error;
        std::vector<fs::path> old;
        for (const auto& entry : fs::directory_iterator(underneath, error)) old.push_back(entry.path());
        for (const fs::path& path : old) fs::remove_all(path, error);
        if (error) return "clearing " + folder + ": " + error.message();
        return WriteTree(underneath, results, false);
      });
}

ChildOutcome WithWritesFailing(const WriteFailure& failure, const std::string& folder, const ChildWork& work) {
  return failure.fullDisk ? OnSmallDisk(folder, failure.freeBytes, work) : WithFileSizeLimit(failure.sizeLimit, work);
}

kp::testing::ProgramRun RunWithWritesFailing(const WriteFailure& failure, const std::string& folder,
                                             const std::vector<std::string>& words,
                                             const kp::testing::ProgramOptions& options) {
  return ProgramRunOf(WithWritesFailing(failure, folder, [&] { return ProgramLines(words, options); }));
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_directory()) names.push_back(entry.path().lexically_relative(folder));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace write_failures

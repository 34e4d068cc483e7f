#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_file_format.h"

namespace kp::registry {
namespace {
// Closes a descriptor on every path out of a function.
class ScopedFd {
 public:
  explicit ScopedFd(int fd = -1) : m_fd(fd) {}
  ~ScopedFd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return m_fd; }
  int release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
  }

 private:
  int m_fd;
};

std::string DataHome() {
  // Relative XDG paths are to be ignored, as the base-directory rules say.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share";
}

std::string RegistryFolder() { return DataHome() + "/kestrow-platform"; }

bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = 1; slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool ReadAll(int fd, std::vector<BYTE>& bytes) {
  BYTE buffer[16384];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads and parses the file at `path` into an empty `root`.
LONG LoadFrom(const std::string& path, RegistryKey& root) {
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? ERROR_SUCCESS : ERROR_CANTREAD;
  std::vector<BYTE> bytes;
  if (!ReadAll(fd.get(), bytes)) return ERROR_CANTREAD;
  return ParseRegistryFile(bytes, root, nullptr) ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

// Holds the writers' lock for as long as it lives.
class WriterLock {
 public:
  explicit WriterLock(const std::string& folder) {
    std::string path = folder + "/classes.reg.lock";
    m_fd = ScopedFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)).release();
    if (m_fd < 0) return;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    // An open-file-description lock belongs to this descriptor, so a forked
    // child or a second open in this process waits like any other writer.
    while (::fcntl(m_fd, F_OFD_SETLKW, &lock) != 0) {
      if (errno != EINTR) {
        ::close(m_fd);
        m_fd = -1;
        return;
      }
    }
  }
  ~WriterLock() {
    if (m_fd >= 0) ::close(m_fd);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;
  bool held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

// Writes `text` to a new file in `folder` and renames it over `path`.
LONG ReplaceFile(const std::string& folder, const std::string& path, const std::string& text) {
  std::string temp = folder + "/classes.reg.tmp-XXXXXX";
  ScopedFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return ERROR_CANTWRITE;
  bool written = WriteAll(fd.get(), text) && ::fsync(fd.get()) == 0;
  if (::close(fd.release()) != 0) written = false;
  if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return ERROR_CANTWRITE;
  }
  // The rename itself reaches the disk with the folder's entry.
  ScopedFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return ERROR_SUCCESS;
}
}  // namespace

std::string RegistryFilePath() { return RegistryFolder() + "/classes.reg"; }

LONG LoadRegistry(RegistryKey& root) { return LoadFrom(RegistryFilePath(), root); }

LONG ModifyRegistry(const RegistryChange& change) {
  std::string folder = RegistryFolder();
  if (!MakeFolders(folder)) return ERROR_CANTOPEN;
  WriterLock lock(folder);
  if (!lock.held()) return ERROR_CANTOPEN;
  std::string path = folder + "/classes.reg";
  RegistryKey root;
  LONG result = LoadFrom(path, root);
  if (result != ERROR_SUCCESS) return result;
  bool changed = false;
  result = change(root, changed);
  if (result != ERROR_SUCCESS || !changed) return result;
  return ReplaceFile(folder, path, FormatRegistryFile(root));
}

LONG ResetCorruptFile(std::string* savedAs) {
  if (savedAs != nullptr) savedAs->clear();
  std::string folder = RegistryFolder();
  if (!MakeFolders(folder)) return ERROR_CANTOPEN;
  WriterLock lock(folder);
  if (!lock.held()) return ERROR_CANTOPEN;
  std::string path = folder + "/classes.reg";
  RegistryKey root;
  LONG result = LoadFrom(path, root);
  if (result != ERROR_REGISTRY_CORRUPT) return result;
  // The damaged bytes are kept beside the file, under a name of their own,
  // for whoever wants to recover them.
  char stamp[32];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string aside = path + ".corrupt-" + stamp + (attempt ? "-" + std::to_string(attempt) : "");
    // link() refuses to replace an existing name, unlike rename().
    if (::link(path.c_str(), aside.c_str()) == 0) {
      if (::unlink(path.c_str()) != 0) return ERROR_CANTWRITE;
      if (savedAs != nullptr) *savedAs = aside;
      return ERROR_SUCCESS;
    }
    if (errno != EEXIST) return ERROR_CANTWRITE;
  }
  return ERROR_CANTWRITE;
}

}  // namespace kp::registry

#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
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

// Reads and parses an open file into an empty `root`.
LONG LoadFromOpenFile(int fd, RegistryKey& root) {
  std::vector<BYTE> bytes;
  if (!ReadAll(fd, bytes)) return ERROR_CANTREAD;
  return ParseRegistryFile(bytes, root, nullptr) ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

// Reads and parses the file at `path` into an empty `root`.
LONG LoadFrom(const std::string& path, RegistryKey& root) {
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? ERROR_SUCCESS : ERROR_CANTREAD;
  return LoadFromOpenFile(fd.get(), root);
}

// Which version of a file a stat describes. Writers never change the file in
// place but rename a new one over it, which gives it another inode, so equal
// identities mean equal bytes; the size and the change times also catch a
// person's editor that rewrites it in place, unless it keeps the size within
// one tick of the file system's clock.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long modified = 0;  // nanoseconds
  long long changed = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& info) {
  auto nanoseconds = [](const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; };
  return FileIdentity{info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim),
                      nanoseconds(info.st_ctim)};
}

// The registry file as this process last read it. A process looks at the
// registry many times in a row (each control it creates asks for its module
// and type library), and parsing the file each time was most of the work.
// One user-interface thread reads the registry (see DESIGN), so this takes
// no lock.
struct LastRead {
  std::string path;
  FileIdentity identity;
  std::shared_ptr<const RegistryKey> tree;
};

LastRead& LastReadFile() {
  static LastRead last;
  return last;
}

// The tree of the file at `path`, read and parsed only when it is not the
// version read last; an empty tree when there is no file.
LONG ReadUnlessKnown(const std::string& path, std::shared_ptr<const RegistryKey>& tree) {
  LastRead& last = LastReadFile();
  struct stat info {};
  if (last.tree && last.path == path && ::stat(path.c_str(), &info) == 0 && IdentityOf(info) == last.identity) {
    tree = last.tree;
    return ERROR_SUCCESS;
  }
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno != ENOENT) return ERROR_CANTREAD;
    tree = std::make_shared<const RegistryKey>();
    return ERROR_SUCCESS;
  }
  // The identity of what is read, not of what the path names a moment later.
  if (::fstat(fd.get(), &info) != 0) return ERROR_CANTREAD;
  auto parsed = std::make_shared<RegistryKey>();
  const LONG result = LoadFromOpenFile(fd.get(), *parsed);
  if (result != ERROR_SUCCESS) return result;
  last = LastRead{path, IdentityOf(info), parsed};
  tree = std::move(parsed);
  return ERROR_SUCCESS;
}

void CopyTree(const RegistryKey& from, RegistryKey& to) {
  to.values = from.values;
  for (const auto& [name, child] : from.subkeys) CopyTree(*child, to.Child(name));
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

LONG ReadRegistry(std::shared_ptr<const RegistryKey>& root) { return ReadUnlessKnown(RegistryFilePath(), root); }

LONG ModifyRegistry(const RegistryChange& change) {
  std::string folder = RegistryFolder();
  if (!MakeFolders(folder)) return ERROR_CANTOPEN;
  WriterLock lock(folder);
  if (!lock.held()) return ERROR_CANTOPEN;
  std::string path = folder + "/classes.reg";
  // Under the lock no other writer can replace the file, so the version
  // read last, when it is still the file's, is the one to change.
  std::shared_ptr<const RegistryKey> current;
  LONG result = ReadUnlessKnown(path, current);
  if (result != ERROR_SUCCESS) return result;
  RegistryKey root;
  CopyTree(*current, root);
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

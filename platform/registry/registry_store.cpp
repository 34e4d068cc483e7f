#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_file_format.h"
#include "platform/registry/registry_locations.h"

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

// Makes the folder and its missing parents with `mode`.
bool MakeFolders(const std::string& folder, mode_t mode) {
  for (std::size_t slash = 1; slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
  }
  return ::mkdir(folder.c_str(), mode) == 0 || errno == EEXIST;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

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

// Holds the writers' lock for as long as it lives: on "classes.reg.lock"
// beside the user's file, or on the folder of a machine-wide file.
class WriterLock {
 public:
  WriterLock(const std::string& folder, bool lockFolder) {
    if (lockFolder) {
      // flock works on a descriptor opened for reading, which is all a
      // folder allows, and like the lock below it belongs to the open file
      // description.
      m_fd = ScopedFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)).release();
      while (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) Drop();
      }
      return;
    }
    std::string path = folder + "/classes.reg.lock";
    m_fd = ScopedFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)).release();
    if (m_fd < 0) return;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    // An open-file-description lock belongs to this descriptor, so a forked
    // child or a second open in this process waits like any other writer.
    while (m_fd >= 0 && ::fcntl(m_fd, F_OFD_SETLKW, &lock) != 0) {
      if (errno != EINTR) Drop();
    }
  }
  ~WriterLock() {
    if (m_fd >= 0) ::close(m_fd);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;
  bool held() const { return m_fd >= 0; }

 private:
  void Drop() {
    ::close(m_fd);
    m_fd = -1;
  }
  int m_fd = -1;
};

// Writes `text` to a new file in `folder` with `mode` and renames it over
// `path`.
LONG ReplaceFile(const std::string& folder, const std::string& path, const std::string& text, mode_t mode) {
  std::string temp = folder + "/classes.reg.tmp-XXXXXX";
  ScopedFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return ERROR_CANTWRITE;
  bool written = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), text) && ::fsync(fd.get()) == 0;
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

bool IsRelativePath(const std::string& text) {
  return text == "." || text == ".." || text.rfind("./", 0) == 0 || text.rfind("../", 0) == 0;
}

// Turns the relative paths of a machine-wide file into absolute ones, for
// readers.
void ResolveRelativePaths(RegistryKey& key, const std::filesystem::path& folder) {
  for (auto& [name, value] : key.values)
    if (value.type == REG_SZ && IsRelativePath(value.text)) value.text = (folder / value.text).lexically_normal().string();
  for (auto& [name, subkey] : key.subkeys) ResolveRelativePaths(*subkey, folder);
}

// Stores every string value that names `relocatable` or a path inside it
// relative to `folder`, the machine-wide file's own.
void StoreRelativePaths(RegistryKey& key, const std::string& relocatable, const std::string& folder) {
  std::string relative = std::filesystem::path(relocatable).lexically_relative(folder).string();
  if (!IsRelativePath(relative)) relative = "./" + relative;
  for (auto& [name, value] : key.values) {
    const std::string& text = value.text;
    if (value.type != REG_SZ || text.rfind(relocatable, 0) != 0) continue;
    if (text.size() > relocatable.size() && text[relocatable.size()] != '/') continue;
    value.text = relative + text.substr(relocatable.size());
  }
  for (auto& [name, subkey] : key.subkeys) StoreRelativePaths(*subkey, relocatable, folder);
}

// Lays `over` on `below`: a key of `over` brings its values in place of
// below's, and its subkeys join below's.
void Overlay(RegistryKey& below, RegistryKey& over) {
  below.values = std::move(over.values);
  for (auto& [name, subkey] : over.subkeys) {
    if (RegistryKey* existing = below.Find(name))
      Overlay(*existing, *subkey);
    else
      below.subkeys.emplace(name, std::move(subkey));
  }
}

// Reads the machine-wide file under the user's, with absolute paths.
LONG LoadBelow(const RegistryLayout& layout, RegistryKey& below) {
  if (layout.below.empty()) return ERROR_SUCCESS;
  LONG result = LoadFrom(layout.below, below);
  if (result != ERROR_SUCCESS) {
    below = RegistryKey();
    return result;
  }
  ResolveRelativePaths(below, FolderOf(layout.below));
  return ERROR_SUCCESS;
}
}  // namespace

std::string RegistryFilePath() { return CurrentRegistryLayout().writable; }

LONG LoadRegistry(RegistryView& view) {
  RegistryLayout layout = CurrentRegistryLayout();
  RegistryKey own;
  LONG result = LoadFrom(layout.writable, own);
  if (result != ERROR_SUCCESS) return result;
  if (layout.machineScope) {
    ResolveRelativePaths(own, FolderOf(layout.writable));
    view.root = std::move(own);
    view.belowFault = ERROR_SUCCESS;
    return ERROR_SUCCESS;
  }
  RegistryKey below;
  view.belowFault = LoadBelow(layout, below);
  Overlay(below, own);
  view.root = std::move(below);
  return ERROR_SUCCESS;
}

LONG ModifyRegistry(const RegistryChange& change) {
  RegistryLayout layout = CurrentRegistryLayout();
  const std::string& path = layout.writable;
  std::string folder = FolderOf(path);
  // A machine-wide file and its folder are for every user to read.
  if (!MakeFolders(folder, layout.machineScope ? 0755 : 0700)) return ERROR_CANTOPEN;
  WriterLock lock(folder, layout.machineScope);
  if (!lock.held()) return ERROR_CANTOPEN;
  RegistryKey root;
  LONG result = LoadFrom(path, root);
  if (result != ERROR_SUCCESS) return result;
  // A damaged machine-wide file never stops the user's own changes.
  RegistryKey below;
  LoadBelow(layout, below);
  bool changed = false;
  result = change(root, below, changed);
  if (result != ERROR_SUCCESS || !changed) return result;
  if (layout.machineScope) StoreRelativePaths(root, layout.relocatable, folder);
  return ReplaceFile(folder, path, FormatRegistryFile(root), layout.machineScope ? 0644 : 0600);
}

std::vector<RegistryFileState> RegistryFileStates() {
  RegistryLayout layout = CurrentRegistryLayout();
  std::vector<RegistryFileState> files;
  for (const std::string& path : {layout.writable, layout.below}) {
    if (path.empty()) continue;
    RegistryFileState file{path, ERROR_FILE_NOT_FOUND};
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 || errno != ENOENT) {
      RegistryKey ignored;
      file.state = LoadFrom(path, ignored);
    }
    files.push_back(file);
  }
  return files;
}

std::string DescribeRegistryFile(const RegistryFileState& file) {
  switch (file.state) {
    case ERROR_SUCCESS: return file.path;
    case ERROR_FILE_NOT_FOUND: return file.path + " (not there)";
    case ERROR_REGISTRY_CORRUPT: return file.path + " (damaged)";
    default: return file.path + " (cannot be read)";
  }
}

LONG ResetCorruptFile(std::string* savedAs) {
  if (savedAs != nullptr) savedAs->clear();
  RegistryLayout layout = CurrentRegistryLayout();
  const std::string& path = layout.writable;
  std::string folder = FolderOf(path);
  if (!MakeFolders(folder, layout.machineScope ? 0755 : 0700)) return ERROR_CANTOPEN;
  WriterLock lock(folder, layout.machineScope);
  if (!lock.held()) return ERROR_CANTOPEN;
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

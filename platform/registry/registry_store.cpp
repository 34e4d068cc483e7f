#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
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

// Holds the writers' lock for as long as it lives: on "<file>.lock" beside
// a user's file ("classes.reg.lock"), or on the folder of a machine-wide
// file.
class WriterLock {
 public:
  WriterLock(const std::string& file, bool lockFolder) {
    const std::string folder = FolderOf(file);
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
    std::string path = file + ".lock";
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

// Writes `text` to a new file beside `path`, in `folder`, with `mode` and
// renames it over `path`.
LONG ReplaceFile(const std::string& folder, const std::string& path, const std::string& text, mode_t mode) {
  std::string temp = path + ".tmp-XXXXXX";
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
    if (value.type == REG_SZ && IsRelativePath(value.text))
      value.text = (folder / value.text).lexically_normal().string();
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

// Lays a copy of `over` on `below`: a key of `over` brings its values in
// place of below's, and its subkeys join below's.
void Overlay(RegistryKey& below, const RegistryKey& over) {
  below.values = over.values;
  for (const auto& [name, subkey] : over.subkeys) Overlay(below.Child(name), *subkey);
}

void CopyTree(const RegistryKey& from, RegistryKey& to) {
  to.values = from.values;
  for (const auto& [name, child] : from.subkeys) CopyTree(*child, to.Child(name));
}

// Which version of a file a stat describes. Writers never change a file in
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
  return FileIdentity{info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

// A process looks at the registry many times in a row (each control it
// creates asks for its module and type library, and a normal start writes
// its own entries key by key), and parsing the files each time was most of
// that work. So each file's tree is kept, as this process last parsed it,
// until the file changes. One user-interface thread reads the registry (see
// DESIGN), so this takes no lock.
struct ParsedFile {
  FileIdentity identity;
  std::shared_ptr<const RegistryKey> tree;
};

// What a missing file reads as: one tree, so that views made of it are
// recognised as the same.
const std::shared_ptr<const RegistryKey>& EmptyTree() {
  static const auto empty = std::make_shared<const RegistryKey>();
  return empty;
}

// The tree of the file at `path`, read and parsed only when it is not the
// version parsed last; an empty tree when there is no file. With
// `resolvePaths`, the relative module paths of a machine-wide file are made
// absolute, for readers.
LONG ReadUnlessKnown(const std::string& path, bool resolvePaths, std::shared_ptr<const RegistryKey>& tree) {
  // The user's file and the machine's, read as they are and resolved: tests
  // that point the registry at many folders would otherwise grow this.
  static std::map<std::pair<std::string, bool>, ParsedFile> parsed;
  const auto key = std::make_pair(path, resolvePaths);
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    auto known = parsed.find(key);
    if (known != parsed.end() && known->second.identity == IdentityOf(info)) {
      tree = known->second.tree;
      return ERROR_SUCCESS;
    }
  }
  ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno != ENOENT) return ERROR_CANTREAD;
    tree = EmptyTree();
    return ERROR_SUCCESS;
  }
  // The identity of what is read, not of what the path names a moment later.
  if (::fstat(fd.get(), &info) != 0) return ERROR_CANTREAD;
  auto fresh = std::make_shared<RegistryKey>();
  const LONG result = LoadFromOpenFile(fd.get(), *fresh);
  if (result != ERROR_SUCCESS) return result;
  if (resolvePaths) ResolveRelativePaths(*fresh, FolderOf(path));
  if (parsed.size() >= 4) parsed.clear();
  parsed[key] = ParsedFile{IdentityOf(info), fresh};
  tree = std::move(fresh);
  return ERROR_SUCCESS;
}

// The machine-wide tree under the user's, with absolute paths; its fault
// leaves it empty.
LONG ReadBelow(const RegistryLayout& layout, std::shared_ptr<const RegistryKey>& below) {
  LONG result = layout.below.empty() ? ERROR_SUCCESS : ReadUnlessKnown(layout.below, true, below);
  if (layout.below.empty() || result != ERROR_SUCCESS) below = EmptyTree();
  return result;
}
}  // namespace

std::string RegistryFilePath() { return CurrentRegistryLayout().writable; }

LONG LoadRegistry(std::shared_ptr<const RegistryView>& view, Hive hive) {
  RegistryLayout layout = CurrentRegistryLayout(hive);
  std::shared_ptr<const RegistryKey> own;
  LONG result = ReadUnlessKnown(layout.writable, layout.machineScope, own);
  if (result != ERROR_SUCCESS) return result;
  std::shared_ptr<const RegistryKey> below;
  const LONG belowFault = ReadBelow(layout, below);

  // The view of each hive laid together last, kept while both trees are
  // the same.
  struct LastView {
    std::shared_ptr<const RegistryKey> own, below;
    LONG belowFault = ERROR_SUCCESS;
    std::shared_ptr<const RegistryView> view;
  };
  static LastView views[2];
  LastView& last = views[hive == Hive::CurrentUser ? 1 : 0];
  if (!last.view || last.own != own || last.below != below || last.belowFault != belowFault) {
    auto fresh = std::make_shared<RegistryView>();
    CopyTree(*below, fresh->root);
    Overlay(fresh->root, *own);
    fresh->belowFault = belowFault;
    last = {own, below, belowFault, std::move(fresh)};
  }
  view = last.view;
  return ERROR_SUCCESS;
}

LONG ModifyRegistry(Hive hive, const RegistryChange& change) {
  RegistryLayout layout = CurrentRegistryLayout(hive);
  const std::string& path = layout.writable;
  std::string folder = FolderOf(path);
  // A machine-wide file and its folder are for every user to read.
  if (!MakeFolders(folder, layout.machineScope ? 0755 : 0700)) return ERROR_CANTOPEN;
  WriterLock lock(path, layout.machineScope);
  if (!lock.held()) return ERROR_CANTOPEN;
  // Under the lock no other writer can replace the file, so the version
  // parsed last, when it is still the file's, is the one to change.
  std::shared_ptr<const RegistryKey> current;
  LONG result = ReadUnlessKnown(path, false, current);
  if (result != ERROR_SUCCESS) return result;
  RegistryKey root;
  CopyTree(*current, root);
  // A damaged machine-wide file never stops the user's own changes.
  std::shared_ptr<const RegistryKey> below;
  ReadBelow(layout, below);
  bool changed = false;
  result = change(root, *below, changed);
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
  WriterLock lock(path, layout.machineScope);
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

#include "editor/import/patch_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

PatchFile::~PatchFile() = default;
PatchFileSystem::~PatchFileSystem() = default;

void PatchFile::WriteAll(std::uint64_t offset, const void* data, std::size_t count, std::size_t* written) {
  const auto* bytes = static_cast<const BYTE*>(data);
  std::size_t done = 0;
  if (written != nullptr) *written = 0;
  while (done < count) {
    done += WriteAt(offset + done, bytes + done, count - done);
    if (written != nullptr) *written = done;
  }
}

std::optional<std::vector<BYTE>> ReadWholeFile(PatchFileSystem& files, const std::string& path, std::uint64_t most) {
  try {
    const std::unique_ptr<PatchFile> file = files.Open(path, PatchOpenMode::Read);
    std::vector<BYTE> bytes(static_cast<std::size_t>(std::min(file->Identity().length, most)));
    file->ReadAt(0, bytes.data(), bytes.size());
    return bytes;
  } catch (const CFileException&) {
    return std::nullopt;
  }
}

std::string FolderOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string KestrowStateFolder() {
  // The base directory specification ignores a relative value.
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/kestrow";
  const char* home = std::getenv("HOME");
  std::string base = home != nullptr && home[0] != '\0' ? home : "";
  if (base.empty()) {
    const passwd* user = ::getpwuid(::getuid());
    if (user != nullptr && user->pw_dir != nullptr) base = user->pw_dir;
  }
  return base + "/.local/state/kestrow";
}

namespace {

[[noreturn]] void ThrowErrno(int error, const std::string& path) {
  throw CFileException(CFileException::OsErrorToException(error), error, path.c_str());
}

class PosixFile final : public PatchFile {
 public:
  PosixFile(int fd, std::string path, bool owned) : m_fd(fd), m_path(std::move(path)), m_owned(owned) {}
  ~PosixFile() override {
    if (m_owned) ::close(m_fd);
  }

  const std::string& Path() const override { return m_path; }

  FileIdentity Identity() override {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) ThrowErrno(errno, m_path);
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size)};
  }

  void ReadAt(std::uint64_t offset, void* data, std::size_t count) override {
    auto* bytes = static_cast<BYTE*>(data);
    std::size_t done = 0;
    while (done < count) {
      const ssize_t n = ::pread(m_fd, bytes + done, count - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ThrowErrno(errno, m_path);
      if (n == 0) throw CFileException(CFileException::endOfFile, 0, m_path.c_str());
      done += static_cast<std::size_t>(n);
    }
  }

  std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t count) override {
    while (true) {
      const ssize_t n = ::pwrite(m_fd, data, count, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ThrowErrno(errno, m_path);
      // Nothing written and no error: the disk has no room, as CFile counts it.
      if (n == 0) ThrowErrno(ENOSPC, m_path);
      return static_cast<std::size_t>(n);
    }
  }

  void Sync() override {
    if (::fsync(m_fd) != 0) ThrowErrno(errno, m_path);
  }

  bool Lock(bool wait) override {
    while (::flock(m_fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
      if (errno == EWOULDBLOCK) return false;
      if (errno != EINTR) ThrowErrno(errno, m_path);
    }
    return true;
  }

 private:
  int m_fd;
  std::string m_path;
  bool m_owned;
};

class PosixFileSystem final : public PatchFileSystem {
 public:
  std::unique_ptr<PatchFile> Open(const std::string& path, PatchOpenMode mode) override {
    static constexpr int kFlags[] = {
        O_RDONLY,                      // Read
        O_RDWR,                        // ReadWrite
        O_WRONLY | O_CREAT | O_EXCL,   // CreateNew
        O_WRONLY | O_CREAT | O_TRUNC,  // CreateOrReplace
    };
    const int fd = ::open(path.c_str(), kFlags[static_cast<int>(mode)] | O_CLOEXEC, 0644);
    if (fd < 0) ThrowErrno(errno, path);
    return std::make_unique<PosixFile>(fd, path, true);
  }

  std::optional<FileIdentity> Identify(const std::string& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::uint64_t>(info.st_size)};
  }

  void Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) ThrowErrno(errno, path);
  }

  void Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) ThrowErrno(errno, to);
  }

  void SyncFolder(const std::string& folder) override {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowErrno(errno, folder);
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (error != 0) ThrowErrno(error, folder);
  }

  void MakeFolders(const std::string& folder) override {
    if (folder.empty() || folder == "/" || folder == ".") return;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return;
    MakeFolders(FolderOfPath(folder));
    // The state folder holds the bytes of the user's files: theirs alone.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ThrowErrno(errno, folder);
  }

  std::vector<std::string> List(const std::string& folder) override {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
  }

  bool CanWriteIn(const std::string& folder) override { return ::access(folder.c_str(), W_OK | X_OK) == 0; }
};

}  // namespace

PatchFileSystem& PosixPatchFileSystem() {
  static PosixFileSystem files;
  return files;
}

std::unique_ptr<PatchFile> BorrowOpenFile(const CFile& file) {
  return std::make_unique<PosixFile>(file.GetDescriptor(), file.GetFilePath().str(), false);
}

PatchEnvironment DefaultPatchEnvironment() { return {PosixPatchFileSystem(), KestrowStateFolder()}; }

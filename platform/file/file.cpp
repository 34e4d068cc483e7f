#include "platform/file/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {
UINT AccessOf(UINT flags) { return flags & 0x3; }
UINT ShareOf(UINT flags) { return flags & 0x70; }

// Reading while letting others read is the only open that can share.
int LockKindFor(UINT flags) {
  bool onlyReads = AccessOf(flags) == CFile::modeRead;
  bool letsOthersRead = ShareOf(flags) == CFile::shareDenyWrite || ShareOf(flags) == CFile::shareDenyNone ||
                        ShareOf(flags) == CFile::shareCompat;
  return onlyReads && letsOthersRead ? LOCK_SH : LOCK_EX;
}

int OpenModeFor(UINT flags) {
  switch (AccessOf(flags)) {
    case CFile::modeWrite: return O_WRONLY;
    case CFile::modeReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

void Fill(CFileException* error, int cause, int osError, const std::string& path) {
  if (error == nullptr) return;
  error->m_cause = cause;
  error->m_lOsError = osError;
  error->m_strFileName = CString(path);
}

bool LockOrFail(int fd, int kind) {
  while (flock(fd, kind | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

CFile::CFile(LPCTSTR path, UINT openFlags) {
  CFileException error;
  if (!Open(path, openFlags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCTSTR path, UINT openFlags, CFileException* error) {
  Abort();
  m_path = path ? path : "";
  if (m_path.empty()) {
    Fill(error, CFileException::badPath, ENOENT, m_path);
    return FALSE;
  }
  if ((openFlags & modeReplaceOnClose) && (openFlags & modeCreate) && AccessOf(openFlags) != modeRead)
    return OpenReplacement(openFlags, error) ? TRUE : FALSE;

  int mode = OpenModeFor(openFlags) | O_CLOEXEC;
  if (openFlags & modeCreate) mode |= O_CREAT;
  // Truncation waits until the lock is held, so a file that another process
  // holds is never emptied by an open that is then refused.
  int fd = ::open(m_path.c_str(), mode, 0666);
  if (fd < 0) {
    int osError = errno;
    Fill(error, CFileException::OsErrorToException(osError), osError, m_path);
    return FALSE;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    Fill(error, CFileException::accessDenied, EISDIR, m_path);
    return FALSE;
  }
  if (!LockOrFail(fd, LockKindFor(openFlags))) {
    int osError = errno;
    ::close(fd);
    Fill(error, CFileException::sharingViolation, osError, m_path);
    return FALSE;
  }
  if ((openFlags & modeCreate) && !(openFlags & modeNoTruncate) && ftruncate(fd, 0) != 0) {
    int osError = errno;
    ::close(fd);
    Fill(error, CFileException::OsErrorToException(osError), osError, m_path);
    return FALSE;
  }
  m_fd = fd;
  return TRUE;
}

bool CFile::OpenReplacement(UINT openFlags, CFileException* error) {
  struct stat target {};
  bool exists = ::stat(m_path.c_str(), &target) == 0;
  if (exists && (S_ISDIR(target.st_mode) || ::access(m_path.c_str(), W_OK) != 0)) {
    Fill(error, CFileException::accessDenied, EACCES, m_path);
    return false;
  }
  if (exists) {
    // Hold the target's own lock until the rename, so a file another process
    // has open under its share mode is not replaced behind its back.
    int lockFd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (lockFd >= 0 && !LockOrFail(lockFd, LockKindFor(openFlags))) {
      int osError = errno;
      ::close(lockFd);
      Fill(error, CFileException::sharingViolation, osError, m_path);
      return false;
    }
    m_targetLockFd = lockFd;
  }
  std::string pattern = FolderOf(m_path) + "/." + NameOf(m_path) + ".XXXXXX";
  int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    int osError = errno;
    Fill(error, CFileException::OsErrorToException(osError), osError, m_path);
    Reset();
    return false;
  }
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, exists ? (target.st_mode & 07777) : (0666 & ~mask));
  m_fd = fd;
  m_replacementPath = pattern;
  return true;
}

void CFile::ThrowOsError(int osError) const {
  throw CFileException(CFileException::OsErrorToException(osError), osError, m_path.c_str());
}

UINT CFile::Read(void* buffer, UINT count) {
  if (m_fd < 0) throw CFileException(CFileException::invalidFile, EBADF, m_path.c_str());
  auto* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = ::read(m_fd, out + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowOsError(errno);
    }
    if (n == 0) throw CFileException(CFileException::endOfFile, 0, m_path.c_str());
    done += static_cast<UINT>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) {
  if (m_fd < 0) throw CFileException(CFileException::invalidFile, EBADF, m_path.c_str());
  const auto* in = static_cast<const char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = ::write(m_fd, in + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ThrowOsError(errno);
    }
    if (n == 0) throw CFileException(CFileException::diskFull, ENOSPC, m_path.c_str());
    done += static_cast<UINT>(n);
  }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  if (m_fd < 0) throw CFileException(CFileException::invalidFile, EBADF, m_path.c_str());
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (from > end) throw CFileException(CFileException::badSeek, EINVAL, m_path.c_str());
  off_t position = ::lseek(m_fd, static_cast<off_t>(offset), kWhence[from]);
  if (position < 0) throw CFileException(CFileException::badSeek, errno, m_path.c_str());
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const {
  if (m_fd < 0) throw CFileException(CFileException::invalidFile, EBADF, m_path.c_str());
  off_t position = ::lseek(m_fd, 0, SEEK_CUR);
  if (position < 0) ThrowOsError(errno);
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const {
  if (m_fd < 0) throw CFileException(CFileException::invalidFile, EBADF, m_path.c_str());
  struct stat info {};
  if (fstat(m_fd, &info) != 0) ThrowOsError(errno);
  return static_cast<ULONGLONG>(info.st_size);
}

void CFile::Close() {
  if (m_fd < 0) return;
  if (!m_replacementPath.empty()) {
    if (fsync(m_fd) != 0 || ::close(m_fd) != 0) {
      int osError = errno;
      m_fd = -1;
      Abort();
      ThrowOsError(osError);
    }
    m_fd = -1;
    if (::rename(m_replacementPath.c_str(), m_path.c_str()) != 0) {
      int osError = errno;
      Abort();
      ThrowOsError(osError);
    }
    m_replacementPath.clear();
    Reset();
    return;
  }
  int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0 && errno != EINTR) ThrowOsError(errno);
  Reset();
}

void CFile::Abort() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  if (!m_replacementPath.empty()) ::unlink(m_replacementPath.c_str());
  m_replacementPath.clear();
  Reset();
}

void CFile::Reset() {
  if (m_targetLockFd >= 0) ::close(m_targetLockFd);
  m_targetLockFd = -1;
}

#pragma once
// CFile: a file opened by path with an access mode and a share mode.
//
// Share modes hold between processes through locks on the open file
// description (flock): an open that only reads and lets others read takes a
// shared lock; an open that writes or denies everything takes an exclusive
// lock. So a file being read cannot be opened for patching elsewhere, and a
// file being patched cannot be opened at all. Programs that take no locks are
// not kept out; that is the limit of advisory locking on Linux.
//
// Errors throw CFileException with the cause and the path. Read is strict: it
// reads exactly the bytes asked for or throws endOfFile, because a short read
// used as if it were complete yields garbage.

#include <string>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/file/file_exception.h"

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
    // With modeCreate | modeWrite: the data goes to a temporary file beside
    // the target, which Close() renames over the target once everything is
    // written. A failure, or an object dropped without Close(), leaves the
    // target exactly as it was.
    modeReplaceOnClose = 0x00100000,
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  // Opens or throws CFileException.
  CFile(LPCTSTR path, UINT openFlags);
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens; on failure fills *error (when given) and returns FALSE.
  BOOL Open(LPCTSTR path, UINT openFlags, CFileException* error = nullptr);
  // Reads exactly `count` bytes at the current position and returns count.
  UINT Read(void* buffer, UINT count);
  // Writes all `count` bytes; a short write counts as a full disk.
  void Write(const void* buffer, UINT count);
  // Moves the position; a position before the start is a bad seek. Returns
  // the new position.
  ULONGLONG Seek(LONGLONG offset, UINT from);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  ULONGLONG GetPosition() const;
  ULONGLONG GetLength() const;
  // Closes the file; for modeReplaceOnClose, commits the replacement.
  void Close();
  // Closes without throwing; a pending replacement is discarded.
  void Abort();

  bool IsOpen() const { return m_fd >= 0; }
  // The POSIX descriptor of the open file, -1 when closed: for the calls
  // CFile does not make itself, such as the patch journal's synced writes
  // at given offsets. It stays the object's.
  int GetDescriptor() const { return m_fd; }
  CString GetFilePath() const { return CString(m_path); }

 private:
  [[noreturn]] void ThrowOsError(int osError) const;
  bool OpenReplacement(UINT openFlags, CFileException* error);
  void Reset();

  int m_fd = -1;
  std::string m_path;
  std::string m_replacementPath;  // the temporary file of modeReplaceOnClose
  int m_targetLockFd = -1;        // holds the target's lock while replacing
};

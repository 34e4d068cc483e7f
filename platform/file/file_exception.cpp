#include "platform/file/file_exception.h"

#include <cerrno>
#include <string>

namespace {
// The framework's texts, indexed by cause; %1 stands for the file's path.
// clang-format off
constexpr const char* kMessages[] = {
    "No error occurred while accessing %1.",                                // none
    "An unknown error occurred while accessing %1.",                        // genericException
    "%1 was not found.",                                                    // fileNotFound
    "%1 contains an invalid path.",                                         // badPath
    "%1 could not be opened because there are too many open files.",        // tooManyOpenFiles
    "Access to %1 was denied.",                                             // accessDenied
    "An invalid file handle was associated with %1.",                       // invalidFile
    "%1 could not be removed because it is the current directory.",         // removeCurrentDir
    "%1 could not be created because the directory is full.",               // directoryFull
    "Seek failed on %1",                                                    // badSeek
    "A hardware I/O error was reported while accessing %1.",                // hardIO
    "A sharing violation occurred while accessing %1.",                     // sharingViolation
    "A locking violation occurred while accessing %1.",                     // lockViolation
    "Disk full while accessing %1.",                                        // diskFull
    "An attempt was made to access %1 past its end.",                       // endOfFile
};
// clang-format on

struct ErrnoCause {
  int error;
  int cause;
};
constexpr ErrnoCause kErrnoCauses[] = {
    {ENOENT, CFileException::fileNotFound},      {ENOTDIR, CFileException::badPath},
    {ENAMETOOLONG, CFileException::badPath},     {ELOOP, CFileException::badPath},
    {EMFILE, CFileException::tooManyOpenFiles},  {ENFILE, CFileException::tooManyOpenFiles},
    {EACCES, CFileException::accessDenied},      {EPERM, CFileException::accessDenied},
    {EROFS, CFileException::accessDenied},       {EISDIR, CFileException::accessDenied},
    {ETXTBSY, CFileException::sharingViolation}, {EWOULDBLOCK, CFileException::sharingViolation},
    {EBADF, CFileException::invalidFile},        {ESPIPE, CFileException::badSeek},
    {EINVAL, CFileException::badSeek},           {EIO, CFileException::hardIO},
    {ENOSPC, CFileException::diskFull},          {EDQUOT, CFileException::diskFull},
    {EFBIG, CFileException::diskFull},
};
}  // namespace

int CFileException::OsErrorToException(int osError) {
  for (const ErrnoCause& entry : kErrnoCauses)
    if (entry.error == osError) return entry.cause;
  return genericException;
}

CString CFileException::ErrorMessage() const {
  const char* text = (m_cause >= 0 && m_cause < static_cast<int>(std::size(kMessages))) ? kMessages[m_cause]
                                                                                        : kMessages[genericException];
  std::string message = text;
  std::string name = m_strFileName.IsEmpty() ? std::string("an unnamed file") : m_strFileName.str();
  std::size_t at = message.find("%1");
  if (at != std::string::npos) message.replace(at, 2, name);
  return CString(message);
}

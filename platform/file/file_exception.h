#pragma once
// CFileException: why a file operation failed, on which file, with the
// framework's standard message for each cause.

#include "platform/base/exception.h"

class CFileException : public CException {
 public:
  enum Cause {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile,
  };

  CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr)
      : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

  // The cause that best describes a POSIX errno value.
  static int OsErrorToException(int osError);

  CString ErrorMessage() const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

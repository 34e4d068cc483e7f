#pragma once
// The framework's own exceptions, beside CException (platform/base) and
// CFileException (platform/file): all are thrown by value and caught by
// reference. The message dispatch reports any exception a handler lets
// escape (AfxReportException) and carries on with the next message.

#include "platform/base/exception.h"
#include "platform/base/win_user.h"

// Thrown by a validation that has already told the user (data exchange).
class CUserException : public CException {
 public:
  CString ErrorMessage() const override;
};

class CMemoryException : public CException {
 public:
  CString ErrorMessage() const override;
};

[[noreturn]] void AfxThrowUserException();

// Shows the exception's message in a message box captioned with the
// program's name; the framework's generic message when it has none.
int AfxReportException(const CException& e, UINT nType = MB_OK | MB_ICONERROR);

namespace kp::afx {
// Reports the exception being handled, which a message handler let escape:
// its message, unless the user was told already (CUserException). Called
// inside a catch block; the caller goes on with the next message.
void ReportHandlerException();
}  // namespace kp::afx

// The framework's generic report for a failure with no message of its own.
inline constexpr const char* kAfxInternalFailureMessage = "An unsupported operation was attempted.";

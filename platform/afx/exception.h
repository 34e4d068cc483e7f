#pragma once
// The framework's exceptions. A CException reports itself with the
// framework's standard message for its cause; the message dispatch reports
// any exception a handler lets escape and carries on with the next message.

#include "platform/afx/object.h"
#include "platform/base/cstring.h"
#include "platform/base/win_user.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException() = default;
  // The message for this exception; FALSE when it has none.
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
  // Shows the message in a message box; the framework's generic message when
  // there is none.
  virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;
  // Releases an exception thrown by pointer.
  void Delete();
};

// Thrown by a validation that has already told the user (data exchange).
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
 public:
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

[[noreturn]] void AfxThrowUserException();

// The framework's generic report for a failure with no message of its own.
inline constexpr const char* kAfxInternalFailureMessage = "An unsupported operation was attempted.";

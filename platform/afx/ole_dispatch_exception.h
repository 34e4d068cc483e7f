#pragma once
// COleDispatchException: an automation call that failed. Thrown by
// CWnd::InvokeHelper when the control's Invoke fails (m_scError holds its
// HRESULT; for DISP_E_EXCEPTION the member's own code and description), and
// by a dispatch handler that wants to fail its call with a description
// (the object's IDispatch turns it into DISP_E_EXCEPTION).

#include "platform/base/exception.h"
#include "platform/base/hresult.h"

class COleDispatchException : public CException {
 public:
  COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode);
  ~COleDispatchException() override;

  // The description when there is one, otherwise the HRESULT in the form
  // "Automation call failed (0x80020003)."
  CString ErrorMessage() const override;

  WORD m_wCode;     // the member's own error code, 0 when it gave an SCODE
  SCODE m_scError;  // the HRESULT of the call
  CString m_strSource;
  CString m_strDescription;
  CString m_strHelpFile;
  DWORD m_dwHelpContext;
};

// Fails the current dispatch call with a code and description.
[[noreturn]] void AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID = 0);

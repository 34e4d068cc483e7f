#include "platform/afx/ole_dispatch_exception.h"

COleDispatchException::COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode),
      m_scError(wCode != 0 ? S_OK : E_FAIL),
      m_strDescription(lpszDescription),
      m_dwHelpContext(nHelpID) {}

COleDispatchException::~COleDispatchException() = default;

CString COleDispatchException::ErrorMessage() const {
  if (!m_strDescription.IsEmpty()) return m_strDescription;
  return CString(StringPrintf("Automation call failed (0x%08X).", static_cast<unsigned>(m_scError)));
}

void AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID) {
  throw COleDispatchException(lpszDescription, nHelpID, wCode);
}

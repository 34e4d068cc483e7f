#include "platform/afx/exception.h"

#include <cstring>
#include <string>

#include "platform/afx/prompts.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CException)

namespace {
BOOL CopyMessage(const char* text, LPTSTR lpszError, UINT nMaxError) {
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  std::size_t n = std::min<std::size_t>(std::strlen(text), nMaxError - 1);
  std::memcpy(lpszError, text, n);
  lpszError[n] = '\0';
  return TRUE;
}
}  // namespace

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError && nMaxError) lpszError[0] = '\0';
  return FALSE;
}

int CException::ReportError(UINT nType, UINT) const {
  char message[512];
  if (!GetErrorMessage(message, sizeof message)) std::strcpy(message, kAfxInternalFailureMessage);
  return kp::afx::ShowMessageBox(nullptr, message, kp::afx::GetAppName().c_str(), nType);
}

void CException::Delete() { delete this; }

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("Out of memory.", lpszError, nMaxError);
}

void AfxThrowUserException() { throw new CUserException; }

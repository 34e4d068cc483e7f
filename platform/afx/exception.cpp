#include "platform/afx/exception.h"

#include "platform/afx/prompts.h"

CString CUserException::ErrorMessage() const { return CString(); }

CString CMemoryException::ErrorMessage() const { return CString("Out of memory."); }

void AfxThrowUserException() { throw CUserException(); }

int AfxReportException(const CException& e, UINT nType) {
  CString message = e.ErrorMessage();
  const char* text = message.IsEmpty() ? kAfxInternalFailureMessage : message.GetString();
  return kp::afx::ShowMessageBox(nullptr, text, kp::afx::GetAppName().c_str(), nType);
}

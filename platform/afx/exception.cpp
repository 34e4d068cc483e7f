#include "platform/afx/exception.h"

#include <new>

#include "platform/afx/prompts.h"

CString CUserException::ErrorMessage() const { return CString(); }

CString CMemoryException::ErrorMessage() const { return CString("Out of memory."); }

void AfxThrowUserException() { throw CUserException(); }

int AfxReportException(const CException& e, UINT nType) {
  CString message = e.ErrorMessage();
  const char* text = message.IsEmpty() ? kAfxInternalFailureMessage : message.GetString();
  return kp::afx::ShowMessageBox(nullptr, text, kp::afx::GetAppName().c_str(), nType);
}

void kp::afx::ReportHandlerException() {
  try {
    throw;
  } catch (const CUserException&) {
    // Already told the user.
  } catch (const CException& e) {
    AfxReportException(e);
  } catch (const std::bad_alloc&) {
    AfxReportException(CMemoryException());
  } catch (...) {
    ShowMessageBox(nullptr, kAfxInternalFailureMessage, GetAppName().c_str(), MB_OK | MB_ICONERROR);
  }
}

#include "platform/afx/data_exchange.h"

#include <string>

#include "platform/afx/exception.h"
#include "platform/afx/integer_text.h"
#include "platform/afx/prompts.h"
#include "platform/base/cstring.h"
#include "platform/qt/window_system.h"
#include "platform/user/window_functions.h"

namespace {

// Reports with the dialog's own module as the caption's application.
void Report(CDataExchange* pDX, const std::string& text) {
  HINSTANCE module = pDX->m_pDlgWnd->GetModuleInstance();
  std::string caption = module ? kp::afx::GetAppName(module) : kp::afx::GetAppName();
  kp::afx::ShowMessageBox(pDX->m_pDlgWnd->m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

// "%1" and "%2" replaced by the two texts.
std::string FormatMessage2(const char* format, const std::string& one, const std::string& two) {
  std::string text;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
      text += p[1] == '1' ? one : two;
      ++p;
    } else {
      text += *p;
    }
  }
  return text;
}

template <typename T, typename Parse>
void ExchangeNumber(CDataExchange* pDX, int nIDC, T& value, const char* format, Parse parse, const char* message) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    auto parsed = parse(kp::qt::GetWindowText(control));
    if (!parsed) {
      Report(pDX, message);
      pDX->Fail();
    }
    value = static_cast<T>(*parsed);
  } else {
    ::SendMessage(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(StringPrintf(format, value).c_str()));
  }
}

}  // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  // A missing control is the program's mistake; the exchange stops quietly.
  if (control == nullptr) AfxThrowUserException();
  m_hWndLastControl = control;
  m_bEditLastControl = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND control = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl != nullptr) {
    kp::qt::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  AfxThrowUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  ExchangeNumber(pDX, nIDC, value, "%d", kp::afx::ParseInt32, kAfxParseIntMessage);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = CString(kp::qt::GetWindowText(control));
  else
    ::SendMessage(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.GetString()));
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessage(control, BM_GETCHECK));
  else
    ::SendMessage(control, BM_SETCHECK, static_cast<WPARAM>(value));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND control = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessage(control, CB_GETCURSEL));
  else
    ::SendMessage(control, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;
  HWND control = pDX->PrepareCtrl(nIDC);
  // A window already bound to another object cannot be bound again.
  if (!rControl.SubclassWindow(control)) AfxThrowUserException();
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  // Out-of-range start values are the program's to fix; only what the user
  // typed is refused.
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  Report(pDX, FormatMessage2(kAfxMinMaxIntMessage, std::to_string(minVal), std::to_string(maxVal)));
  pDX->Fail();
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CUserException&) {
    return FALSE;
  }
  return TRUE;
}

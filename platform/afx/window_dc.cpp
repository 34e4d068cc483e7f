#include "platform/afx/window_dc.h"

#include "platform/afx/wnd.h"
#include "platform/user/window_functions.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  // The window owns the DC; CDC's destructor must not delete it.
  Detach();
  ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() {
  HDC dc = Detach();
  if (dc != nullptr) ::ReleaseDC(m_hWnd, dc);
}

#pragma once
// Device contexts over a window: CPaintDC for WM_PAINT (BeginPaint /
// EndPaint) and CClientDC for drawing at any other time (GetDC / ReleaseDC).
// Both hand their DC back to the window when they go out of scope.

#include "platform/base/win_user_ext.h"
#include "platform/gdi/cdc.h"

class CWnd;

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps{};

 protected:
  HWND m_hWnd;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd;
};

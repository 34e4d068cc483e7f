#pragma once
// Message-map entries for window messages, each unpacking wParam/lParam
// into the framework's handler signature. Used between BEGIN_MESSAGE_MAP
// and END_MESSAGE_MAP of a CWnd-derived class.

#include "platform/afx/cmd_target.h"
#include "platform/base/win_user_ext.h"

#define KP_WM_ENTRY(message, body)                                                             \
  {message, 0, 0, 0, [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, void*) -> LRESULT { \
     [[maybe_unused]] auto* self = static_cast<ThisClass*>(pTarget);                           \
     (void)wParam;                                                                             \
     (void)lParam;                                                                             \
     body                                                                                      \
   }},

#define KP_WM_POINT CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))

#define ON_WM_CREATE() KP_WM_ENTRY(WM_CREATE, return self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)
#define ON_WM_DESTROY() KP_WM_ENTRY(WM_DESTROY, self->OnDestroy(); return 0;)
#define ON_WM_SIZE() \
  KP_WM_ENTRY(WM_SIZE, self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;)
#define ON_WM_PAINT() KP_WM_ENTRY(WM_PAINT, self->OnPaint(); return 0;)
#define ON_WM_CLOSE() KP_WM_ENTRY(WM_CLOSE, self->OnClose(); return 0;)
#define ON_WM_TIMER() KP_WM_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)
#define ON_WM_SETFOCUS() \
  KP_WM_ENTRY(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); return 0;)
#define ON_WM_KILLFOCUS() \
  KP_WM_ENTRY(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); return 0;)
#define ON_WM_LBUTTONDOWN() \
  KP_WM_ENTRY(WM_LBUTTONDOWN, self->OnLButtonDown(static_cast<UINT>(wParam), KP_WM_POINT); return 0;)
#define ON_WM_LBUTTONUP() \
  KP_WM_ENTRY(WM_LBUTTONUP, self->OnLButtonUp(static_cast<UINT>(wParam), KP_WM_POINT); return 0;)
#define ON_WM_MOUSEMOVE() \
  KP_WM_ENTRY(WM_MOUSEMOVE, self->OnMouseMove(static_cast<UINT>(wParam), KP_WM_POINT); return 0;)
#define ON_WM_KEYDOWN() \
  KP_WM_ENTRY(WM_KEYDOWN, self->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;)
#define ON_WM_RBUTTONDOWN() \
  KP_WM_ENTRY(WM_RBUTTONDOWN, self->OnRButtonDown(static_cast<UINT>(wParam), KP_WM_POINT); return 0;)
#define ON_WM_CONTEXTMENU()                                                                                       \
  KP_WM_ENTRY(WM_CONTEXTMENU, self->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), KP_WM_POINT); \
              return 0;)
#define ON_WM_DROPFILES() KP_WM_ENTRY(WM_DROPFILES, self->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;)
#define ON_WM_DRAWITEM()                                                                                           \
  KP_WM_ENTRY(WM_DRAWITEM, self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); \
              return TRUE;)
#define ON_WM_SYSCOMMAND() KP_WM_ENTRY(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)
#define ON_WM_QUERYDRAGICON() KP_WM_ENTRY(WM_QUERYDRAGICON, return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)
#define ON_WM_INITMENUPOPUP()                                                                             \
  KP_WM_ENTRY(WM_INITMENUPOPUP, self->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), \
                                                      LOWORD(lParam), HIWORD(lParam) != 0);               \
              return 0;)

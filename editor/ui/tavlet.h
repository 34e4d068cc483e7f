#pragma once
// CTavlet: the editor's window class for one hosted bitmap drop control. The
// editor never links the control module; it reaches each control through
// its IDispatch by member id, and these typed members say which.

#include "platform/afx/wnd.h"

class CTavlet : public CWnd {
  DECLARE_DYNCREATE(CTavlet)
 public:
  // The control's class id, the one the dialog templates name.
  static const CLSID& GetClsid();

  // Makes the control itself, by class id, with no persisted state; the
  // class name and the creation context are not used. The editor's own
  // controls all come from dialog templates.
  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
              UINT nID, void* pContext = nullptr) override;

  // The control copies sx x sy pixels 0x00RRGGBB, rows bottom-up, from the
  // caller's array, which stays the caller's. Nonzero when it made its bitmap.
  BOOL RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy);
  // The control's bitmap, lent until its bitmap next changes; 0 when empty.
  LONG GetBitmapHandle();
  // The control takes ownership of the bitmap. Nonzero when it took it.
  BOOL SetBitmapHandle(LONG hbm);
};

#include "editor/ui/tavlet.h"

#include "interfaces/tavlet_ids.h"
#include "platform/afx/vts.h"

IMPLEMENT_DYNCREATE(CTavlet, CWnd)

const CLSID& CTavlet::GetClsid() { return tavlet::CLSID_Tavlet; }

BOOL CTavlet::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                     void*) {
  return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CTavlet::RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy) {
  BOOL result = FALSE;
  static const BYTE parms[] = VTS_PI4 VTS_I2 VTS_I2;
  InvokeHelper(tavlet::DispidRecreateBitmap, DISPATCH_METHOD, VT_BOOL, &result, parms, rgb, sx, sy);
  return result;
}

LONG CTavlet::GetBitmapHandle() {
  LONG result = 0;
  InvokeHelper(tavlet::DispidGetBitmapHandle, DISPATCH_METHOD, VT_I4, &result, nullptr);
  return result;
}

BOOL CTavlet::SetBitmapHandle(LONG hbm) {
  BOOL result = FALSE;
  static const BYTE parms[] = VTS_I4;
  InvokeHelper(tavlet::DispidSetBitmapHandle, DISPATCH_METHOD, VT_BOOL, &result, parms, hbm);
  return result;
}

#pragma once
// The control's methods that the editor itself never calls, on the editor's
// wrapper: each one InvokeHelper call, as CTavlet's own members are.

#include "editor/ui/tavlet.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/vts.h"

namespace tavlet_calls {

// Nonzero when the control loaded the bitmap file at `pathname`.
inline BOOL RecreateBitmapFromFile(CTavlet& control, LPCTSTR pathname) {
  BOOL result = FALSE;
  static const BYTE parms[] = VTS_BSTR;
  control.InvokeHelper(tavlet::DispidRecreateBitmapFromFile, DISPATCH_METHOD, VT_BOOL, &result, parms, pathname);
  return result;
}

}  // namespace tavlet_calls

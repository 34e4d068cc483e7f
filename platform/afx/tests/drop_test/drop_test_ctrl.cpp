#include "platform/afx/tests/drop_test/drop_test_ctrl.h"

#include <string>

#include "platform/afx/drop_files.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/pens_brushes.h"
#include "platform/gdi/pixels.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/afx/ole_registration.h"
#include "platform/afx/tests/drop_test/drop_test_ids.h"
#include "platform/afx/tests/drop_test/drop_test_prop_page.h"

using namespace drop_test;

IMPLEMENT_DYNCREATE(CDropTestCtrl, COleControl)

BEGIN_MESSAGE_MAP(CDropTestCtrl, COleControl)
  ON_WM_CREATE()
  ON_WM_SETFOCUS()
  ON_WM_LBUTTONDOWN()
  ON_WM_DROPFILES()
  ON_OLEVERB(AFX_IDS_VERB_PROPERTIES, OnProperties)
END_MESSAGE_MAP()

BEGIN_DISPATCH_MAP(CDropTestCtrl, COleControl)
  DISP_PROPERTY_NOTIFY(CDropTestCtrl, "InitiallyDroppable", m_initiallyDroppable, OnInitiallyDroppableChanged, VT_BOOL)
  DISP_FUNCTION(CDropTestCtrl, "RecreateBitmap", RecreateBitmap, VT_BOOL, VTS_PI4 VTS_I2 VTS_I2)
  DISP_FUNCTION(CDropTestCtrl, "RecreateBitmapFromFile", RecreateBitmapFromFile, VT_BOOL, VTS_BSTR)
  DISP_FUNCTION(CDropTestCtrl, "GetBitmapHandle", GetBitmapHandle, VT_I4, VTS_NONE)
  DISP_FUNCTION(CDropTestCtrl, "SetBitmapHandle", SetBitmapHandle, VT_BOOL, VTS_I4)
  DISP_FUNCTION(CDropTestCtrl, "GetFocusCount", GetFocusCount, VT_I4, VTS_NONE)
  DISP_DEFVALUE(CDropTestCtrl, "InitiallyDroppable")
END_DISPATCH_MAP()

BEGIN_EVENT_MAP(CDropTestCtrl, COleControl)
  EVENT_CUSTOM("Change", FireChange, VTS_NONE)
  EVENT_CUSTOM("Dropped", FireDropped, VTS_BSTR)
END_EVENT_MAP()

IMPLEMENT_OLECREATE_EX(CDropTestCtrl, kCtrlProgId, 0x7D21A3B3, 0x5C1E, 0x4A8F, 0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77,
                       0x10)
IMPLEMENT_OLETYPELIB(CDropTestCtrl, LIBID_DropTestLib, 1, 0)
IMPLEMENT_OLECTLTYPE(CDropTestCtrl, IDS_DROPTEST, kMiscStatus)

BEGIN_PROPPAGEIDS(CDropTestCtrl, 1)
  PROPPAGEID(CDropTestPropPage::guid)
END_PROPPAGEIDS(CDropTestCtrl)

BOOL CDropTestCtrl::CDropTestCtrlFactory::UpdateRegistry(BOOL bRegister) {
  if (bRegister)
    return AfxOleRegisterControlClass(AfxGetInstanceHandle(), m_clsid, GetProgID(), IDS_DROPTEST, IDB_DROPTEST,
                                      afxRegApartmentThreading, kMiscStatus, LIBID_DropTestLib, 1, 0);
  return AfxOleUnregisterClass(m_clsid, GetProgID());
}

CDropTestCtrl::CDropTestCtrl() { InitializeIIDs(&DIID_DDropTest, &DIID_DDropTestEvents); }

void CDropTestCtrl::DoPropExchange(CPropExchange* pPX) {
  ExchangeVersion(pPX, MAKELONG(0, 1));
  COleControl::DoPropExchange(pPX);
  PX_Bool(pPX, "InitiallyDroppable", m_initiallyDroppable, TRUE);
}

// Red over the whole bounds, so tests can see that painting reached it.
void CDropTestCtrl::OnDraw(CDC* pDC, const CRect& rcBounds, const CRect&) {
  kp::gdi::ScopedBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
  ::FillRect(pDC->GetSafeHdc(), &rcBounds, red.get());
}

int CDropTestCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (COleControl::OnCreate(lpCreateStruct) == -1) return -1;
  // Whether files may be dropped is decided once, here.
  DragAcceptFiles(m_initiallyDroppable);
  return 0;
}

void CDropTestCtrl::OnSetFocus(CWnd* pOldWnd) {
  COleControl::OnSetFocus(pOldWnd);
  ++m_focusCount;
  FireChange();
}

void CDropTestCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  SetFocus();
  COleControl::OnLButtonDown(nFlags, point);
}

void CDropTestCtrl::OnDropFiles(HDROP hDropInfo) {
  UINT length = DragQueryFile(hDropInfo, 0, nullptr, 0);
  std::string path(length, '\0');
  if (length != 0) DragQueryFile(hDropInfo, 0, path.data(), length + 1);
  FireDropped(path.c_str());
  COleControl::OnDropFiles(hDropInfo);
}

void CDropTestCtrl::OnInitiallyDroppableChanged() { SetModifiedFlag(); }

BOOL CDropTestCtrl::RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy) {
  if (rgb == nullptr || sx <= 0 || sy <= 0) return FALSE;
  LONG sum = 0;
  for (int i = 0; i < sx * sy; ++i) sum += rgb[i];
  m_handle = sum;
  InvalidateControl();
  FireChange();
  return TRUE;
}

BOOL CDropTestCtrl::RecreateBitmapFromFile(LPCTSTR pathname) { return pathname[0] != '\0'; }

LONG CDropTestCtrl::GetBitmapHandle() { return m_handle; }

BOOL CDropTestCtrl::SetBitmapHandle(LONG hbm) {
  if (hbm == 0) return FALSE;
  m_handle = hbm;
  FireChange();
  return TRUE;
}

LONG CDropTestCtrl::GetFocusCount() { return m_focusCount; }

void CDropTestCtrl::FireChange() { FireEvent(EventChange, EVENT_PARAM(VTS_NONE)); }

void CDropTestCtrl::FireDropped(LPCTSTR path) { FireEvent(EventDropped, EVENT_PARAM(VTS_BSTR), path); }

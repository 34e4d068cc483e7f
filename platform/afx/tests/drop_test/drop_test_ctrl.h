#pragma once
// The drop test control: a small control built the way a real one is, on
// COleControl, to exercise the framework from a module of its own. It holds
// a number in place of a bitmap, counts focus arrivals, and reports dropped
// files through an event.

#include "platform/afx/ole_control.h"
#include "platform/afx/ole_factory.h"

class CDropTestCtrl : public COleControl {
  DECLARE_DYNCREATE(CDropTestCtrl)
  DECLARE_OLECREATE_EX(CDropTestCtrl)
  DECLARE_OLETYPELIB(CDropTestCtrl)
  DECLARE_PROPPAGEIDS(CDropTestCtrl)
  DECLARE_OLECTLTYPE(CDropTestCtrl)

 public:
  CDropTestCtrl();
  void DoPropExchange(CPropExchange* pPX) override;
  void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid) override;

 protected:
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnSetFocus(CWnd* pOldWnd);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnDropFiles(HDROP hDropInfo);

  void OnInitiallyDroppableChanged();
  BOOL RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy);
  BOOL RecreateBitmapFromFile(LPCTSTR pathname);
  LONG GetBitmapHandle();
  BOOL SetBitmapHandle(LONG hbm);
  LONG GetFocusCount();

  void FireChange();
  void FireDropped(LPCTSTR path);

  DECLARE_MESSAGE_MAP()
  DECLARE_DISPATCH_MAP()
  DECLARE_EVENT_MAP()

  BOOL m_initiallyDroppable = TRUE;
  LONG m_handle = 0;
  LONG m_focusCount = 0;
};

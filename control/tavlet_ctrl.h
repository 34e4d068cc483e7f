#pragma once
// CTavletCtrl: the bitmap drop control. It holds at most one bitmap, shows
// it stretched over its whole window, takes new bitmaps from a file dropped
// on it, a file its container names, an array of 32-bit pixels or a bitmap
// handle, and raises BmpChange after every change and every focus arrival.
// Containers see it only through _DTavlet, _DTavletEvents and its persisted
// property InitiallyDroppable (interfaces/tavlet_ids.h).
//
// The class is split over files by what the code does: tavlet_ctrl.cpp
// (maps, identity, persistence, lifetime), bitmap_intake.cpp (the ways a
// bitmap comes in), tavlet_drawing.cpp (OnDraw and the repaints),
// user_commands.cpp (the context menu and its commands) and
// clipboard_commands.cpp (copy, paste and dragging the picture out); its
// factory and registry entries are in tavlet_app.cpp.

#include "platform/afx/ole_control.h"
#include "platform/afx/ole_factory.h"
#include "platform/gdi/scoped_gdi.h"

class CTavletCtrl : public COleControl {
  DECLARE_DYNCREATE(CTavletCtrl)
  DECLARE_OLECREATE_EX(CTavletCtrl)
  DECLARE_OLETYPELIB(CTavletCtrl)
  DECLARE_PROPPAGEIDS(CTavletCtrl)
  DECLARE_OLECTLTYPE(CTavletCtrl)

 public:
  CTavletCtrl();
  ~CTavletCtrl() override;

  void DoPropExchange(CPropExchange* pPX) override;
  void OnResetState() override;
  void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid) override;

 protected:
  // Window messages.
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  void OnSize(UINT nType, int cx, int cy);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnContextMenu(CWnd* pWnd, CPoint point);
  void OnSetFocus(CWnd* pOldWnd);
  void OnKillFocus(CWnd* pNewWnd);
  void OnDropFiles(HDROP hDropInfo);

  // The context menu's commands.
  void OnSaveAs();
  void OnClearContents();
  void OnBitmapProperties();
  void OnUpdateHasBitmap(CCmdUI* pCmdUI);
  // Copy puts the picture on the clipboard; Paste takes a picture or a
  // copied file from it through the intake of a drop, in a control that
  // takes drops.
  void OnCopy();
  void OnPaste();
  void OnUpdatePaste(CCmdUI* pCmdUI);

  // _DTavlet.
  void OnInitiallyDroppableChanged();
  BOOL RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy);
  BOOL RecreateBitmapFromFile(LPCTSTR pathname);
  LONG GetBitmapHandle();
  BOOL SetBitmapHandle(LONG hbm);

  // _DTavletEvents.
  void FireBmpChange();

  DECLARE_MESSAGE_MAP()
  DECLARE_DISPATCH_MAP()
  DECLARE_EVENT_MAP()

 private:
  // The last step of every successful intake: the control owns `hbm` from
  // here on, repaints and raises BmpChange.
  void AdoptBitmap(HBITMAP hbm, LONG width, LONG height);
  // The intake of a drop, shared with Paste: the first file of `hDrop`, or
  // the drop message when it cannot be taken.
  void TakeDroppedFile(HDROP hDrop);
  // Hands the picture over to wherever the user drops it: as a bitmap file
  // in a folder of its own and as the picture itself.
  void DragPictureOut();

  kp::gdi::ScopedBitmap m_hBitmap;  // null when empty
  LONG m_drawWidth = 0;             // the bounds at the last paint
  LONG m_drawHeight = 0;
  LONG m_bitmapWidth = 0;  // the bitmap's size, recorded at intake
  LONG m_bitmapHeight = 0;
  BOOL m_initiallyDroppable = TRUE;  // set by the first property exchange
  BOOL m_bTakesDrops = FALSE;        // what the window was told at its creation
  // Where the left button went down on a picture, until it comes up or the
  // drag starts.
  bool m_bDragArmed = false;
  CPoint m_dragFrom;
};

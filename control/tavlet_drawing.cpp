// How the control paints itself, and the events that repaint it.

#include "control/tavlet_ctrl.h"
#include "platform/gdi/cdc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/pens_brushes.h"
#include "platform/gdi/pixels.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/gdi/stretch_blt.h"

namespace {
constexpr COLORREF kFocusFrame = RGB(255, 0, 0);     // 0x0000FF
constexpr COLORREF kNoFocusFrame = RGB(128, 128, 128);  // 0x808080
}  // namespace

void CTavletCtrl::OnDraw(CDC* pDC, const CRect& rcBounds, const CRect&) {
  if (m_hWnd == nullptr) return;
  m_drawWidth = rcBounds.right - rcBounds.left;
  m_drawHeight = rcBounds.bottom - rcBounds.top;
  const HDC target = pDC->GetSafeHdc();

  if (m_hBitmap) {
    // The whole bitmap over the whole window, whatever the aspect ratio.
    kp::gdi::ScopedMemoryDC memory(nullptr);
    if (memory) {
      pDC->SetStretchBltMode(COLORONCOLOR);
      kp::gdi::ScopedSelectObject select(memory.get(), m_hBitmap.get());
      ::StretchBlt(target, 0, 0, m_drawWidth, m_drawHeight, memory.get(), 0, 0, m_bitmapWidth, m_bitmapHeight,
                   SRCCOPY);
    }
  } else {
    // The empty marker: white, with a black right triangle in the top-left
    // corner whose legs are an eighth of the width.
    ::FillRect(target, &rcBounds, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const int left = rcBounds.left;
    const int top = rcBounds.top;
    const int leg = (rcBounds.right - left) / 8;
    pDC->BeginPath();
    pDC->MoveTo(left, top);
    pDC->LineTo(left + leg, top);
    pDC->LineTo(left, top + leg);
    pDC->EndPath();
    kp::gdi::ScopedSelectObject brush(target, ::GetStockObject(BLACK_BRUSH));
    pDC->FillPath();
  }

  // The frame tells whether the control has the keyboard focus. The window
  // is compared, not the object: a container's wrapper may stand for it.
  CWnd* focus = CWnd::GetFocus();
  const bool focused = focus != nullptr && focus->GetSafeHwnd() == m_hWnd;
  kp::gdi::ScopedPen pen(::CreatePen(PS_SOLID, 0, focused ? kFocusFrame : kNoFocusFrame));
  if (pen) {
    kp::gdi::ScopedSelectObject select(target, pen.get());
    const POINT frame[] = {{0, 0},
                           {m_drawWidth - 1, 0},
                           {m_drawWidth - 1, m_drawHeight - 1},
                           {0, m_drawHeight - 1},
                           {0, 0}};
    pDC->Polyline(frame, 5);
  }
}

void CTavletCtrl::OnSize(UINT nType, int cx, int cy) {
  COleControl::OnSize(nType, cx, cy);
  InvalidateControl(nullptr, TRUE);
}

void CTavletCtrl::OnSetFocus(CWnd* pOldWnd) {
  COleControl::OnSetFocus(pOldWnd);
  InvalidateControl(nullptr, TRUE);
  // Every arrival of the focus tells the container, bitmap or not.
  FireBmpChange();
}

void CTavletCtrl::OnKillFocus(CWnd* pNewWnd) {
  COleControl::OnKillFocus(pNewWnd);
  InvalidateControl(nullptr, TRUE);
}

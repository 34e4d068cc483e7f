#include "platform/gdi/pixels.h"

#include "platform/gdi/gdi_objects.h"

using namespace kp::gdi::detail;

COLORREF GetPixel(HDC hdc, int x, int y) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return CLR_INVALID;
  const PixelTarget t = TargetOf(*dc);
  if (!t.top || !t.Contains(x, y)) return CLR_INVALID;
  return SwapRedBlue(t.Get(x, y));
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH hbrush) {
  DcObject* dc = Lookup<DcObject>(hdc);
  BrushObject* brush = Lookup<BrushObject>(hbrush);
  if (!dc || !brush || !rect) return FALSE;
  if (brush->style == BS_SOLID)
    TargetOf(*dc).FillRect(rect->left, rect->top, rect->right, rect->bottom, SwapRedBlue(brush->color));
  return TRUE;
}

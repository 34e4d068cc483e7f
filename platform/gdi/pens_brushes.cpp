#include "platform/gdi/pens_brushes.h"

#include "platform/gdi/gdi_objects.h"

using namespace kp::gdi::detail;

HPEN CreatePen(int style, int width, COLORREF color) {
  if ((style != PS_SOLID && style != PS_NULL) || width < 0) return nullptr;
  auto pen = std::make_unique<PenObject>();
  pen->style = style;
  pen->width = width;
  pen->color = color & 0x00FFFFFF;
  return Register<HPEN>(std::move(pen));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto brush = std::make_unique<BrushObject>();
  brush->style = BS_SOLID;
  brush->color = color & 0x00FFFFFF;
  return Register<HBRUSH>(std::move(brush));
}

#include "editor/import/picture_reduction.h"

#include "editor/import/convert_bitmap.h"
#include "editor/import/dither_bitmap.h"
#include "platform/gdi/gdi.h"

namespace {
SIZE SourceSize(HBITMAP bitmap, const SetKind& kind) {
  BITMAP description{};
  if (GetObject(bitmap, sizeof description, &description) == 0) return SIZE{kind.width, kind.height};
  return SIZE{description.bmWidth, description.bmHeight};
}
}  // namespace

PictureReducer::PictureReducer(const SetPalette& palette, LONG colourCount, ColourReduction reduction,
                               SimdLevel level)
    : m_palette(palette), m_reduction(reduction), m_matcher(palette, static_cast<int>(colourCount), level) {}

BOOL PictureReducer::Reduce(BYTE* output, const SetKind& kind, HDC sourceDc, HBITMAP bitmap) {
  const SIZE size = SourceSize(bitmap, kind);
  kp::gdi::ScopedSelectObject select(sourceDc, bitmap);
  if (!select.ok()) return FALSE;
  const BOOL bottomUpRows = kind.order == PixelOrder::BottomUpRows ? TRUE : FALSE;
  if (m_reduction == ColourReduction::ErrorDiffusion)
    return DitherBitmapToPalette(output, kind.width, kind.height, sourceDc, size.cx, size.cy, bottomUpRows,
                                 m_palette, m_matcher);
  return ConvertBitmapToPalette(output, kind.width, kind.height, sourceDc, size.cx, size.cy, bottomUpRows,
                                m_matcher);
}

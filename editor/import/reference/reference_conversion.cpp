#include "editor/import/reference/reference_conversion.h"

#include <cstddef>

#include "platform/gdi/gdi.h"

namespace reference {

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count) {
  // The bitmap is declared first so that it is deleted after the DC that
  // holds it; a bitmap still selected into a DC cannot be deleted.
  kp::gdi::ScopedBitmap scratch;
  kp::gdi::ScopedMemoryDC scratchDc(source);
  HDC readFrom = source;
  if (scratchDc) {
    scratch.reset(CreateCompatibleBitmap(source, dw, dh));
    if (!scratch) return FALSE;
    if (!SelectObject(scratchDc.get(), scratch.get())) return FALSE;
    SetStretchBltMode(scratchDc.get(), COLORONCOLOR);
    if (!StretchBlt(scratchDc.get(), 0, 0, dw, dh, source, 0, 0, sw, sh, SRCCOPY)) return FALSE;
    readFrom = scratchDc.get();
  }
  std::size_t n = 0;
  auto put = [&](int x, int y) {
    output[n++] = static_cast<BYTE>(FindNearestPaletteIndex(palette, GetPixel(readFrom, x, y), count));
  };
  if (bottomUpRows) {
    for (int y = dh - 1; y >= 0; --y)
      for (int x = 0; x < dw; ++x) put(x, y);
  } else {
    for (int x = 0; x < dw; ++x)
      for (int y = 0; y < dh; ++y) put(x, y);
  }
  return TRUE;
}

}  // namespace reference

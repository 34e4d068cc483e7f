#include "editor/import/scaled_pixels.h"

#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi.h"

DWORD RgbOf(COLORREF colour) {
  return (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) |
         GetBValue(colour);
}

bool ReadScaledPixels(HDC source, int sw, int sh, int dw, int dh, std::vector<DWORD>& pixels) {
  pixels.clear();
  if (dw <= 0 || dh <= 0) return true;
  if (static_cast<std::uint64_t>(dw) * static_cast<std::uint64_t>(dh) * 4 > kp::gdi::kMaxBitmapBytes) return false;
  const auto width = static_cast<std::size_t>(dw);
  pixels.resize(width * static_cast<std::size_t>(dh));
  auto bottomUpRow = [&](int y) { return pixels.data() + static_cast<std::size_t>(dh - 1 - y) * width; };

  // The same rule as the conversion: without a DC to scale through, the
  // source is read unscaled.
  kp::gdi::ScopedMemoryDC scratchDc(source);
  if (!scratchDc) {
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) bottomUpRow(y)[x] = RgbOf(GetPixel(source, x, y));
    return true;
  }
  const kp::gdi::StretchedRows scaled(source, sw, sh, dw, dh);
  if (!scaled.ok()) return false;
  const std::vector<int>& columns = scaled.Columns();
  for (int y = 0; y < dh; ++y) {
    const std::uint32_t* row = scaled.Row(y);
    DWORD* to = bottomUpRow(y);
    // The fourth byte of a stored pixel is not part of its colour.
    for (std::size_t x = 0; x < width; ++x)
      to[x] = row != nullptr && columns[x] >= 0 ? row[columns[x]] & 0x00FFFFFF : 0;
  }
  return true;
}

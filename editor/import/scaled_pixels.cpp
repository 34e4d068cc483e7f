#include "editor/import/scaled_pixels.h"

#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi.h"

namespace {

// A COLORREF (0x00BBGGRR) as 0x00RRGGBB. CLR_INVALID has all three colour
// bytes at 255, so a pixel outside the source reads as white.
DWORD RgbOf(COLORREF colour) {
  return (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) |
         GetBValue(colour);
}

// One GetPixel call per pixel, into bottom-up rows.
void ReadPixelByPixel(HDC dc, int width, int height, std::vector<DWORD>& pixels) {
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
             static_cast<std::size_t>(x)] = RgbOf(GetPixel(dc, x, y));
}

// A bitmap's pixels at once, as bottom-up rows of 0x00RRGGBB.
bool ReadWholeBitmap(HDC dc, HBITMAP bitmap, int width, int height, std::vector<DWORD>& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
    return false;
  // The fourth byte of a 32-bit pixel is not part of its colour.
  for (DWORD& pixel : pixels) pixel &= 0x00FFFFFF;
  return true;
}

}  // namespace

bool ReadScaledPixels(HDC source, int sw, int sh, int dw, int dh, std::vector<DWORD>& pixels) {
  pixels.clear();
  if (dw <= 0 || dh <= 0) return true;
  if (static_cast<std::uint64_t>(dw) * static_cast<std::uint64_t>(dh) * 4 > kp::gdi::kMaxBitmapBytes)
    return false;

  // The bitmap is declared first so that it is deleted after the DC; a
  // bitmap still selected into a DC cannot be deleted.
  kp::gdi::ScopedBitmap scratch;
  kp::gdi::ScopedMemoryDC scratchDc(source);
  if (!scratchDc) {
    ReadPixelByPixel(source, dw, dh, pixels);
    return true;
  }
  scratch.reset(CreateCompatibleBitmap(source, dw, dh));
  if (!scratch) return false;
  {
    kp::gdi::ScopedSelectObject select(scratchDc.get(), scratch.get());
    if (!select.ok()) return false;
    SetStretchBltMode(scratchDc.get(), COLORONCOLOR);
    if (!StretchBlt(scratchDc.get(), 0, 0, dw, dh, source, 0, 0, sw, sh, SRCCOPY)) return false;
  }
  // Read in one piece once the scratch bitmap is out of its DC; one
  // GetPixel call per pixel gives the same colours, slowly.
  if (ReadWholeBitmap(scratchDc.get(), scratch.get(), dw, dh, pixels)) return true;
  kp::gdi::ScopedSelectObject select(scratchDc.get(), scratch.get());
  if (!select.ok()) return false;
  ReadPixelByPixel(scratchDc.get(), dw, dh, pixels);
  return true;
}

#include "editor/import/convert_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/import/palette_matcher.h"
#include "platform/gdi/gdi.h"

namespace {

// A COLORREF (0x00BBGGRR) as the 0x00RRGGBB the matcher takes. CLR_INVALID
// has all three colour bytes at 255, so it is white.
DWORD RgbOf(COLORREF colour) {
  return (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) |
         GetBValue(colour);
}

// Writes the indices of dw x dh pixels 0x00RRGGBB held as bottom-up rows, in
// the chosen order.
void MapPixels(const std::vector<DWORD>& pixels, int dw, int dh, bool bottomUpRows, PaletteMatcher& matcher,
               BYTE* output) {
  matcher.MapPicture(pixels.data(), dw, dh, !bottomUpRows, output);
}

// One GetPixel call per pixel, into bottom-up rows.
void ReadPixelByPixel(HDC dc, int width, int height, std::vector<DWORD>& pixels) {
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
             static_cast<std::size_t>(x)] = RgbOf(GetPixel(dc, x, y));
}

// Reads a bitmap's pixels at once as bottom-up rows of 0x00RRGGBB.
bool ReadPixels(HDC dc, HBITMAP bitmap, int width, int height, std::vector<DWORD>& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) == height;
}

}  // namespace

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count) {
  return ConvertBitmapToPalette(output, dw, dh, source, sw, sh, bottomUpRows, palette, count,
                                BestSimdLevel());
}

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count, SimdLevel level) {
  if (dw <= 0 || dh <= 0) return TRUE;  // nothing to fill, no matcher to make
  PaletteMatcher matcher(palette, count, level);
  return ConvertBitmapToPalette(output, dw, dh, source, sw, sh, bottomUpRows, matcher);
}

BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            PaletteMatcher& matcher) {
  if (dw <= 0 || dh <= 0) return TRUE;  // nothing to fill
  // No larger than a bitmap may be, even when no scratch bitmap is made.
  if (static_cast<std::uint64_t>(dw) * static_cast<std::uint64_t>(dh) * 4 > kp::gdi::kMaxBitmapBytes)
    return FALSE;

  // The bitmap is declared first so that it is deleted after the DC; a
  // bitmap still selected into a DC cannot be deleted.
  kp::gdi::ScopedBitmap scratch;
  kp::gdi::ScopedMemoryDC scratchDc(source);
  std::vector<DWORD> pixels;
  if (!scratchDc) {
    // No scratch DC: read the source unscaled at the target coordinates.
    ReadPixelByPixel(source, dw, dh, pixels);
    MapPixels(pixels, dw, dh, bottomUpRows, matcher, output);
    return TRUE;
  }
  scratch.reset(CreateCompatibleBitmap(source, dw, dh));
  if (!scratch) return FALSE;
  {
    kp::gdi::ScopedSelectObject select(scratchDc.get(), scratch.get());
    if (!select.ok()) return FALSE;
    SetStretchBltMode(scratchDc.get(), COLORONCOLOR);
    if (!StretchBlt(scratchDc.get(), 0, 0, dw, dh, source, 0, 0, sw, sh, SRCCOPY)) return FALSE;
  }
  // The scaled pixels in one piece, read once the scratch bitmap is out of
  // its DC; one GetPixel call per pixel gives the same colours, slowly.
  if (!ReadPixels(scratchDc.get(), scratch.get(), dw, dh, pixels)) {
    kp::gdi::ScopedSelectObject select(scratchDc.get(), scratch.get());
    if (!select.ok()) return FALSE;
    ReadPixelByPixel(scratchDc.get(), dw, dh, pixels);
  }
  MapPixels(pixels, dw, dh, bottomUpRows, matcher, output);
  return TRUE;
}

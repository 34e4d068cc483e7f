#include "platform/gdi/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/gdi_objects.h"

namespace kp::gdi::detail {

std::unique_ptr<BitmapObject> NewBitmap(int width, int height, int bitsPixel) {
  if (width <= 0 || height <= 0) return nullptr;
  const std::uint64_t count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (count > kMaxBitmapBytes / 4) return nullptr;
  auto bitmap = std::make_unique<BitmapObject>();
  // Value-initialised, so a new bitmap is black, as a new DIB section is.
  bitmap->pixels.reset(new (std::nothrow) std::uint32_t[count]());
  if (!bitmap->pixels) return nullptr;
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitsPixel = bitsPixel;
  return bitmap;
}

PixelTarget TargetOf(BitmapObject& bitmap) {
  PixelTarget t;
  if (!bitmap.pixels) return t;
  t.width = bitmap.width;
  t.height = bitmap.height;
  t.top = bitmap.pixels.get() + static_cast<std::ptrdiff_t>(bitmap.height - 1) * bitmap.width;
  t.step = -static_cast<std::ptrdiff_t>(bitmap.width);
  t.alpha = 0;
  t.writable = !bitmap.readOnly;
  return t;
}

void PixelTarget::FillPixels(long long x0, long long y0, long long x1, long long y1, std::uint32_t rgb) const {
  if (!writable) return;
  x0 = std::max<long long>(x0, 0);
  x1 = std::min<long long>(x1, width);
  if (x0 >= x1) return;
  const long long first = std::max<long long>(y0, 0);
  const long long end = std::min<long long>(y1, height);
  for (long long y = first; y < end; ++y)
    std::fill(Row(static_cast<int>(y)) + x0, Row(static_cast<int>(y)) + x1, (rgb & 0x00FFFFFF) | alpha);
}

}  // namespace kp::gdi::detail

using namespace kp::gdi::detail;

namespace {

bool IsPlainRgb32(const BITMAPINFO* pbmi) {
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biBitCount != 32) return false;
  if (h.biCompression == BI_RGB) return true;
  if (h.biCompression != BI_BITFIELDS) return false;
  // The masks follow a 40-byte header; the larger headers hold them at the
  // same offset, as their first fields after the 40 bytes.
  DWORD masks[3];
  std::memcpy(masks, reinterpret_cast<const BYTE*>(pbmi) + sizeof(BITMAPINFOHEADER), sizeof masks);
  return masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi || usage != DIB_RGB_COLORS || !IsPlainRgb32(pbmi)) return nullptr;
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  // A top-down request would need a store in the other row order.
  if (h.biHeight <= 0) return nullptr;
  auto bitmap = NewBitmap(h.biWidth, h.biHeight, 32);
  if (!bitmap) return nullptr;
  bitmap->dibSection = true;
  void* store = bitmap->pixels.get();
  HBITMAP handle = Register<HBITMAP>(std::move(bitmap));
  if (handle && ppvBits) *ppvBits = store;
  return handle;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  int depth = 32;
  if (hdc) {
    DcObject* dc = Lookup<DcObject>(hdc);
    if (!dc) return nullptr;
    depth = DepthOf(*dc);
  }
  return Register<HBITMAP>(NewBitmap(cx, cy, depth));
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* bits) {
  static constexpr UINT kDepths[] = {1, 4, 8, 16, 24, 32};
  if (nPlanes != 1 || std::find(std::begin(kDepths), std::end(kDepths), nBitCount) == std::end(kDepths)) return nullptr;
  if (bits && nBitCount != 32) return nullptr;
  auto bitmap = NewBitmap(nWidth, nHeight, static_cast<int>(nBitCount));
  if (!bitmap) return nullptr;
  if (bits) {
    const PixelTarget t = TargetOf(*bitmap);
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < nHeight; ++y)
      for (int x = 0; x < nWidth; ++x) t.Put(x, y, src[static_cast<std::ptrdiff_t>(y) * nWidth + x]);
  }
  return Register<HBITMAP>(std::move(bitmap));
}

BOOL GdiFlush() { return TRUE; }

namespace kp::gdi {

HBITMAP CreateBitmapFromPixels(int width, int height, int bitsPixel, std::span<const std::uint32_t> bottomUpPixels) {
  auto bitmap = NewBitmap(width, height, bitsPixel);
  if (!bitmap) return nullptr;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (bottomUpPixels.size() != count) return nullptr;
  std::uint32_t* dst = bitmap->pixels.get();
  for (std::size_t i = 0; i < count; ++i) dst[i] = bottomUpPixels[i] & 0x00FFFFFF;
  bitmap->dibSection = true;
  return Register<HBITMAP>(std::move(bitmap));
}

}  // namespace kp::gdi

#include "platform/gdi/get_dibits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/stretch_core.h"

using namespace kp::gdi::detail;

namespace {

std::uint64_t Stride(long long width, int bitCount) {
  return static_cast<std::uint64_t>((width * bitCount + 31) / 32) * 4;
}

}  // namespace

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi, UINT usage) {
  BitmapObject* bitmap = Lookup<BitmapObject>(hbm);
  if (!Lookup<DcObject>(hdc) || !bitmap || !bmi || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& h = bmi->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;

  if (!bits && h.biBitCount == 0) {
    h.biWidth = bitmap->width;
    h.biHeight = bitmap->height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitmap->bitsPixel);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(Stride(bitmap->width, bitmap->bitsPixel) * bitmap->height);
    return bitmap->height;
  }
  if ((h.biBitCount != 24 && h.biBitCount != 32) || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == INT32_MIN)
    return 0;
  const long long width = h.biWidth;
  const long long rows = std::llabs(static_cast<long long>(h.biHeight));
  const std::uint64_t stride = Stride(width, h.biBitCount);
  const std::uint64_t image = stride * static_cast<std::uint64_t>(rows);
  if (image > 0xFFFFFFFFu) return 0;
  h.biSizeImage = static_cast<DWORD>(image);
  if (!bits) return bitmap->height;

  const bool topDown = h.biHeight < 0;
  const long long count = std::min<long long>(
      {static_cast<long long>(lines), rows, static_cast<long long>(bitmap->height) - static_cast<long long>(start)});
  if (count <= 0) return 0;
  const PixelTarget source = TargetOf(*bitmap);
  const int bytesPerPixel = h.biBitCount / 8;
  const long long copyWidth = std::min<long long>(width, bitmap->width);
  auto* out = static_cast<BYTE*>(bits);
  for (long long r = 0; r < count; ++r) {
    const long long line = static_cast<long long>(start) + r;
    // PixelTarget rows count from the top.
    const int y = static_cast<int>(topDown ? line : bitmap->height - 1 - line);
    BYTE* row = out + static_cast<std::uint64_t>(r) * stride;
    const std::uint32_t* in = source.Row(y);
    if (bytesPerPixel == 4) {
      // Whole pixels at once, the reserved byte cleared.
      CopyRowWithAlpha(in, row, static_cast<std::size_t>(copyWidth), 0);
      std::memset(row + copyWidth * 4, 0, stride - static_cast<std::uint64_t>(copyWidth) * 4);
      continue;
    }
    std::memset(row, 0, stride);
    for (long long x = 0; x < copyWidth; ++x) {
      const std::uint32_t p = in[x];
      BYTE* px = row + x * bytesPerPixel;
      px[0] = static_cast<BYTE>(p);
      px[1] = static_cast<BYTE>(p >> 8);
      px[2] = static_cast<BYTE>(p >> 16);
    }
  }
  return static_cast<int>(count);
}

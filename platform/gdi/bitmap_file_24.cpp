#include "platform/gdi/bitmap_file_24.h"

#include <cstdint>
#include <cstring>

#include "platform/gdi/get_dibits.h"

namespace kp::gdi {
namespace {
constexpr DWORD kHeadersSize = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
constexpr LONG kPixelsPerMetre = 2835;  // 72 dots per inch
}  // namespace

DWORD BitmapFile24Stride(int width) {
  if (width <= 0) return 0;
  const std::uint64_t stride = ((std::uint64_t{24} * static_cast<std::uint64_t>(width) + 31) >> 3) & ~std::uint64_t{3};
  return stride > 0xFFFFFFFFu ? 0 : static_cast<DWORD>(stride);
}

DWORD BitmapFile24ImageSize(int width, int height) {
  if (height <= 0) return 0;
  const std::uint64_t size = std::uint64_t{BitmapFile24Stride(width)} * static_cast<std::uint64_t>(height);
  // The file size field holds the headers too.
  return size + kHeadersSize > 0xFFFFFFFFu ? 0 : static_cast<DWORD>(size);
}

BOOL BuildBitmapFile24(HDC hdc, HBITMAP bitmap, int width, int height, std::vector<BYTE>& out) {
  out.clear();
  const DWORD imageSize = BitmapFile24ImageSize(width, height);
  if (imageSize == 0) return FALSE;

  std::vector<BYTE> file(kHeadersSize + std::size_t{imageSize}, 0);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width,           height, 1, 24, BI_RGB, imageSize,
                    kPixelsPerMetre,          kPixelsPerMetre, 0,      0};
  if (GetDIBits(hdc, bitmap, 0, static_cast<UINT>(height), file.data() + kHeadersSize, &info, DIB_RGB_COLORS) == 0)
    return FALSE;

  const BITMAPFILEHEADER fileHeader = {0x4D42, kHeadersSize + imageSize, 0, 0, kHeadersSize};
  std::memcpy(file.data(), &fileHeader, sizeof fileHeader);
  std::memcpy(file.data() + sizeof fileHeader, &info.bmiHeader, sizeof info.bmiHeader);
  out = std::move(file);
  return TRUE;
}

}  // namespace kp::gdi

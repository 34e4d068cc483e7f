#include <cstring>

#include "editor/ui/tests/ui_test_resources.h"
#include "platform/gdi/gdi_types.h"

namespace ui_tests {
namespace {

// A packed DIB: the 40-byte header, `colours` (0x00RRGGBB, stored as blue,
// green, red, 0) and the pixel bytes, written field by field.
std::vector<BYTE> PackedDib(LONG width, LONG height, WORD bitCount, DWORD compression, DWORD sizeImage, DWORD clrUsed,
                            const std::vector<DWORD>& colours, const std::vector<BYTE>& pixels) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = compression;
  header.biSizeImage = sizeImage;
  header.biClrUsed = clrUsed;
  std::vector<BYTE> bytes(sizeof header);
  std::memcpy(bytes.data(), &header, sizeof header);
  for (DWORD c : colours) {
    bytes.push_back(static_cast<BYTE>(c));
    bytes.push_back(static_cast<BYTE>(c >> 8));
    bytes.push_back(static_cast<BYTE>(c >> 16));
    bytes.push_back(0);
  }
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

std::vector<DWORD> Colours(int count) {
  std::vector<DWORD> colours;
  for (int i = 0; i < count; ++i) colours.push_back(SixteenColour(i % 16));
  return colours;
}

// The 4 x 2 picture of kSixteenColourIndices, bottom row first.
std::vector<BYTE> SixteenColourPixels() {
  std::vector<BYTE> pixels;
  for (int row = 1; row >= 0; --row)
    for (int x = 0; x < 4; ++x) pixels.push_back(static_cast<BYTE>(kSixteenColourIndices[row][x]));
  return pixels;
}

}  // namespace

DWORD SixteenColour(int index) {
  // Distinct colours whose three channels all differ.
  return (static_cast<DWORD>(16 * index + 5) << 16) | (static_cast<DWORD>(250 - 9 * index) << 8) |
         static_cast<DWORD>(40 + 13 * index);
}

const std::vector<TestBitmap>& TestBitmaps() {
  // clang-format off
  static const std::vector<TestBitmap> bitmaps = {
      {kSixteenColourDib, "8 bits, 16 colours used", PackedDib(4, 2, 8, BI_RGB, 0, 16, Colours(16), SixteenColourPixels()),
       true, 16, true},
      {902, "header only", PackedDib(4, 2, 8, BI_RGB, 0, 0, {}, {}), false, 0, false},
      {903, "pixels cut short", PackedDib(4, 2, 8, BI_RGB, 0, 0, Colours(256), {1, 2, 3, 4}), false, 0, false},
      {904, "24 bits, no colour table",
       PackedDib(2, 2, 24, BI_RGB, 0, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}), true, 0, false},
      {905, "ten bytes", std::vector<BYTE>(10, 0x28), false, 0, false},
      {906, "colour count beyond the resource",
       PackedDib(4, 2, 8, BI_RGB, 0, 0xFFFFFFFF, Colours(16), SixteenColourPixels()), false, 0, false},
      {907, "RLE8 without its size", PackedDib(4, 2, 8, BI_RLE8, 0, 0, Colours(256), {0, 1}), false, 0, false},
      {908, "bit fields", PackedDib(1, 1, 32, BI_BITFIELDS, 0, 0, {0xFF0000, 0xFF00, 0xFF}, {1, 2, 3, 4}), false, 0,
       false},
  };
  // clang-format on
  return bitmaps;
}

}  // namespace ui_tests

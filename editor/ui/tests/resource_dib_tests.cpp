#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/ui/art/editor_art.h"
#include "editor/ui/resource_dib.h"
#include "editor/ui/tests/ui_test_resources.h"
#include "platform/gdi/gdi.h"

namespace ui_tests {
namespace {

std::string Name(UINT id) { return "#" + std::to_string(id); }

// Pixel (x, y), y from the top, of a bitmap as 0x00RRGGBB.
DWORD PixelOf(HBITMAP bitmap, int x, int y) {
  kp::gdi::ScopedMemoryDC dc(nullptr);
  kp::gdi::ScopedSelectObject select(dc.get(), bitmap);
  COLORREF c = ::GetPixel(dc.get(), x, y);
  return (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}

TEST(LoadResourceDib, TakesOrRefusesEachResourceAndLeavesNothingBehind) {
  for (const TestBitmap& row : TestBitmaps()) {
    SCOPED_TRACE(row.what);
    const int objects = kp::gdi::LiveObjectCount();
    HPALETTE palette = reinterpret_cast<HPALETTE>(1);
    int colours = -1;
    HBITMAP bitmap = LoadResourceDib(AfxGetInstanceHandle(), Name(row.id).c_str(), &palette, &colours);
    EXPECT_EQ(bitmap != nullptr, row.loads);
    EXPECT_EQ(palette != nullptr, row.palette);
    EXPECT_EQ(colours, row.colours);
    if (bitmap) ::DeleteObject(bitmap);
    if (palette) ::DeleteObject(palette);
    EXPECT_EQ(kp::gdi::LiveObjectCount(), objects);
  }
}

TEST(LoadResourceDib, AMissingResourceGivesNoBitmapAndNoPalette) {
  HPALETTE palette = reinterpret_cast<HPALETTE>(1);
  int colours = -1;
  EXPECT_EQ(LoadResourceDib(AfxGetInstanceHandle(), "#999", &palette, &colours), nullptr);
  EXPECT_EQ(palette, nullptr);
  EXPECT_EQ(colours, 0);
}

TEST(LoadResourceDib, FindsThePixelsAfterTheColoursTheHeaderSaysAreUsed) {
  HPALETTE palette = nullptr;
  int colours = 0;
  kp::gdi::ScopedBitmap bitmap(
      LoadResourceDib(AfxGetInstanceHandle(), Name(kSixteenColourDib).c_str(), &palette, &colours));
  kp::gdi::ScopedPalette owned(palette);
  ASSERT_TRUE(bitmap);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(PixelOf(bitmap.get(), x, y), SixteenColour(kSixteenColourIndices[y][x])) << x << "," << y;
  PALETTEENTRY entries[16];
  ASSERT_EQ(::GetPaletteEntries(palette, 0, 16, entries), 16u);
  for (int i = 0; i < 16; ++i) {
    const DWORD expected = SixteenColour(i);
    EXPECT_EQ(entries[i].peRed, static_cast<BYTE>(expected >> 16)) << i;
    EXPECT_EQ(entries[i].peGreen, static_cast<BYTE>(expected >> 8)) << i;
    EXPECT_EQ(entries[i].peBlue, static_cast<BYTE>(expected)) << i;
    EXPECT_EQ(entries[i].peFlags, 0) << i;
  }
}

TEST(LoadResourceDib, AnAboutFrameBecomesA256By128BitmapWithItsWholeColourTable) {
  const std::span<const BYTE> dib = AboutFrameDib(240);
  std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(dib);
  ASSERT_TRUE(decoded);
  HPALETTE palette = nullptr;
  int colours = 0;
  kp::gdi::ScopedBitmap bitmap(LoadResourceDib(AfxGetInstanceHandle(), "#240", &palette, &colours));
  kp::gdi::ScopedPalette owned(palette);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(colours, 256);
  EXPECT_EQ(::GetPaletteEntries(palette, 0, 0, nullptr), 256u);
  BITMAP info{};
  ASSERT_NE(::GetObject(bitmap.get(), sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 256);
  EXPECT_EQ(info.bmHeight, 128);
  for (int y = 0; y < 128; y += 9)
    for (int x = 0; x < 256; x += 7)
      ASSERT_EQ(PixelOf(bitmap.get(), x, y), decoded->pixels[static_cast<std::size_t>((127 - y) * 256 + x)])
          << x << "," << y;
}

TEST(CreateDibPalette, BuildsOneEntryPerColourUpToTheBitDepth) {
  struct Row {
    WORD bitCount;
    DWORD clrUsed;
    int entries;
  } rows[] = {{8, 0, 256}, {8, 16, 16}, {4, 0, 16}, {1, 0, 2}, {4, 300, 16}, {24, 0, 0}, {32, 16, 0}};
  for (const Row& row : rows) {
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 4 * 300, 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = row.bitCount;
    header.biClrUsed = row.clrUsed;
    std::memcpy(info.data(), &header, sizeof header);
    for (int i = 0; i < 300; ++i) {
      BYTE* quad = info.data() + sizeof header + 4 * i;
      quad[0] = static_cast<BYTE>(i);      // blue
      quad[1] = static_cast<BYTE>(i + 1);  // green
      quad[2] = static_cast<BYTE>(i + 2);  // red
      quad[3] = 0x77;                      // reserved: never a flag
    }
    int entries = -1;
    kp::gdi::ScopedPalette palette(CreateDibPalette(reinterpret_cast<const BITMAPINFO*>(info.data()), &entries));
    EXPECT_EQ(entries, row.entries) << row.bitCount << " bits, " << row.clrUsed << " used";
    EXPECT_EQ(static_cast<bool>(palette), row.entries > 0);
    if (!palette) continue;
    std::vector<PALETTEENTRY> got(static_cast<std::size_t>(row.entries));
    ASSERT_EQ(::GetPaletteEntries(palette.get(), 0, static_cast<UINT>(row.entries), got.data()),
              static_cast<UINT>(row.entries));
    const PALETTEENTRY& last = got.back();
    const int i = row.entries - 1;
    EXPECT_EQ(last.peRed, static_cast<BYTE>(i + 2));
    EXPECT_EQ(last.peGreen, static_cast<BYTE>(i + 1));
    EXPECT_EQ(last.peBlue, static_cast<BYTE>(i));
    EXPECT_EQ(last.peFlags, 0);
  }
}

}  // namespace
}  // namespace ui_tests

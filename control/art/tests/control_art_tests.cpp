#include "control/art/control_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/gdi/gdi.h"

namespace {

TEST(ToolboxBitmapDib, IsA16By15FourBitDibWithSixteenColours) {
  const std::span<const BYTE> dib = ToolboxBitmapDib();
  ASSERT_EQ(dib.size(), 40u + 16 * 4 + 8 * 15) << "header, colour table, 15 rows of 8 bytes";
  BITMAPINFOHEADER h{};
  std::memcpy(&h, dib.data(), sizeof h);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 16);
  EXPECT_EQ(h.biHeight, 15);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 4);
  EXPECT_EQ(h.biCompression, BI_RGB);
  EXPECT_EQ(h.biClrUsed, 0u);
}

TEST(ToolboxBitmapDib, DecodesToColoursOfItsTableOnAButtonFace) {
  const std::span<const BYTE> dib = ToolboxBitmapDib();
  const std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(dib);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 16);
  EXPECT_EQ(decoded->height, 15);
  EXPECT_EQ(decoded->bitsPerPixel, 4);
  std::set<std::uint32_t> table;
  for (int i = 0; i < 16; ++i)
    table.insert((std::uint32_t{dib[40 + 4 * i + 2]} << 16) | (std::uint32_t{dib[40 + 4 * i + 1]} << 8) |
                 dib[40 + 4 * i]);
  std::set<std::uint32_t> used;
  for (const std::uint32_t p : decoded->pixels) {
    EXPECT_TRUE(table.count(p)) << std::hex << p;
    used.insert(p);
  }
  EXPECT_GE(used.size(), 5u) << "a picture, not a blank";
  // The top-left pixel (last row in the bottom-up bits) is the light grey
  // that toolboxes show as the button face.
  EXPECT_EQ(decoded->pixels[14 * 16], 0xC0C0C0u);
}

TEST(ToolboxBitmapDib, LoadsAsAFourBitBitmap) {
  kp::gdi::ScopedBitmap bitmap(kp::gdi::CreateBitmapFromPackedDib(ToolboxBitmapDib()));
  ASSERT_TRUE(bitmap);
  BITMAP bm{};
  ASSERT_EQ(GetObject(bitmap.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 16);
  EXPECT_EQ(bm.bmHeight, 15);
  EXPECT_EQ(bm.bmBitsPixel, 4);
}

}  // namespace

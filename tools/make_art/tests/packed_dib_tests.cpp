#include "tools/make_art/packed_dib.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/dib_decoder.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/icon.h"
#include "tools/make_art/vga_palette.h"

namespace make_art {
namespace {

BITMAPINFOHEADER HeaderOf(const std::vector<std::uint8_t>& dib) {
  BITMAPINFOHEADER h{};
  std::memcpy(&h, dib.data(), sizeof h);
  return h;
}

IndexedImage Checker(int width, int height, int colours) {
  IndexedImage image(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.At(x, y) = static_cast<std::uint8_t>((x + 3 * y) % colours);
  return image;
}

TEST(MakeRle8Dib, WritesTheHeaderAndAllColourEntries) {
  std::array<Rgb, 256> palette{};
  palette[1] = {10, 20, 30};
  const std::vector<std::uint8_t> dib = MakeRle8Dib(Checker(256, 128, 2), palette);
  const BITMAPINFOHEADER h = HeaderOf(dib);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 256);
  EXPECT_EQ(h.biHeight, 128);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biCompression, BI_RLE8);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biSizeImage, dib.size() - 40 - 256 * 4);
  // Entry 1 as blue, green, red, reserved.
  EXPECT_EQ(dib[44], 30);
  EXPECT_EQ(dib[45], 20);
  EXPECT_EQ(dib[46], 10);
  EXPECT_EQ(dib[47], 0);
}

TEST(MakeDib4, DecodesToTheSameColoursAtAnOddWidth) {
  const IndexedImage image = Checker(5, 3, 16);  // 5 pixels: 3 bytes padded to 4
  const std::vector<std::uint8_t> dib = MakeDib4(image, VgaPalette);
  const BITMAPINFOHEADER h = HeaderOf(dib);
  EXPECT_EQ(h.biBitCount, 4);
  EXPECT_EQ(h.biCompression, BI_RGB);
  EXPECT_EQ(h.biSizeImage, 4u * 3);
  EXPECT_EQ(dib.size(), 40u + 16 * 4 + 4 * 3);
  const auto decoded = kp::gdi::DecodePackedDib(dib);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->bitsPerPixel, 4);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(decoded->pixels[(2 - y) * 5 + x], ToXrgb(VgaPalette[image.At(x, y)])) << x << "," << y;
}

TEST(MakeIconImage4, StacksColourAndMaskAndDecodesWithTransparency) {
  const IndexedImage image = Checker(16, 16, 16);
  std::vector<bool> transparent(16 * 16, false);
  for (int x = 0; x < 16; ++x) transparent[x] = true;  // the top row
  transparent[15 * 16 + 15] = true;                    // the bottom-right pixel
  const std::vector<std::uint8_t> dib = MakeIconImage4(image, transparent, VgaPalette);
  const BITMAPINFOHEADER h = HeaderOf(dib);
  EXPECT_EQ(h.biHeight, 32) << "colour bitmap and mask together";
  EXPECT_EQ(h.biSizeImage, 8u * 16 + 4u * 16);
  EXPECT_EQ(dib.size(), 40u + 64 + 8 * 16 + 4 * 16);
  const std::optional<kp::gdi::IconImage> icon = kp::gdi::DecodeIconImage(dib);
  ASSERT_TRUE(icon);
  ASSERT_EQ(icon->width, 16);
  ASSERT_EQ(icon->height, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const std::uint32_t argb = icon->argb[y * 16 + x];  // top row first
      if (transparent[y * 16 + x]) {
        EXPECT_EQ(argb >> 24, 0u) << x << "," << y;
      } else {
        EXPECT_EQ(argb, 0xFF000000u | ToXrgb(VgaPalette[image.At(x, y)])) << x << "," << y;
      }
    }
}

}  // namespace
}  // namespace make_art
